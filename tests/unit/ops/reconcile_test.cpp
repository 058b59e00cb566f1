#include <random>

#include "conflict_fixture.h"
#include "core/conflicts.h"
#include "engine/columns.h"
#include "ops/resolve.h"

TEST_F(ConflictSession, ReconcileTriesPairsThatOverlapByAThirdAtMost) {
  struct Case {
    int32_t b[4];
    int32_t tried;
  } cases[] = {
      {{28, 60, 40, 70}, 1}, // overlaps 2 along sequence 1 only
      {{0, 30, 28, 60}, 1},  // same sequence-1 range; overlaps 2 along sequence 2
      {{10, 40, 11, 41}, 0}, // over a third along both
  };
  for (const Case &c : cases) {
    clearTestHits();
    box(0, 30, 0, 30);
    box(c.b[0], c.b[1], c.b[2], c.b[3]);
    rebuild();
    Reconcile();
    EXPECT_EQ(gCurrent->reportFirst, c.tried) << c.b[0];
  }
  // A pair that touches the area's end only below is not the area's.
  clearTestHits();
  box(100, 130, 100, 130);
  box(129, 160, 200, 230);
  rebuild();
  gCurrent->flagsB |= kOptAreaActive;
  const int32_t area[4] = {0, 0, 120, 120}; // x0, y0, x1, y1
  memcpy(gCurrent->selectedArea, area, sizeof area);
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 0);
}

TEST_F(ConflictSession, StoppedReconcilePutsTheWindowScoresBack) {
  gCurrent->score = ScoreParams{200, -150, -500, -50};
  box(0, 30, 0, 30);
  box(28, 60, 40, 70);
  rebuild();
  gActionStatus = kStatusStop;
  Reconcile();
  const ScoreParams &s = gCurrent->score;
  EXPECT_EQ(std::vector<int32_t>({s.match, s.mismatch, s.gapOpen, s.gapElongation}),
            std::vector<int32_t>({200, -150, -500, -50}));
  EXPECT_EQ(gCurrent->reportFirst, 1) << "a stop ends after the current pair";
}

namespace {
// Sequence 2 repeats sequence 1 on diagonal 0 for [0, 40) and shifted by 4
// from x = 36 on: two hits that overlap by 4 in sequence 1. With
// `mismatchedEnds` the outer end of each hit is a mismatch.
Hit *loadShiftedPair(bool mismatchedEnds) {
  std::mt19937 rng(11);
  std::string s1, s2;
  for (int i = 0; i < 800; ++i)
    (i < 400 ? s1 : s2).push_back("ACGT"[rng() % 4]);
  for (int y = 0; y < 84; ++y)
    s2[y] = s1[y < 40 ? y : y - 4];
  if (mismatchedEnds)
    for (int y : {0, 83})
      s2[y] = s2[y] == 'A' ? 'C' : 'A';
  loadTestSequences(s1.c_str(), s2.c_str());
  Hit *a = makeTestHit(0, 0, {{0, 0, 40}});
  makeTestHit(36, 40, {{0, 0, 44}});
  rebuildLists(0, 0);
  return a;
}
} // namespace

TEST_F(ConflictSession, ReconcileMakesSlightlyOverlappingHitsCollinear) {
  Hit *a = loadShiftedPair(false);
  ASSERT_TRUE(a->flags & kHitConflict);
  Reconcile();
  EXPECT_EQ(gCurrent->reportFirst, 1);
  ASSERT_EQ(gCurrent->reportSecond, 1);
  ASSERT_EQ(gHitCount, 2);
  const Hit *first = gHitHead1, *second = gHitHead1->next1;
  EXPECT_LE(first->end2, second->start2);
  EXPECT_FALSE((first->flags | second->flags) & kHitConflict);
  // The cut lies inside the overlap, so every kept column still matches.
  EXPECT_EQ(first->start1, 0);
  EXPECT_EQ(second->end1, 80);
  EXPECT_GE(first->end1, 36);
  EXPECT_LE(first->end1, second->start1);
  EXPECT_LE(second->start1, 40);
}

// The trim with the plain weights cuts the mismatched ends off; the scores
// left behind are on the window's scale.
TEST_F(ConflictSession, ReconciledHitsKeepScoresOnTheWindowsScale) {
  loadShiftedPair(true);
  Reconcile();
  ASSERT_EQ(gCurrent->reportSecond, 1);
  ASSERT_EQ(gHitCount, 2);
  EXPECT_EQ(gHitHead1->start1, 1);
  for (Hit *h = gHitHead1; h; h = h->next1)
    EXPECT_EQ(h->score, CountHitColumns(h, h->firstBlock));
}
