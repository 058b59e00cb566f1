#include "session/set_commands.h"

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "io/command_actions.h"
#include "ops/filter.h"
#include "ops/journal.h"
#include "ops/merge.h"
#include "ops/selections.h"
#include "session/command_wiring.h"

namespace {
constexpr int32_t kIdMergeNow = 75;

void mergeCommand() {
  openActionCanvas();
  MergeHits();
  closeActionCanvas();
  finishCommandAction(kIdMergeNow);
}

void filterCommand(FilterOp op) {
  const int mode = op == FilterOp::Create   ? kFilterCreate
                   : op == FilterOp::Update ? kFilterUpdate
                                            : kFilterDelete;
  ApplyFilter(0, mode);
  ApplyFilter(1, mode);
  gActionStatus = 0;
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  ui()->requestRepaint();
}

// The mode bits are already set or cleared by the command; recompute the
// kind from them, as the menu's toggle does.
void recompute(SelectKind kind, bool on) {
  openActionCanvas();
  switch (kind) {
  case SelectKind::All:
    SelectAll(on);
    gCurrent->flagsB &= ~kOptClearedAfterAction;
    break;
  case SelectKind::Overlapped:
    SelectOverlapped();
    break;
  case SelectKind::HighPValue:
    SelectHighPValue();
    break;
  case SelectKind::Conflicting:
    SelectConflicting(on);
    break;
  case SelectKind::OffDiagonal:
    rescoreWindowHits(); // the scores weigh the hits
    SelectOffDiagonal();
    break;
  case SelectKind::Short:
    SelectShort();
    break;
  }
  closeActionCanvas();
  gActionStatus = 0;
  ui()->requestRepaint();
}

void selectCommand(SelectKind kind) { recompute(kind, true); }
void scoresCommand() { buildScoreTable(gCurrent->score); }
void unselectCommand(SelectKind kind) { recompute(kind, false); }
} // namespace

void installSetCommands() {
  gCommandActions.merge = mergeCommand;
  gCommandActions.filter = filterCommand;
  gCommandActions.select = selectCommand;
  gCommandActions.unselect = unselectCommand;
  gCommandActions.scoresChanged = scoresCommand;
}
