#include "session/resolve_commands.h"

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/scores.h"
#include "io/command_actions.h"
#include "ops/journal.h"
#include "ops/resolve.h"
#include "session/command_wiring.h"

namespace {
// Command identifiers of the actions without a dialog, as journaled.
constexpr int32_t kIdGreedyNow = 84;
constexpr int32_t kIdReconcile = 85;
constexpr int32_t kIdOptimalNow = 86;
constexpr int32_t kIdKill = 87;
constexpr int32_t kIdDelete = 88;

void reconcileCommand() {
  Reconcile();
  finishCommandAction(kIdReconcile);
}

void greedyCommand() {
  rescoreWindowHits();
  GreedyResolve();
  finishCommandAction(kIdGreedyNow);
}

void optimalCommand() {
  rescoreWindowHits();
  OptimalAction();
  finishCommandAction(kIdOptimalNow);
}

void killCommand() {
  KillConflicting();
  finishCommandAction(kIdKill);
}

void deleteCommand() {
  DeleteMarked(1);
  finishCommandAction(kIdDelete);
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
