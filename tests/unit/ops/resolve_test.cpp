#include <algorithm>
#include <array>
#include <random>

#include "conflict_fixture.h"
#include "core/conflicts.h"
#include "ops/resolve.h"

namespace {
bool chainable(const Hit *a, const Hit *b) { return hitPrecedes(a, b) || hitPrecedes(b, a); }
} // namespace

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

TEST_F(ConflictSession, OptimalPrefersTheHeavierChainToTheHeaviestHit) {
  // d (250) crosses a, b and c (100 each): Greedy would keep d.
  box(0, 10, 0, 10, 100);
  box(20, 30, 20, 30, 100);
  box(40, 50, 40, 50, 100);
  box(5, 45, 60, 70, 250);
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 20, 40}));
  EXPECT_EQ(gCurrent->reportFirst, 4);
  EXPECT_EQ(gCurrent->reportSecond, 1);

  // Two chains of one hit and of equal score: a later end lower in
  // sequence 2 takes the place of the earlier one.
  clearTestHits();
  box(0, 50, 250, 300, 500);
  box(60, 100, 150, 200, 300);
  box(110, 150, 50, 100, 500);
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{110}));
}

// Greedy against a plain reference, Optimal against every chain, on the same
// random sets.
TEST_F(ConflictSession, GreedyAndOptimalMatchReferencesOnRandomSets) {
  std::mt19937 rng(5);
  auto r = [&](int n) { return static_cast<int32_t>(rng() % n); };
  for (int round = 0; round < 50; ++round) {
    std::vector<std::array<int32_t, 5>> boxes;
    for (int i = 0; i < 10; ++i) {
      int32_t s1 = r(100), s2 = r(100);
      boxes.push_back({s1, s1 + 1 + r(20), s2, s2 + 1 + r(20), 10 * r(5)});
    }
    auto place = [&] {
      clearTestHits();
      for (const auto &b : boxes)
        box(b[0], b[1], b[2], b[3], b[4]);
      rebuild();
      return liveHits();
    };
    // Score order, ties in list order; keep what fits all kept.
    std::vector<Hit *> order = place(), kept;
    std::stable_sort(order.begin(), order.end(),
                     [](const Hit *a, const Hit *b) { return a->score > b->score; });
    for (Hit *h : order)
      if (std::all_of(kept.begin(), kept.end(), [h](Hit *k) { return chainable(h, k); }))
        kept.push_back(h);
    std::sort(kept.begin(), kept.end());
    GreedyResolve();
    std::vector<Hit *> left = liveHits();
    std::sort(left.begin(), left.end());
    ASSERT_EQ(left, kept) << "Greedy, round " << round;

    std::vector<Hit *> hits = place();
    int64_t best = 0;
    for (unsigned mask = 1; mask < (1u << hits.size()); ++mask) {
      int64_t sum = 0;
      bool chain = true;
      for (size_t i = 0; i < hits.size(); ++i)
        if (mask >> i & 1) {
          sum += hits[i]->score;
          for (size_t j = i + 1; j < hits.size(); ++j)
            chain = chain && (!(mask >> j & 1) || chainable(hits[i], hits[j]));
        }
      if (chain)
        best = std::max(best, sum);
    }
    OptimalAction();
    int64_t sum = 0;
    for (const Hit *h : liveHits()) {
      sum += h->score;
      EXPECT_FALSE(h->flags & kHitConflict) << "round " << round;
    }
    ASSERT_EQ(sum, best) << "Optimal, round " << round;
  }
}

TEST_F(ConflictSession, OptimalNeverDeletesApprovedHitsNorAnythingWhenStopped) {
  box(0, 10, 0, 10, 500);
  Hit *loser = box(5, 15, 20, 30, 100);
  loser->flags |= kHitApproved;
  rebuild();
  OptimalAction();
  EXPECT_EQ(starts(), (Starts{0, 5}));
  EXPECT_EQ(gCurrent->reportSecond, 0);

  loser->flags = kHitSelMouse;
  rebuild();
  gActionStatus = kStatusStop;
  EXPECT_FALSE(OptimalChain());
  DeleteMarked(0);
  EXPECT_EQ(starts(), (Starts{0, 5}));
  EXPECT_EQ(loser->flags & (kHitSelDelete | kHitSelMouse), kHitSelMouse);
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

  // Nothing deletable is selected: the selected hit goes, approved or not.
  gCurrent->reportSecond = 0;
  const Hit *selected = gCurrent->selectedHit;
  ASSERT_NE(selected, nullptr);
  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags = (h->flags & ~kHitSelected) | kHitApproved;
  int32_t gone = selected->start1;
  DeleteMarked(1);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  EXPECT_EQ(starts().size(), 1u);
  EXPECT_NE(starts()[0], gone);
}
