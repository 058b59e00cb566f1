// PAF and MAF: the hits for the tools that come after Velk (genome browsers,
// liftover, R and Python, other aligners' comparisons).
//
// Both are written from one record per hit that holds its columns and, for
// each sequence, whether its held positions count on the reverse strand of
// the sequence's file. Every hit is first turned so that sequence 1 reads
// forward: PAF's target and MAF's first row are then on "+", and the strand
// of sequence 2 carries the orientation.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/strands.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"

namespace {

uint8_t complementCode(uint8_t r) {
  return r == kGapCode || (r & kResN) ? r : uint8_t(r ^ kBaseMask);
}

struct ColumnCollector : ColumnSink {
  std::vector<AlignedColumn> *columns;
  void column(uint8_t r1, uint8_t r2) override { columns->push_back({r1, r2}); }
};

// The name other tools know the sequence by: its record's, else the file's
// own name without folders.
std::string nameOf(const Sequence *s) {
  if (s->recordName[0])
    return s->recordName;
  const char *slash = strrchr(s->fileName, '/');
  std::string name = slash ? slash + 1 : s->fileName;
  for (char &c : name)
    if (c == ' ' || c == '\t')
      c = '_';
  return name.empty() ? std::string("unnamed") : name;
}

// [from, to) on the forward strand of a sequence of `length` residues.
void forwardSpan(int32_t start, int32_t end, bool minus, int32_t length, int32_t &from,
                 int32_t &to) {
  from = minus ? length - end : start;
  to = minus ? length - start : end;
}

bool wanted(const Hit *h, bool windowOnly) {
  return h->firstBlock && (!windowOnly || anyHitInArea(h, gCurrent->region));
}

// Calls write(pair) for each hit to write, in the order of the main list;
// then for the hits of the other strand, read with sequence 2 turned to it
// (their positions are then those of the turned sequence: on "-" when it
// was held forward).
template <class Write> void forEachAlignedPair(bool windowOnly, Write write) {
  AlignedPair pair;
  for (const Hit *h = gHitHead1; h; h = h->next1)
    if (wanted(h, windowOnly)) {
      AlignedPairOfHit(h, h->firstBlock, false, pair);
      write(pair);
    }
  writeOtherStrandHits([windowOnly](const Hit *h) { return wanted(h, windowOnly); }, [] {},
                       [&](const Hit *h) {
                         AlignedPairOfHit(h, h->firstBlock, false, pair);
                         write(pair);
                       });
}

void writePafLine(const AlignedPair &p) {
  const int32_t length1 = gSeq1->length, length2 = gSeq2->length;
  int32_t from1, to1, from2, to2;
  forwardSpan(p.start1, p.end1, p.minus1, length1, from1, to1);
  forwardSpan(p.start2, p.end2, p.minus2, length2, from2, to2);
  int32_t matches = 0;
  for (const AlignedColumn &c : p.columns)
    matches += basesEqual(c.r1, c.r2);
  const int32_t blockLength = int32_t(p.columns.size());
  // M for a column of two residues, D for a residue of sequence 1 (the
  // target) alone, I for one of sequence 2 alone. A stretch between two
  // blocks is written as its deletions, then its insertions: the same
  // residues are paired as in the local file.
  std::string cigar;
  auto put = [&cigar](int32_t n, char op) {
    if (n)
      cigar += std::to_string(n) + op;
  };
  int32_t run = 0, deleted = 0, inserted = 0;
  for (const AlignedColumn &c : p.columns) {
    if (c.r1 != kGapCode && c.r2 != kGapCode) {
      put(deleted, 'D');
      put(inserted, 'I');
      deleted = inserted = 0;
      ++run;
      continue;
    }
    put(run, 'M');
    run = 0;
    ++(c.r2 == kGapCode ? deleted : inserted);
  }
  put(deleted, 'D');
  put(inserted, 'I');
  put(run, 'M');
  writerPrintf("%s\t%d\t%d\t%d\t%c\t%s\t%d\t%d\t%d\t%d\t%d\t255\ttp:A:P\tcg:Z:%s\tNM:i:%d\t"
               "AS:i:%d\n",
               nameOf(gSeq2).c_str(), length2, from2, to2, p.minus2 ? '-' : '+',
               nameOf(gSeq1).c_str(), length1, from1, to1, matches, blockLength, cigar.c_str(),
               blockLength - matches, p.score);
}

void writeMafBlock(const AlignedPair &p) {
  const int32_t length1 = gSeq1->length, length2 = gSeq2->length;
  int32_t from1, to1, from2, to2;
  forwardSpan(p.start1, p.end1, p.minus1, length1, from1, to1);
  forwardSpan(p.start2, p.end2, p.minus2, length2, from2, to2);
  std::string text1, text2;
  text1.reserve(p.columns.size());
  text2.reserve(p.columns.size());
  for (const AlignedColumn &c : p.columns) {
    text1 += columnLetter(c.r1);
    text2 += columnLetter(c.r2);
  }
  const std::string name1 = nameOf(gSeq1), name2 = nameOf(gSeq2);
  const int width = int(std::max(name1.size(), name2.size()));
  // A row on "-" starts where it lies on the reverse strand.
  const int32_t start2 = p.minus2 ? length2 - to2 : from2;
  writerPrintf("a score=%d\n", p.score);
  writerPrintf("s %-*s %d %d + %d %s\n", width, name1.c_str(), from1, to1 - from1, length1,
               text1.c_str());
  writerPrintf("s %-*s %d %d %c %d %s\n\n", width, name2.c_str(), start2, to2 - from2,
               p.minus2 ? '-' : '+', length2, text2.c_str());
}

} // namespace

void AlignedPairOfHit(const Hit *hit, HitBlock *first, bool otherStrand2, AlignedPair &pair) {
  pair.columns.clear();
  ColumnCollector sink;
  sink.columns = &pair.columns;
  WalkHitColumns(hit, first, sink);
  ColumnCounts c;
  const int32_t score = CountHitColumns(hit, first, &c);
  pair.score = (score + 50) / 100; // as the local file's "Score:" line
  pair.start1 = hit->start1 + first->x;
  pair.end1 = pair.start1 + c.residues1;
  pair.start2 = hit->start2 + first->y;
  pair.end2 = pair.start2 + c.residues2;
  pair.minus1 = gSeq1->flags & kSeqInverted;
  pair.minus2 = bool(gSeq2->flags & kSeqInverted) != otherStrand2;
  if (!pair.minus1)
    return;
  // Turned: sequence 1 forward, sequence 2 on the other strand.
  std::reverse(pair.columns.begin(), pair.columns.end());
  for (AlignedColumn &col : pair.columns) {
    col.r1 = complementCode(col.r1);
    col.r2 = complementCode(col.r2);
  }
  const int32_t length1 = gSeq1->length, length2 = gSeq2->length;
  const int32_t s1 = pair.start1, s2 = pair.start2;
  pair.start1 = length1 - pair.end1;
  pair.end1 = length1 - s1;
  pair.start2 = length2 - pair.end2;
  pair.end2 = length2 - s2;
  pair.minus1 = false;
  pair.minus2 = !pair.minus2;
}

bool WritePafFile(bool windowOnly) {
  if (!writerOpen(gPathBuffer))
    return false;
  forEachAlignedPair(windowOnly, writePafLine);
  return writerClose(false);
}

bool WriteMafFile(bool windowOnly) {
  if (!writerOpen(gPathBuffer))
    return false;
  writerPrintf("##maf version=1\n\n");
  forEachAlignedPair(windowOnly, writeMafBlock);
  return writerClose(false);
}
