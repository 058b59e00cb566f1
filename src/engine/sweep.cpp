// The Align search of one region: diagonals are scanned as the anti-diagonal
// sweep reaches them, each island is linked to the best island behind it
// within the maximal gap, and chain ends that fall 2g + 1 anti-diagonals
// behind the sweep are judged and either kept or dropped.
#include <cstdlib>
#include <vector>

#include "core/errors.h"
#include "core/session.h"
#include "engine/progress.h"
#include "engine/run_bounds.h"
#include "engine/search_internal.h"

namespace {

inline int32_t linkThreshold(const HitBlock *a) {
  return a->next ? a->next->chainScore : a->chainScore;
}

void linkIsland(HitBlock *b) {
  EngineContext &e = gEngine;
  gBest = LinkCandidate{};
  gBest.score = b->chainScore;
  const int32_t bs = b->x + b->y;
  const int32_t diag = b->x - b->y + e.diagBase;
  // The islands d diagonals below b's, then above.
  auto below = [&](int32_t d) {
    for (HitBlock *a = e.diagonalList[diag - d]; a; a = a->freeNext) {
      if (a->x + a->y >= bs)
        continue;
      gLinkThreshold = linkThreshold(a);
      if (a->startY < b->y + b->length)
        linkGapped(a, b, kLinkGapInX, d);
      if (b->startX < a->x + a->length)
        linkGapped(b, a, kLinkGapInY, d);
    }
  };
  auto above = [&](int32_t d) {
    for (HitBlock *a = e.diagonalList[diag + d]; a; a = a->freeNext) {
      if (a->x + a->y > bs)
        continue;
      gLinkThreshold = linkThreshold(a);
      if (a->startX < b->x + b->length)
        linkGapped(a, b, kLinkGapInY, d);
      if (b->startY < a->y + a->length)
        linkGapped(b, a, kLinkGapInX, d);
    }
  };
  const std::vector<int32_t> *near = e.runs ? &e.runs->inReach(b, diag, e.g) : nullptr;
  size_t i = 0;
  if (near)
    for (; i < near->size() && (*near)[i] < diag; ++i)
      below(diag - (*near)[i]);
  else
    for (int32_t d = e.g; d >= 1; --d)
      below(d);
  for (HitBlock *a = e.diagonalList[diag]; a; a = a->freeNext) {
    if (a->x + a->y >= bs)
      continue;
    gLinkThreshold = linkThreshold(a);
    linkSameDiagonal(a, b);
  }
  if (near)
    for (; i < near->size(); ++i)
      above((*near)[i] - diag);
  else
    for (int32_t d = 1; d <= e.g; ++d)
      above(d);
  if (gBest.score > b->chainScore && gBest.predecessor)
    commitLink();
}

void finaliseEndList(int32_t limit) {
  gEngine.finalLimit = limit;
  if (limit < 0)
    return;
  for (HitBlock *b = gEngine.endList[limit], *next; b; b = next) {
    next = b->sameEnd;
    finalise(b);
  }
}

// Every island still held goes back to the pool (abnormal end).
void discardAllIslands() {
  EngineContext &e = gEngine;
  if (!e.diagonalList)
    return;
  std::vector<HitBlock *> ends;
  for (int32_t i = 0; i < e.listEntries; ++i)
    for (HitBlock *b = e.diagonalList[i]; b; b = b->freeNext)
      ends.push_back(b);
  for (HitBlock *b = e.resultList; b; b = b->freeNext)
    ends.push_back(b);
  std::vector<HitBlock *> held;
  for (HitBlock *end : ends) {
    while (end->next)
      end = end->next;
    for (HitBlock *b = end; b && b->engineB != 1; b = b->prev) {
      b->engineB = 1;
      held.push_back(b);
    }
  }
  for (HitBlock *b : held)
    freeBlock(b);
  e.resultList = nullptr;
  for (int32_t i = 0; i < e.listEntries; ++i)
    e.diagonalList[i] = nullptr;
}

// Lends the sweep's link tries the bounds from runs of matches while it
// lives, when the packed bases count exact matches.
struct RunScope {
  RunBounds bounds;
  explicit RunScope(const PackedBases &bases) {
    EngineContext &e = gEngine;
    // Links join islands held within 2g + 1 anti-diagonals and g diagonals,
    // so the stretches they bridge are shorter than this.
    if (e.packed == &bases && bounds.start(bases, *e.score, 2 * e.g + 64, e.W, e.H, e.listEntries))
      e.runs = &bounds;
  }
  ~RunScope() { gEngine.runs = nullptr; }
  RunScope(const RunScope &) = delete;
  RunScope &operator=(const RunScope &) = delete;
};

int sweep() {
  EngineContext &e = gEngine;
  const int32_t side = e.W < e.H ? e.W : e.H;
  if (side <= e.m)
    return kSearchNormal;
  if (e.g > side)
    e.g = side - 1;
  if (e.g < 1)
    return kSearchNormal;
  if (!allocateSearchLists())
    return kSearchNoArrays;
  PackedBases bases;
  PackedScope packed(bases);
  RunScope runs(bases);
  e.sweep = e.g;
  scanDiagonal(0, 0);
  for (int32_t j = 1; j < e.g; ++j) {
    scanDiagonal(j, 0);
    scanDiagonal(0, j);
  }
  int32_t limit = 0;
  for (int32_t t = e.g; t < e.D; ++t) {
    e.sweep = t;
    if (t < e.W)
      scanDiagonal(t, 0);
    if (t < e.H)
      scanDiagonal(0, t);
    for (HitBlock *b = e.startList[t]; b; b = b->sameStart) {
      linkIsland(b);
      scanDiagonal(b->x, b->y);
    }
    limit = t - 2 * e.g - 1;
    finaliseEndList(limit);
    progressPoll();
    if (stopBitSet())
      break;
  }
  for (int32_t lim = limit < 0 ? 0 : limit; lim <= e.D + 2 * e.g + 14; ++lim)
    finaliseEndList(lim);

  if (!e.resultList)
    return kSearchNormal;
  e.newHitFlags = kHitNewFlag;
  bool first = true;
  while (HitBlock *end = e.resultList) {
    e.resultList = end->freeNext;
    end->freeNext = nullptr;
    HitBlock *blocks = chainToBlocks(end);
    if (!blocks)
      continue;
    Hit *hit = first ? e.regionRecord : allocateHit();
    first = false;
    makeHit(hit, blocks);
    countNewHit();
  }
  rebuildLists(e.x1, e.y1);
  return kSearchNormal;
}

} // namespace

bool allocateSearchLists() {
  EngineContext &e = gEngine;
  e.diagBase = e.H + e.g - 1;
  e.listEntries = e.D + 2 * e.g + 15;
  e.startList = static_cast<HitBlock **>(calloc(e.listEntries, sizeof(HitBlock *)));
  e.endList = static_cast<HitBlock **>(calloc(e.listEntries, sizeof(HitBlock *)));
  e.diagonalList = static_cast<HitBlock **>(calloc(e.listEntries, sizeof(HitBlock *)));
  if (e.startList && e.endList && e.diagonalList)
    return true;
  noteOutOfMemory(size_t(e.listEntries) * sizeof(HitBlock *));
  return false;
}

int searchRegion(Hit *regionRecord) {
  RegionGuard guard(regionRecord, regionRecord->end1, regionRecord->end2, kModeAlign);
  try {
    return sweep();
  } catch (const EngineAbort &abort) {
    discardAllIslands();
    return abort.code;
  }
}
