// Window commands (New/Current => selection, whole region, edit), printing,
// and the About and Help windows.
#include "gui/velk_window.h"

long VelkWindow::onCmdWindow(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdPrint(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdAbout(FXObject *, FXSelector, void *) {
  bindToSlot();
  return 1;
}

long VelkWindow::onCmdHelp(FXObject *, FXSelector, void *) {
  bindToSlot();
  return 1;
}
