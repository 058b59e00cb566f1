#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/session.h"
#include "ops/selections.h"
#include "seq_builders.h"

namespace {

class SelectionTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(1000, 'C').c_str());
    resetSlotDefaults(gCurrent);
    gCurrent->flagsA &= ~(kWinModesFirstFour | kWinModeConflicting);
    const int32_t region[4] = {0, 1000, 0, 1000};
    std::copy(region, region + 4, gCurrent->region);
  }
  void TearDown() override { clearTestHits(); }
};

TEST_F(SelectionTest, ShortSitsOnItsBoundaryAndZeroChangesNothing) {
  Hit *exact = makeDiagonalHit(0, 0, 50);
  Hit *shorter = makeDiagonalHit(100, 100, 49);
  rebuildLists(0, 0);
  gCurrent->flagsA |= kWinModeShort;
  gCurrent->shortLength = 50;
  SelectShort();
  EXPECT_FALSE(exact->flags & kHitSelShort);
  EXPECT_TRUE(shorter->flags & kHitSelShort);

  gCurrent->shortLength = 0;
  gCurrent->flagsA &= ~kWinModeShort;
  SelectShort();
  EXPECT_TRUE(shorter->flags & kHitSelShort) << "length 0 must leave the marks";
}

TEST_F(SelectionTest, OverlappedNeedsAnActualOverlap) {
  struct {
    Hit *h;
    bool overlapped;
  } hits[] = {{makeDiagonalHit(0, 0, 50), false},
              {makeDiagonalHit(50, 60, 20), false}, // touching
              {makeDiagonalHit(300, 300, 50), true},
              {makeDiagonalHit(349, 400, 20), true}};
  rebuildLists(0, 0);
  gCurrent->flagsA |= kWinModeOverlapped;
  SelectOverlapped();
  for (const auto &c : hits)
    EXPECT_EQ((c.h->flags & kHitSelOverlapped) != 0, c.overlapped) << c.h->start1;
}

TEST_F(SelectionTest, OffDiagonalSingleHitSelectsNothingAnOutlierIsFound) {
  Hit *only = makeDiagonalHit(10, 10, 100);
  only->score = 10000;
  rebuildLists(0, 0);
  gCurrent->flagsA |= kWinModeOffDiagonal;
  SelectOffDiagonal();
  EXPECT_FALSE(only->flags & kHitSelOffDiagonal);

  Hit *far = makeDiagonalHit(500, 100, 20);
  far->score = 2000;
  for (int i = 0; i < 4; ++i)
    makeDiagonalHit(200 + 150 * i, 200 + 150 * i, 100)->score = 10000;
  rebuildLists(0, 0);
  SelectOffDiagonal();
  EXPECT_TRUE(far->flags & kHitSelOffDiagonal);
  EXPECT_FALSE(only->flags & kHitSelOffDiagonal);
  EXPECT_NEAR(gDiagonalSlope, 1.0, 0.1);
}

TEST_F(SelectionTest, SelectAllKeepsConflictAndApproval) {
  Hit *h = makeDiagonalHit(10, 10, 100);
  Hit *outside = makeDiagonalHit(900, 900, 50);
  rebuildLists(0, 0);
  gCurrent->region[1] = 500;
  h->flags = kHitConflict | kHitApproved | kHitSelShort | kHitSelMouse;
  outside->flags = kHitSelShort;
  SelectAll(true);
  EXPECT_EQ(h->flags, kHitConflict | kHitApproved | kHitSelAll);
  EXPECT_EQ(outside->flags, kHitSelShort);
  SelectAll(false);
  EXPECT_EQ(h->flags, kHitConflict | kHitApproved);
}

TEST_F(SelectionTest, ApproveRefusesConflictsDisapproveUnlocks) {
  Hit *a = makeDiagonalHit(0, 0, 50);
  Hit *b = makeDiagonalHit(100, 100, 50);
  rebuildLists(0, 0);
  a->flags |= kHitConflict;
  EXPECT_FALSE(Approve());
  EXPECT_FALSE(b->flags & kHitApproved);
  a->flags &= ~kHitConflict;
  EXPECT_TRUE(Approve());
  EXPECT_TRUE(a->flags & b->flags & kHitApproved);
  Disapprove();
  EXPECT_FALSE((a->flags | b->flags) & kHitApproved);
}

} // namespace
