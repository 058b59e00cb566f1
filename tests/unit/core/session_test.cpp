// The two hit orders after a rebuild and the choice of the nearest hit.
#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "hit_builders.h"
#include "seq_builders.h"

namespace {
struct SessionTest : ::testing::Test {
  void SetUp() override {
    loadTestSequences("ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC",
                      "ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC");
    selectSlot(&gSlots[0], false);
    gSlots[0].region[0] = 0;
    gSlots[0].region[1] = 50;
    gSlots[0].region[2] = 0;
    gSlots[0].region[3] = 50;
  }
};
} // namespace

TEST_F(SessionTest, MainAndSecondOrdersBreakTiesAndStayStable) {
  // Pushed at the head, so the present main-list order is the reverse of
  // creation: e, d, c, b, a.
  Hit *a = makeTestHit(10, 20, 30, 40);
  Hit *b = makeTestHit(10, 20, 5, 15);  // same start1/end1, smaller start2
  Hit *c = makeTestHit(10, 20, 5, 25);  // same start2 as b, longer end2
  Hit *d = makeTestHit(10, 25, 30, 40); // longer end1 goes first in the main list
  Hit *e = makeTestHit(10, 20, 30, 40); // equal to a in all four
  rebuildLists(0, 0);
  EXPECT_EQ(gHitCount, 5);
  // Second order: start2 ascending, end2 descending; e, d and a are equal in
  // both and keep their present order.
  EXPECT_EQ(secondListOrder(), (std::vector<Hit *>{c, b, e, d, a}));
  // Main order: start1 ascending, end1 descending; ties keep second order.
  EXPECT_EQ(mainListOrder(), (std::vector<Hit *>{d, c, b, e, a}));
  EXPECT_EQ(gHitHead1, d);
  EXPECT_EQ(gHitTail1, a);
  EXPECT_EQ(gHitHead2, c);
  EXPECT_EQ(gHitTail2, a);
  EXPECT_EQ(a->prev1, e);
  EXPECT_EQ(c->prev2, nullptr);
  EXPECT_EQ(a->next2, nullptr);
  EXPECT_TRUE(gSlots[0].flagsA & kWinRecount);
}

TEST_F(SessionTest, SingleHitRebuild) {
  Hit *h = makeTestHit(3, 9, 4, 10);
  h->flags |= kHitConflict | kHitApproved;
  h->next2 = h; // stale link from an earlier list
  gSlots[0].selectedHit = nullptr;
  rebuildLists(40, 40);
  EXPECT_EQ(gHitCount, 1);
  EXPECT_EQ(gSlots[0].selectedHit, h);
  EXPECT_EQ(gHitHead1, h);
  EXPECT_EQ(gHitTail1, h);
  EXPECT_EQ(gHitHead2, h);
  EXPECT_EQ(gHitTail2, h);
  EXPECT_EQ(h->next1, nullptr);
  EXPECT_EQ(h->next2, nullptr);
  EXPECT_EQ(h->flags, kHitApproved);
}

TEST_F(SessionTest, NearestHitTieKeepsTheEarlierHit) {
  Hit *right = makeTestHit(30, 35, 20, 25); // distance 10 + 0 from (20, 20)
  Hit *left = makeTestHit(20, 25, 10, 15);  // distance 0 + 10
  Hit *far = makeTestHit(45, 49, 45, 49);
  rebuildLists(0, 0);
  ASSERT_EQ(mainListOrder(), (std::vector<Hit *>{left, right, far}));
  selectNearestHit(20, 20);
  EXPECT_EQ(gSlots[0].selectedHit, left);
  // Outside the region the point is clamped: x past x1 becomes x1 - 1.
  selectNearestHit(500, 500);
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
