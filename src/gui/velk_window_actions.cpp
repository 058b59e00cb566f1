// Menu entries and keys that run an action at once with the window's
// parameters. The action's frame (report, journal, repaint) is the one the
// session layer gives every window command.
#include "gui/velk_window.h"
#include "session/dialog_model.h"
#include "session/window_commands.h"

long VelkWindow::onCmdAction(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const FXSelector id = FXSELID(sel);
  runWindowCommand(int32_t(id), kDialogRun);
  // Deleting and undoing rebuild the lists: the window shows its slot again.
  if (id == ID_DELETE || id == ID_MOVE_TO_FOOTNOTES || id == ID_UNDO || id == ID_REDO ||
      id == ID_REVERSE)
    bindToSlot();
  return 1;
}

long VelkWindow::onCmdSelectMode(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const int32_t id = int32_t(FXSELID(sel));
  int result = kDialogRun;
  if ((id == ID_SELECT_HIGH_PVALUE || id == ID_SELECT_SHORT) && !selectionModeOn(id) &&
      !askSelectParameter(FXSELID(sel)))
    result = kDialogCancelled;
  runWindowCommand(id, result);
  return 1;
}
