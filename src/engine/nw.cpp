#include "engine/nw.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/session.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search.h"

namespace {

// The score row: best score of the cell above, and the open vertical gap
// that ends there.
struct NwCell {
  int32_t best, vScore, vLength;
};

struct FreeDeleter {
  void operator()(void *p) const { free(p); }
};

// One step of the path: 0 diagonal, +L horizontal gap, -L vertical gap.
using Path = std::vector<int32_t>;

// A cell whose every path fell below the floor: it stays below it whatever
// is added, and never overflows.
constexpr int32_t kDead = INT32_MIN / 2;

// What an extension's fill keeps: the end is free, so the best cell so far
// is kept, and a cell more than `drop` below it is dead, as is every cell
// of the `dead` runs.
struct BestCell {
  int32_t drop;
  const std::vector<NwDeadRun> *dead;
  int32_t score = 0, i = 0, j = 0;
  bool open = false; // a path still lived at the last row or column
};

// Fills the direction matrix: kSearchNormal, kSearchPoolExhausted when
// stopped, kNwBelowFloor when no path from the start keeps its running
// score at or above `floor` (at every residue) up to the end; the path kept
// is the best of those that do. Only the cells such a path can
// reach are filled: a row starts at the first live cell of the row above
// and ends once past its last live one with the cell dead, so a hopeless
// stretch costs a strip, not the whole matrix. With `top`, an extension's
// fill.
int fillMatrix(int32_t *dir, NwCell *row, const uint8_t *s1, const uint8_t *s2, int32_t W,
               int32_t H, const ScoreParams &sp, int32_t floor, int32_t band,
               BestCell *top = nullptr) {
  const int32_t go = sp.gapOpen, ge = sp.gapElongation;
  // Diagonals (column - row) a path may use: all, or those between the two
  // corners' widened by the band.
  const int64_t kLow = band < 0 ? -int64_t(H) : std::min<int64_t>(0, W - H) - band;
  const int64_t kHigh = band < 0 ? int64_t(W) : std::max<int64_t>(0, W - H) + band;
  const int64_t stride = int64_t(W) + 1;
  auto live = [&floor](int32_t score) { return score >= floor ? score : kDead; };
  if (top)
    floor = -top->drop;
  dir[0] = kNwStartMarker;
  row[0] = {0, 0, 0};
  int32_t lo = 0, hi = 0; // live cells of the row above
  std::vector<int32_t> deadHere;
  for (int32_t j = 1; j <= W; ++j) {
    row[j].best = j <= kHigh ? live(go + j * ge) : kDead;
    row[j].vScore = go + row[j].best; // opening from this row wins the tie
    row[j].vLength = 0;
    dir[j] = j;
    if (row[j].best != kDead)
      hi = j;
  }
  for (int32_t i = 1; i <= H; ++i) {
    gProgress.scanned += W;
    progressPoll();
    if (gActionStatus & kStatusStop)
      return kSearchPoolExhausted;
    int32_t *d = dir + i * stride;
    const int32_t bandFrom = int32_t(std::max<int64_t>(1, i + kLow));
    const int32_t bandTo = int32_t(std::min<int64_t>(W, i + kHigh));
    const int32_t from = std::max(std::max(lo, 1), bandFrom);
    int32_t diagonalBest = row[from - 1].best;
    if (from > 1) // left of the band, or of what the row above reached
      row[from - 1] = {kDead, kDead, 0};
    row[0].best = i + kLow <= 0 ? live(go + i * ge) : kDead;
    d[0] = -i;
    // Left of the row above's live cells nothing is reached, not even
    // column 0 (it dies first).
    int32_t hScore = lo == 0 && from == 1 ? row[0].best + go : kDead, hLength = 0;
    int32_t first = row[0].best != kDead ? 0 : -1, last = first;
    const int32_t *scores = ScoreTable[s2[i - 1] & 31];
    if (bandTo < W) // the next row must not read past the band
      row[bandTo + 1] = {kDead, kDead, 0};
    deadHere.clear();
    if (top && top->dead)
      for (const NwDeadRun &r : *top->dead)
        if (i > r.from && i <= r.to)
          deadHere.push_back(i + r.diagonal);
    std::sort(deadHere.begin(), deadHere.end());
    deadHere.push_back(INT32_MAX);
    size_t nextDead = 0;
    while (deadHere[nextDead] < from)
      ++nextDead;
    for (int32_t j = from; j <= bandTo; ++j) {
      NwCell &c = row[j];
      int32_t best = diagonalBest + scores[s1[j - 1] & 31];
      int32_t direction = 0;
      int32_t open = row[j - 1].best + go + ge, extend = hScore + ge;
      if (open >= extend) {
        hScore = open;
        hLength = 1;
      } else {
        hScore = extend;
        ++hLength;
      }
      if (hScore > best) {
        best = hScore;
        direction = hLength;
      }
      open = c.best + go + ge;
      extend = c.vScore + ge;
      if (open >= extend) {
        c.vScore = open;
        c.vLength = 1;
      } else {
        c.vScore = extend;
        ++c.vLength;
      }
      if (c.vScore > best) {
        best = c.vScore;
        direction = -c.vLength;
      }
      diagonalBest = c.best;
      c.best = live(best);
      if (j == deadHere[nextDead]) {
        c.best = c.vScore = kDead;
        ++nextDead;
      }
      d[j] = direction;
      if (top && c.best > top->score)
        *top = {top->drop, top->dead, c.best, i, j, false};
      if (c.best != kDead) {
        if (first < 0)
          first = j;
        last = j;
      } else if (j > hi) {
        break; // nothing from above any more, nor from the left
      }
    }
    if (first < 0)
      return top ? kSearchNormal : kNwBelowFloor;
    lo = first;
    hi = last;
    if (top) {
      floor = std::max(floor, top->score - top->drop);
      if (hi == W)
        top->open = true;
    }
  }
  if (top)
    top->open = true;
  return hi == W || top ? kSearchNormal : kNwBelowFloor;
}

// The direction matrix and the score row of a fill; null when memory is
// short. Not cleared: the fill writes every cell the traceback can reach,
// and a floor leaves most of a hopeless matrix untouched.
std::unique_ptr<void, FreeDeleter> workArea(int32_t W, int32_t H, int32_t **dir, NwCell **row) {
  const size_t cells = size_t(W + 1) * size_t(H + 1);
  const size_t bytes = cells * sizeof(int32_t) + size_t(W + 1) * sizeof(NwCell);
  std::unique_ptr<void, FreeDeleter> work(malloc(bytes));
  if (!work) {
    noteOutOfMemory(bytes);
    return work;
  }
  *dir = static_cast<int32_t *>(work.get());
  *row = reinterpret_cast<NwCell *>(*dir + cells);
  return work;
}

// Path from (0, 0) to (i, j), one entry per diagonal step or gap.
Path traceback(const int32_t *dir, int32_t W, int32_t i, int32_t j) {
  Path path;
  const int64_t stride = int64_t(W) + 1;
  while (i > 0 || j > 0) {
    int32_t d = dir[i * stride + j];
    path.push_back(d);
    if (d == 0) {
      --i;
      --j;
    } else if (d > 0) {
      j -= d;
    } else {
      i += d;
    }
  }
  return Path(path.rbegin(), path.rend());
}

} // namespace

void setGapLink(HitBlock *last, const HitBlock *next) {
  if (next->x - next->y <= last->x - last->y) {
    last->linkKind = kLinkGapInY;
    last->cut = next->x;
  } else {
    last->linkKind = kLinkGapInX;
    last->cut = next->y;
  }
}

void freeBlockList(HitBlock *b) {
  while (b) {
    HitBlock *next = b->next;
    freeBlock(b);
    b = next;
  }
}

HitBlock *blocksOfPath(const std::vector<int32_t> &path, const uint8_t *s1, const uint8_t *s2,
                       const ScoreParams &sp, HitBlock **made) {
  HitBlock *first = nullptr, *last = nullptr;
  int32_t x = 0, y = 0;
  size_t k = 0;
  while (k < path.size()) {
    if (path[k] > 0) {
      x += path[k++];
      continue;
    }
    if (path[k] < 0) {
      y -= path[k++];
      continue;
    }
    HitBlock *b = allocateBlock();
    b->x = b->startX = x;
    b->y = b->startY = y;
    for (; k < path.size() && path[k] == 0; ++k, ++x, ++y) {
      int32_t s = ScoreTable[s1[x] & 31][s2[y] & 31];
      b->blockScore += s;
      if (s > 0)
        ++b->identities;
      ++b->length;
    }
    b->usedLength = b->length;
    b->usedMatches = b->identities;
    if (!last) {
      first = b;
      b->chainScore = b->blockScore;
    } else {
      int32_t dLast = last->x - last->y, dNew = b->x - b->y;
      setGapLink(last, b);
      int32_t gap = dNew > dLast ? dNew - dLast : dLast - dNew;
      b->chainScore = last->chainScore + sp.gapOpen + sp.gapElongation * gap;
      last->next = b;
      b->prev = last;
    }
    b->cut = b->x + b->length;
    last = b;
    *made = first; // what to release if the pool runs out
  }
  return first;
}

namespace {

int32_t columnScore(const HitBlock *b, int32_t k, const uint8_t *s1, const uint8_t *s2) {
  return ScoreTable[s1[b->x + k] & 31][s2[b->y + k] & 31];
}

// Loose ends carry no match: blocks without one go, and the outer mismatches
// of the outer blocks.
HitBlock *dropLooseEnds(HitBlock *first, const uint8_t *s1, const uint8_t *s2) {
  while (first && first->identities == 0) {
    HitBlock *next = first->next;
    freeBlock(first);
    first = next;
  }
  if (!first)
    return nullptr;
  first->prev = nullptr;
  for (int32_t v; (v = columnScore(first, 0, s1, s2)) <= 0;) {
    first->blockScore -= v;
    ++first->x;
    ++first->y;
    --first->length;
  }
  HitBlock *last = first;
  while (last->next)
    last = last->next;
  while (last->identities == 0) {
    HitBlock *prev = last->prev;
    freeBlock(last);
    last = prev;
  }
  last->next = nullptr;
  last->linkKind = kLinkGapInY;
  for (int32_t v; (v = columnScore(last, last->length - 1, s1, s2)) <= 0;) {
    last->blockScore -= v;
    --last->length;
  }
  last->cut = last->x + last->length;
  for (HitBlock *b = first; b; b = b->next) {
    b->startX = b->x;
    b->startY = b->y;
    b->usedLength = b->length;
  }
  return first;
}

} // namespace

int alignSegmentsNW(const uint8_t *s1, int32_t W, const uint8_t *s2, int32_t H,
                    const ScoreParams &params, std::vector<int32_t> *path, int32_t floor,
                    int32_t band) {
  int32_t *dir;
  NwCell *row;
  const auto work = workArea(W, H, &dir, &row);
  if (!work)
    return kSearchNoArrays;
  // Stopped part-way: the matrix is incomplete, so no result.
  if (int code = fillMatrix(dir, row, s1, s2, W, H, params, floor, band); code != kSearchNormal)
    return code;
  *path = traceback(dir, W, H, W);
  return kSearchNormal;
}

int extendSegmentsNW(const uint8_t *s1, int32_t W, const uint8_t *s2, int32_t H,
                     const ScoreParams &params, int32_t drop, int32_t band,
                     const std::vector<NwDeadRun> *dead, std::vector<int32_t> *path, int32_t *gain,
                     bool *open) {
  int32_t *dir;
  NwCell *row;
  const auto work = workArea(W, H, &dir, &row);
  if (!work)
    return kSearchNoArrays;
  BestCell top{drop, dead};
  if (int code = fillMatrix(dir, row, s1, s2, W, H, params, INT32_MIN, band, &top);
      code != kSearchNormal)
    return code;
  *path = traceback(dir, W, top.i, top.j);
  *gain = top.score;
  *open = top.open;
  return kSearchNormal;
}

int alignRegionNW(Hit *region, int mode) {
  const int32_t W = region->end1 - region->start1, H = region->end2 - region->start2;
  if (!gSeq1 || !gSeq2 || gSeq1->length == 0 || gSeq2->length == 0 || W <= 0 || H <= 0 ||
      W > kNwMaxSide || H > kNwMaxSide || region->start1 < 0 || region->start2 < 0 ||
      region->end1 > gSeq1->length || region->end2 > gSeq2->length)
    return kSearchPoolExhausted;
  const ScoreParams sp = gCurrent->score;
  setActionParams(kMaskBase, sp, gCurrent->alignIsland);
  const int32_t x1 = region->start1, y1 = region->start2;
  HitBlock *first = nullptr;
  {
    RegionGuard guard(region, region->end1, region->end2, kModeQuietRealign);
    const uint8_t *s1 = gSeq1->residues + x1, *s2 = gSeq2->residues + y1;
    Path path;
    int code = alignSegmentsNW(s1, W, s2, H, sp, &path);
    if (code != kSearchNormal)
      return code;
    HitBlock *made = nullptr;
    try {
      first = blocksOfPath(path, s1, s2, sp, &made);
    } catch (const EngineAbort &e) {
      freeBlockList(made);
      return e.code;
    }
    if (!first)
      return kSearchPoolExhausted;
    region->score = 0;
    region->flags |= kHitNewFlag;
    first = dropLooseEnds(first, s1, s2);
    if (mode == kNwMakeHit && first) {
      gEngine.newHitFlags = kHitNewFlag;
      makeHit(region, first);
      ++gCurrent->reportSecond;
    }
  }
  if (mode == kNwMakeHit) {
    if (!first) {
      deleteHit(region);
      return kSearchPoolExhausted;
    }
    rebuildLists(x1, y1);
    return kSearchNormal;
  }
  region->firstBlock = first;
  return kSearchNormal;
}
