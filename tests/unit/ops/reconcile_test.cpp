#include <random>

#include "conflict_fixture.h"
#include "ops/conflicts.h"
#include "ops/resolve.h"

namespace {
// Sequence 2 repeats sequence 1 on diagonal 0 for [0, 40) and shifted by 4
// (y = x + 4) from x = 36 on: two hits that overlap by 4 in sequence 1.
void loadShiftedPair() {
  std::mt19937 rng(11);
  std::string s1, s2;
  for (int i = 0; i < 400; ++i)
    s1.push_back("ACGT"[rng() % 4]);
  for (int i = 0; i < 400; ++i)
    s2.push_back("ACGT"[rng() % 4]);
  for (int y = 0; y < 40; ++y)
    s2[y] = s1[y];
  for (int y = 40; y < 84; ++y)
    s2[y] = s1[y - 4];
  loadTestSequences(s1.c_str(), s2.c_str());
}
} // namespace

TEST_F(ConflictSession, ReconcileTriesPairsThatOverlapByAThirdAtMost) {
  box(0, 30, 0, 30);
  box(28, 60, 40, 70); // overlaps 2 along sequence 1 only
  rebuild();
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 1);

  clearTestHits();
  box(0, 30, 0, 30);
  box(0, 30, 28, 60); // same sequence-1 range; overlaps 2 along sequence 2
  rebuild();
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 1);

  clearTestHits();
  box(0, 30, 0, 30);
  box(10, 40, 11, 41); // over a third along both
  box(100, 130, 100, 130);
  box(129, 160, 200, 230); // touches the area's end only below
  rebuild();
  gCurrent->flagsB |= kOptAreaActive;
  int32_t selected[4] = {0, 0, 120, 120};
  memcpy(gCurrent->selectedArea, selected, sizeof selected);
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 0);
}

TEST_F(ConflictSession, ReconcilePutsTheWindowScoresBack) {
  ScoreParams mine{200, -150, -500, -50};
  gCurrent->score = mine;
  box(0, 30, 0, 30);
  box(28, 60, 40, 70);
  rebuild();
  gActionStatus = kStatusStop;
  Reconcile();
  EXPECT_EQ(gCurrent->score.match, 200);
  EXPECT_EQ(gCurrent->score.mismatch, -150);
  EXPECT_EQ(gCurrent->score.gapOpen, -500);
  EXPECT_EQ(gCurrent->score.gapElongation, -50);
  EXPECT_EQ(gCurrent->reportFirst, 1) << "a stop ends after the current pair";
}

TEST_F(ConflictSession, ReconcileMakesSlightlyOverlappingHitsCollinear) {
  loadShiftedPair();
  Hit *a = makeTestHit(0, 0, {{0, 0, 40}});
  makeTestHit(36, 40, {{0, 0, 44}});
  rebuild();
  ASSERT_TRUE(a->flags & kHitConflict);
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 1);
  ASSERT_EQ(gCurrent->reportSecond, 1);
  ASSERT_EQ(gHitCount, 2);
  const Hit *first = gHitHead1, *second = gHitHead1->next1;
  EXPECT_LE(first->end1, second->start1);
  EXPECT_LE(first->end2, second->start2);
  EXPECT_FALSE(first->flags & kHitConflict);
  EXPECT_FALSE(second->flags & kHitConflict);
  // Every column kept still matches: the cut lies inside the overlap.
  EXPECT_EQ(first->start1, 0);
  EXPECT_EQ(second->end1, 80);
  EXPECT_GE(first->end1, 36);
  EXPECT_LE(second->start1, 40);
}

TEST_F(ConflictSession, ReconcileSplitsTwoHitsOfOneDiagonalAtOnePoint) {
  box(0, 40, 0, 40);
  box(30, 70, 30, 70); // same diagonal, overlap of 10
  rebuild();
  Reconcile();
  ASSERT_EQ(gCurrent->reportSecond, 1);
  ASSERT_EQ(gHitCount, 2);
  const Hit *first = gHitHead1, *second = gHitHead1->next1;
  EXPECT_EQ(first->end1, second->start1);
  EXPECT_EQ(first->end2, second->start2);
  EXPECT_EQ(first->start1, 0);
  EXPECT_EQ(second->end1, 70);
}
