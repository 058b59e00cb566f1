#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "ops/merge.h"
#include "output/columns.h"
#include "seq_builders.h"

namespace {

int hitCount() {
  int n = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    ++n;
  return n;
}

class MergeTest : public ::testing::Test {
protected:
  void load(const std::string &a, const std::string &b) {
    loadTestSequences(a.c_str(), b.c_str());
    resetSlotDefaults(gCurrent);
    gCurrent->region[0] = 0;
    gCurrent->region[1] = int32_t(a.size());
    gCurrent->region[2] = 0;
    gCurrent->region[3] = int32_t(b.size());
    gCurrent->flagsB &= ~kOptAreaActive;
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
  }
  // Scores a hand-made hit the way the engine would.
  Hit *scored(Hit *h) {
    h->score = CountHitColumns(h, h->firstBlock);
    return h;
  }
  void TearDown() override { clearTestHits(); }
};

TEST_F(MergeTest, DuplicateStartKeepsTheHigherScoreAndTheFirstOnTies) {
  const std::string s = randomBases(300, 1);
  load(s, s);
  Hit *longer = scored(makeDiagonalHit(10, 10, 80));
  Hit *shorter = scored(makeDiagonalHit(10, 10, 40));
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(hitCount(), 1);
  EXPECT_EQ(gHitHead1, longer);
  EXPECT_EQ(gCurrent->reportSecond, -1);
  (void)shorter;

  // Equal scores: the later one in the list (smaller end1 at equal start1)
  // goes, even when both are approved.
  clearTestHits();
  gCurrent->reportSecond = 0;
  Hit *a = makeDiagonalHit(100, 100, 50);
  Hit *b = makeDiagonalHit(100, 100, 40);
  a->score = b->score = 1000;
  a->flags = b->flags = kHitApproved;
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(hitCount(), 1);
  EXPECT_EQ(gHitHead1, a);
  EXPECT_EQ(gCurrent->reportSecond, -1);
}

TEST_F(MergeTest, HitsBeyondTheDistanceInSequenceOneAreNeverPaired) {
  const std::string s = randomBases(400, 2);
  load(s, s);
  scored(makeDiagonalHit(0, 0, 50));
  scored(makeDiagonalHit(71, 50, 50)); // start1 = end1 + 21, close in sequence 2
  rebuildLists(0, 0);
  gCurrent->mergeMaxDistance = 20;
  MergeHits();
  EXPECT_EQ(hitCount(), 2);
  EXPECT_EQ(gCurrent->reportFirst, 0);
}

TEST_F(MergeTest, TwoHitsOneGapApartBecomeOne) {
  // Sequence 2 carries one extra residue between two 40-residue halves.
  std::string r1 = randomBases(40, 3), r2 = randomBases(40, 4);
  r1.back() = 'T';
  r2.front() = 'C';
  load(r1 + r2, r1 + "G" + r2);
  scored(makeDiagonalHit(0, 0, 40));
  scored(makeDiagonalHit(40, 41, 40));
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(hitCount(), 1);
  Hit *h = gHitHead1;
  EXPECT_EQ(h->start1, 0);
  EXPECT_EQ(h->end1, 80);
  EXPECT_EQ(h->start2, 0);
  EXPECT_EQ(h->end2, 81);
  ColumnCounts c;
  const int32_t score = CountHitColumns(h, h->firstBlock, &c);
  EXPECT_EQ(c.matches, 80);
  EXPECT_EQ(c.mismatches, 0);
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 1);
  EXPECT_EQ(score, 100 * (80 - 3 - 1));
  EXPECT_EQ(gCurrent->reportSecond, -1);
}

TEST_F(MergeTest, ApprovedHitsAreNotBridged) {
  std::string r1 = randomBases(40, 5), r2 = randomBases(40, 6);
  load(r1 + r2, r1 + "G" + r2);
  Hit *a = scored(makeDiagonalHit(0, 0, 40));
  Hit *b = scored(makeDiagonalHit(40, 41, 40));
  a->flags = b->flags = kHitApproved;
  rebuildLists(0, 0);
  MergeHits();
  EXPECT_EQ(hitCount(), 2);
  EXPECT_EQ(gCurrent->reportSecond, 0);
}

} // namespace
