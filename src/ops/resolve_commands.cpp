#include "ops/resolve_commands.h"

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/command_actions.h"
#include "io/command_wiring.h"
#include "ops/journal.h"
#include "ops/resolve.h"

namespace {
// Command identifiers of the actions without a dialog, as journaled.
constexpr int32_t kIdGreedyNow = 84;
constexpr int32_t kIdReconcile = 85;
constexpr int32_t kIdOptimalNow = 86;
constexpr int32_t kIdKill = 87;
constexpr int32_t kIdDelete = 88;

// The command language turns a stop into its interrupted bit afterwards, so
// the action status stays as the action left it.
void finishAction(int32_t id) {
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  JournalAction(id);
  ui()->requestRepaint();
  issueCommandReport();
}

void reconcileCommand() {
  Reconcile();
  finishAction(kIdReconcile);
}

void greedyCommand() {
  GreedyResolve();
  finishAction(kIdGreedyNow);
}

void optimalCommand() {
  OptimalAction();
  finishAction(kIdOptimalNow);
}

void killCommand() {
  KillConflicting();
  finishAction(kIdKill);
}

void deleteCommand() {
  DeleteMarked(1);
  finishAction(kIdDelete);
}

void undoCommand() {
  rememberSelections();
  UndoStep();
  restoreSelections();
  gActionStatus = 0;
  ui()->requestRepaint();
  issueCommandReport();
}
} // namespace

void installConflictCommands() {
  gCommandActions.reconcile = reconcileCommand;
  gCommandActions.greedy = greedyCommand;
  gCommandActions.optimal = optimalCommand;
  gCommandActions.kill = killCommand;
  gCommandActions.undo = undoCommand;
  if (!gCommandActions.deleteSelected)
    gCommandActions.deleteSelected = deleteCommand;
}
