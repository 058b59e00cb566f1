// Merge's join of two hits: the blocks of both are walked together and the
// best single link from a block of the first to a block of the second, if
// any, turns the two into one hit.
#include <algorithm>
#include <climits>
#include <map>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "engine/columns.h"
#include "engine/nw.h"
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

enum class PairTry { None, SameDiagonal, Overlap, GapInX, GapInY };

// Which link try a pair of blocks gets, by their places alone; q's start is
// given in p's coordinates.
PairTry pairTry(const HitBlock *p, int32_t qx, int32_t qy, int32_t qLength, int32_t g) {
  const int32_t dd = (p->x - p->y) - (qx - qy);
  const int32_t pEndX = p->x + p->length, pEndY = p->y + p->length;
  if (dd > g || dd < -g || qx < 0 || qy < 0)
    return PairTry::None;
  if (dd == 0) {
    if (qx >= pEndX)
      return qx - pEndX <= g ? PairTry::SameDiagonal : PairTry::None;
    return qx >= p->x && qx + qLength > pEndX ? PairTry::Overlap : PairTry::None;
  }
  if (dd < 0)
    return qy + qLength > pEndY && qx <= pEndX + g ? PairTry::GapInX : PairTry::None;
  return qx + qLength > pEndX && qy <= pEndY + g ? PairTry::GapInY : PairTry::None;
}

void tryPair(HitBlock *p, HitBlock *q) {
  const int32_t dd = (p->x - p->y) - (q->x - q->y);
  switch (pairTry(p, q->x, q->y, q->length, gEngine.g)) {
  case PairTry::SameDiagonal:
    linkSameDiagonal(p, q);
    break;
  case PairTry::Overlap:
    overlapJoin(p, q);
    break;
  case PairTry::GapInX:
    linkGapped(p, q, kLinkGapInX, -dd);
    break;
  case PairTry::GapInY:
    linkGapped(p, q, kLinkGapInY, dd);
    break;
  case PairTry::None:
    break;
  }
}

// The blocks of a and b walked as bridge walks them: whether any pair gets
// a link try. Merge asks this of many pairs that lie far apart.
bool anyPairTried(const Hit *a, const Hit *b, int32_t g) {
  const int32_t dx = b->start1 - a->start1, dy = b->start2 - a->start2;
  for (const HitBlock *p = a->firstBlock, *q = b->firstBlock; p && q;) {
    if (pairTry(p, q->x + dx, q->y + dy, q->length, g) != PairTry::None)
      return true;
    if (p->x + p->length < q->x + dx + q->length)
      p = p->next;
    else
      q = q->next;
  }
  return false;
}

// Applies the geometry of the best link to the joined list; the other links
// are those of finished hits and stay as they are.
HitBlock *joinAtLink(HitBlock *first) {
  HitBlock *p = gBest.predecessor, *q = gBest.successor;
  linkBest();
  if (gBest.kind == kLinkSameDiag) {
    p->length = q->x + q->length - p->x;
    p->identities += q->identities + gBest.bridgedMatches;
    absorbNextBlock(p, q);
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
  e.g = bridgeReach();
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
  freeBlockList(p->next);
  p->next = nullptr;
  if (q->prev) {
    q->prev->next = nullptr;
    freeBlockList(b->firstBlock);
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

// Links `next` after `last` as a hit's blocks are linked: one sequence's
// gap between them, or one block when they continue each other's diagonal.
// Returns the list's new last block.
HitBlock *appendBlock(HitBlock *last, HitBlock *next) {
  const int32_t dLast = last->x - last->y, dNext = next->x - next->y;
  if (dNext == dLast && next->x == last->x + last->length) {
    last->length += next->length;
    last->identities += next->identities;
    last->blockScore += next->blockScore;
    absorbNextBlock(last, next);
    return last;
  }
  setGapLink(last, next);
  last->next = next;
  next->prev = last;
  return next;
}

HitBlock *lastOf(HitBlock *b) {
  while (b->next)
    b = b->next;
  return b;
}

// Path across the stretch [a end, b start): its best global alignment, or
// the gap when one side is empty. Empty when it is too long to align or
// every path falls below `floor`.
std::vector<int32_t> stretchPath(const Hit *a, const Hit *b, int32_t floor) {
  const int32_t gx = b->start1 - a->end1, gy = b->start2 - a->end2;
  std::vector<int32_t> path;
  if (gx == 0 || gy == 0) {
    path.push_back(gx > 0 ? gx : -gy);
    return path;
  }
  if (alignSegmentsNW(gSeq1->residues + a->end1, gx, gSeq2->residues + a->end2, gy, gCurrent->score,
                      &path, floor, kBridgeBand) != kSearchNormal)
    path.clear();
  return path;
}

// A gapped extension would cross the stretch: its running score never falls
// more than `drop` below a value it had before (read backwards the falls are
// the same, so this holds from either end). That score charges a transition
// a quarter of a mismatch: diverged homologues differ mostly by transitions,
// unrelated sequences mostly by transversions, and only the former are
// worth crossing. And the joined hit stays its own best part, as Trim would
// leave it: no prefix of the stretch costs more than the hit before it
// brings, no suffix more than the hit after it.
bool crossable(const std::vector<int32_t> &path, const uint8_t *s1, const uint8_t *s2, int32_t drop,
               int64_t before, int64_t after, int64_t *total) {
  const ScoreParams &sp = gCurrent->score;
  const int32_t transition = sp.mismatch / 4;
  int64_t score = 0, highest = 0, judged = 0, judgedHighest = 0;
  int32_t x = 0, y = 0;
  for (int32_t step : path) {
    if (step == 0) {
      const uint8_t r1 = s1[x++] & 31, r2 = s2[y++] & 31;
      const int32_t s = ScoreTable[r1][r2];
      score += s;
      judged += s < 0 && !((r1 | r2) & 4) && ((r1 ^ r2) & 3) == 2 ? transition : s;
    } else {
      const int32_t gap = step > 0 ? step : -step;
      score += sp.gapOpen + int64_t(sp.gapElongation) * gap;
      judged += sp.gapOpen + int64_t(sp.gapElongation) * gap;
      (step > 0 ? x : y) += gap;
    }
    highest = std::max(highest, score);
    judgedHighest = std::max(judgedHighest, judged);
    if (judgedHighest - judged > drop || before + score <= 0)
      return false;
  }
  // The stretch's suffixes: its total less a prefix, at worst the highest.
  *total = score;
  return after + score - highest > 0;
}

// Appends b's blocks to a's list after `last`, across the stretch of
// `path`, and frees b; returns the new last block. Null, with nothing
// changed, when the pool runs out.
HitBlock *appendAcross(Hit *a, HitBlock *last, const std::vector<int32_t> &path, Hit *b) {
  HitBlock *made = nullptr, *middle = nullptr;
  try {
    middle = blocksOfPath(path, gSeq1->residues + a->end1, gSeq2->residues + a->end2,
                          gCurrent->score, &made);
  } catch (const EngineAbort &) {
    freeBlockList(made);
    return nullptr;
  }
  for (HitBlock *m = middle, *next; m; m = next) {
    next = m->next;
    m->next = m->prev = nullptr;
    m->x += a->end1 - a->start1;
    m->y += a->end2 - a->start2;
    last = appendBlock(last, m);
  }
  shiftBlocks(b->firstBlock, b->start1 - a->start1, b->start2 - a->start2);
  last = lastOf(appendBlock(last, b->firstBlock));
  b->firstBlock = nullptr;
  a->end1 = b->end1;
  a->end2 = b->end2;
  unlinkHit(b);
  freeHit(b);
  return last;
}

// How many hits' spans in one sequence meet a given span.
class SpanCounter {
public:
  void add(int32_t start, int32_t end) {
    starts_.push_back(start);
    ends_.push_back(end);
  }
  void seal() {
    std::sort(starts_.begin(), starts_.end());
    std::sort(ends_.begin(), ends_.end());
  }
  // Spans [a, b) with a < end and b > start: all that start before the
  // end, less those over before the start.
  int64_t meeting(int32_t start, int32_t end) const {
    return (std::lower_bound(starts_.begin(), starts_.end(), end) - starts_.begin()) -
           (std::upper_bound(ends_.begin(), ends_.end(), start) - ends_.begin());
  }

private:
  std::vector<int32_t> starts_, ends_;
};

// Hits overlapped by more others than this in either sequence are repeat
// copies and are not joined.
constexpr int64_t kBridgeMaxOverlaps = 8;

// Nearest hit after h in both sequences, within maxSide of its end; by the
// sum of the two gaps. Two as near are rivals: neither is taken.
Hit *nearestAfter(const Hit *h, int32_t maxSide) {
  Hit *best = nullptr;
  int64_t bestGap = INT64_MAX;
  bool tie = false;
  for (Hit *s = h->next1; s && s->start1 <= h->end1 + maxSide; s = s->next1) {
    const int32_t gx = s->start1 - h->end1, gy = s->start2 - h->end2;
    if (!s->firstBlock || gx < 0 || gy < 0 || gy > maxSide || gx + gy == 0)
      continue;
    if (gx + gy < bestGap) {
      bestGap = gx + gy;
      best = s;
      tie = false;
    } else if (gx + gy == bestGap) {
      tie = true;
    }
  }
  return tie ? nullptr : best;
}

} // namespace

int32_t bridgeDivergedStretches(int32_t maxSide, int32_t drop) {
  // Pairs are taken only when each is the other's nearest: a rival on
  // either side means the stretch is not simply diverged.
  struct Nearest {
    Hit *hit = nullptr;
    int64_t gap = INT64_MAX;
    bool tie = false;
  };
  std::map<const Hit *, Hit *> after;
  std::map<const Hit *, Nearest> before;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    if (Hit *s = nearestAfter(h, maxSide)) {
      after[h] = s;
      Nearest &n = before[s];
      const int64_t gap = int64_t(s->start1 - h->end1) + (s->start2 - h->end2);
      n.tie = gap == n.gap || (gap > n.gap && n.tie);
      if (gap < n.gap) {
        n.hit = h;
        n.gap = gap;
      }
    }
  }
  // A hit that many others overlap is a repeat copy: the nearest hit beyond
  // it is no continuation of it, and trying them all would cost an
  // alignment for each of thousands of copies.
  SpanCounter spans1, spans2;
  for (const Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock) {
      spans1.add(h->start1, h->end1);
      spans2.add(h->start2, h->end2);
    }
  spans1.seal();
  spans2.seal();
  auto unique = [&](const Hit *h) {
    return spans1.meeting(h->start1, h->end1) <= kBridgeMaxOverlaps + 1 &&
           spans2.meeting(h->start2, h->end2) <= kBridgeMaxOverlaps + 1;
  };
  auto mutual = [&](const Hit *h) -> Hit * {
    auto it = after.find(h);
    if (it == after.end())
      return nullptr;
    const Nearest &n = before[it->second];
    return n.hit == h && !n.tie ? it->second : nullptr;
  };
  int32_t joined = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    Hit *s = mutual(h);
    if (!(h->flags & kHitNewFlag) || !s || !unique(h))
      continue;
    // A run of joins is scored once at its end: walking the growing hit at
    // every join would cost its length each time.
    setActionParams(kMaskBase, gCurrent->score, gCurrent->alignIsland);
    RegionGuard guard(h, gSeq1->length, gSeq2->length, kModeMergeBridge);
    HitBlock *last = lastOf(h->firstBlock);
    int64_t score = h->score, stretch = 0;
    int32_t run = 0;
    for (; s && (s->flags & kHitNewFlag) && unique(s); ++run) {
      Hit *then = mutual(s); // s goes in the join
      // No path below what h brings can be crossed.
      const int64_t floor = std::max<int64_t>(INT32_MIN / 4, 1 - score);
      const std::vector<int32_t> path = stretchPath(h, s, int32_t(floor));
      if (path.empty() || !crossable(path, gSeq1->residues + h->end1, gSeq2->residues + h->end2,
                                     drop, score, s->score, &stretch))
        break;
      const int64_t sScore = s->score;
      HitBlock *end = appendAcross(h, last, path, s);
      if (!end)
        break;
      last = end;
      score += stretch + sScore;
      s = then;
    }
    if (run > 0) {
      last->linkKind = 0;
      last->cut = 0;
      makeHit(h, h->firstBlock);
      joined += run;
    }
  }
  return joined;
}

int32_t bridgeReach() {
  return std::max<int32_t>(gCurrent->alignIsland.maxGap, gCurrent->mergeMaxDistance);
}

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
bool bridgeMayLink(const Hit *a, const Hit *b) {
  return a->firstBlock && b->firstBlock && a != b && anyPairTried(a, b, bridgeReach());
}
int joinHits(Hit *a, Hit *b) { return bridgeOrJoin(a, b, true); }
