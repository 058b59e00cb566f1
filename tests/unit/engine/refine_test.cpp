#include <algorithm>
#include <random>

#include "core/flags.h"
#include "engine/refine.h"
#include "engine/search.h"
#include "output/columns.h"
#include "realign_fixture.h"

namespace {

// Sequence 2 has two extra residues (TT) between the two halves.
const std::string kLeft = "ACGTTGCAAC", kRight = "GTCAGT";

class RefineTest : public RealignTest {
protected:
  void loadInsertion() { load(kLeft + kRight, kLeft + "TT" + kRight); }

  static ColumnCounts counts(Hit *h) {
    ColumnCounts c;
    CountHitColumns(h, h->firstBlock, &c);
    return c;
  }

  std::vector<std::pair<int32_t, int32_t>> anchors(Hit *h) {
    std::vector<std::pair<int32_t, int32_t>> out;
    RefineAnchor a{};
    HitBlock *b = h->firstBlock;
    int32_t offset = 0;
    while (b && findAnchor(h, b, offset, &a)) {
      out.emplace_back(a.block->x + a.start, a.block->x + a.end);
      b = a.block;
      offset = a.end;
    }
    return out;
  }
};

TEST_F(RefineTest, AnchorsAreStretchesOfSolidFrames) {
  // 10 matches, 10 mismatches, 10 matches in one block: the first anchor
  // runs to the end of its last good frame, the second starts with its
  // first good one.
  load("ACGTTGCAAC"
       "AAAAAAAAAA"
       "GTCAGTACCA",
       "ACGTTGCAAC"
       "CCCCCCCCCC"
       "GTCAGTACCA");
  Hit *h = makeDiagonalHit(0, 0, 30);
  EXPECT_EQ(anchors(h), (std::vector<std::pair<int32_t, int32_t>>{{0, 13}, {17, 30}}));
  clearTestHits();
  // A block with fewer than 6 positions is skipped; solid blocks give one
  // anchor each.
  load("ACGTA"
       "GTCAGTACCAGT",
       "ACGTA"
       "TT"
       "GTCAGTACCAGT");
  h = makeTestHit(0, 0, {{0, 0, 5, kLinkGapInY, 5}, {5, 7, 12}});
  EXPECT_EQ(anchors(h), (std::vector<std::pair<int32_t, int32_t>>{{5, 17}}));
}

TEST_F(RefineTest, SlideCutMovesTheGapToWhereItLosesFewestMatches) {
  loadInsertion();
  // The gap comes three positions too late...
  Hit *h = makeTestHit(0, 0, {{0, 0, 13, kLinkGapInY, 13}, {13, 15, 3}});
  EXPECT_TRUE(slideCut(h, h->firstBlock));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {10, 12, 6}}));
  EXPECT_EQ(h->firstBlock->cut, 10);
  EXPECT_EQ(counts(h).matches, 16);
  // ...and once in place it stays.
  EXPECT_FALSE(slideCut(h, h->firstBlock));
  clearTestHits();

  // Three positions too early: it moves forward.
  h = makeTestHit(0, 0, {{0, 0, 7, kLinkGapInY, 7}, {7, 9, 9}});
  EXPECT_TRUE(slideCut(h, h->firstBlock));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {10, 12, 6}}));
  EXPECT_EQ(counts(h).mismatches, 0);
  clearTestHits();

  // The same with the gap in sequence 1 (the cut lies in sequence 2).
  load(kLeft + "TT" + kRight, kLeft + kRight);
  h = makeTestHit(0, 0, {{0, 0, 13, kLinkGapInX, 13}, {15, 13, 3}});
  EXPECT_TRUE(slideCut(h, h->firstBlock));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {12, 10, 6}}));
}

TEST_F(RefineTest, RefineRepairsAMisplacedGapAndCountsTheHit) {
  loadInsertion();
  Hit *h = makeTestHit(0, 0, {{0, 0, 13, kLinkGapInY, 13}, {13, 15, 3}});
  rebuildLists(0, 0);
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), 700);
  refineAction();
  EXPECT_EQ(gCurrent->reportFirst, 1);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  EXPECT_EQ(h->score, 1100);
  ColumnCounts c = counts(h);
  EXPECT_EQ(c.matches, 16);
  EXPECT_EQ(c.mismatches, 0);
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 2);
  EXPECT_EQ(h->start1, 0);
  EXPECT_EQ(h->end1, 16);
  EXPECT_EQ(h->end2, 18);
  EXPECT_TRUE(sentinelsCleared());
}

TEST_F(RefineTest, ApprovedHitsAreNotTouchedAndTheMaskOptionsComeBack) {
  loadInsertion();
  Hit *h = makeTestHit(0, 0, {{0, 0, 13, kLinkGapInY, 13}, {13, 15, 3}});
  h->flags |= kHitApproved;
  rebuildLists(0, 0);
  const uint32_t options = gCurrent->flagsB | kOptAlignMaskRepeats | kOptExpandMaskFilter;
  gCurrent->flagsB = options;
  refineAction();
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 13}, {13, 15, 3}}));
  EXPECT_EQ(gCurrent->reportFirst, 0);
  EXPECT_EQ(gCurrent->reportSecond, 0);
  EXPECT_EQ(gCurrent->flagsB, options);
}

TEST_F(RefineTest, AHitOfSolidBlocksKeepsItsAlignment) {
  const std::string a = "ACGTTGCAACGT", b = "GTCAGTACCAGT";
  load(a + b, a + "TT" + b);
  Hit *h = makeTestHit(0, 0, {{0, 0, 12, kLinkGapInY, 12}, {12, 14, 12}});
  EXPECT_EQ(anchors(h), (std::vector<std::pair<int32_t, int32_t>>{{0, 12}, {12, 24}}));
  EXPECT_FALSE(refineHit(h));
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 12}, {12, 14, 12}}));
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), 2400 - 500);
}

TEST_F(RefineTest, ASplicedPartKeepsTheMismatchesItsEndsDropped) {
  // Between two anchors of one block: mismatch, mismatch, match, three
  // mismatches. The realigned part keeps only its match; its neighbours
  // must reach over the dropped columns, or they would turn into gaps.
  const std::string x = "ACGTTGCAAC", y = "GTCAGTACCA";
  load(x + "AAGAAA" + y, x + "CCGCCC" + y);
  Hit *h = makeDiagonalHit(0, 0, 26);
  const int32_t before = CountHitColumns(h, h->firstBlock);
  RefineAnchor left{h, h->firstBlock, 0, 10}, right{h, h->firstBlock, 16, 26};
  EXPECT_TRUE(refineBetween(&left, &right));
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), before);
  EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}, {10, 10, 3}, {13, 13, 13}}));
  // The right anchor still names its stretch, now in the last record.
  EXPECT_EQ(right.block, h->firstBlock->next->next);
  EXPECT_EQ(right.start, 3);
  EXPECT_EQ(right.end, 13);
}

TEST_F(RefineTest, ALooseStretchInsideOneBlockIsRealigned) {
  // Sequence 2 has an extra G before the middle and lacks its last residue;
  // the one-block hit aligns the middle with mismatches only.
  const std::string x = "ACGTTGCAAC", m = "CATGCATGCA", y = "GTCAGTACCA";
  load(x + m + y, x + "G" + m.substr(0, 9) + y);
  Hit *h = makeDiagonalHit(0, 0, 30);
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), 1000);
  EXPECT_TRUE(refineHit(h));
  EXPECT_EQ(h->score, 2100);
  ColumnCounts c = counts(h);
  EXPECT_EQ(c.matches, 29);
  EXPECT_EQ(c.gaps, 2);
  EXPECT_EQ(h->end1, 30);
  EXPECT_EQ(h->end2, 30);
  for (HitBlock *b = h->firstBlock; b; b = b->next)
    EXPECT_GT(b->length, 0);
}

TEST_F(RefineTest, RandomHitsStayWellFormedAndNeverLoseScore) {
  std::mt19937 rng(4242);
  int improved = 0;
  for (int trial = 0; trial < 150; ++trial) {
    // A mutated copy of a random sequence, aligned by a hit whose gaps are
    // a few positions off where the mutation put them.
    std::string a, b;
    for (int k = 60 + rng() % 60; k > 0; --k)
      a += "ACGT"[rng() % 4];
    std::vector<int32_t> cuts;
    for (size_t k = 0; k < a.size(); ++k) {
      if (rng() % 25 == 0) {
        b += "ACGT"[rng() % 4]; // an extra residue in sequence 2
        cuts.push_back(int32_t(k));
      }
      b += rng() % 8 ? a[k] : "ACGT"[rng() % 4];
    }
    // Odd trials swap the sequences: the gaps then lie in sequence 1.
    const bool swapped = trial % 2;
    swapped ? load(b, a) : load(a, b);
    Hit *h = allocateHit();
    HitBlock *prev = nullptr;
    int32_t x = 0, shift = 0;
    for (size_t g = 0; g <= cuts.size(); ++g) {
      int32_t end = g < cuts.size() ? cuts[g] + int32_t(rng() % 7) - 3 : int32_t(a.size());
      end = std::max(end, x + 1);
      if (g < cuts.size() && end >= int32_t(a.size()))
        break;
      HitBlock *blk = allocateBlock();
      (swapped ? blk->y : blk->x) = x;
      (swapped ? blk->x : blk->y) = x + shift;
      blk->length = end - x;
      blk->linkKind = swapped ? kLinkGapInX : kLinkGapInY;
      blk->cut = end;
      blk->prev = prev;
      (prev ? prev->next : h->firstBlock) = blk;
      prev = blk;
      x = end;
      ++shift;
    }
    h->end1 = prev->x + prev->length;
    h->end2 = prev->y + prev->length;
    if (h->end1 > gSeq1->length || h->end2 > gSeq2->length)
      continue;
    rebuildLists(0, 0);
    SCOPED_TRACE(a + " / " + b);
    const int32_t before = CountHitColumns(h, h->firstBlock);
    const bool better = refineHit(h);
    ColumnCounts c;
    const int32_t after = CountHitColumns(h, h->firstBlock, &c);
    EXPECT_EQ(better, after > before);
    EXPECT_GE(after, before);
    improved += better;
    EXPECT_EQ(c.residues1, h->end1 - h->start1);
    EXPECT_EQ(c.residues2, h->end2 - h->start2);
    for (HitBlock *blk = h->firstBlock; blk; blk = blk->next) {
      EXPECT_GT(blk->length, 0);
      if (blk->next) {
        EXPECT_EQ(blk->next->prev, blk);
        EXPECT_GE(blk->next->x, blk->x + blockColumns(blk));
        EXPECT_GE(blk->next->y, blk->y + blockColumns(blk));
      }
    }
    clearTestHits();
  }
  EXPECT_GT(improved, 50);
}

} // namespace
