#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "engine/columns.h"
#include "hit_builders.h"
#include "ops/merge.h"
#include "seq_builders.h"

namespace {

class MergeTest : public ::testing::Test {
protected:
  void load(const std::string &a, const std::string &b) {
    loadTestSequences(a.c_str(), b.c_str());
    resetSlotDefaults(gCurrent);
    const int32_t region[4] = {0, int32_t(a.size()), 0, int32_t(b.size())};
    std::copy(region, region + 4, gCurrent->region);
    gCurrent->flagsB &= ~kOptAreaActive;
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
  }
  // A diagonal hit scored the way the engine would score it.
  static Hit *scored(int32_t s1, int32_t s2, int32_t length, uint32_t flags = 0) {
    Hit *h = makeDiagonalHit(s1, s2, length);
    h->score = CountHitColumns(h, h->firstBlock);
    h->flags = flags;
    return h;
  }
  // Two 40-residue halves, sequence 2 with one extra residue between them.
  void loadOneGapApart(unsigned seed) {
    std::string r1 = randomBases(40, seed), r2 = randomBases(40, seed + 1);
    r1.back() = 'T';
    r2.front() = 'C';
    load(r1 + r2, r1 + "G" + r2);
  }
  void TearDown() override { clearTestHits(); }
};

TEST_F(MergeTest, DuplicateStartKeepsTheHigherScoreAndTheFirstOnTies) {
  load(randomBases(300, 1), randomBases(300, 1));
  Hit *longer = scored(10, 10, 80);
  scored(10, 10, 40);
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(mainListOrder().size(), 1u);
  EXPECT_EQ(gHitHead1, longer);

  // Equal scores: the later one in the list (smaller end1 at equal start1)
  // goes, even when both are approved.
  clearTestHits();
  Hit *a = makeDiagonalHit(100, 100, 50);
  Hit *b = makeDiagonalHit(100, 100, 40);
  a->score = b->score = 1000;
  a->flags = b->flags = kHitApproved;
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(mainListOrder().size(), 1u);
  EXPECT_EQ(gHitHead1, a);
}

TEST_F(MergeTest, HitsBeyondTheDistanceInSequenceOneAreNeverPaired) {
  const std::string s = randomBases(400, 2);
  load(s, s);
  scored(0, 0, 50);
  scored(71, 50, 50); // start1 = end1 + 21, close in sequence 2
  rebuildLists(0, 0);
  gCurrent->mergeMaxDistance = 20;
  MergeHits();
  EXPECT_EQ(mainListOrder().size(), 2u);
  EXPECT_EQ(gCurrent->reportFirst, 0);
}

TEST_F(MergeTest, TwoHitsOneGapApartBecomeOne) {
  loadOneGapApart(3);
  scored(0, 0, 40);
  scored(40, 41, 40);
  rebuildLists(0, 0);
  MergeHits();
  ASSERT_EQ(mainListOrder().size(), 1u);
  Hit *h = gHitHead1;
  EXPECT_EQ(std::vector<int32_t>({h->start1, h->end1, h->start2, h->end2}),
            std::vector<int32_t>({0, 80, 0, 81}));
  ColumnCounts c;
  const int32_t score = CountHitColumns(h, h->firstBlock, &c);
  EXPECT_EQ(std::vector<int32_t>({c.matches, c.mismatches, c.gaps, c.gapLength}),
            std::vector<int32_t>({80, 0, 1, 1}));
  EXPECT_EQ(score, 100 * (80 - 3 - 1));
  EXPECT_EQ(h->score, score);
  EXPECT_EQ(gCurrent->reportSecond, -1);
}

TEST_F(MergeTest, ApprovedHitsAreNotBridged) {
  loadOneGapApart(5);
  scored(0, 0, 40, kHitApproved);
  scored(40, 41, 40, kHitApproved);
  rebuildLists(0, 0);
  MergeHits();
  EXPECT_EQ(mainListOrder().size(), 2u);
  EXPECT_EQ(gCurrent->reportSecond, 0);
}

} // namespace
