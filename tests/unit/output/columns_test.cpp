#include "output/columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/residue.h"
#include "seq_builders.h"

namespace {
// Records every column as two letters and the walk's answers.
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
} // namespace

TEST(ColumnWalk, GapRegionAlternatesAndCountsAsOneGap) {
  // Blocks AC|GT in both, with TTT inserted in sequence 1 and GG in 2.
  loadTestSequences("ACTTTGT", "ACGGGT");
  Hit *h = makeTestHit(0, 0, {{0, 0, 2}, {5, 4, 2}});
  RecordingSink rec;
  WalkHitColumns(h, h->firstBlock, rec);
  EXPECT_EQ(rec.top, "ACT-T-TGT");
  EXPECT_EQ(rec.bottom, "AC-G-G-GT");
  EXPECT_EQ(rec.firsts, std::vector<int>{0});
  EXPECT_EQ(rec.lasts, std::vector<int>{8});

  ColumnCounts c;
  int32_t score = CountHitColumns(h, h->firstBlock, &c);
  EXPECT_EQ(c.matches, 4);
  EXPECT_EQ(c.mismatches, 0);
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 5);
  EXPECT_EQ(c.residues1, 7);
  EXPECT_EQ(c.residues2, 6);
  EXPECT_EQ(score, 100 * (4 - 0 - 3 - 5));
  EXPECT_EQ(gHitCounts.gapLength, 5);
  EXPECT_EQ(h->firstBlock->identities, 2);
  EXPECT_EQ(h->firstBlock->next->blockScore, 200);
}

TEST(ColumnWalk, CutShortensTheBlockInTheNamedSequence) {
  // Second block starts inside the first one's diagonal: the cut decides
  // where the first one stops.
  loadTestSequences("ACGTACGT", "ACGTACGT");
  Hit *inSeq2 = makeTestHit(0, 0, {{0, 0, 4, 1, 2}, {3, 2, 3}});
  RecordingSink a;
  WalkHitColumns(inSeq2, inSeq2->firstBlock, a);
  EXPECT_EQ(a.top, "ACGTAC"); // AC, then G against a gap, then TAC
  EXPECT_EQ(a.bottom, "AC-GTA");

  Hit *inSeq1 = makeTestHit(0, 0, {{0, 0, 4, 0, 3}, {3, 5, 3}});
  RecordingSink b;
  WalkHitColumns(inSeq1, inSeq1->firstBlock, b);
  EXPECT_EQ(b.top, "ACG--TAC");
  EXPECT_EQ(b.bottom, "ACGTACGT");
}

TEST(ColumnWalk, IdentityOfBlocksDiffersFromMatchesForN) {
  // N agrees with A in the block figures but is a mismatch in the counts;
  // a repeat-marked residue still matches its base.
  loadTestSequences("AcNT", "ACAG");
  Hit *h = makeDiagonalHit(0, 0, 4);
  ColumnCounts c;
  int32_t score = CountHitColumns(h, h->firstBlock, &c);
  EXPECT_EQ(c.matches, 2);
  EXPECT_EQ(c.mismatches, 2);
  EXPECT_EQ(score, 0);
  EXPECT_EQ(h->firstBlock->identities, 3);
  EXPECT_EQ(h->firstBlock->blockScore, 200);
}

TEST(ColumnWalk, SuccessiveGapRegionsInBothSequencesFormOneGap) {
  // Insertion in sequence 1 right after one in sequence 2, with no column of
  // two residues between them: one gap.
  loadTestSequences("AAGGCCTT", "AACCTT");
  Hit *h = makeTestHit(0, 0, {{0, 0, 2}, {4, 2, 4}});
  ColumnCounts c;
  EXPECT_EQ(CountHitColumns(h, h->firstBlock, &c), 100 * (6 - 3 - 2));
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 2);

  // Two separate gaps, negative score.
  loadTestSequences("AGCTTGA", "ACTA");
  h = makeTestHit(0, 0, {{0, 0, 1}, {2, 1, 2}, {6, 3, 1}});
  EXPECT_EQ(CountHitColumns(h, h->firstBlock, &c), 100 * (4 - 6 - 3));
  EXPECT_EQ(c.gaps, 2);
  EXPECT_EQ(c.gapLength, 3);
}

TEST(ColumnWalk, OneColumnHitIsFirstAndLast) {
  loadTestSequences("GATTACA", "TTA");
  Hit *h = makeDiagonalHit(3, 1, 1);
  RecordingSink rec;
  WalkHitColumns(h, h->firstBlock, rec);
  EXPECT_EQ(rec.top, "T");
  EXPECT_EQ(rec.firsts, std::vector<int>{0});
  EXPECT_EQ(rec.lasts, std::vector<int>{0});
}
