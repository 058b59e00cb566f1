// Menu entries and keys that run an action at once with the window's
// parameters. They reach the same drivers and finishing steps as the command
// language, so a session journals and reports alike from either.
#include "core/conflicts.h"
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "gui/velk_window.h"
#include "io/command_actions.h"
#include "ops/journal.h"
#include "ops/resolve.h"
#include "ops/selections.h"
#include "session/command_wiring.h"
#include "session/report.h"

namespace {

// Lets pending repaints happen so the window is current before a long action.
void flushDisplay(VelkWindow *w) {
  w->getApp()->repaint();
  w->getApp()->flush();
}

// The frame shared by the actions without a dialog: up to date display,
// optional limit question, report counters, the action inside the action
// drawing context, then the status cleared.
void runAction(VelkWindow *w, int32_t kind, void (*action)(), int32_t limit = 0,
               const char *limitName = nullptr) {
  flushDisplay(w);
  if (limit && !ConfirmConflictLimit(limit, limitName))
    return;
  if (kind >= 0)
    startReport(gCurrent, kind);
  openActionCanvas();
  if (action)
    action();
  closeActionCanvas();
  gActionStatus = 0;
}

void alignNow() {
  alignAction(false);
  finishCommandAction(VelkWindow::ID_ALIGN_NOW);
}

void fillNow() {
  alignOrFill(true, false);
  finishCommandAction(VelkWindow::ID_FILL);
}

void mergeNow() {
  if (gCommandActions.merge)
    gCommandActions.merge();
  gCurrent->reportSecond = -gCurrent->reportSecond;
}

} // namespace

long VelkWindow::onCmdAlignNow(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, -1, alignNow);
  return 1;
}

long VelkWindow::onCmdExpandNow(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, -1, gCommandActions.expand);
  return 1;
}

long VelkWindow::onCmdMergeNow(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportMerge, mergeNow);
  return 1;
}

long VelkWindow::onCmdGreedyNow(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportGreedy, gCommandActions.greedy, 400000, "Greedy algorithm");
  return 1;
}

long VelkWindow::onCmdOptimalNow(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportOptimal, gCommandActions.optimal, 400000, "To construct optimal chain");
  return 1;
}

long VelkWindow::onCmdReconcile(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportReconcile, gCommandActions.reconcile, 100000, "Reconcility");
  return 1;
}

long VelkWindow::onCmdKill(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportKill, gCommandActions.kill);
  return 1;
}

long VelkWindow::onCmdTrim(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportTrim, gCommandActions.trim);
  return 1;
}

long VelkWindow::onCmdRefine(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, kReportRefine, gCommandActions.refine);
  return 1;
}

long VelkWindow::onCmdFill(FXObject *, FXSelector, void *) {
  if (beginCommand())
    runAction(this, -1, fillNow);
  return 1;
}

long VelkWindow::onCmdDelete(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const FXSelector id = FXSELID(sel);
  startReport(gCurrent, kReportDelete);
  openActionCanvas();
  DeleteMarked(id == ID_MOVE_TO_FOOTNOTES ? 2 : 1);
  closeActionCanvas();
  gCurrent->flagsA &= ~kWinModesFirstFour;
  bindToSlot();
  finishCommandAction(id);
  gActionStatus = 0;
  return 1;
}

long VelkWindow::onCmdFilterDelete(FXObject *, FXSelector, void *) {
  if (beginCommand() && gCommandActions.filter)
    gCommandActions.filter(FilterOp::Delete);
  return 1;
}

long VelkWindow::onCmdSelectAll(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  openActionCanvas();
  SelectAll(FXSELID(sel) == ID_SELECT_ALL);
  closeActionCanvas();
  gCurrent->flagsA &= ~kWinModesFirstFour;
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  gActionStatus = 0;
  ui()->requestRepaint();
  return 1;
}

long VelkWindow::onCmdSelectMode(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const FXSelector id = FXSELID(sel);
  uint32_t bit = 0;
  void (*recompute)() = nullptr;
  switch (id) {
  case ID_SELECT_HIGH_PVALUE:
    bit = kWinModeHighP, recompute = SelectHighPValue;
    break;
  case ID_SELECT_OVERLAPPED:
    bit = kWinModeOverlapped, recompute = SelectOverlapped;
    break;
  case ID_SELECT_OFF_DIAGONAL:
    bit = kWinModeOffDiagonal, recompute = SelectOffDiagonal;
    break;
  case ID_SELECT_CONFLICTING:
    bit = kWinModeConflicting;
    break;
  default:
    bit = kWinModeShort, recompute = SelectShort;
    break;
  }
  const bool on = !(gCurrent->flagsA & bit);
  if (on && (id == ID_SELECT_HIGH_PVALUE || id == ID_SELECT_SHORT) && !askSelectParameter(id))
    return 1;
  flushDisplay(this);
  openActionCanvas();
  gCurrent->flagsA ^= bit;
  if (recompute)
    recompute();
  else
    SelectConflicting(on);
  closeActionCanvas();
  gActionStatus = 0;
  ui()->requestRepaint();
  return 1;
}

long VelkWindow::onCmdApprove(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  if (FXSELID(sel) == ID_APPROVE)
    Approve();
  else
    Disapprove();
  ui()->requestRepaint();
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  gActionStatus = 0;
  return 1;
}

long VelkWindow::onCmdUndo(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  if (FXSELID(sel) == ID_UNDO) {
    if (gCommandActions.undo)
      gCommandActions.undo();
  } else {
    rememberSelections();
    RedoStep();
    restoreSelections();
    gActionStatus = 0;
    ui()->requestRepaint();
    issueCommandReport();
  }
  bindToSlot();
  return 1;
}
