// The global format: one end-to-end alignment of the window, hits marked
// with brackets and interhits with colons. The writer only prints: aligning
// the interhits for the occasion is the caller's part.
#include <algorithm>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"

namespace {
constexpr uint8_t kExonMark = 0x40;              // residue lies in an annotated exon
const char *const kMarks = kResidueLetters + 32; // "*|{[}]}]"

void flushGlobalLines() {
  if (!gWriter.columns)
    return;
  int c = gWriter.columns;
  gWriter.line1[c] = gWriter.middle[c] = gWriter.line2[c] = 0;
  writerPrintf("%9d: %s\n           %s\n%9d: %s\n\n\n", filePosition(gSeq1, gWriter.lineStart1),
               gWriter.line1, gWriter.middle, filePosition(gSeq2, gWriter.lineStart2),
               gWriter.line2);
  gWriter.columns = 0;
  gWriter.lineStart1 = gWriter.p1;
  gWriter.lineStart2 = gWriter.p2;
}

void addColumn(uint8_t r1, uint8_t r2, char mark) {
  if (gWriter.columns >= kLineColumns)
    flushGlobalLines();
  int c = gWriter.columns++;
  gWriter.line1[c] = columnLetter(r1);
  gWriter.line2[c] = columnLetter(r2);
  gWriter.middle[c] = mark;
  if (r1 != kGapCode)
    ++gWriter.p1;
  if (r2 != kGapCode)
    ++gWriter.p2;
}

bool inExon(uint8_t r1, uint8_t r2) {
  return (r1 != kGapCode && (r1 & kExonMark)) || (r2 != kGapCode && (r2 & kExonMark));
}

struct HitSink : ColumnSink {
  void column(uint8_t r1, uint8_t r2) override {
    char mark = ' ';
    if (basesEqual(r1, r2)) {
      int index = inExon(r1, r2) ? 0 : 1;
      if (isFirstColumn())
        index += 2;
      if (isLastColumn())
        index += 4;
      mark = kMarks[index];
    }
    addColumn(r1, r2, mark);
  }
};

struct InterhitSink : ColumnSink {
  void column(uint8_t r1, uint8_t r2) override {
    addColumn(r1, r2, basesEqual(r1, r2) ? (inExon(r1, r2) ? '+' : ':') : ' ');
  }
};

// Pairs residues from the left up to (end1, end2), the longer side's excess
// against one run of gaps.
void emitInterhit(int32_t end1, int32_t end2) {
  InterhitSink sink;
  const uint8_t *s1 = gSeq1->residues, *s2 = gSeq2->residues;
  while (gWriter.p1 < end1 || gWriter.p2 < end2) {
    if (gWriter.p1 < end1)
      sink.column(s1[gWriter.p1], gWriter.p2 < end2 ? s2[gWriter.p2] : kGapCode);
    else
      sink.column(kGapCode, s2[gWriter.p2]);
  }
}

void setExonMarks(Sequence *s, bool on) {
  if (!on) {
    for (int32_t i = 0; i < s->length; ++i)
      s->residues[i] &= ~kExonMark;
    return;
  }
  const int32_t L = s->length;
  const bool inverted = s->flags & kSeqInverted;
  for (const Annotation *a = s->annotations; a; a = a->next) {
    if ((a->kind & ~kAnnComplement) < kAnnExon)
      continue;
    for (int i = 0; i + 1 < a->coordinateCount; i += 2) {
      int32_t from = a->coordinates[i], to = a->coordinates[i + 1];
      int32_t lo = inverted ? L - to : from - 1, hi = inverted ? L - from : to - 1;
      if (lo < 0)
        lo = 0;
      for (int32_t p = lo; p <= hi && p < L; ++p)
        s->residues[p] |= kExonMark;
    }
  }
}

// Exon marks on the residues never outlive the write.
struct ExonMarks {
  ExonMarks() {
    setExonMarks(gSeq1, true);
    setExonMarks(gSeq2, true);
  }
  ~ExonMarks() {
    setExonMarks(gSeq1, false);
    setExonMarks(gSeq2, false);
  }
};

bool printable(const Hit *h, bool windowOnly) {
  return h->firstBlock && (!windowOnly || HitInArea(h, gCurrent->region));
}
} // namespace

namespace {
void refuseForConflicts() {
  ui()->messageBox("Error", "Cannot construct global alignment\ndue to conflicts.", Buttons::Ok,
                   kAnswerOk);
}
} // namespace

bool RefuseGlobalForConflicts(bool windowOnly) {
  WindowRecord *w = gCurrent;
  int32_t inWindow = 0, printed = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock && (h->flags & kHitConflict)) {
      inWindow += HitInArea(h, w->region);
      printed += printable(h, windowOnly);
    }
  w->conflictCount = inWindow;
  if (!printed)
    return false;
  refuseForConflicts();
  return true;
}

bool WriteGlobalFile(bool windowOnly) {
  return !RefuseGlobalForConflicts(windowOnly) && WriteGlobalText(windowOnly);
}

bool WriteGlobalText(bool windowOnly) {
  WindowRecord *w = gCurrent;
  const char *name = gPathBuffer;
  if (!writerOpen(name))
    return false;
  writeSequenceHeaders(name);
  writeParameterHeader();

  Hit *first = gHitHead1;
  while (first && !printable(first, windowOnly))
    first = first->next1;
  if (!first)
    return writerClose(true);

  gWriter.p1 = gWriter.lineStart1 = first->start1 < w->region[0] ? first->start1 : w->region[0];
  gWriter.p2 = gWriter.lineStart2 = first->start2 < w->region[2] ? first->start2 : w->region[2];
  gWriter.columns = 0;
  ExonMarks marks;

  for (Hit *h = first; h; h = h->next1) {
    if (!printable(h, windowOnly))
      continue;
    const int32_t s1 = h->start1 + h->firstBlock->x, s2 = h->start2 + h->firstBlock->y;
    // A hit that overlaps what is already printed cannot join one
    // alignment: rather no file than one without it.
    if (s1 < gWriter.p1 || s2 < gWriter.p2) {
      writerDiscard();
      refuseForConflicts();
      return false;
    }
    emitInterhit(s1, s2);
    if (h->flags & kHitInterhit) {
      InterhitSink sink;
      WalkHitColumns(h, h->firstBlock, sink);
    } else {
      HitSink sink;
      WalkHitColumns(h, h->firstBlock, sink);
    }
  }
  emitInterhit(std::min(w->region[1], gSeq1->length), std::min(w->region[3], gSeq2->length));
  flushGlobalLines();
  return writerClose(true);
}
