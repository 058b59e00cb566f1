// The mouse on the canvas: drags in the dot matrix, clicks in the list, the
// right click that stops a running action.
#include "gui/velk_window.h"

long VelkWindow::onMouse(FXObject *, FXSelector, void *) {
  bindToSlot();
  return 0;
}
