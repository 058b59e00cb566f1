#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <string>
#include <tuple>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "seq_builders.h"

namespace {

using Box = std::tuple<int32_t, int32_t, int32_t, int32_t>; // start1, end1, start2, end2

class RegionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(800, 'C').c_str());
    resetSlotDefaults(gCurrent);
    int32_t region[4] = {0, 1000, 0, 800};
    memcpy(gCurrent->region, region, sizeof region);
    resetProgress();
  }
  void TearDown() override { clearTestHits(); }

  // Sorted lists without the conflict marks the rebuild may set.
  void rebuildClean() {
    rebuildLists(0, 0);
    for (Hit *h = gHitHead1; h; h = h->next1)
      h->flags &= ~kHitConflict;
  }

  // Region records in list order after the walk.
  std::vector<Box> regions() {
    std::vector<Box> out;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (h->flags & kHitRegionMark)
        out.emplace_back(h->start1, h->end1, h->start2, h->end2);
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(RegionsTest, WithoutHitsOneRegionCoversTheWindowOrTheSelectedArea) {
  EXPECT_EQ(buildAlignRegions(), 1000);
  EXPECT_EQ(regions(), (std::vector<Box>{{0, 1000, 0, 800}}));
  EXPECT_EQ(gProgress.areaTotal, 800000);

  clearTestHits();
  gCurrent->flagsB |= kOptAreaActive;
  int32_t selected[4] = {100, 50, 300, 90}; // x0, y0, x1, y1
  memcpy(gCurrent->selectedArea, selected, sizeof selected);
  EXPECT_EQ(buildAlignRegions(), 200);
  EXPECT_EQ(regions(), (std::vector<Box>{{100, 300, 50, 90}}));
}

TEST_F(RegionsTest, RegionsLieBeforeBetweenAndAfterCollinearHits) {
  makeDiagonalHit(100, 50, 100);  // [100,200) x [50,150)
  makeDiagonalHit(400, 300, 100); // [400,500) x [300,400)
  rebuildLists(0, 0);
  EXPECT_EQ(buildAlignRegions(), 500);
  EXPECT_EQ(regions(),
            (std::vector<Box>{{0, 100, 0, 50}, {200, 400, 150, 300}, {500, 1000, 400, 800}}));
}

TEST_F(RegionsTest, OverlappingNeighboursLeaveNoEmptyRegion) {
  makeDiagonalHit(100, 100, 100);
  makeDiagonalHit(180, 210, 100); // starts inside the first hit in sequence 1
  rebuildClean();
  buildAlignRegions();
  EXPECT_EQ(regions(), (std::vector<Box>{{0, 100, 0, 100}, {280, 1000, 310, 800}}));
}

TEST_F(RegionsTest, NoRegionBetweenTwoApprovedHitsNorAfterAnApprovedLastHit) {
  Hit *a = makeDiagonalHit(100, 100, 100);
  Hit *b = makeDiagonalHit(400, 400, 100);
  rebuildLists(0, 0);
  a->flags |= kHitApproved;
  b->flags |= kHitApproved;
  buildAlignRegions();
  EXPECT_EQ(regions(), (std::vector<Box>{{0, 100, 0, 100}}));
}

TEST_F(RegionsTest, AConflictingHitJoinsItsCleanNeighboursWithoutARegion) {
  makeDiagonalHit(100, 100, 100);
  Hit *c = makeDiagonalHit(300, 600, 50);
  makeDiagonalHit(400, 300, 100);
  rebuildClean();
  c->flags |= kHitConflict;
  buildAlignRegions();
  // No region from the first hit's end to the third hit's start; the tail
  // is missing too, since the conflicting hit is last in sequence 2.
  EXPECT_EQ(regions(), (std::vector<Box>{{0, 100, 0, 100}}));
}

TEST_F(RegionsTest, TailNeedsTheLastHitToBeLastInBothOrders) {
  makeDiagonalHit(100, 500, 100);
  makeDiagonalHit(400, 200, 100);
  rebuildClean();
  buildAlignRegions();
  EXPECT_EQ(regions(), (std::vector<Box>{{0, 100, 0, 500}}));
}

TEST_F(RegionsTest, RegionsAreClippedToTheSelectedArea) {
  makeDiagonalHit(100, 100, 100);
  makeDiagonalHit(400, 400, 100);
  rebuildLists(0, 0);
  gCurrent->flagsB |= kOptAreaActive;
  int32_t selected[4] = {150, 150, 450, 350}; // x0, y0, x1, y1
  memcpy(gCurrent->selectedArea, selected, sizeof selected);
  EXPECT_EQ(buildAlignRegions(), 200);
  EXPECT_EQ(regions(), (std::vector<Box>{{200, 400, 200, 350}}));
}

Hit *scoredHit(int32_t s1, int32_t s2, int32_t length, int32_t score) {
  Hit *h = makeDiagonalHit(s1, s2, length);
  h->score = score;
  return h;
}

std::vector<Box> hitBoxes() {
  std::vector<Box> out;
  for (Hit *h = gHitHead1; h; h = h->next1)
    out.emplace_back(h->start1, h->end1, h->start2, h->end2);
  return out;
}

TEST_F(RegionsTest, DuplicatesLoseTheLowerScore) {
  scoredHit(10, 10, 100, 5000);
  scoredHit(10, 10, 50, 4000); // same start: goes
  scoredHit(300, 300, 50, 100);
  scoredHit(280, 280, 70, 900); // same end as the one before, higher: stays
  scoredHit(600, 600, 100, 100);
  scoredHit(620, 650, 40, 3000); // inside in x, starts inside in y: the first goes
  scoredHit(700, 100, 200, 700); // overlaps in x only: stays
  rebuildLists(0, 0);
  EXPECT_EQ(removeDuplicateHits(), 3);
  EXPECT_EQ(
      hitBoxes(),
      (std::vector<Box>{
          {10, 110, 10, 110}, {280, 350, 280, 350}, {620, 660, 650, 690}, {700, 900, 100, 300}}));
}

TEST_F(RegionsTest, DuplicateStartingAtTheEndRowStillCounts) {
  scoredHit(100, 100, 100, 5000);
  scoredHit(150, 200, 20, 100); // start y equals the first's end y
  rebuildLists(0, 0);
  EXPECT_EQ(removeDuplicateHits(), 1);
  EXPECT_EQ(hitBoxes(), (std::vector<Box>{{100, 200, 100, 200}}));
}

TEST_F(RegionsTest, ResetEngineLeavesOnePlaceholderOverTheMirroredArea) {
  makeDiagonalHit(10, 10, 50);
  makeDiagonalHit(100, 100, 50);
  rebuildLists(0, 0);
  invertTestSequence(1);
  ASSERT_TRUE(resetEngine(11, 900, 201, 700));
  ASSERT_NE(gHitHead1, nullptr);
  EXPECT_EQ(gHitHead1->next1, nullptr);
  EXPECT_EQ(gHitHead1, gHitHead2);
  EXPECT_EQ(gHitHead1->firstBlock, nullptr);
  EXPECT_EQ(gCurrent->selectedHit, gHitHead1);
  // Sequence 2 (length 800) is mirrored: 800 - 700 .. 800 - 201 + 1.
  EXPECT_EQ(hitBoxes(), (std::vector<Box>{{10, 900, 100, 600}}));
  const int32_t block[4] = {11, 900, 201, 700};
  EXPECT_TRUE(std::equal(block, block + 4, gCurrent->block));
  const int32_t region[4] = {10, 900, 100, 600};
  EXPECT_TRUE(std::equal(region, region + 4, gCurrent->region));
}

} // namespace
