#include <tuple>
#include <utility>

#include "core/flags.h"
#include "engine/columns.h"
#include "engine/refine.h"
#include "engine/search.h"
#include "realign_fixture.h"

namespace {

// Sequence 2 has two extra residues (TT) between the two halves.
const std::string kLeft = "ACGTTGCAAC", kRight = "GTCAGT";

class RefineTest : public RealignTest {
protected:
  void loadInsertion() { load(kLeft + kRight, kLeft + "TT" + kRight); }
  // The insertion with the gap three positions too late.
  Hit *misplaced() { return makeTestHit(0, 0, {{0, 0, 13, kLinkGapInY, 13}, {13, 15, 3}}); }
  static ColumnCounts counts(Hit *h) {
    ColumnCounts c;
    CountHitColumns(h, h->firstBlock, &c);
    return c;
  }
};

TEST_F(RefineTest, SlideCutMovesTheGapToWhereItLosesFewestMatches) {
  loadInsertion();
  Hit *h = misplaced();
  EXPECT_TRUE(slideCut(h, h->firstBlock));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {10, 12, 6}}));
  EXPECT_EQ(h->firstBlock->cut, 10);
  EXPECT_FALSE(slideCut(h, h->firstBlock)); // once in place it stays
  clearTestHits();
  // Three positions too early, the gap in sequence 1 (the cut in sequence 2).
  load(kLeft + "TT" + kRight, kLeft + kRight);
  h = makeTestHit(0, 0, {{0, 0, 7, kLinkGapInX, 7}, {9, 7, 9}});
  EXPECT_TRUE(slideCut(h, h->firstBlock));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {12, 10, 6}}));
}

TEST_F(RefineTest, RefineRepairsAMisplacedGapButNotOfAnApprovedHit) {
  loadInsertion();
  Hit *h = misplaced();
  h->flags |= kHitApproved;
  rebuildLists(0, 0);
  const uint32_t options = gCurrent->flagsB | kOptAlignMaskRepeats | kOptExpandMaskFilter;
  gCurrent->flagsB = options;
  refineAction();
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 13}, {13, 15, 3}}));
  EXPECT_EQ(gCurrent->reportFirst, 0);
  EXPECT_EQ(gCurrent->flagsB, options); // the mask options come back

  h->flags &= ~kHitApproved;
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), 700);
  refineAction();
  EXPECT_EQ(std::make_tuple(gCurrent->reportFirst, gCurrent->reportSecond, h->score),
            std::make_tuple(1, 1, 1100));
  const ColumnCounts c = counts(h);
  EXPECT_EQ(std::make_tuple(c.matches, c.mismatches, c.gaps, c.gapLength),
            std::make_tuple(16, 0, 1, 2));
  EXPECT_EQ(std::make_tuple(h->start1, h->end1, h->end2), std::make_tuple(0, 16, 18));
  EXPECT_TRUE(sentinelsCleared());
}

TEST_F(RefineTest, RefineBetweenAnchorsKeepsTheirStretches) {
  const std::string x = "ACGTTGCAAC", y = "GTCAGTACCA";
  // Between two anchors: two mismatches, a match, three mismatches. The
  // realigned part keeps only its match; its neighbours must reach over the
  // dropped columns, or they would turn into gaps.
  load(x + "AAGAAA" + y, x + "CCGCCC" + y);
  Hit *h = makeDiagonalHit(0, 0, 26);
  const int32_t before = CountHitColumns(h, h->firstBlock);
  RefineAnchor left{h, h->firstBlock, 0, 10}, right{h, h->firstBlock, 16, 26};
  EXPECT_TRUE(refineBetween(&left, &right));
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), before);
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {10, 10, 3}, {13, 13, 13}}));
  // The right anchor still names its stretch, now in the last record.
  EXPECT_EQ(right.block, h->firstBlock->next->next);
  EXPECT_EQ(std::make_pair(right.start, right.end), std::make_pair(3, 13));
}

} // namespace
