// Menu entries that open a dialog before they act: New, Open, the Save
// entries, the parameter dialogs of the actions, the filter and the
// parameter of the high P-value and short selections.
#include "gui/velk_window.h"

long VelkWindow::onCmdNew(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdOpen(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdSave(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdSaveFootnotes(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdAlign(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdExpand(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdMerge(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdCompound(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdGreedy(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdOptimal(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdFilterDialog(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdScores(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

long VelkWindow::onCmdFlanks(FXObject *, FXSelector, void *) {
  beginCommand();
  return 1;
}

// Until the dialogs exist the stored parameter is used as it is.
bool VelkWindow::askSelectParameter(FXSelector) { return true; }
