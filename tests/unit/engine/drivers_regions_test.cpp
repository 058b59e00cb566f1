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
    reset();
  }
  void TearDown() override { clearTestHits(); }
  void reset() {
    clearTestHits();
    resetSlotDefaults(gCurrent);
    int32_t region[4] = {0, 1000, 0, 800};
    memcpy(gCurrent->region, region, sizeof region);
    resetProgress();
  }
  static std::vector<Box> boxes(uint32_t onlyFlag = 0) {
    std::vector<Box> out;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (!onlyFlag || (h->flags & onlyFlag))
        out.emplace_back(h->start1, h->end1, h->start2, h->end2);
    return out;
  }
};

TEST_F(RegionsTest, RegionsLieBeforeBetweenAndAfterHits) {
  struct H {
    int32_t x, y, length;
    uint32_t flags = 0;
  };
  // In order: no hits; no hits in an area; collinear hits; the second
  // starting inside the first in sequence 1 (no empty region); two approved
  // hits; a conflicting hit, which joins its neighbours and, last in
  // sequence 2, takes the tail too; a last hit not last in sequence 2; an area.
  struct Case {
    int32_t width;             // what buildAlignRegions returns; -1: not checked
    std::vector<int32_t> area; // x0, y0, x1, y1; empty: none
    std::vector<H> hits;
    std::vector<Box> regions;
  } cases[] = {
      {1000, {}, {}, {{0, 1000, 0, 800}}},
      {200, {100, 50, 300, 90}, {}, {{100, 300, 50, 90}}},
      {500,
       {},
       {{100, 50, 100}, {400, 300, 100}},
       {{0, 100, 0, 50}, {200, 400, 150, 300}, {500, 1000, 400, 800}}},
      {-1, {}, {{100, 100, 100}, {180, 210, 100}}, {{0, 100, 0, 100}, {280, 1000, 310, 800}}},
      {-1, {}, {{100, 100, 100, kHitApproved}, {400, 400, 100, kHitApproved}}, {{0, 100, 0, 100}}},
      {-1,
       {},
       {{100, 100, 100}, {300, 600, 50, kHitConflict}, {400, 300, 100}},
       {{0, 100, 0, 100}}},
      {-1, {}, {{100, 500, 100}, {400, 200, 100}}, {{0, 100, 0, 500}}},
      {200, {150, 150, 450, 350}, {{100, 100, 100}, {400, 400, 100}}, {{200, 400, 200, 350}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(&c - cases);
    reset();
    std::vector<Hit *> made;
    for (const H &h : c.hits)
      made.push_back(makeDiagonalHit(h.x, h.y, h.length));
    rebuildLists(0, 0);
    for (size_t i = 0; i < made.size(); ++i)
      made[i]->flags = (made[i]->flags & ~kHitConflict) | c.hits[i].flags;
    if (!c.area.empty()) {
      gCurrent->flagsB |= kOptAreaActive;
      memcpy(gCurrent->selectedArea, c.area.data(), 4 * sizeof(int32_t));
    }
    const int32_t width = buildAlignRegions();
    EXPECT_TRUE(c.width < 0 || width == c.width) << width;
    std::vector<Box> got = boxes(kHitRegionMark);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, c.regions);
  }
  reset();
  buildAlignRegions();
  EXPECT_EQ(gProgress.areaTotal, 800000);
}

TEST_F(RegionsTest, DuplicatesLoseTheLowerScore) {
  auto hit = [](int32_t s1, int32_t s2, int32_t length, int32_t score) {
    makeDiagonalHit(s1, s2, length)->score = score;
  };
  hit(10, 10, 100, 5000);
  hit(10, 10, 50, 4000); // same start: goes
  hit(300, 300, 50, 100);
  hit(280, 280, 70, 900); // same end as the one before, higher: stays
  hit(600, 600, 100, 100);
  hit(620, 650, 40, 3000); // inside in x, starts inside in y: the first goes
  hit(700, 100, 200, 700); // overlaps in x only: stays
  rebuildLists(0, 0);
  EXPECT_EQ(removeDuplicateHits(), 3);
  EXPECT_EQ(
      boxes(),
      (std::vector<Box>{
          {10, 110, 10, 110}, {280, 350, 280, 350}, {620, 660, 650, 690}, {700, 900, 100, 300}}));
}

} // namespace
