// Greedy chaining beyond the ends of a block list (Expand, hash Align): the
// diagonals within the maximal gap are scanned for islands with the bounded
// scan, and the best link, if any, is taken before looking further.
#include <algorithm>
#include <climits>
#include <vector>

#include "core/session.h"
#include "engine/island_map.h"
#include "engine/search_internal.h"

namespace {

// Runs one link try on a candidate island; the loser of the try and the
// island it displaces as best go back to the pool. `pred` says on which side
// of the best candidate the islands sit.
template <typename Try>
void consider(HitBlock *isl, bool pred, int32_t threshold, int &discarded, Try tryLink) {
  HitBlock *before = pred ? gBest.predecessor : gBest.successor;
  gLinkThreshold = threshold;
  tryLink(isl);
  HitBlock *now = pred ? gBest.predecessor : gBest.successor;
  if (now == isl) {
    if (before && before != now) {
      freeBlock(before);
      ++discarded;
    }
  } else {
    freeBlock(isl);
    ++discarded;
  }
}

// Worst verdict on the runs of w successive matches of an island. Kept
// chains come from earlier seeds only, so runs beside the block count too.
int runVerdict(int32_t x, int32_t y, int32_t length) {
  const int32_t w = gEngine.w;
  int32_t count;
  if (const int32_t *runs =
          gEngine.islands ? gEngine.islands->wordRuns(x, y, length, count) : nullptr) {
    int worst = kRunFree;
    for (int32_t i = 0; i < count && worst != kRunCovered; ++i)
      worst = std::max(worst, wordRunVerdict(x + runs[i], y + runs[i]));
    return worst;
  }
  // The scan window may have cut the island inside a run: count it whole,
  // so that a run reaching into the island from before it is judged too.
  int32_t run = 0;
  while (run < w - 1 && x > run && y > run && pairCode(x - run - 1, y - run - 1) == 1)
    ++run;
  int worst = kRunFree;
  for (int32_t i = 0; i < length && worst != kRunCovered; ++i) {
    run = pairCode(x + i, y + i) == 1 ? run + 1 : 0;
    if (run == w) // once per run
      worst = std::max(worst, wordRunVerdict(x + i, y + i));
  }
  return worst;
}

// Growth of the chain fields of one island as backward chaining linked a
// predecessor to it; every island after it inherits the growth.
struct ChainGrowth {
  int32_t score, matches, length;
};

// Applied once, from the chain's new head on: adding each growth along the
// chain as it happened would cost the chain's length per link.
void addAlongChain(HitBlock *head, const std::vector<ChainGrowth> &growth) {
  ChainGrowth sum{0, 0, 0};
  size_t s = growth.size();
  for (HitBlock *t = head->next; t; t = t->next) {
    t->chainScore += sum.score;
    t->chainMatches += sum.matches;
    t->chainLength += sum.length;
    if (s > 0) {
      --s;
      sum.score += growth[s].score;
      sum.matches += growth[s].matches;
      sum.length += growth[s].length;
    }
  }
}

} // namespace

PassOver::PassOver(const HitBlock *fixed, bool fixedAfter, int32_t reach)
    : fixed_(fixed), after_(fixedAfter), reach_(reach) {
  const EngineContext &e = gEngine;
  on_ = e.islands && e.packed && e.packed->marked() && e.islands->bestRun(0) >= 0;
}

bool PassOver::passes(const IslandSpan &f, int32_t kind, int32_t d, int64_t floor) {
  if (!on_)
    return false;
  const EngineContext &e = gEngine;
  const HitBlock *b = fixed_;
  // Along the kind's sequence: the predecessor's end, the successor's start.
  const bool alongX = kind == kLinkGapInY;
  const int32_t fStart = alongX ? f.x : f.y, fixedStart = alongX ? b->x : b->y;
  const int32_t length =
      after_ ? fStart - (fixedStart + b->length) : fixedStart - (fStart + f.length);
  if (length < 0 || length > reach_)
    return false;
  if (!known_) {
    const int32_t ex = b->x + b->length, ey = b->y + b->length;
    run_ = after_ ? e.packed->bestRunAfter(ex, ey, std::min({reach_, e.W - ex, e.H - ey}))
                  : e.packed->bestRunBefore(b->x, b->y, std::min({reach_, b->x, b->y}));
    known_ = true;
  }
  const ScoreParams &sp = *e.score;
  int64_t best = (int64_t)sp.gapOpen + (int64_t)d * sp.gapElongation +
                 ownScore(f.length, f.matches) + run_ + e.islands->bestRun(f.x - f.y) -
                 (int64_t)runStep(sp) * length;
  best += after_ ? b->chainScore : ownScore(b->length, b->identities);
  return best <= floor;
}

int chainForward(HitBlock *block) {
  EngineContext &e = gEngine;
  considerIslandMap();
  // Kept between calls: a seed's chaining calls this thousands of times.
  static std::vector<int32_t> near;
  int discarded = 0;
  e.linkedIslands = 0;
  for (HitBlock *cur = block; cur;) {
    const int32_t ex = cur->x + cur->length, ey = cur->y + cur->length;
    const int32_t xLimit = std::min(ex + e.g, e.W), yLimit = std::min(ey + e.g, e.H);
    gBest = LinkCandidate{};
    gBest.predecessor = cur;
    gBest.score = cur->chainScore;
    // Links reach g positions past the block's end.
    PassOver pass(cur, true, e.g);
    // kind < 0: the block's own diagonal.
    auto scanLine = [&](int32_t x, int32_t y, int32_t kind, int32_t d, auto tryLink) {
      IslandSpan f;
      for (bool more = true; more && findIslandWithin(x, y, xLimit, yLimit, INT_MAX, f);) {
        more = !f.lastInWindow;
        x = f.x + f.length;
        y = f.y + f.length;
        if (kind >= 0 && pass.passes(f, kind, d, cur->chainScore)) {
          passIsland(f.x, f.y, f.length);
          ++discarded;
          continue;
        }
        HitBlock *isl = newIsland(f.x, f.y, f.length, f.matches);
        consider(isl, false, isl->blockScore, discarded, tryLink);
      }
    };
    scanLine(ex, ey, -1, 0, [&](HitBlock *isl) { linkSameDiagonal(cur, isl); });
    // Diagonal k0 - d through (x, y + d) first, then k0 + d.
    auto scanBoth = [&](int32_t d, bool below) {
      if (below)
        scanLine(cur->x, cur->y + d, kLinkGapInY, d,
                 [&](HitBlock *isl) { linkGapped(cur, isl, kLinkGapInY, d); });
      else
        scanLine(cur->x + d, cur->y, kLinkGapInX, d,
                 [&](HitBlock *isl) { linkGapped(cur, isl, kLinkGapInX, d); });
    };
    if (const IslandMap *map = e.islands) {
      const int32_t k0 = cur->x - cur->y;
      map->nearDiagonals(k0, e.g, -1, cur->x, xLimit + e.n, cur->y, yLimit + e.n, near);
      for (int32_t k : near)
        scanBoth(k < k0 ? k0 - k : k - k0, k < k0);
    } else {
      for (int32_t d = 1; d < e.g; ++d) {
        scanBoth(d, true);
        scanBoth(d, false);
      }
    }
    if (!gBest.successor)
      break;
    // Every link must carry the chain further, or the walk could go round
    // in circles between overlapping islands.
    if (HitBlock *s = gBest.successor; s->x + s->y + 2 * s->length <= ex + ey) {
      freeBlock(s);
      ++discarded;
      break;
    }
    linkBest();
    ++e.linkedIslands;
    cur = gBest.successor;
  }
  return discarded;
}

int chainBackward(HitBlock *block, bool hashMode) {
  EngineContext &e = gEngine;
  considerIslandMap();
  static std::vector<int32_t> near; // kept between calls, as in chainForward
  int discarded = 0;
  e.linkedIslands = 0;
  std::vector<ChainGrowth> growth;
  HitBlock *head = block;
  for (HitBlock *cur = block; cur;) {
    const int32_t sx = cur->x, sy = cur->y;
    const int32_t ex = sx + cur->length, ey = sy + cur->length;
    gBest = LinkCandidate{};
    gBest.successor = cur;
    gBest.score = successorOwnScore(cur);
    const int64_t floor = gBest.score;
    // Islands end up to 2g positions before the block's start.
    PassOver pass(cur, false, 2 * e.g);
    int met = kRunFree; // hash mode: a kept chain lies before the block
    // Each diagonal is scanned upwards from g before the block's start to
    // the block's end, so an island may overlap the block as in forward.
    // The block's own diagonal stops at its start.
    // kind < 0: the block's own diagonal.
    auto scanLine = [&](int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t kind,
                        int32_t d, auto tryLink) {
      if (x < 0 || y < 0) {
        const int32_t lift = -std::min(x, y);
        x += lift;
        y += lift;
      }
      for (bool more = true; more && met == kRunFree;) {
        // In hash mode nothing beyond the block's end: runs there come from
        // later seeds, and an island there would lead the chain forward again.
        const int32_t room = kind < 0 || hashMode ? std::min(xLimit - x, yLimit - y) : INT32_MAX;
        IslandSpan f;
        if (!findIslandWithin(x, y, xLimit, yLimit, room, f))
          break;
        more = !f.lastInWindow;
        x = f.x + f.length;
        y = f.y + f.length;
        if (hashMode)
          met = runVerdict(f.x, f.y, f.length);
        if (met != kRunFree || (f.x + f.length < sx - e.g && f.y + f.length < sy - e.g) ||
            (kind >= 0 && pass.passes(f, kind, d, floor))) {
          passIsland(f.x, f.y, f.length);
          ++discarded;
          continue;
        }
        consider(newIsland(f.x, f.y, f.length, f.matches), true, 0, discarded, tryLink);
      }
    };
    scanLine(sx - e.g, sy - e.g, sx, sy, -1, 0, [&](HitBlock *isl) { linkSameDiagonal(isl, cur); });
    // Diagonal k0 + d first, then k0 - d.
    auto scanBoth = [&](int32_t d, bool above) {
      if (above)
        scanLine(sx - e.g, sy - e.g - d, ex, ey - d, kLinkGapInY, d,
                 [&](HitBlock *isl) { linkGapped(isl, cur, kLinkGapInY, d); });
      else
        scanLine(sx - e.g - d, sy - e.g, ex - d, ey, kLinkGapInX, d,
                 [&](HitBlock *isl) { linkGapped(isl, cur, kLinkGapInX, d); });
    };
    if (const IslandMap *map = e.islands) {
      const int32_t k0 = sx - sy;
      map->nearDiagonals(k0, e.g, 1, sx - 2 * e.g, ex + e.n, sy - 2 * e.g, ey + e.n, near);
      for (size_t i = 0; i < near.size() && met == kRunFree; ++i)
        scanBoth(near[i] > k0 ? near[i] - k0 : k0 - near[i], near[i] > k0);
    } else {
      for (int32_t d = 1; d < e.g && met == kRunFree; ++d) {
        scanBoth(d, true);
        scanBoth(d, false);
      }
    }
    if (met != kRunFree) {
      // Abandoned when the kept chain already covers the seed; otherwise it
      // stopped short of it and this chain starts here.
      if (met == kRunCovered) {
        ++e.abandoned;
        e.seedAbandoned = true;
      }
      if (gBest.predecessor) {
        freeBlock(gBest.predecessor);
        ++discarded;
      }
      break;
    }
    if (!gBest.predecessor)
      break;
    if (HitBlock *p = gBest.predecessor; p->x + p->y >= sx + sy) {
      freeBlock(p);
      ++discarded;
      break;
    }
    const int32_t oldScore = cur->chainScore, oldMatches = cur->chainMatches,
                  oldLength = cur->chainLength;
    linkBest();
    growth.push_back(ChainGrowth{cur->chainScore - oldScore, cur->chainMatches - oldMatches,
                                 cur->chainLength - oldLength});
    ++e.linkedIslands;
    cur = head = gBest.predecessor;
  }
  addAlongChain(head, growth);
  return discarded;
}
