// Painting of the canvas: the whole window is composed off screen by the
// view's painter and copied in one operation.
#include "gui/velk_window.h"
#include "gui/view_hooks.h"

long VelkWindow::onPaint(FXObject *, FXSelector, void *ptr) {
  bindToSlot();
  paintWindow(this, static_cast<FXEvent *>(ptr));
  return 1;
}
