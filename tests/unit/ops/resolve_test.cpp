#include <algorithm>
#include <random>

#include "conflict_fixture.h"
#include "ops/conflicts.h"
#include "ops/resolve.h"

TEST_F(ConflictSession, GreedyKeepsBetterHitAndBreaksTiesByListOrder) {
  box(0, 10, 0, 10, 300);
  box(5, 15, 20, 30, 400); // better, conflicts with the first
  box(50, 60, 50, 60, 100);
  rebuild();
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{5, 50}));
  EXPECT_EQ(gCurrent->reportFirst, 3);
  EXPECT_EQ(gCurrent->reportSecond, 1);

  clearTestHits();
  box(0, 10, 30, 40, 200);
  box(5, 15, 0, 10, 200); // equal score, later in the main list: it goes
  rebuild();
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{0}));
}

TEST_F(ConflictSession, GreedyComparesOnlyWithKeptHits) {
  // b loses to a; c conflicts only with b, which is gone by then.
  box(0, 20, 0, 20, 300);   // a
  box(15, 40, 30, 40, 200); // b: overlaps a in sequence 1
  box(30, 50, 20, 45, 100); // c: crosses b, after a
  rebuild();
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{0, 30}));
  EXPECT_EQ(gCurrent->reportSecond, 1);
}

TEST_F(ConflictSession, GreedyKeepsAChainFoundInAnyScoreOrder) {
  // Five collinear hits inserted in a scrambled score order, each checked
  // against its neighbours in the kept chain; one intruder overlaps two.
  int32_t scores[5] = {50, 500, 10, 300, 200};
  for (int i = 0; i < 5; ++i)
    box(i * 20, i * 20 + 10, i * 20, i * 20 + 10, scores[i]);
  box(45, 65, 45, 65, 100);
  rebuild();
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{0, 20, 40, 60, 80}));
}

TEST_F(ConflictSession, GreedyMatchesAPlainReferenceOnRandomSets) {
  std::mt19937 rng(5);
  for (int round = 0; round < 80; ++round) {
    clearTestHits();
    for (int i = 0; i < 12; ++i) {
      int32_t s1 = rng() % 100, s2 = rng() % 100;
      box(s1, s1 + 1 + rng() % 20, s2, s2 + 1 + rng() % 20, 10 * (rng() % 5));
    }
    rebuild();
    // Reference: score order (ties in list order), keep what fits all kept.
    std::vector<Hit *> order;
    for (Hit *h = gHitHead1; h; h = h->next1)
      order.push_back(h);
    std::stable_sort(order.begin(), order.end(),
                     [](const Hit *a, const Hit *b) { return a->score > b->score; });
    std::vector<Hit *> kept;
    for (Hit *h : order) {
      bool fits = true;
      for (Hit *k : kept)
        fits = fits && (hitPrecedes(h, k) || hitPrecedes(k, h));
      if (fits)
        kept.push_back(h);
    }
    std::sort(kept.begin(), kept.end());
    GreedyResolve();
    std::vector<Hit *> left;
    for (Hit *h = gHitHead1; h; h = h->next1)
      left.push_back(h);
    std::sort(left.begin(), left.end());
    ASSERT_EQ(left, kept) << "round " << round;
  }
}

TEST_F(ConflictSession, GreedyStaysInsideTheSelectedArea) {
  box(0, 10, 0, 10, 300);
  box(5, 15, 20, 30, 100);
  box(200, 210, 200, 210, 300);
  box(205, 215, 220, 230, 100);
  rebuild();
  gCurrent->flagsB |= kOptAreaActive;
  int32_t selected[4] = {0, 0, 100, 100}; // x0, y0, x1, y1
  memcpy(gCurrent->selectedArea, selected, sizeof selected);
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{0, 200, 205}));
}

TEST_F(ConflictSession, OptimalKeepsCollinearSetsWhole) {
  box(0, 10, 0, 10);
  box(10, 20, 10, 20); // touching
  box(20, 30, 25, 40);
  box(35, 50, 40, 45);
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 10, 20, 35}));
  EXPECT_EQ(gCurrent->reportSecond, 0);
  for (const Hit *h = gHitHead1; h; h = h->next1)
    EXPECT_FALSE(h->flags & kHitSelDelete);
}

TEST_F(ConflictSession, OptimalPrefersTheHeavierChainToTheHeaviestHit) {
  // d (250) crosses a, b and c (100 each): the chain of three wins,
  // which Greedy would not find.
  box(0, 10, 0, 10, 100);
  box(20, 30, 20, 30, 100);
  box(40, 50, 40, 50, 100);
  box(5, 45, 60, 70, 250);
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 20, 40}));
  EXPECT_EQ(gCurrent->reportFirst, 4);
  EXPECT_EQ(gCurrent->reportSecond, 1);

  // c (150) outweighs a and b alone but crosses them; d follows a, b and c
  // alike; e follows a and b but overlaps d. Chains: a b d 320, c d 270,
  // a b e 260.
  clearTestHits();
  box(0, 10, 0, 10, 100);   // a
  box(12, 20, 12, 20, 100); // b
  box(5, 15, 50, 60, 150);  // c
  box(30, 40, 70, 80, 120); // d
  box(25, 35, 25, 35, 60);  // e
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 12, 30}));
}

TEST_F(ConflictSession, OptimalFindsTheBestChainOfRandomSets) {
  std::mt19937 rng(3);
  for (int round = 0; round < 80; ++round) {
    clearTestHits();
    std::vector<Hit *> hits;
    for (int i = 0; i < 9; ++i) {
      int32_t s1 = rng() % 80, s2 = rng() % 80;
      hits.push_back(box(s1, s1 + 1 + rng() % 20, s2, s2 + 1 + rng() % 20, 1 + rng() % 50));
    }
    // Every subset that is a chain, by brute force.
    int64_t best = 0;
    for (unsigned mask = 1; mask < (1u << hits.size()); ++mask) {
      int64_t sum = 0;
      bool chain = true;
      for (size_t i = 0; i < hits.size() && chain; ++i) {
        if (!(mask >> i & 1))
          continue;
        sum += hits[i]->score;
        for (size_t j = i + 1; j < hits.size(); ++j)
          if ((mask >> j & 1) && !hitPrecedes(hits[i], hits[j]) && !hitPrecedes(hits[j], hits[i]))
            chain = false;
      }
      if (chain)
        best = std::max(best, sum);
    }
    rebuild();
    OptimalAction();
    int64_t kept = 0;
    for (const Hit *h = gHitHead1; h; h = h->next1) {
      kept += h->score;
      EXPECT_FALSE(h->flags & kHitConflict) << "round " << round;
    }
    ASSERT_EQ(kept, best) << "round " << round;
  }
}

TEST_F(ConflictSession, OptimalNeverDeletesApprovedHits) {
  box(0, 10, 0, 10, 500);
  Hit *loser = box(5, 15, 20, 30, 100);
  loser->flags |= kHitApproved;
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 5}));
  EXPECT_EQ(gCurrent->reportSecond, 0);
}

TEST_F(ConflictSession, InterruptedOptimalDeletesNothingAndLeavesNoMarks) {
  box(0, 10, 0, 10, 500);
  Hit *b = box(5, 15, 20, 30, 100);
  b->flags |= kHitSelMouse;
  rebuild();
  gActionStatus = kStatusStop;
  EXPECT_FALSE(OptimalChain());
  DeleteMarked(0);
  EXPECT_EQ(starts(), (Starts{0, 5}));
  EXPECT_EQ(b->flags & (kHitSelDelete | kHitSelMouse), kHitSelMouse);
}

TEST_F(ConflictSession, KillDeletesConflictingHitsOfTheAreaOnly) {
  box(0, 10, 0, 10);
  box(5, 15, 20, 30);
  box(50, 60, 50, 60);
  box(200, 210, 200, 210);
  box(205, 215, 220, 230);
  rebuild();
  gCurrent->flagsB |= kOptAreaActive;
  int32_t selected[4] = {0, 0, 100, 100};
  memcpy(gCurrent->selectedArea, selected, sizeof selected);
  KillConflicting();
  EXPECT_EQ(starts(), (Starts{50, 200, 205}));
  EXPECT_EQ(gCurrent->reportSecond, 2);
}

TEST_F(ConflictSession, DeleteTakesSelectedUnapprovedHitsOrElseTheSelectedHit) {
  Hit *a = box(0, 10, 0, 10);
  Hit *b = box(20, 30, 20, 30);
  Hit *c = box(40, 50, 40, 50);
  a->flags |= kHitSelShort;
  b->flags |= kHitSelShort | kHitApproved;
  rebuild();
  gCurrent->selectedHit = c;
  DeleteMarked(1);
  EXPECT_EQ(starts(), (Starts{20, 40}));
  EXPECT_EQ(gCurrent->reportSecond, 1);

  // Nothing marked deletable: the selected hit goes, approved or not.
  gCurrent->reportSecond = 0;
  Hit *selected = gCurrent->selectedHit;
  ASSERT_NE(selected, nullptr);
  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags = (h->flags & ~kHitSelected) | kHitApproved;
  int32_t gone = selected->start1;
  DeleteMarked(1);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  for (int32_t s : starts())
    EXPECT_NE(s, gone);
}
