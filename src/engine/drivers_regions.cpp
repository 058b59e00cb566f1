#include "engine/drivers.h"

#include <algorithm>
#include <cstdlib>

#include "core/flags.h"
#include "core/session.h"
#include "engine/drivers_internal.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search.h"

namespace {

// Window area of 1-based inclusive bounds along one sequence.
void axisArea(const Sequence *s, int32_t from, int32_t to, int32_t *lo, int32_t *hi) {
  if (s->flags & kSeqInverted) {
    *lo = s->length - to;
    *hi = s->length - from + 1;
  } else {
    *lo = from - 1;
    *hi = to;
  }
}

} // namespace

void deleteNow(Hit *h) {
  unlinkHit(h);
  freeHit(h);
}

bool resetEngine(int32_t from1, int32_t to1, int32_t from2, int32_t to2) {
  WindowRecord *w = gCurrent;
  clearHits();
  w->block[0] = from1;
  w->block[1] = to1;
  w->block[2] = from2;
  w->block[3] = to2;
  axisArea(gSeq1, from1, to1, &w->region[0], &w->region[1]);
  axisArea(gSeq2, from2, to2, &w->region[2], &w->region[3]);
  Hit *h;
  try {
    h = allocateHit();
  } catch (const EngineAbort &) {
    return false;
  }
  h->start1 = w->region[0];
  h->end1 = w->region[1];
  h->start2 = w->region[2];
  h->end2 = w->region[3];
  gHitHead2 = gHitTail2 = h;
  gHitTail1 = h;
  gHitCount = 1;
  w->selectedHit = h;
  w->flagsA |= kWinRecount;
  setActionParams(kMaskBase, ScoreParams(), IslandParams());
  return true;
}

int32_t buildAlignRegions() {
  WindowRecord *w = gCurrent;
  int32_t area[4];
  actionArea(w, area);
  int32_t largest = 0;
  auto makeRegion = [&](int32_t fx, int32_t fy, int32_t tx, int32_t ty) {
    if (fx < area[0])
      fx = area[0];
    if (fy < area[2])
      fy = area[2];
    if (tx > area[1])
      tx = area[1];
    if (ty > area[3])
      ty = area[3];
    int32_t width = tx - fx, height = ty - fy;
    if (width <= 0 || height <= 0)
      return;
    Hit *r = allocateHit();
    r->start1 = fx;
    r->end1 = tx;
    r->start2 = fy;
    r->end2 = ty;
    r->flags = kHitRegionMark;
    gProgress.areaTotal += int64_t(width) * height;
    if (width > largest)
      largest = width;
    if (height > largest)
      largest = height;
  };
  // Region records go to the head of the main list, so the walk below never
  // meets them.
  Hit *first = gHitHead1, *lastInSecond = gHitTail2;
  int32_t fx = w->region[0], fy = w->region[2];
  bool afterConflict = false;
  const Hit *prev = nullptr;
  for (Hit *h = first; h; h = h->next1) {
    bool conflict = h->flags & kHitConflict;
    if (!afterConflict) {
      if (conflict) {
        afterConflict = true;
      } else {
        bool bothApproved = prev && (h->flags & kHitApproved) && (prev->flags & kHitApproved);
        if (!bothApproved)
          makeRegion(fx, fy, h->start1, h->start2);
        fx = h->end1;
        fy = h->end2;
      }
    } else if (!conflict) {
      afterConflict = false;
      fx = h->end1;
      fy = h->end2;
    }
    prev = h;
  }
  bool tail;
  if (!first)
    tail = true;
  else
    tail = !afterConflict && !(prev->flags & (kHitApproved | kHitConflict)) && prev == lastInSecond;
  if (tail)
    makeRegion(fx, fy, w->region[1], w->region[3]);
  return largest;
}

namespace {

// Diagonal (x - y, absolute) of the block of h that holds sequence-1
// position x, or of the last block before it.
int32_t diagonalAt(const Hit *h, int32_t x) {
  const HitBlock *at = h->firstBlock;
  for (const HitBlock *b = h->firstBlock; b && h->start1 + b->x <= x; b = b->next)
    at = b;
  return (h->start1 + at->x) - (h->start2 + at->y);
}

} // namespace

bool startsOnPath(const Hit *h, const Hit *other) {
  if (!h->firstBlock)
    return true;
  int32_t g = std::max<int32_t>(gCurrent->alignIsland.maxGap, 1);
  // Nothing on a neighbour diagonal repeats a gapless run of matches (as a
  // sequence against itself): there, a chain is a tandem copy beside it.
  const HitBlock *b = h->firstBlock;
  if (gCurrent->alignIsland.extend && !b->next && b->identities == b->length)
    g = 0;
  return std::abs(diagonalAt(h, other->start1) - (other->start1 - other->start2)) <= g;
}

int32_t removeDuplicateHits() {
  int32_t deleted = 0;
  for (Hit *h1 = gHitHead1, *next1; h1; h1 = next1) {
    next1 = h1->next1;
    for (Hit *h2 = h1->next1, *next2; h2 && h2->start1 < h1->end1; h2 = next2) {
      next2 = h2->next1;
      bool sameStart = h1->start1 == h2->start1 && h1->start2 == h2->start2;
      bool sameEnd = h1->end1 == h2->end1 && h1->end2 == h2->end2;
      bool inside = h2->end1 <= h1->end1 && h2->start2 >= h1->start2 && h2->start2 <= h1->end2 &&
                    startsOnPath(h1, h2);
      if (!sameStart && !sameEnd && !inside)
        continue;
      ++deleted;
      if (h1->score < h2->score) {
        deleteNow(h1);
        break;
      }
      if (next1 == h2)
        next1 = next2;
      deleteNow(h2);
    }
  }
  return deleted;
}

int32_t joinOverlappingChains() {
  const int32_t g = std::max<int32_t>(gCurrent->alignIsland.maxGap, gCurrent->mergeMaxDistance);
  int32_t joined = 0;
  for (Hit *h1 = gHitHead1; h1; h1 = h1->next1) {
    if (!h1->firstBlock)
      continue;
    for (Hit *h2 = h1->next1, *next2; h2 && h2->start1 < h1->end1 + g; h2 = next2) {
      next2 = h2->next1;
      // A later chain that starts inside h1 in one sequence, near its end
      // in the other, and goes on beyond it in both.
      const int32_t shift = (h2->start1 - h1->end1) - (h2->start2 - h1->end2);
      const bool continues = h2->firstBlock && h2->start1 > h1->start1 && h2->start2 > h1->start2 &&
                             h2->end1 > h1->end1 && h2->end2 > h1->end2 &&
                             (h2->start1 < h1->end1 || h2->start2 < h1->end2) &&
                             std::abs(shift) <= g;
      if (continues && joinHits(h1, h2) == 4) {
        ++joined;
        next2 = h1->next1; // h1 reaches further now
      }
    }
  }
  return joined;
}
