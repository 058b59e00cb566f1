// Reconcile: two hits that overlap a little along one sequence are cut at
// the best crossing point between them, found by the link tries of the
// assembly with plain weights (match 1, mismatch -1, no gap costs), so that
// the first ends where the second begins.
#include <algorithm>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "engine/columns.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/trim.h"
#include "ops/reconcile_scan.h"
#include "ops/resolve.h"
#include "ops/resolve_internal.h"

namespace {
constexpr ScoreParams kReconcileScores{1, -1, 0, 0};

struct Axis {
  int which; // 0: along sequence 1, 1: along sequence 2
  int32_t start(const Hit *h) const { return which ? h->start2 : h->start1; }
  int32_t end(const Hit *h) const { return which ? h->end2 : h->end1; }
  int32_t blockStart(const HitBlock *b) const { return which ? b->y : b->x; }
};

bool usable(const Hit *h) { return h->flags != kHitFree && h->firstBlock; }

// Hits of the area with blocks, in the order of one of the two lists.
std::vector<Hit *> areaOrder(int which, const int32_t area[4]) {
  std::vector<Hit *> order;
  for (Hit *h = which ? gHitHead2 : gHitHead1; h; h = which ? h->next2 : h->next1)
    if (h->firstBlock && HitInArea(h, area))
      order.push_back(h);
  return order;
}

int32_t plainScore(const HitBlock *b) {
  return b->identities * kReconcileScores.match +
         (b->length - b->identities) * kReconcileScores.mismatch;
}

// Chain fields of a hit's blocks as the link tries read them: both copies
// equal, running scores from the hit's start.
int32_t prepareBlocks(const Hit *hit) {
  int32_t running = 0, matches = 0, length = 0;
  for (HitBlock *b = hit->firstBlock; b; b = b->next) {
    b->identities = countBlockIdentities(hit, b);
    b->startX = b->x;
    b->startY = b->y;
    b->usedLength = b->length;
    b->usedMatches = b->identities;
    running += plainScore(b);
    matches += b->identities;
    length += b->length;
    b->chainScore = running;
    b->chainMatches = matches;
    b->chainLength = length;
  }
  return running;
}

void shiftBlocks(Hit *hit, int32_t dx, int32_t dy) {
  for (HitBlock *b = hit->firstBlock; b; b = b->next) {
    b->x += dx;
    b->y += dy;
    b->startX = b->x;
    b->startY = b->y;
    if (b->next)
      b->cut += b->linkKind == kLinkGapInX ? dy : dx;
  }
}

void freeChain(HitBlock *b) {
  for (HitBlock *next; b; b = next) {
    next = b->next;
    freeBlock(b);
  }
}

HitBlock *lastBlock(HitBlock *b) {
  while (b && b->next)
    b = b->next;
  return b;
}

// What a pair of blocks that overlap in either sequence gets: a link try
// (Inside: q starts inside p on its diagonal; GapInX, GapInY: a gapped link
// along the axis), q's onward link taken over (Past), or nothing.
enum class BlockTry { None, Inside, Past, GapInX, GapInY };

BlockTry blockTry(Axis a, const HitBlock *p, const HitBlock *q, int32_t qx, int32_t qy) {
  const int32_t dd = (p->x - p->y) - (qx - qy);
  const int32_t pStart = a.which ? p->y : p->x, pEnd = pStart + p->length;
  const int32_t qStart = a.which ? qy : qx;
  if (dd == 0 && qStart >= pStart && qStart < pEnd)
    return BlockTry::Inside;
  if (dd == 0 && qStart >= pEnd)
    return q->next ? BlockTry::Past : BlockTry::None;
  if (dd < 0 && a.which == 1 && p->y + p->length < qy + q->length)
    return BlockTry::GapInX;
  if (dd > 0 && a.which == 0 && p->x + p->length < qx + q->length)
    return BlockTry::GapInY;
  return BlockTry::None;
}

// The blocks of h and g walked together, the one that ends first along the
// axis moving on; g's blocks are taken at (dx, dy) in h's coordinates.
// `visit(p, q, try)` sees the pairs that overlap in either sequence and
// returns false to end the walk.
template <typename Visit>
void walkBlockPairs(const Hit *h, const Hit *g, Axis a, int32_t dx, int32_t dy, Visit visit) {
  for (HitBlock *p = h->firstBlock, *q = g->firstBlock; p && q;) {
    const int32_t qx = q->x + dx, qy = q->y + dy;
    const bool overlap1 = p->x < qx + q->length && qx < p->x + p->length;
    const bool overlap2 = p->y < qy + q->length && qy < p->y + p->length;
    if ((overlap1 || overlap2) && !visit(p, q, blockTry(a, p, q, qx, qy)))
      return;
    if ((a.which ? p->y : p->x) + p->length <= (a.which ? qy : qx) + q->length)
      p = p->next;
    else
      q = q->next;
  }
}

// Whether reconcilePair would try any link between h and g.
bool anyLinkTried(const Hit *h, const Hit *g, Axis a) {
  bool tried = false;
  walkBlockPairs(h, g, a, g->start1 - h->start1, g->start2 - h->start2,
                 [&tried](HitBlock *, HitBlock *, BlockTry t) {
                   tried = t != BlockTry::None;
                   return !tried;
                 });
  return tried;
}

void clearDisplayCaches(Hit *h) {
  h->leftFlank = h->rightFlank = h->paneColumns = h->paneFirstColumn = 0;
}

} // namespace

// Tries the block pairs of h and g along one sequence and applies the best
// link found. g's blocks are taken relative to h's start for the tries.
bool reconcilePair(Hit *h, Hit *g, int which, const int32_t area[4]) {
  const Axis a{which};
  WindowRecord *w = gCurrent;
  setActionParams(8, w->score, w->alignIsland);
  int32_t xEnd = std::max({area[1], h->end1, g->end1});
  int32_t yEnd = std::max({area[3], h->end2, g->end2});
  RegionGuard region(h, xEnd, yEnd, kModeQuietRealign);
  int32_t dx = g->start1 - h->start1, dy = g->start2 - h->start2;
  int32_t scoreH = prepareBlocks(h), scoreG = prepareBlocks(g);
  shiftBlocks(g, dx, dy);
  gBest = LinkCandidate{};
  gBest.score = -scoreG;
  gLinkThreshold = -scoreH;

  walkBlockPairs(h, g, a, 0, 0, [](HitBlock *p, HitBlock *q, BlockTry t) {
    p->blockScore = q->blockScore = 0;
    const int32_t dd = (p->x - p->y) - (q->x - q->y);
    switch (t) {
    case BlockTry::Inside:
      linkGapped(p, q, kLinkGapInX, 0);
      break;
    case BlockTry::Past:
      gBest.predecessor = p;
      gBest.successor = q->next;
      gBest.kind = q->linkKind;
      gBest.cut = q->cut;
      break;
    case BlockTry::GapInX:
      linkGapped(p, q, kLinkGapInX, -dd);
      break;
    case BlockTry::GapInY:
      linkGapped(p, q, kLinkGapInY, dd);
      break;
    case BlockTry::None:
      break;
    }
    return true;
  });

  HitBlock *pred = gBest.predecessor, *succ = gBest.successor;
  bool found = pred && succ;
  if (found) {
    // pred must belong to h and succ to g.
    bool predInH = false, succInG = false;
    for (HitBlock *b = h->firstBlock; b; b = b->next)
      predInH |= b == pred;
    for (HitBlock *b = g->firstBlock; b; b = b->next)
      succInG |= b == succ;
    found = predInH && succInG;
  }
  if (!found) {
    shiftBlocks(g, -dx, -dy);
    CountHitColumns(h, h->firstBlock); // puts the cleared block scores back
    CountHitColumns(g, g->firstBlock);
    return false;
  }
  freeChain(pred->next);
  pred->next = nullptr;
  if (succ->prev)
    succ->prev->next = nullptr;
  freeChain(g->firstBlock == succ ? nullptr : g->firstBlock);
  succ->prev = nullptr;
  g->firstBlock = succ;
  int32_t kind = gBest.kind, cut = gBest.cut;
  if (kind == kLinkGapInY || kind == kLinkGapInX) {
    int32_t along = kind == kLinkGapInX ? pred->y : pred->x;
    pred->length = std::max(0, cut - along);
    int32_t shift = cut - (kind == kLinkGapInX ? succ->y : succ->x);
    succ->x += shift;
    succ->y += shift;
    succ->length -= shift;
  }
  for (Hit *hit : {h, g}) {
    HitBlock *first = chainToBlocks(lastBlock(hit->firstBlock));
    hit->firstBlock = nullptr;
    makeHit(hit, first);
  }
  // With the plain weights the trim keeps the best part of each side.
  for (Hit *hit : {h, g}) {
    if (!usable(hit))
      continue;
    trimHit(hit);
    if (!usable(hit))
      continue;
    clearDisplayCaches(hit);
    int32_t running = 0;
    for (HitBlock *b = hit->firstBlock; b; b = b->next) {
      b->identities = countBlockIdentities(hit, b);
      running += plainScore(b);
      b->chainScore = running;
    }
  }
  return true;
}

void Reconcile() {
  WindowRecord *w = gCurrent;
  w->reportFirst = w->reportSecond = 0;
  resetProgress();
  const ScoreParams saved = w->score;
  const ScoreParams *savedTrim = gTrimWeights;
  w->score = kReconcileScores;
  gTrimWeights = &w->score;
  gActionStatus = kStatusConflictAction | (gActionStatus & kStatusStop);
  int32_t area[4], x, y;
  actionArea(w, area);
  rememberActionPoint(x, y);

  std::vector<Hit *> orders[2] = {areaOrder(0, area), areaOrder(1, area)};
  int64_t total = 0;
  for (int which = 0; which < 2; ++which)
    total += CandidateScan(orders[which], which).count();
  gProgress.areaTotal = total;

  bool stopped = false;
  for (int which = 0; which < 2 && !stopped; ++which) {
    if (which == 1 && w->reportSecond) {
      // Hits moved along sequence 1: take the second order afresh.
      rebuildLists(x, y);
      orders[1] = areaOrder(1, area);
    }
    const Axis axis{which};
    std::vector<Hit *> &order = orders[which];
    // Pairs with no link to try change nothing: they are only counted.
    stopped = !CandidateScan(order, which)
                   .run([axis](const Hit *h, const Hit *g) { return anyLinkTried(h, g, axis); },
                        [w](int64_t pairs) {
                          w->reportFirst += (int32_t)pairs;
                          gProgress.scanned += pairs - 1;
                          return !resolveStepStopped();
                        },
                        [&](size_t i, size_t j) {
                          ++w->reportFirst;
                          if (reconcilePair(order[i], order[j], which, area))
                            ++w->reportSecond;
                          return !resolveStepStopped();
                        });
  }
  w->score = saved;
  gTrimWeights = savedTrim;
  // Trim scored the reconciled hits with the plain weights.
  rescoreHits(w->score, area);
  // Also after a stop: the hits changed so far must be in order again.
  if (w->reportSecond)
    rebuildLists(x, y);
}
