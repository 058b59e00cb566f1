// Painting of the canvas: the whole window is composed off screen by the
// view's painter and copied in one operation.
#include "gui/velk_window.h"
#include "gui/view_hooks.h"

long VelkWindow::onPaint(FXObject *, FXSelector, void *ptr) {
  if (!shown())
    return 1;
  // Windows repaint in any order: the current one stays current.
  KeepCurrentSlot keep;
  bindToSlot();
  paintWindow(this, static_cast<FXEvent *>(ptr));
  return 1;
}
