// Summary, local and footnotes files: one row or one three-line alignment
// per hit.
#include <cstring>

#include "core/session.h"
#include "core/strands.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"

const char kReverseSectionTitle[] = "Reverse strand:";

namespace {
void flushLocalLines() {
  if (!gWriter.columns)
    return;
  gWriter.line1[gWriter.columns] = gWriter.middle[gWriter.columns] =
      gWriter.line2[gWriter.columns] = 0;
  writerPrintf("%s\n%s\n%s\n\n", gWriter.line1, gWriter.middle, gWriter.line2);
  gWriter.columns = 0;
}

struct LocalPrintSink : ColumnSink {
  void column(uint8_t r1, uint8_t r2) override {
    if (gWriter.columns >= kLineColumns)
      flushLocalLines();
    int c = gWriter.columns++;
    gWriter.line1[c] = columnLetter(r1);
    gWriter.line2[c] = columnLetter(r2);
    gWriter.middle[c] = basesEqual(r1, r2) ? '|' : ' ';
  }
};

bool writeHitHere(const Hit *hit, bool windowOnly) {
  return hit->firstBlock && (!windowOnly || anyHitInArea(hit, gCurrent->region));
}

// The second set's section, only when it holds hits to write.
template <typename Write> void writeOtherStrand(bool windowOnly, Write write) {
  writeOtherStrandHits([windowOnly](const Hit *h) { return writeHitHere(h, windowOnly); },
                       [] { writerPrintf("\n%s\n", kReverseSectionTitle); }, write);
}

// Score, coordinate line and alignment of one hit.
void writeLocalHit(const Hit *hit, HitBlock *first) {
  ColumnCounts c;
  int32_t score = CountHitColumns(hit, first, &c);
  writerPrintf("\n");
  writerPrintf("Score: %d, Matches: %d, Mismatches: %d, Gaps #: %d Gaps length: %d\n",
               (score + 50) / 100, c.matches, c.mismatches, c.gaps, c.gapLength);
  int32_t s1 = hit->start1 + first->x, s2 = hit->start2 + first->y;
  writerPrintf("     1st: %u .. %u (%d)   2nd: %u .. %u (%d)\n", unsigned(filePosition(gSeq1, s1)),
               unsigned(filePosition(gSeq1, s1 + c.residues1 - 1)), c.residues1,
               unsigned(filePosition(gSeq2, s2)),
               unsigned(filePosition(gSeq2, s2 + c.residues2 - 1)), c.residues2);
  gWriter.columns = 0;
  LocalPrintSink sink;
  WalkHitColumns(hit, first, sink);
  flushLocalLines();
}

bool openWithHeaders(const char *name) {
  if (!writerOpen(name))
    return false;
  writeSequenceHeaders(name);
  writeParameterHeader();
  return true;
}
} // namespace

bool WriteLocalFile(bool windowOnly) {
  if (!openWithHeaders(gPathBuffer))
    return false;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (writeHitHere(h, windowOnly))
      writeLocalHit(h, h->firstBlock);
  writeOtherStrand(windowOnly, [](Hit *h) { writeLocalHit(h, h->firstBlock); });
  return writerClose(true);
}

namespace {
void writeSummaryRow(Hit *h) {
  ColumnCounts c;
  CountHitColumns(h, h->firstBlock, &c);
  int32_t s1 = h->start1 + h->firstBlock->x, s2 = h->start2 + h->firstBlock->y;
  writerPrintf("%6d; %6d;  %6d; %6d;   %5d; %5d; %5d; %5d\n", filePosition(gSeq1, s1),
               filePosition(gSeq1, s1 + c.residues1 - 1), filePosition(gSeq2, s2),
               filePosition(gSeq2, s2 + c.residues2 - 1), c.matches, c.mismatches, c.gaps,
               c.gapLength);
}
} // namespace

bool WriteSummaryFile(bool windowOnly) {
  if (!openWithHeaders(gPathBuffer))
    return false;
  writerPrintf("1st from; 1st to; 2nd from; 2nd to; Matches; Mismatches; Gaps #; Gaps length\n");
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (writeHitHere(h, windowOnly))
      writeSummaryRow(h);
  writeOtherStrand(windowOnly, writeSummaryRow);
  return writerClose(true);
}

bool WriteFootnotesHeader(const char *fileName) {
  if (!writerOpen(fileName))
    return false;
  writerPrintf("Footnotes\n\n");
  writeSequenceHeaders(fileName);
  return true;
}

void WriteHitLocal(const Hit *hit, HitBlock *firstBlock) {
  if (gWriter.file && firstBlock)
    writeLocalHit(hit, firstBlock);
}

bool CloseFootnotesFile() { return writerClose(false); }
