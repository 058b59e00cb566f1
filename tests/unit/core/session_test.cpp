// The two hit orders after a rebuild and the choice of the nearest hit.
#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "hit_builders.h"
#include "seq_builders.h"

namespace {
using Hits = std::vector<Hit *>;
struct SessionTest : ::testing::Test {
  void SetUp() override {
    const std::string s(50, 'A');
    loadTestSequences(s.c_str(), s.c_str());
    selectSlot(&gSlots[0], false);
    const int32_t region[4] = {0, 50, 0, 50};
    std::copy(region, region + 4, gSlots[0].region);
  }
};
} // namespace

TEST_F(SessionTest, MainAndSecondOrdersBreakTiesAndStayStable) {
  // Pushed at the head, so the present main-list order is e, d, c, b, a.
  Hit *a = makeTestHit(10, 20, 30, 40);
  Hit *b = makeTestHit(10, 20, 5, 15);  // same start1/end1, smaller start2
  Hit *c = makeTestHit(10, 20, 5, 25);  // same start2 as b, longer end2
  Hit *d = makeTestHit(10, 25, 30, 40); // longer end1 goes first in the main list
  Hit *e = makeTestHit(10, 20, 30, 40); // equal to a in all four
  rebuildLists(0, 0);
  // Second order: start2 ascending, end2 descending; e, d and a are equal in
  // both and keep their present order.
  EXPECT_EQ(secondListOrder(), (Hits{c, b, e, d, a}));
  // Main order: start1 ascending, end1 descending; ties keep second order.
  EXPECT_EQ(mainListOrder(), (Hits{d, c, b, e, a}));
  EXPECT_EQ((Hits{gHitTail1, a->prev1, gHitTail2, c->prev2}), (Hits{a, e, a, nullptr}));
  EXPECT_TRUE(gSlots[0].flagsA & kWinRecount);
}

TEST_F(SessionTest, SingleHitRebuild) {
  Hit *h = makeTestHit(3, 9, 4, 10);
  h->flags |= kHitConflict | kHitApproved;
  h->next2 = h; // stale link from an earlier list
  gSlots[0].selectedHit = nullptr;
  rebuildLists(40, 40);
  EXPECT_EQ(gHitCount, 1);
  EXPECT_EQ((Hits{gSlots[0].selectedHit, gHitHead1, gHitTail1, gHitHead2, gHitTail2}),
            (Hits{h, h, h, h, h}));
  EXPECT_EQ((Hits{h->next1, h->next2}), (Hits{nullptr, nullptr}));
  EXPECT_EQ(h->flags, kHitApproved);
}

TEST_F(SessionTest, NearestHitTieKeepsTheEarlierHit) {
  Hit *right = makeTestHit(30, 35, 20, 25); // distance 10 + 0 from (20, 20)
  Hit *left = makeTestHit(20, 25, 10, 15);  // distance 0 + 10
  Hit *far = makeTestHit(45, 49, 45, 49);
  rebuildLists(0, 0);
  ASSERT_EQ(mainListOrder(), (Hits{left, right, far}));
  selectNearestHit(20, 20);
  EXPECT_EQ(gSlots[0].selectedHit, left);
  selectNearestHit(500, 500); // clamped into the region
  EXPECT_EQ(gSlots[0].selectedHit, far);
  // Hits without blocks are skipped; with none left the head is taken.
  freeBlock(left->firstBlock);
  left->firstBlock = nullptr;
  selectNearestHit(20, 20);
  EXPECT_EQ(gSlots[0].selectedHit, right);
  clearHits();
  selectNearestHit(20, 20);
  EXPECT_EQ(gSlots[0].selectedHit, nullptr);
}

// A hit lies in an area (x0, x1, y0, y1) when it reaches into it on both
// axes, an edge touched included, unless it only touches a point area at
// all four of its coordinates.
TEST(HitInAreaTest, TouchingEdgesCount) {
  const int32_t area[4] = {10, 20, 10, 20}, point[4] = {10, 10, 10, 10};
  struct Case {
    int32_t start1, end1, start2, end2;
    bool in;
  } cases[] = {{0, 10, 12, 18, true},  {20, 30, 12, 18, true},  {12, 18, 0, 10, true},
               {12, 18, 20, 30, true}, {0, 9, 12, 18, false},   {21, 30, 12, 18, false},
               {12, 18, 0, 9, false},  {12, 18, 21, 30, false}, {0, 30, 0, 30, true}};
  for (const Case &c : cases) {
    Hit h{};
    h.start1 = c.start1, h.end1 = c.end1, h.start2 = c.start2, h.end2 = c.end2;
    EXPECT_EQ(HitInArea(&h, area), c.in)
        << c.start1 << ".." << c.end1 << " x " << c.start2 << ".." << c.end2;
  }
  Hit h{};
  h.start1 = h.end1 = h.start2 = h.end2 = 10;
  EXPECT_FALSE(HitInArea(&h, point));
  h.end1 = 12;
  EXPECT_TRUE(HitInArea(&h, point));
}
