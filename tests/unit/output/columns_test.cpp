#include "output/columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/residue.h"
#include "seq_builders.h"

namespace {
// Records every column as two letters and where the walk said first / last.
struct RecordingSink : ColumnSink {
  std::string top, bottom;
  std::vector<int> firsts, lasts;
  void column(uint8_t r1, uint8_t r2) override {
    top += r1 == kGapCode ? '-' : residueLetter(r1);
    bottom += r2 == kGapCode ? '-' : residueLetter(r2);
    if (isFirstColumn())
      firsts.push_back(static_cast<int>(top.size()) - 1);
    if (isLastColumn())
      lasts.push_back(static_cast<int>(top.size()) - 1);
  }
};
std::string walk(const Hit *h) {
  RecordingSink rec;
  WalkHitColumns(h, h->firstBlock, rec);
  return rec.top + "/" + rec.bottom;
}
} // namespace

TEST(ColumnWalk, GapRegionAlternatesBetweenTheSequences) {
  // Blocks AC|GT in both, with TTT inserted in sequence 1 and GG in 2.
  loadTestSequences("ACTTTGT", "ACGGGT");
  Hit *h = makeTestHit(0, 0, {{0, 0, 2}, {5, 4, 2}});
  RecordingSink rec;
  WalkHitColumns(h, h->firstBlock, rec);
  EXPECT_EQ(rec.top + "/" + rec.bottom, "ACT-T-TGT/AC-G-G-GT");
  EXPECT_EQ(rec.firsts, std::vector<int>{0});
  EXPECT_EQ(rec.lasts, std::vector<int>{8});
}

TEST(ColumnWalk, CutShortensTheBlockInTheNamedSequence) {
  // The second block starts inside the first one's diagonal: the cut decides
  // where the first one stops.
  loadTestSequences("ACGTACGT", "ACGTACGT");
  EXPECT_EQ(walk(makeTestHit(0, 0, {{0, 0, 4, 1, 2}, {3, 2, 3}})), "ACGTAC/AC-GTA");
  EXPECT_EQ(walk(makeTestHit(0, 0, {{0, 0, 4, 0, 3}, {3, 5, 3}})), "ACG--TAC/ACGTACGT");
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
      {"AAGGCCTT", "AACCTT", {{0, 0, 2}, {4, 2, 4}}, {6, 0, 1, 2, 8, 6, 100, 2, 200}},
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
