// The frame rule on one diagonal and the ungapped extension of a block. The
// sentinel bit at the region's ends stands in for every bounds check.
#include <climits>

#include "core/session.h"
#include "engine/island_map.h"
#include "engine/progress.h"
#include "engine/run_bounds.h"
#include "engine/search_internal.h"

namespace {

struct Found {
  int32_t start, end, matches; // offsets along the diagonal, end exclusive
};

// The island reported by a passing stretch ending at `end`: it spans the
// last n + run - 1 positions, without the non-matches at either end.
template <typename At> bool reportIsland(int32_t end, int n, int run, int total, At at, Found &f) {
  int32_t start = end - n - run + 1;
  if (start < 0)
    start = 0;
  while (start < end && at(start) != 1)
    ++start;
  while (end > start && at(end - 1) != 1)
    --end;
  f = Found{start, end, total};
  return end > start;
}

// Next island of the frame rule along p1[i * Dir], p2[i * Dir] from i = 0;
// position `room` counts as a sentinel (backward walks have none). With a
// budget (bounded scan) every failing frame below k costs run + 1 and the
// scan gives up below 1. `scanned` receives the number of positions read.
template <int Dir>
bool nextIsland(const uint8_t *p1, const uint8_t *p2, int32_t budget, int32_t room, Found &f,
                int64_t &scanned) {
  const int n = gEngine.n, m = gEngine.m, k = gEngine.k;
  auto at = [&](int32_t i) { return i >= room ? 2 : scanCode(p1[i * Dir], p2[i * Dir]); };
  int count = 0, i = 0;
  for (; i < n; ++i) {
    const int v = at(i);
    if (v == 2) {
      scanned += i;
      return false;
    }
    count += v;
  }
  int run = count >= m, total = count;
  int32_t end;
  for (;; ++i) {
    const int v = at(i);
    if (v == 2) {
      end = count >= m ? i : i - 1;
      if (total < k) {
        scanned += i;
        return false;
      }
      break;
    }
    count += v - at(i - n);
    if (count >= m) {
      total += v;
      ++run;
    } else if (total >= k) {
      end = i;
      break;
    } else {
      if (budget != INT_MAX) {
        budget -= run + 1;
        if (budget < 1) {
          scanned += i;
          return false;
        }
      }
      run = 0;
      total = count;
    }
  }
  scanned += i;
  return reportIsland(end, n, run, total, at, f);
}

// The full scan's hot loop: the frame rule of nextIsland without budget or
// room, the match values of the frame kept in a ring instead of re-read.
constexpr int kRing = 256;

bool nextIslandFull(const uint8_t *p1, const uint8_t *p2, Found &f, int64_t &scanned) {
  const int n = gEngine.n, m = gEngine.m, k = gEngine.k;
  if (n >= kRing || n < 1)
    return nextIsland<1>(p1, p2, INT_MAX, INT_MAX, f, scanned);
  uint8_t ring[kRing];
  int count = 0, i = 0;
  for (; i < n; ++i) {
    const int v = scanCode(p1[i], p2[i]);
    if (v == 2) {
      scanned += i;
      return false;
    }
    ring[i] = (uint8_t)v;
    count += v;
  }
  int run = count >= m, total = count;
  int32_t end;
  for (;; ++i) {
    const int v = scanCode(p1[i], p2[i]);
    if (v == 2) {
      end = count >= m ? i : i - 1;
      if (total < k) {
        scanned += i;
        return false;
      }
      break;
    }
    uint8_t &slot = ring[(i - n) & (kRing - 1)];
    count += v - slot;
    ring[i & (kRing - 1)] = (uint8_t)v;
    if (count >= m) {
      total += v;
      ++run;
    } else if (total >= k) {
      end = i;
      break;
    } else {
      run = 0;
      total = count;
    }
  }
  scanned += i;
  return reportIsland(
      end, n, run, total, [&](int32_t j) { return scanCode(p1[j], p2[j]); }, f);
}

void insertIsland(HitBlock *b) {
  EngineContext &e = gEngine;
  const int32_t s = b->x + b->y;
  const int32_t t = s + 2 * b->length;
  b->sameStart = e.startList[s];
  e.startList[s] = b;
  b->sameEnd = e.endList[t];
  e.endList[t] = b;
  HitBlock *&diag = e.diagonalList[b->x - b->y + e.diagBase];
  b->freeNext = diag;
  b->engineA = 1; // on its diagonal list until finalised
  diag = b;
  if (e.runs)
    e.runs->add(b, b->x - b->y + e.diagBase);
}

} // namespace

void scanDiagonal(int32_t x, int32_t y) {
  EngineContext &e = gEngine;
  if (const HitBlock *last = e.diagonalList[x - y + e.diagBase]) {
    x = last->x + last->length;
    y = last->y + last->length;
  }
  int64_t scanned = 0;
  Found f;
  for (;;) {
    if (!nextIslandFull(e.seq1 + x, e.seq2 + y, f, scanned))
      break;
    HitBlock *b = newIsland(x + f.start, y + f.start, f.end - f.start, f.matches);
    insertIsland(b);
    x += f.end;
    y += f.end;
    if (b->x + b->y >= e.sweep)
      break;
  }
  gProgress.scanned += scanned;
}

HitBlock *scanDiagonalBounded(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit) {
  return scanDiagonalWithin(x, y, xLimit, yLimit, INT_MAX);
}

HitBlock *scanDiagonalWithin(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room) {
  IslandSpan f;
  if (!findIslandWithin(x, y, xLimit, yLimit, room, f))
    return nullptr;
  return newIsland(f.x, f.y, f.length, f.matches);
}

bool findIslandWithin(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room,
                      IslandSpan &found) {
  if (gEngine.hideIdentity && x - y == gEngine.identityDiagonal)
    return false;
  if (const IslandMap *map = gEngine.islands)
    return map->scan(x, y, xLimit, yLimit, room, found.x, found.y, found.length, found.matches,
                     &found.lastInWindow);
  int32_t budget = xLimit - x < yLimit - y ? xLimit - x : yLimit - y;
  if (budget < 1 || x < 0 || y < 0)
    return false;
  int64_t scanned = 0;
  Found f;
  const bool isFound = nextIsland<1>(gEngine.seq1 + x, gEngine.seq2 + y, budget, room, f, scanned);
  gProgress.scanned += scanned;
  gEngine.chainScanned += scanned;
  if (!isFound)
    return false;
  found = IslandSpan{x + f.start, y + f.start, f.end - f.start, f.matches};
  return true;
}

HitBlock *scanDiagonalBoundedBack(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit) {
  int32_t budget = x - xLimit < y - yLimit ? x - xLimit : y - yLimit;
  if (budget < 1 || x >= gEngine.W || y >= gEngine.H)
    return nullptr;
  const int32_t room = (x < y ? x : y) + 1; // down to position 0 inclusive
  int64_t scanned = 0;
  Found f;
  const bool found = nextIsland<-1>(gEngine.seq1 + x, gEngine.seq2 + y, budget, room, f, scanned);
  gProgress.scanned += scanned;
  if (!found)
    return nullptr;
  // f runs backwards from (x, y): its last position is the island's start.
  const int32_t length = f.end - f.start;
  return newIsland(x - f.end + 1, y - f.end + 1, length, f.matches);
}

// Grows a block by `gain` positions holding `gained` matches.
static void growBlock(HitBlock *b, int32_t gain, int32_t gained) {
  const int32_t score = ownScore(gain, gained);
  b->length += gain;
  b->identities += gained;
  b->usedLength += gain;
  b->usedMatches += gained;
  b->blockScore += score;
  b->chainScore += score;
  b->chainMatches += gained;
  b->chainLength += gain;
}

bool extendFrameForward(HitBlock *block, int32_t limit) {
  const int n = gEngine.n, m = gEngine.m;
  const int32_t f = block->length < n ? block->length : n;
  const uint8_t *p1 = gEngine.seq1 + block->x + block->length - f;
  const uint8_t *p2 = gEngine.seq2 + block->y + block->length - f;
  const int32_t reach = limit + f; // positions from the frame start
  int count = 0, i = 0;
  for (; i < n && i < reach; ++i) {
    const int v = scanCode(p1[i], p2[i]);
    if (v == 2)
      break;
    count += v;
  }
  if (count < m)
    return false;
  if (i == n)
    for (; i < reach; ++i) {
      const int v = scanCode(p1[i], p2[i]);
      if (v == 2)
        break;
      const int next = count + v - scanCode(p1[i - n], p2[i - n]);
      if (next < m)
        break;
      count = next;
    }
  while (i > f && scanCode(p1[i - 1], p2[i - 1]) != 1)
    --i;
  if (i <= f)
    return false;
  int32_t gained = 0;
  for (int32_t j = f; j < i; ++j)
    gained += scanCode(p1[j], p2[j]);
  growBlock(block, i - f, gained);
  return true;
}

bool extendFrameBackward(HitBlock *block, int32_t limit, bool stopOnWord) {
  const int n = gEngine.n, m = gEngine.m, w = gEngine.w;
  const int32_t f = block->length < n ? block->length : n;
  // Walks backwards: position i is the pair at start + f - 1 - i.
  const uint8_t *p1 = gEngine.seq1 + block->x + f - 1;
  const uint8_t *p2 = gEngine.seq2 + block->y + f - 1;
  if (limit > block->x)
    limit = block->x; // the region start has no sentinel
  if (limit > block->y)
    limit = block->y;
  const int32_t reach = limit + f;
  auto at = [&](int32_t j) { return scanCode(*(p1 - j), *(p2 - j)); };
  int count = 0, i = 0, run = 0;
  bool wordMet = false;
  // Successive matches before the block; a seed is given up only for a word
  // that an earlier seed's chain covers.
  auto enter = [&](int32_t j, int v) {
    if (j < f)
      return;
    run = v == 1 ? run + 1 : 0;
    if (run == w && !wordMet)
      wordMet =
          !stopOnWord || wordRunVerdict(block->x + f - 1 - j, block->y + f - 1 - j) == kRunCovered;
  };
  for (; i < n && i < reach; ++i) {
    const int v = at(i);
    count += v;
    enter(i, v);
  }
  if (count < m)
    return false;
  if (i == n)
    for (; i < reach; ++i) {
      const int v = at(i);
      const int next = count + v - at(i - n);
      if (next < m)
        break;
      count = next;
      enter(i, v);
    }
  if (wordMet) {
    ++gEngine.abandoned;
    if (stopOnWord) {
      gEngine.seedAbandoned = true;
      return false;
    }
  }
  while (i > f && at(i - 1) != 1)
    --i;
  if (i <= f)
    return false;
  int32_t gained = 0;
  for (int32_t j = f; j < i; ++j)
    gained += at(j);
  const int32_t gain = i - f;
  block->x -= gain;
  block->y -= gain;
  block->startX -= gain;
  block->startY -= gain;
  growBlock(block, gain, gained);
  return true;
}
