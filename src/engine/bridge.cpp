// Merge's join of two hits: the blocks of both are walked together and the
// best single link from a block of the first to a block of the second, if
// any, turns the two into one hit.
#include <algorithm>
#include <climits>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "engine/search_internal.h"

namespace {

// Running score of the hit up to the end of each block, with the action's
// weights (a gap run between blocks counts once, its residues each).
void runningChainScores(HitBlock *first) {
  const ScoreParams &sp = *gEngine.score;
  int32_t score = 0, matches = 0, length = 0;
  for (HitBlock *b = first; b; b = b->next) {
    if (b->prev) {
      const int32_t gap =
          (b->x - (b->prev->x + b->prev->length)) + (b->y - (b->prev->y + b->prev->length));
      if (gap > 0)
        score += sp.gapOpen + gap * sp.gapElongation;
    }
    score += ownScore(b->length, b->identities);
    matches += b->identities;
    length += b->length;
    b->chainScore = score;
    b->chainMatches = matches;
    b->chainLength = length;
  }
}

void shiftBlocks(HitBlock *first, int32_t dx, int32_t dy) {
  for (HitBlock *b = first; b; b = b->next) {
    b->x += dx;
    b->y += dy;
    if (b->next)
      b->cut += b->linkKind == kLinkGapInX ? dy : dx;
    resetSecondCopy(b);
  }
}

// Matches of an overlap on one diagonal, from x for count positions.
int32_t matchesAlong(int32_t x, int32_t y, int32_t count) {
  int32_t c = 0;
  for (int32_t i = 0; i < count; ++i)
    c += IdentityTable[gEngine.seq1[x + i] & 31][gEngine.seq2[y + i] & 31];
  return c;
}

// q starts inside p on the same diagonal: join them so that the overlap
// counts once.
void overlapJoin(HitBlock *p, HitBlock *q) {
  const ScoreParams &sp = *gEngine.score;
  const int32_t overlap = p->x + p->length - q->x;
  const int32_t c = matchesAlong(q->x, q->y, overlap);
  const int32_t score = p->chainScore + ownScore(q->length, q->identities) -
                        (c * sp.match + (overlap - c) * sp.mismatch);
  if (score < gBest.score || score < gLinkThreshold)
    return;
  if (p->next && p->next->chainScore >= score)
    return;
  gBest =
      LinkCandidate{p, q, score, kLinkSameDiag, q->identities, 0, -c, q->x + q->length - p->startX};
}

void tryPair(HitBlock *p, HitBlock *q) {
  const int32_t g = gEngine.g;
  const int32_t dd = (p->x - p->y) - (q->x - q->y);
  const int32_t pEndX = p->x + p->length, pEndY = p->y + p->length;
  if (dd > g || dd < -g || q->x < 0 || q->y < 0)
    return;
  if (dd == 0) {
    if (q->x >= pEndX) {
      if (q->x - pEndX <= g)
        linkSameDiagonal(p, q);
    } else if (q->x >= p->x && q->x + q->length > pEndX) {
      overlapJoin(p, q);
    }
  } else if (dd < 0) {
    if (q->y + q->length > pEndY && q->x <= pEndX + g)
      linkGapped(p, q, kLinkGapInX, -dd);
  } else if (q->x + q->length > pEndX && q->y <= pEndY + g) {
    linkGapped(p, q, kLinkGapInY, dd);
  }
}

void freeList(HitBlock *b) {
  for (HitBlock *next; b; b = next) {
    next = b->next;
    freeBlock(b);
  }
}

// Applies the geometry of the best link to the joined list; the other links
// are those of finished hits and stay as they are.
HitBlock *joinAtLink(HitBlock *first) {
  HitBlock *p = gBest.predecessor, *q = gBest.successor;
  linkBest();
  if (gBest.kind == kLinkSameDiag) {
    p->length = q->x + q->length - p->x;
    p->identities += q->identities + gBest.bridgedMatches;
    p->next = q->next;
    p->linkKind = q->linkKind;
    p->cut = q->cut;
    if (q->next)
      q->next->prev = p;
    freeBlock(q);
    return first;
  }
  const int32_t shift = gBest.cut - (gBest.kind == kLinkGapInX ? q->y : q->x);
  p->length = gBest.cut - (gBest.kind == kLinkGapInX ? p->y : p->x);
  q->x += shift;
  q->y += shift;
  q->length -= shift;
  if (q->length <= 0) {
    p->next = q->next;
    if (q->next)
      q->next->prev = p;
    freeBlock(q);
  }
  if (p->length <= 0) {
    HitBlock *s = p->next;
    if (s)
      s->prev = p->prev;
    if (p->prev)
      p->prev->next = s;
    else
      first = s;
    freeBlock(p);
  }
  HitBlock *last = first;
  while (last && last->next)
    last = last->next;
  if (last) {
    last->linkKind = 0;
    last->cut = 0;
  }
  return first;
}

// The best link from any block of a to any block of b, whatever it costs,
// judged with what b keeps after it: the join of two chains that overlap.
LinkCandidate bestJoin(Hit *a, Hit *b) {
  runningChainScores(b->firstBlock);
  int32_t bTotal = 0;
  for (HitBlock *q = b->firstBlock; q; q = q->next)
    bTotal = q->chainScore;
  std::vector<int32_t> kept; // b's score after each block
  for (HitBlock *q = b->firstBlock; q; q = q->next)
    kept.push_back(bTotal - q->chainScore);
  LinkCandidate found{};
  int64_t foundValue = INT64_MIN;
  for (HitBlock *p = a->firstBlock; p; p = p->next) {
    size_t i = 0;
    for (HitBlock *q = b->firstBlock; q; q = q->next, ++i) {
      gLinkThreshold = INT_MIN;
      gBest = LinkCandidate{};
      gBest.score = INT_MIN;
      tryPair(p, q);
      if (gBest.predecessor && int64_t(gBest.score) + kept[i] > foundValue) {
        found = gBest;
        foundValue = int64_t(gBest.score) + kept[i];
      }
    }
  }
  return found;
}

int bridge(Hit *a, Hit *b, bool join) {
  EngineContext &e = gEngine;
  e.g = std::max<int32_t>(gCurrent->alignIsland.maxGap, gCurrent->mergeMaxDistance);
  CountHitColumns(a, a->firstBlock);
  CountHitColumns(b, b->firstBlock);
  const int32_t dx = b->start1 - a->start1, dy = b->start2 - a->start2;
  shiftBlocks(b->firstBlock, dx, dy);
  shiftBlocks(a->firstBlock, 0, 0);
  runningChainScores(a->firstBlock);

  LinkCandidate found{};
  if (join) {
    found = bestJoin(a, b);
  } else {
    const int32_t firstScore = b->firstBlock->blockScore;
    for (HitBlock *q = b->firstBlock; q; q = q->next)
      q->chainScore = firstScore - q->blockScore + b->score;
    found.score = INT_MIN;
    for (HitBlock *p = a->firstBlock, *q = b->firstBlock; p && q;) {
      gLinkThreshold = p->chainScore;
      gBest = LinkCandidate{};
      gBest.score = std::max(q->chainScore, found.predecessor ? found.score : INT_MIN);
      tryPair(p, q);
      if (gBest.predecessor)
        found = gBest;
      if (p->x + p->length < q->x + q->length)
        p = p->next;
      else
        q = q->next;
    }
  }
  if (!found.predecessor) {
    shiftBlocks(b->firstBlock, -dx, -dy);
    return 1;
  }
  gBest = found;
  HitBlock *p = found.predecessor, *q = found.successor;
  freeList(p->next);
  p->next = nullptr;
  if (q->prev) {
    q->prev->next = nullptr;
    freeList(b->firstBlock);
    q->prev = nullptr;
  }
  b->firstBlock = nullptr;
  HitBlock *first = joinAtLink(a->firstBlock);
  a->end1 = b->end1;
  a->end2 = b->end2;
  makeHit(a, first);
  if (a->firstBlock) {
    CountHitColumns(a, a->firstBlock);
    runningChainScores(a->firstBlock);
  }
  unlinkHit(b);
  freeHit(b);
  return 4;
}

} // namespace

static int bridgeOrJoin(Hit *a, Hit *b, bool join) {
  if (!a->firstBlock || !b->firstBlock || a == b)
    return 1;
  setActionParams(kMaskBase, gCurrent->score, gCurrent->alignIsland);
  int32_t xEnd = std::max(gCurrent->region[1], std::max(a->end1, b->end1));
  int32_t yEnd = std::max(gCurrent->region[3], std::max(a->end2, b->end2));
  RegionGuard guard(a, xEnd, yEnd, kModeMergeBridge);
  try {
    return bridge(a, b, join);
  } catch (const EngineAbort &) {
    return 1;
  }
}

int bridgeHits(Hit *a, Hit *b) { return bridgeOrJoin(a, b, false); }
int joinHits(Hit *a, Hit *b) { return bridgeOrJoin(a, b, true); }
