#include <climits>
#include <set>
#include <tuple>

#include "engine/island_map.h"
#include "engine/packed_bases.h"
#include "engine/run_bounds.h"
#include "engine/search_internal.h"
#include "search_fixture.h"

namespace {

class RunBoundsTest : public SearchTest {
protected:
  // Related sequences with N, masked bases and a few indels, so that links
  // across diagonals exist and some stretches cannot match at all.
  // With `tandem`, both hold a period-7 repeat over [1200, 1600), where
  // islands on diagonals 7 apart overlap and link.
  void loadRelated(std::mt19937 &rng, size_t n, IslandParams island = IslandParams{},
                   bool tandem = false) {
    std::string s1 = randomDna(rng, n), s2 = mutate(rng, s1, 0.1);
    for (size_t at = 300; at + 400 < s2.size(); at += 250 + rng() % 500)
      s2 = rng() % 2 ? s2.substr(0, at) + randomDna(rng, 1 + rng() % 40) + s2.substr(at)
                     : s2.substr(0, at) + s2.substr(at + 1 + rng() % 40);
    if (tandem) {
      std::string repeat;
      while (repeat.size() < 400)
        repeat += "ACGTTGA";
      s1.replace(1200, 400, repeat.substr(0, 400));
      s2.replace(1200, 400, repeat.substr(0, 400));
    }
    for (std::string *s : {&s1, &s2})
      for (size_t i = 0; i < s->size(); i += 1 + rng() % 113)
        (*s)[i] = rng() % 3 ? (char)tolower((*s)[i]) : 'N';
    load(s1, s2, 0x08 | 0x40, island);
    prepare();
    bool usable[64];
    ASSERT_TRUE(scanMatchesBySameBase(usable));
    ASSERT_TRUE(bases.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
    ASSERT_TRUE(bases.markUsable(gEngine.seq1, gEngine.seq2, usable));
    const ScoreParams &sp = *gEngine.score;
    bases.setRunSteps(sp.match + runStep(sp), sp.mismatch + runStep(sp));
  }
  static HitBlock *island(int32_t x, int32_t y, int32_t length) {
    int32_t matches = 0;
    for (int32_t i = 0; i < length; ++i)
      matches += pairCode(x + i, y + i) == 1;
    return newIsland(x, y, length, matches);
  }
  // The running sums as a walk position by position finds them.
  static int32_t walkedBest(int32_t x, int32_t y, int32_t length, int32_t dir, int32_t up,
                            int32_t down) {
    int32_t sum = 0, best = 0;
    for (int32_t i = 0; i < length; ++i) {
      const int32_t p = dir > 0 ? i : -1 - i;
      sum += pairCode(x + p, y + p) == 1 ? up : down;
      best = std::max(best, sum);
    }
    return best;
  }
  PackedBases bases;
};

TEST_F(RunBoundsTest, BestRunsAsWalked) {
  std::mt19937 rng(11);
  loadRelated(rng, 3000);
  for (auto [up, down] : {std::pair{125, -75}, std::pair{3, -1}, std::pair{1, 0}}) {
    bases.setRunSteps(up, down);
    for (int t = 0; t < 3000; ++t) {
      const int32_t length = (int32_t)(rng() % (t < 1500 ? 70 : 900));
      // Forward from (x, y); back from (x, y), both to the region's edge now and then.
      int32_t x = (int32_t)(rng() % (gEngine.W - length + 1)),
              y = (int32_t)(rng() % (gEngine.H - length + 1));
      if (t % 7 == 0)
        x = gEngine.W - length;
      ASSERT_EQ(bases.bestRunAfter(x, y, length), walkedBest(x, y, length, 1, up, down))
          << x << " " << y << " " << length << " " << up;
      x = length + (int32_t)(rng() % (gEngine.W - length + 1));
      y = length + (int32_t)(rng() % (gEngine.H - length + 1));
      if (t % 7 == 0)
        y = length;
      ASSERT_EQ(bases.bestRunBefore(x, y, length), walkedBest(x, y, length, -1, up, down))
          << x << " " << y << " " << length << " " << up;
    }
  }
}

// Islands held as the sweep holds them around a new island b: within g
// diagonals, starting before it, ending no more than 2g + 1 anti-diagonals
// behind its start. Every link the plain tries make must be found with the
// bounds too, on the diagonals they keep, with the same outcome.
TEST_F(RunBoundsTest, DiagonalsPassedOverHoldNoLink) {
  std::mt19937 rng(12);
  int kept = 0, passed = 0, linked = 0;
  for (int t = 0; t < 4000; ++t) {
    if (t % 2000 == 0) { // then the pair again with a repeat
      releaseRegion();
      loadRelated(rng, 4000, IslandParams{}, t > 0);
    }
    const int32_t g = 300, base = gEngine.H + g - 1;
    RunBounds bounds;
    ASSERT_TRUE(bounds.start(bases, *gEngine.score, 2 * g + 64, gEngine.W, gEngine.H,
                             gEngine.W + gEngine.H + 2 * g + 15));
    // Mostly away from the pair's alignment, where links are rare.
    const int32_t length = 10 + (int32_t)(rng() % 60);
    // One in four inside the repeat, where long islands on nearby
    // diagonals cover it.
    const bool repeat = t % 4 == 3;
    const int32_t bx = repeat ? 1250 + (int32_t)(rng() % 250)
                              : 2 * g + (int32_t)(rng() % (gEngine.W - 3 * g)),
                  by = repeat ? 1250 + (int32_t)(rng() % 250)
                       : t % 4 < 2
                           ? (int32_t)(rng() % (gEngine.H - length))
                           : std::clamp(bx + (int32_t)(rng() % 41) - 20, 0, gEngine.H - length);
    HitBlock *b = island(bx, by, length);
    b->chainScore += (int32_t)(rng() % 3000);
    bounds.add(b, bx - by + base);
    std::vector<HitBlock *> held, all{b};
    std::vector<HitBlock *> lists(gEngine.W + gEngine.H + 2 * g + 15, nullptr);
    for (int i = 0; i < 150; ++i) {
      const int32_t d = i % 2 ? 1 + (int32_t)(rng() % 25) : 1 + (int32_t)(rng() % g);
      const int32_t diag = bx - by + (rng() % 2 ? d : -d);
      const int32_t len = 8 + (int32_t)(rng() % (repeat ? 200 : 40));
      // Its start before b's, its end at most 2g + 1 anti-diagonals behind.
      // Every third right beside b, overlapping it often.
      const int32_t start =
          bx + by - 1 - (int32_t)(rng() % (i % 3 ? 2 * g + 2 * len : 2 * len + 20));
      if ((start + diag) % 2 != 0 || start + 2 * len < bx + by - 2 * g - 1)
        continue;
      const int32_t ax = (start + diag) / 2, ay = ax - diag;
      if (ax < 0 || ay < 0 || ax + len > gEngine.W || ay + len > gEngine.H)
        continue;
      HitBlock *a = island(ax, ay, len);
      a->chainScore += (int32_t)(rng() % 20000);
      bounds.add(a, diag + base);
      a->freeNext = lists[diag + base];
      lists[diag + base] = a;
      held.push_back(a);
      all.push_back(a);
    }
    // Lists that lost their oldest islands count again without them.
    for (HitBlock *&head : lists)
      if (head && head->freeNext && rng() % 3 == 0) {
        for (HitBlock *o = head->freeNext; o; o = o->freeNext)
          held.erase(std::find(held.begin(), held.end(), o));
        head->freeNext = nullptr;
        bounds.recount((int32_t)(&head - lists.data()), head);
      }
    const std::vector<int32_t> &near = bounds.inReach(b, bx - by + base, g);
    const std::set<int32_t> walked(near.begin(), near.end());
    ASSERT_TRUE(std::is_sorted(near.begin(), near.end()));
    for (HitBlock *a : held) {
      const int32_t entry = a->x - a->y + base, d = std::abs(a->x - a->y - (bx - by));
      const bool below = a->x - a->y < bx - by;
      // Both orders, as the sweep tries them, without the bounds and with them.
      LinkCandidate found[2];
      for (int with = 0; with < 2; ++with) {
        gEngine.packed = &bases;
        gEngine.runs = with ? &bounds : nullptr;
        gBest = LinkCandidate{};
        gBest.score = b->chainScore;
        gLinkThreshold = a->chainScore;
        linkGapped(a, b, below ? kLinkGapInX : kLinkGapInY, d);
        linkGapped(b, a, below ? kLinkGapInY : kLinkGapInX, d);
        found[with] = gBest;
      }
      gEngine.packed = nullptr;
      gEngine.runs = nullptr;
      EXPECT_EQ(std::make_tuple(found[1].predecessor, found[1].successor, found[1].score,
                                found[1].cut, found[1].keptMatches),
                std::make_tuple(found[0].predecessor, found[0].successor, found[0].score,
                                found[0].cut, found[0].keptMatches))
          << t;
      const bool links = found[0].successor != nullptr;
      linked += links;
      if (walked.count(entry)) {
        ++kept;
      } else {
        ++passed;
        EXPECT_FALSE(links) << t << " " << a->x << " " << a->y << " " << d;
      }
    }
    for (HitBlock *a : all)
      freeBlock(a);
  }
  // Many held islands are passed over; some link, and are kept.
  EXPECT_GT(passed, kept / 8);
  EXPECT_GT(linked, 50) << kept << " " << passed;
}

// The chaining of the hash mode, with the island map: every island a scan
// finds on a diagonal beside a block is tried as the chaining tries it, and
// none passed over may link.
TEST_F(RunBoundsTest, IslandsPassedOverInChainingCannotLink) {
  std::mt19937 rng(13);
  // Loose frames: islands on most diagonals, as with short words.
  loadRelated(rng, 3000, IslandParams{3, 6, 20, 6, 16});
  IslandMap map;
  ASSERT_TRUE(map.build());
  const int32_t g = 200;
  gEngine.g = g;
  int tried = 0, passed = 0, linked = 0;
  for (int t = 0; t < 1500; ++t) {
    const bool forward = t % 2 == 0, above = rng() % 2 == 0, aligned = t % 4 < 2;
    // Half the blocks on the pair's alignment (its best island near a
    // random x), where indels make links across a few diagonals.
    const int32_t d = 1 + (int32_t)(rng() % (aligned ? 45 : g - 1));
    int32_t x = 2 * g + (int32_t)(rng() % (gEngine.W - 4 * g)),
            y = (int32_t)(rng() % (gEngine.H - 60)), length = 10 + (int32_t)(rng() % 50);
    IslandSpan best{0, 0, 0, -1}, f;
    for (int32_t k = -150; aligned && k <= 150; ++k)
      if (x - k >= 0 && x - k + 60 < gEngine.H &&
          findIslandWithin(x, x - k, x + 60, x - k + 60, INT_MAX, f) && f.matches > best.matches)
        best = f;
    if (best.matches > 0) {
      x = best.x;
      y = best.y;
      length = best.length;
    }
    HitBlock *cur = island(x, y, length);
    if (forward)
      cur->chainScore += (int32_t)(rng() % 2000);
    const int32_t ex = x + length, ey = y + length;
    const int32_t kind = forward == above ? kLinkGapInX : kLinkGapInY;
    // The line and window each direction scans.
    int32_t lx, ly, xLimit, yLimit;
    if (forward) {
      lx = above ? x + d : x;
      ly = above ? y : y + d;
      xLimit = std::min(ex + g, gEngine.W);
      yLimit = std::min(ey + g, gEngine.H);
    } else {
      lx = above ? x - g : x - g - d;
      ly = above ? y - g - d : y - g;
      xLimit = above ? ex : ex - d;
      yLimit = above ? ey - d : ey;
      const int32_t lift = std::max(0, -std::min(lx, ly));
      lx += lift;
      ly += lift;
    }
    gEngine.islands = &map;
    gEngine.packed = &bases;
    PassOver pass(cur, forward, forward ? g : 2 * g);
    while (findIslandWithin(lx, ly, xLimit, yLimit, INT_MAX, f)) {
      lx = f.x + f.length;
      ly = f.y + f.length;
      gBest = LinkCandidate{};
      gBest.score = forward ? cur->chainScore : successorOwnScore(cur);
      const bool passes = pass.passes(f, kind, d, gBest.score);
      HitBlock *isl = newIsland(f.x, f.y, f.length, f.matches);
      gLinkThreshold = forward ? isl->blockScore : 0;
      if (forward)
        linkGapped(cur, isl, kind, d);
      else
        linkGapped(isl, cur, kind, d);
      const bool links = (forward ? gBest.successor : gBest.predecessor) == isl;
      EXPECT_FALSE(passes && links) << t << " " << f.x << " " << f.y << " " << d;
      ++tried;
      passed += passes;
      linked += links;
      freeBlock(isl);
    }
    gEngine.islands = nullptr;
    gEngine.packed = nullptr;
    freeBlock(cur);
  }
  EXPECT_GT(passed, tried / 4);
  EXPECT_GT(linked, 30) << tried << " " << passed;
}

} // namespace
