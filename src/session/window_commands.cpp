#include "session/window_commands.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "core/conflicts.h"
#include "core/errors.h"
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/report_kinds.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "engine/refine.h"
#include "engine/scores.h"
#include "engine/strands.h"
#include "engine/trim.h"
#include "io/alignment_reader.h"
#include "io/command_actions.h"
#include "io/reader_engine.h"
#include "ops/footnotes.h"
#include "ops/journal.h"
#include "ops/merge.h"
#include "ops/resolve.h"
#include "ops/selections.h"
#include "output/alignment_files.h"
#include "session/alignment_save.h"
#include "session/command_ids.h"
#include "session/dialog_model.h"
#include "session/input_dialog.h"
#include "session/report.h"

namespace {
void runCommandSwitch(int32_t id, int dialogResult);

constexpr int32_t kGreedyLimit = 400000, kReconcileLimit = 100000;

// The last steps of every action: the mouse area is used up, the action has
// ended, the journal records the state after it (id 0: no record).
void finishAction(int32_t journalId) {
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  gActionStatus = 0;
  if (journalId && !outOfMemoryNoted()) // undone after the command instead
    JournalAction(journalId);
  showCommandReport();
}

// Report counters cleared, the action run on the action canvas while the
// status word says an action is running (commands arriving meanwhile only
// ask whether to stop it), every window repainted.
template <typename Action> void runFramed(int32_t kind, Action action) {
  if (kind >= 0)
    startReport(gCurrent, kind);
  gActionStatus |= kStatusRunning;
  openActionCanvas();
  try {
    action();
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
  }
  closeActionCanvas();
  ui()->requestRepaint();
}

bool bothSequences() { return gSeq1 && gSeq2 && gSeq1->length > 0 && gSeq2->length > 0; }

void conflictAction(int32_t id, int32_t limit, const char *name, int32_t kind, void (*action)()) {
  ui()->flushDisplay();
  if (limit && !ConfirmConflictLimit(limit, name)) {
    gActionStatus = 0;
    return;
  }
  runFramed(kind, action);
  finishAction(id);
}

void deleteAction(int32_t id) {
  runFramed(kReportDelete, [id] { DeleteMarked(id == kCmdMoveToFootnotes ? 2 : 1); });
  gCurrent->flagsA &= ~kWinModesFirstFour;
  finishAction(id);
}

// Filter and selections do what their command lines do (the hooks set up
// at start-up); the menu adds the dialog, the display flush and the toggle.
void filterAction(int32_t id, int dialogResult) {
  if (!bothSequences() || (id != kCmdFilterDelete && dialogResult != kDialogRun))
    return;
  ui()->flushDisplay();
  if (gCommandActions.filter)
    gCommandActions.filter(id == kCmdFilterCreate   ? FilterOp::Create
                           : id == kCmdFilterUpdate ? FilterOp::Update
                                                    : FilterOp::Delete);
}

struct Mode {
  int32_t id;
  uint32_t bit;
  SelectKind kind;
};
constexpr Mode kModes[] = {
    {kCmdSelectHighPValue, kWinModeHighP, SelectKind::HighPValue},
    {kCmdSelectOverlapped, kWinModeOverlapped, SelectKind::Overlapped},
    {kCmdSelectOffDiagonal, kWinModeOffDiagonal, SelectKind::OffDiagonal},
    {kCmdSelectConflicting, kWinModeConflicting, SelectKind::Conflicting},
    {kCmdSelectShort, kWinModeShort, SelectKind::Short},
};

const Mode &modeOf(int32_t id) {
  for (const Mode &m : kModes)
    if (m.id == id)
      return m;
  return kModes[4];
}

void toggleSelectionMode(int32_t id, int dialogResult) {
  WindowRecord *w = gCurrent;
  const Mode &mode = modeOf(id);
  const bool hasDialog = id == kCmdSelectHighPValue || id == kCmdSelectShort;
  if (hasDialog && !(w->flagsA & mode.bit) && dialogResult == kDialogCancelled)
    return;
  ui()->flushDisplay();
  w->flagsA ^= mode.bit;
  auto hook = w->flagsA & mode.bit ? gCommandActions.select : gCommandActions.unselect;
  if (hook)
    hook(mode.kind);
}

void selectAll(bool on) {
  gCurrent->flagsA &= ~kWinModesFirstFour;
  auto hook = on ? gCommandActions.select : gCommandActions.unselect;
  if (hook)
    hook(SelectKind::All);
}

void undoOrRedo(bool redo) {
  rememberSelections();
  if (redo)
    RedoStep();
  else
    UndoStep();
  restoreSelections();
  gActionStatus = 0;
  ui()->requestRepaint();
  showCommandReport();
}

// The flanks length shapes every pane: the next paint computes them anew.
void flanksChanged() {
  gCurrent->flagsA |= kWinRepaint;
  for (Hit *h : {gHitHead1, gOther.head1})
    for (; h; h = h->next1) {
      h->leftFlank = 0;
      h->rightFlank = 0;
      h->paneColumns = 0;
      h->paneFirstColumn = 0;
    }
  ui()->requestRepaint();
}

bool named(const char *chosen) { return chosen && *chosen; }

// Into the path buffer whole, or refused with an error naming it.
bool toPathBuffer(const std::string &name, bool forSave) {
  if (name.size() < sizeof gPathBuffer) {
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", name.c_str());
    return true;
  }
  if (forSave) {
    const std::string text = "Cannot open file for save.\n    File: " + name + "\n";
    ui()->messageBox("Error", text.c_str(), Buttons::Ok, kAnswerOk);
  } else {
    refuseLongPath(name.c_str(), "sqreadsq");
  }
  return false;
}

} // namespace

void showCommandReport() {
  ui()->setInfoLine(ReportLine());
  ui()->requestRepaint();
}

bool selectionModeOn(int32_t id) { return (gCurrent->flagsA & modeOf(id).bit) != 0; }

int dialogKindOfCommand(int32_t id) {
  switch (id) {
  case kCmdNew:
    return DIALOG_NEW;
  case kCmdAlign:
    return DIALOG_ALIGN;
  case kCmdExpand:
    return DIALOG_EXPAND;
  case kCmdMerge:
    return DIALOG_MERGE;
  case kCmdCompound:
    return DIALOG_COMPOUND;
  case kCmdGreedy:
    return DIALOG_GREEDY;
  case kCmdOptimal:
    return DIALOG_OPTIMAL;
  case kCmdFilterCreate:
    return DIALOG_FILTER_CREATE;
  case kCmdFilterUpdate:
    return DIALOG_FILTER_UPDATE;
  case kCmdSelectHighPValue:
    return DIALOG_SELECT_HIGH_PVALUE;
  case kCmdSelectShort:
    return DIALOG_SELECT_SHORT;
  case kCmdScores:
    return DIALOG_SCORES;
  case kCmdFlanks:
    return DIALOG_FLANKS;
  default:
    return -1;
  }
}

void runWindowCommand(int32_t id, int dialogResult) {
  clearOutOfMemory();
  try {
    runCommandSwitch(id, dialogResult);
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
  } catch (const EngineAbort &) {
    noteOutOfMemory();
  }
  // An action that ran short of memory is undone, not journaled; the
  // information line keeps the error.
  if (UndoActionShortOfMemory()) {
    gActionStatus = 0;
    gCurrent->reportKind = 0;
    ui()->requestRepaint();
  }
}

namespace {
void runCommandSwitch(int32_t id, int dialogResult) {
  const bool run = dialogResult == kDialogRun;
  switch (id) {
  case kCmdAlignNow:
  case kCmdAlign:
    ui()->flushDisplay();
    if (run) {
      gActionStatus |= kStatusRunning;
      alignAction(false);
      gActionStatus = 0;
      ui()->requestRepaint();
    }
    // Also after the dialog's other buttons: an Undo step that changes
    // nothing, as users of the menu expect one record per Align.
    if (!outOfMemoryNoted())
      JournalAction(id);
    showCommandReport();
    break;
  case kCmdExpandNow:
  case kCmdExpand:
    ui()->flushDisplay();
    if (run) {
      gActionStatus |= kStatusRunning;
      expandAction();
      ui()->requestRepaint();
    }
    finishAction(id);
    break;
  case kCmdMergeNow:
  case kCmdMerge:
    if (!run)
      return;
    ui()->flushDisplay();
    runFramed(kReportMerge, MergeHits);
    gCurrent->reportSecond = -gCurrent->reportSecond;
    finishAction(id);
    break;
  case kCmdCompound:
    if (!run)
      return;
    ui()->flushDisplay();
    gActionStatus |= kStatusRunning;
    CompoundAction();
    ui()->requestRepaint();
    finishAction(kCmdCompoundJournal);
    break;
  case kCmdTrim:
    runFramed(kReportTrim, [] { trimAction(true); });
    finishAction(id);
    break;
  case kCmdRefine:
    runFramed(kReportRefine, refineAction);
    finishAction(id);
    break;
  case kCmdFill:
    gActionStatus |= kStatusRunning;
    alignOrFill(true, false);
    ui()->requestRepaint();
    finishAction(id);
    break;
  case kCmdGreedyNow:
  case kCmdGreedy:
    if (run)
      conflictAction(id, kGreedyLimit, "Greedy algorithm", kReportGreedy, [] {
        rescoreWindowHits(); // hits made since a score change carry fixed weights
        GreedyResolve();
      });
    break;
  case kCmdReconcile:
    conflictAction(id, kReconcileLimit, "Reconcility", kReportReconcile, Reconcile);
    break;
  case kCmdOptimalNow:
  case kCmdOptimal:
    if (run)
      conflictAction(id, kGreedyLimit, "To construct optimal chain", kReportOptimal, [] {
        rescoreWindowHits();
        OptimalAction();
      });
    break;
  case kCmdKill:
    conflictAction(id, 0, nullptr, kReportKill, KillConflicting);
    break;
  case kCmdDelete:
  case kCmdMoveToFootnotes:
    deleteAction(id);
    break;
  case kCmdFilterCreate:
  case kCmdFilterUpdate:
  case kCmdFilterDelete:
    filterAction(id, dialogResult);
    break;
  case kCmdSelectAll:
  case kCmdUnselectAll:
    selectAll(id == kCmdSelectAll);
    break;
  case kCmdSelectHighPValue:
  case kCmdSelectOverlapped:
  case kCmdSelectOffDiagonal:
  case kCmdSelectConflicting:
  case kCmdSelectShort:
    toggleSelectionMode(id, dialogResult);
    break;
  case kCmdApprove:
  case kCmdDisapprove:
    if (id == kCmdApprove)
      Approve();
    else
      Disapprove();
    ui()->requestRepaint();
    gCurrent->flagsB &= ~kOptClearedAfterAction;
    gActionStatus = 0;
    break;
  case kCmdUndo:
  case kCmdRedo:
    undoOrRedo(id == kCmdRedo);
    break;
  case kCmdReverse:
    if (!bothSequences())
      return;
    runFramed(kReportReverse, reverseStrands);
    finishAction(id);
    break;
  case kCmdScores:
    if (dialogResult != kDialogCancelled)
      buildScoreTable(gCurrent->score);
    break;
  case kCmdFlanks:
    if (dialogResult != kDialogCancelled)
      flanksChanged();
    break;
  default:
    break;
  }
}

} // namespace

bool saveAlignmentAs(const char *chosen, int pattern, bool windowOnly) {
  if (!named(chosen) || !toPathBuffer(SaveNameWithExtension(chosen, pattern), true))
    return false;
  setProgressWindow(nullptr, nullptr);
  if (!ConfirmOverwrite(gPathBuffer))
    return false;
  bool written = SaveAlignmentFile(pattern, windowOnly);
  if (pattern != kFormatAny && pattern >= kFormatGlobal && pattern <= kFormatMaf)
    gSaveFilter = pattern;
  gCurrent->reportKind = written ? kReportSave : kReportSaveFailed;
  finishAction(0);
  return written;
}

bool saveFootnotesAs(const char *chosen) {
  if (!named(chosen) || !toPathBuffer(FootnotesNameWithExtension(chosen), true))
    return false;
  bool written = SaveFootnotes(gPathBuffer);
  finishAction(0);
  return written;
}

int openAlignmentAs(const char *chosen, int pattern) {
  if (!named(chosen) || !toPathBuffer(chosen, false))
    return -1;
  gSaveFilter = pattern;
  setProgressWindow(nullptr, nullptr);
  int failures = OpenAlignment();
  // A file refused before anything was replaced leaves the session and its
  // journal as they were: a new first record would hide the unsaved work
  // from the exit question.
  if (OpenReplacedSession())
    JournalAction(kCmdOpen);
  ui()->requestRepaint();
  showCommandReport();
  return failures;
}

void beginNewCommand() {
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  gCurrent->flagsA &= ~kWinLoaded;
}

void endNewCommand(bool accepted) {
  gCurrent->flagsA |= kWinRecount;
  gActionStatus = 0;
  if (accepted && inputDialogReplacedSession())
    JournalAction(kCmdNew);
  ui()->requestRepaint();
  showCommandReport();
}
