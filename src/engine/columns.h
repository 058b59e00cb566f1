// The column walk of a hit: its chain of gapless blocks turned into
// alignment columns. Writers, counts, the journal and the display all read a
// hit through this one walk, so they agree on every column.
#pragma once
#include <cstdint>

#include "core/records.h"

// Stands for a missing residue in a column: the code of '-'.
constexpr uint8_t kGapCode = 45;

// Receives the columns of a walk. While column() runs the walk answers two
// questions through the sink itself.
class ColumnSink {
public:
  virtual ~ColumnSink() = default;
  // r1, r2: residue codes of sequence 1 and 2, or kGapCode.
  virtual void column(uint8_t r1, uint8_t r2) = 0;
  // No diagonal column of the hit has been emitted yet.
  bool isFirstColumn() const { return first; }
  // The last diagonal column of the hit's last block.
  bool isLastColumn() const { return last; }

private:
  friend void WalkHitColumns(const Hit *, HitBlock *, ColumnSink &);
  bool first = false;
  bool last = false;
};

// Walks from firstBlock to the end of the chain, reading the residues of
// gSeq1 and gSeq2. Writes identities and blockScore of every block passed.
void WalkHitColumns(const Hit *hit, HitBlock *firstBlock, ColumnSink &sink);

struct ColumnCounts {
  int32_t matches = 0;
  int32_t mismatches = 0;
  int32_t gaps = 0;
  int32_t gapLength = 0;
  int32_t residues1 = 0; // residues of sequence 1 passed
  int32_t residues2 = 0;
};

// Counts of the last CountHitColumns.
extern ColumnCounts gHitCounts;

// Fixed-weight score in hundredths: 100 * (matches - mismatches - 3 * gaps -
// gapLength). A gap run not followed by a column of two residues is not
// counted. The counts go to gHitCounts and, if given, to *counts.
int32_t CountHitColumns(const Hit *hit, HitBlock *firstBlock, ColumnCounts *counts = nullptr);

// The counting sink, for walks that also do something else per column.
class CountingSink : public ColumnSink {
public:
  void column(uint8_t r1, uint8_t r2) override;
  int32_t score() const;
  ColumnCounts counts;

private:
  int32_t pendingGap = 0;
};

// Where a block's successor starts beyond it in both sequences the walk
// would print a gap in one sequence beside a gap in the other. Aligning as
// many of those residues as pair up, on whichever of the two diagonals
// matches more, scores better under any gap cost; the rest stays one gap.
// s1 and s2 point at the residues the blocks' x and y are relative to.
// Returns whether a junction changed.
bool closeOppositeGaps(const uint8_t *s1, const uint8_t *s2, HitBlock *first);
