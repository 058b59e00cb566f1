// Undo and Redo: read a record of the journal and put its snapshot in place
// of the present hit list. A snapshot is read whole before anything is
// replaced, so a damaged record leaves the hits as they were.
#include <new>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "engine/columns.h"
#include "engine/strands.h"
#include "ops/journal.h"
#include "ops/journal_entries.h"
#include "ops/journal_files.h"

constexpr int32_t kReportUndo = 6, kReportRedo = 7;

namespace {
struct Snapshot {
  std::vector<StagedHit> hits, other;
  bool turned = false; // sequence 2's orientation in the record
};

bool seq2Turned() { return gSeq2 && (gSeq2->flags & kSeqInverted); }

bool readEntries(EntryReader &r, std::vector<StagedHit> &hits) {
  hits.clear();
  while (r.peek() == '/') {
    hits.emplace_back();
    if (!r.readHit(hits.back(), true))
      return false;
  }
  return true;
}

// Reads the snapshot that follows a header, up to the next record (or the
// logical end): the session's hits, then the other strand's part if any.
bool readSnapshot(EntryReader &r, Snapshot &s) {
  s.turned = gJournal.startTurned;
  s.other.clear();
  if (!readEntries(r, s.hits))
    return false;
  if (r.peek() == '=') {
    r.get();
    const int turned = r.get();
    if ((turned != '0' && turned != '1') || r.get() != '\n' || !readEntries(r, s.other))
      return false;
    s.turned = turned == '1';
  }
  return r.peek() == '>' || r.peek() == EOF;
}

void installSnapshot(const Snapshot &s) {
  const WindowRecord *w = gCurrent;
  int32_t x = w->selectedHit ? w->selectedHit->start1 : w->region[0];
  int32_t y = w->selectedHit ? w->selectedHit->start2 : w->region[2];
  clearHits();
  clearOtherStrand();
  if (s.turned != seq2Turned())
    turnSequence2();
  bool canCount = gSeq1 && gSeq1->residues && gSeq2 && gSeq2->residues;
  auto make = [](const StagedHit &e, uint32_t flags) {
    Hit *h = allocateHit();
    h->start1 = e.start1;
    h->end1 = e.end1;
    h->start2 = e.start2;
    h->end2 = e.end2;
    h->flags = flags;
    attachStagedBlocks(h, e);
    return h;
  };
  try {
    // Each new hit goes to the head of the list: build from the back so the
    // list comes out in snapshot order. The other strand's go on top, in
    // their order, and are moved aside in reverse, which restores it.
    for (size_t i = s.hits.size(); i-- > 0;) {
      Hit *h = make(s.hits[i], s.hits[i].flags & ~kHitOtherStrand);
      if (h->firstBlock && canCount)
        h->score = CountHitColumns(h, h->firstBlock);
    }
    for (const StagedHit &e : s.other)
      make(e, e.flags | kHitOtherStrand);
  } catch (const EngineAbort &) {
    // Out of records: keep what could be rebuilt.
  }
  adoptOtherStrandHits();
  scoreOtherStrand();
  rebuildLists(x, y);
  for (WindowRecord &slot : gSlots)
    slot.flagsA |= kWinRecount | kWinRepaint;
  ui()->requestRepaint();
}

// Reads the snapshot of the record at `target`, or of the nearest record
// before it that holds one (records without a snapshot or session start are
// passed over); `target` becomes that record. False when there is none.
bool readRecordSnapshot(long &target, Snapshot &s, int32_t &k, uint32_t &f, long &after) {
  JournalFiles &j = gJournal;
  long previous;
  for (;;) {
    EntryReader r(j.undo, target, j.logicalEnd);
    if (!r.readHeader(k, f, previous))
      return false;
    if (f & (kJournalStartsSession | kJournalSnapshot))
      break;
    if (target == 0)
      return false;
    target = previous;
  }
  EntryReader r(j.undo, target, j.logicalEnd);
  r.readHeader(k, f, previous);
  if ((f & kJournalSnapshot) && !readSnapshot(r, s))
    return false;
  after = r.position();
  return true;
}
} // namespace

bool UndoActionShortOfMemory() {
  if (!outOfMemoryNoted())
    return false;
  JournalFiles &j = gJournal;
  Snapshot snapshot;
  long target = j.current, after;
  int32_t k;
  uint32_t f;
  try {
    if (j.active && j.undo && !j.disabled && readRecordSnapshot(target, snapshot, k, f, after) &&
        (f & kJournalSnapshot)) {
      rememberSelections();
      installSnapshot(snapshot);
      restoreSelections();
    }
  } catch (const std::bad_alloc &) {
    // Not even the snapshot fits: the hits stay as the action left them.
  }
  reportActionOutOfMemory();
  return true;
}

void UndoStep() {
  JournalFiles &j = gJournal;
  gCurrent->reportKind = 0;
  if (!j.undo || j.current == 0 || j.disabled)
    return;
  int32_t k0, k;
  uint32_t f0, f;
  long target;
  EntryReader first(j.undo, j.current, j.logicalEnd);
  if (!first.readHeader(k0, f0, target))
    return;
  Snapshot snapshot;
  long after;
  if (!readRecordSnapshot(target, snapshot, k, f, after))
    return;
  if (f & kJournalSnapshot)
    installSnapshot(snapshot);
  --j.currentState;
  j.current = target;
  j.position = after;
  j.beyondFirst = target != 0;
  gCurrent->reportKind = kReportUndo;
  gCurrent->reportFirst = k0;
  gCurrent->reportSecond = static_cast<int32_t>(f0);
}

void RedoStep() {
  JournalFiles &j = gJournal;
  gCurrent->reportKind = 0;
  if (!j.undo || j.position >= j.logicalEnd || j.disabled)
    return;
  EntryReader r(j.undo, j.position, j.logicalEnd);
  int32_t k;
  uint32_t f;
  long previous, at;
  for (;;) {
    while (r.peek() != '>') {
      if (r.get() == EOF)
        return;
    }
    at = r.position();
    if (!r.readHeader(k, f, previous))
      return;
    if (f & (kJournalStartsSession | kJournalSnapshot))
      break;
  }
  Snapshot snapshot;
  if ((f & kJournalSnapshot) && !readSnapshot(r, snapshot))
    return;
  if (f & kJournalSnapshot)
    installSnapshot(snapshot);
  ++j.currentState;
  j.current = at;
  j.position = r.position();
  j.beyondFirst = at != 0;
  gCurrent->reportKind = kReportRedo;
  gCurrent->reportFirst = k;
  gCurrent->reportSecond = static_cast<int32_t>(f);
}
