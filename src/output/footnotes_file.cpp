#include "core/session.h"
#include "core/strands.h"
#include "engine/columns.h"
#include "ops/journal_entries.h"
#include "ops/journal_files.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"

namespace {
// Writes the footnotes of one strand in the order they were moved; returns
// whether the file holds any of the other.
bool writeFootnotes(bool otherStrand) {
  JournalFiles &j = gJournal;
  bool otherSeen = false;
  EntryReader r(j.foot, 0, j.footEnd);
  StagedHit staged;
  while (r.peek() == '/' && r.readHit(staged, false)) {
    const bool other = (staged.flags & kHitOtherStrand) != 0;
    otherSeen |= other;
    if (other != otherStrand)
      continue;
    Hit scratch{};
    scratch.start1 = staged.start1;
    scratch.end1 = staged.end1;
    scratch.start2 = staged.start2;
    scratch.end2 = staged.end2;
    attachStagedBlocks(&scratch, staged);
    if (scratch.firstBlock) {
      scratch.score = CountHitColumns(&scratch, scratch.firstBlock);
      WriteHitLocal(&scratch, scratch.firstBlock);
    }
    for (HitBlock *b = scratch.firstBlock, *next; b; b = next) {
      next = b->next;
      freeBlock(b);
    }
  }
  return otherSeen;
}
} // namespace

bool SaveFootnotes(const char *fileName) {
  JournalFiles &j = gJournal;
  if (j.foot)
    fflush(j.foot);
  if (!WriteFootnotesHeader(fileName))
    return false;
  if (j.foot && writeFootnotes(false)) {
    OtherStrandResidues turned;
    writerPrintf("\n%s\n", kReverseSectionTitle);
    writeFootnotes(true);
  }
  return CloseFootnotesFile();
}
