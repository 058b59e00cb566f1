#include "engine/columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/residue.h"
#include "seq_builders.h"

namespace {
// The walk as rows: sequence 1, sequence 2, and F / L / B where the walk
// said first, last or both.
struct RecordingSink : ColumnSink {
  std::string top, bottom, marks;
  void column(uint8_t r1, uint8_t r2) override {
    top += r1 == kGapCode ? '-' : residueLetter(r1);
    bottom += r2 == kGapCode ? '-' : residueLetter(r2);
    marks += isFirstColumn() ? (isLastColumn() ? 'B' : 'F') : (isLastColumn() ? 'L' : '.');
  }
};
} // namespace

TEST(ColumnWalk, GapRegionsAndCuts) {
  const struct {
    const char *seq1, *seq2;
    std::vector<TestBlock> blocks;
    const char *want;
  } cases[] = {
      // TTT inserted in sequence 1 and GG in 2: the gap region alternates.
      {"ACTTTGT", "ACGGGT", {{0, 0, 2}, {5, 4, 2}}, "ACT-T-TGT/AC-G-G-GT/F.......L"},
      // The second block starts inside the first one's diagonal: the cut (in
      // sequence 2, then in 1) decides where the first one stops.
      {"ACGTACGT", "ACGTACGT", {{0, 0, 4, 1, 2}, {3, 2, 3}}, "ACGTAC/AC-GTA/F....L"},
      {"ACGTACGT", "ACGTACGT", {{0, 0, 4, 0, 3}, {3, 5, 3}}, "ACG--TAC/ACGTACGT/F......L"},
      {"GATTACA", "TTA", {{3, 1, 1}}, "T/T/B"},
  };
  for (const auto &c : cases) {
    loadTestSequences(c.seq1, c.seq2);
    Hit *h = makeTestHit(0, 0, c.blocks);
    RecordingSink rec;
    WalkHitColumns(h, h->firstBlock, rec);
    EXPECT_EQ(rec.top + "/" + rec.bottom + "/" + rec.marks, c.want);
    clearTestHits();
  }
}

TEST(ColumnWalk, CountsAndScore) {
  struct Case {
    const char *seq1, *seq2;
    std::vector<TestBlock> blocks;
    // matches, mismatches, gaps, gap length, residues 1, 2, score; identities
    // and score of the first block
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      // 3 residues against 2: one gap of length 5.
      {"ACTTTGT", "ACGGGT", {{0, 0, 2}, {5, 4, 2}}, {4, 0, 1, 5, 7, 6, -400, 2, 200}},
      {"AGCTTGA", "ACTA", {{0, 0, 1}, {2, 1, 2}, {6, 3, 1}}, {4, 0, 2, 3, 7, 4, -500, 1, 100}},
      // N is a mismatch in the counts but agrees with A in the block figures;
      // a repeat-marked residue matches its base.
      {"AcNT", "ACAG", {{0, 0, 4}}, {2, 2, 0, 0, 4, 4, 0, 3, 200}},
  };
  for (const Case &k : cases) {
    SCOPED_TRACE(k.seq1);
    loadTestSequences(k.seq1, k.seq2);
    Hit *h = makeTestHit(0, 0, k.blocks);
    ColumnCounts c;
    int32_t score = CountHitColumns(h, h->firstBlock, &c);
    EXPECT_EQ(std::vector<int32_t>({c.matches, c.mismatches, c.gaps, c.gapLength, c.residues1,
                                    c.residues2, score, h->firstBlock->identities,
                                    h->firstBlock->blockScore}),
              k.want);
    EXPECT_EQ(gHitCounts.gapLength, c.gapLength);
    clearTestHits();
  }
}
