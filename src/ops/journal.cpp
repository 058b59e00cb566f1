#include "ops/journal.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "core/flags.h"
#include "core/session.h"
#include "core/signal_cleanup.h"
#include "core/strands.h"
#include "core/tempfiles.h"
#include "core/ui_port.h"
#include "ops/journal_entries.h"
#include "ops/journal_files.h"

// clang-format off
const JournalActionEntry kJournalActions[kJournalActionCount] = {
    {65, 0x2F, "New"},       {67, 0x2F, "Open"},
    {73, 0x24, "Align"},     {77, 0x26, "Align"},
    {74, 0x24, "Expand"},    {78, 0x26, "Expand"},
    {75, 0x24, "Merge"},     {79, 0x26, "Merge"},
    {81, 0x04, "Trim"},      {82, 0x44, "Refine"},
    {83, 0x04, "Fill"},      {87, 0x04, "Kill conflicting alignments"},
    {85, 0x04, "Reconcile"}, {84, 0x04, "Greedy"},
    {90, 0x06, "Greedy"},    {86, 0x04, "Optimal"},
    {91, 0x06, "Optimal"},   {76, 0x24, "Compound"},
    {80, 0x26, "Compound"},  {88, 0x04, "Delete"},
    {89, 0x04, "Move to footnotes"}, {126, 0x04, "Reverse"},
};
// clang-format on

JournalFiles gJournal;

int journalActionIndex(int32_t id) {
  for (int i = 0; i < kJournalActionCount; ++i)
    if (kJournalActions[i].commandId == id)
      return i;
  return -1;
}

namespace {
void syncSignalNames() {
  setRemoveOnSignal(kCleanupUndo, gJournal.undoName);
  setRemoveOnSignal(kCleanupFoot, gJournal.footName);
}

bool gAtexitDone = false;

FILE *openOne(const char *pattern, char *name, char *lastTried, const char *message) {
  FILE *f = createTempFile(pattern, lastTried, kTempNameSize);
  if (!f) {
    char text[kTempNameSize + 64];
    snprintf(text, sizeof text, message, lastTried);
    ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
    return nullptr;
  }
  memcpy(name, lastTried, kTempNameSize);
  return f;
}

bool seq2Turned() { return gSeq2 && (gSeq2->flags & kSeqInverted); }

// The session's hits; then, when there are hits of the other strand or
// Reverse has turned sequence 2, "=" with sequence 2's orientation and
// those hits. Records of sessions on one strand stay as they were.
bool writeSnapshot(FILE *f) {
  for (const Hit *h = gHitHead1; h; h = h->next1)
    if (!writeHitEntry(f, h, true))
      return false;
  if (!gOther.head1 && seq2Turned() == gJournal.startTurned)
    return true;
  if (fprintf(f, "=%d\n", seq2Turned() ? 1 : 0) < 0)
    return false;
  for (const Hit *h = gOther.head1; h; h = h->next1)
    if (!writeHitEntry(f, h, true))
      return false;
  return true;
}
} // namespace

void journalOpenFiles() {
  if (!gAtexitDone) {
    atexit(journalShutdown);
    gAtexitDone = true;
  }
  if (!gJournal.undo)
    gJournal.undo = openOne("VelkUndo.!%d", gJournal.undoName, gJournal.lastUndoTried,
                            "Cannot open file for undo.\n   Filename: %s\n");
  if (!gJournal.foot)
    gJournal.foot = openOne("VelkFoot.!%d", gJournal.footName, gJournal.lastFootTried,
                            "Cannot open file for footnotes.\n   Filename: %s\n");
  syncSignalNames();
}

void journalWriteFailed() {
  // Without a user to heed a caution, a lost journal is an error: the
  // command file stops before an undo that would do nothing.
  if (!gJournal.writeFailed && ui() == &headlessUi()) {
    char text[kTempNameSize + 96];
    snprintf(text, sizeof text, "Cannot write undo information.\n   Temporary folder: %s\n",
             tempDirectory());
    ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
  } else if (!gJournal.writeFailed) {
    ui()->messageBox("Caution",
                     "Not enough space for undo information.\n\"Undo\" and \"Redo\" options "
                     "will be not available.\n",
                     Buttons::Ok, kAnswerOk);
  }
  gJournal.disabled = gJournal.writeFailed = true;
}

void JournalAction(int32_t id) {
  int k = journalActionIndex(id);
  if (k < 0)
    return;
  uint32_t f = kJournalActions[k].flags;
  JournalFiles &j = gJournal;
  if (f & kJournalStartsSession) {
    journalOpenFiles();
    j.active = true;
    j.current = j.position = j.logicalEnd = j.footEnd = 0;
    j.currentState = j.newestState = j.savedState = 0;
    j.startTurned = seq2Turned();
    if (j.foot && (fflush(j.foot) != 0 || ftruncate(fileno(j.foot), 0) != 0)) {
      fclose(j.foot); // not usable for this session: Move to footnotes will refuse
      unlink(j.footName);
      j.foot = nullptr;
      j.footName[0] = 0;
      syncSignalNames();
    }
    // Without a file the state numbers still run, so the exit question is
    // asked; only Undo and Redo are lost.
    j.disabled = j.writeFailed || j.undo == nullptr;
  } else if (!j.active) {
    return;
  }
  j.beyondFirst = !(f & kJournalStartsSession);
  if (f & kJournalSnapshot)
    j.newestState = ++j.currentState;
  if (j.disabled)
    return;
  long previous = j.current;
  j.current = j.position;
  bool ok = fseek(j.undo, j.position, SEEK_SET) == 0 &&
            fprintf(j.undo, ">%d %d %ld\n", k, static_cast<int>(f), previous) >= 0;
  if (ok && (f & kJournalSnapshot))
    ok = writeSnapshot(j.undo);
  if (ok)
    ok = fflush(j.undo) == 0;
  long end = ok ? ftell(j.undo) : -1;
  if (end < 0) {
    journalWriteFailed();
    return;
  }
  j.position = j.logicalEnd = end;
}

void MarkSaved() { gJournal.savedState = gJournal.currentState; }

bool journalHasUnsavedChanges() {
  const JournalFiles &j = gJournal;
  if (!j.active || !j.beyondFirst || j.currentState == j.savedState)
    return false;
  if (gOther.head1)
    return true;
  return gHitHead1 && (gHitHead1->next1 || gHitHead1->firstBlock);
}

const char *JournalPositionText(int32_t actionIndex) {
  static char text[96];
  const char *name = actionIndex >= 0 && actionIndex < kJournalActionCount
                         ? kJournalActions[actionIndex].name
                         : "";
  snprintf(text, sizeof text, "%d/%d %s", gJournal.currentState - 1, gJournal.newestState - 1,
           name);
  return text;
}

void journalShutdown() {
  JournalFiles &j = gJournal;
  if (j.undo)
    fclose(j.undo);
  if (j.foot)
    fclose(j.foot);
  if (j.undoName[0])
    unlink(j.undoName);
  if (j.footName[0])
    unlink(j.footName);
  memset(&j, 0, sizeof j);
  syncSignalNames();
}

bool journalActive() { return gJournal.active; }
bool journalDisabled() { return gJournal.disabled; }
int32_t journalCurrentState() { return gJournal.currentState; }
int32_t journalNewestState() { return gJournal.newestState; }
const char *journalUndoFileName() { return gJournal.undoName; }
const char *journalFootFileName() { return gJournal.footName; }
