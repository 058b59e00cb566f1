// Linking islands into chains: the two kinds of link with their scores and
// cuts, the commit of the best candidate, finalisation of chain ends and the
// conversion of a chain into the blocks of a hit.
#include <algorithm>

#include "core/session.h"
#include "engine/columns.h"
#include "engine/run_bounds.h"
#include "engine/scores.h"
#include "engine/search_internal.h"

// Blocks of a hit store the fixed-weight score of the column walk, so
// outside Align the score comes from the counts.
int32_t successorOwnScore(const HitBlock *b) {
  return (gActionStatus & kModeAlign) ? b->blockScore : ownScore(b->length, b->identities);
}

namespace {

// Pair code at position p along a diagonal: kind 0 runs along x, kind 1 along y.
inline int along(int32_t kind, int32_t p, int32_t diag) {
  return kind == kLinkGapInY ? pairCode(p, p - diag) : pairCode(p + diag, p);
}

// No popcount instruction is assumed.
inline int32_t bitCount(uint32_t v) {
  v = v - ((v >> 1) & 0x55555555u);
  v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
  return (int32_t)((((v + (v >> 4)) & 0x0f0f0f0fu) * 0x01010101u) >> 24);
}

// Four steps of the cut search at once, from the matches of the two
// diagonals (bit i: position i): the best rise of the difference and the
// first step reaching it, with the b-diagonal matches up to that step.
struct FourSteps {
  int8_t rise, step, bAtStep, aCount, bCount;
};

const FourSteps *fourStepTable() {
  static const auto table = [] {
    static FourSteps t[256];
    for (int a = 0; a < 16; ++a)
      for (int b = 0; b < 16; ++b) {
        FourSteps f{-5, 0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
          f.aCount = (int8_t)(f.aCount + ((a >> i) & 1));
          f.bCount = (int8_t)(f.bCount + ((b >> i) & 1));
          if (f.aCount - f.bCount > f.rise) {
            f.rise = (int8_t)(f.aCount - f.bCount);
            f.step = (int8_t)i;
            f.bAtStep = f.bCount;
          }
        }
        t[a << 4 | b] = f;
      }
    return t;
  }();
  return table;
}

// The cut search of a stretch between two diagonals, `length` positions
// from `from` on, 32 at a time: ca, cb count the matches walked on a's and
// b's diagonal, and the cut goes where ca - cb first exceeds bestDiff.
void searchCut(const PackedBases &packed, int32_t kind, int32_t from, int32_t length, int32_t diagA,
               int32_t diagB, int32_t &ca, int32_t &cb, int32_t &bestDiff, int32_t &cut,
               int32_t &cbCut) {
  const FourSteps *table = fourStepTable();
  for (int32_t i = 0; i < length; i += 32) {
    const int32_t p = from + i;
    const int32_t xa = kind == kLinkGapInY ? p : p + diagA;
    const int32_t xb = kind == kLinkGapInY ? p : p + diagB;
    uint32_t ma = packed.matchBits(xa, xa - diagA), mb = packed.matchBits(xb, xb - diagB);
    if (length - i < 32) {
      ma &= (UINT32_C(1) << (length - i)) - 1;
      mb &= (UINT32_C(1) << (length - i)) - 1;
    }
    const int32_t na = bitCount(ma);
    if (ca - cb + na <= bestDiff) {
      ca += na;
      cb += bitCount(mb);
      continue;
    }
    for (int32_t j = 0; j < 32; j += 4) {
      const FourSteps &f = table[((ma >> j) & 15) << 4 | ((mb >> j) & 15)];
      if (ca - cb + f.rise > bestDiff) {
        bestDiff = ca - cb + f.rise;
        cut = p + j + f.step + 1;
        cbCut = cb + f.bAtStep;
      }
      ca += f.aCount;
      cb += f.bCount;
    }
  }
}

// The gap a cut leaves reads GT..AG or CT..AC (splice sites on either strand).
bool spliceLikeGap(int32_t kind, int32_t cut, int32_t diagA, int32_t d) {
  if (d < 4)
    return false;
  const uint8_t *g =
      kind == kLinkGapInY ? gEngine.seq2 + (cut - diagA) : gEngine.seq1 + (cut + diagA);
  const int b0 = g[0] & 7, b1 = g[1] & 7, e0 = g[d - 2] & 7, e1 = g[d - 1] & 7;
  return (b0 == 2 && b1 == 3 && e0 == 0 && e1 == 2) || (b0 == 1 && b1 == 3 && e0 == 0 && e1 == 1);
}

void setChainToOwn(HitBlock *s) {
  const int32_t dScore = s->chainScore - s->blockScore;
  const int32_t dMatches = s->chainMatches - s->identities;
  const int32_t dLength = s->chainLength - s->length;
  resetSecondCopy(s);
  s->prev = nullptr;
  s->chainScore = s->blockScore;
  s->chainMatches = s->identities;
  s->chainLength = s->length;
  for (HitBlock *t = s->next; t; t = t->next) {
    t->chainScore -= dScore;
    t->chainMatches -= dMatches;
    t->chainLength -= dLength;
  }
}

// Takes an island, and every island found before it on its diagonal, out of
// the diagonal list (engineA marks membership).
void removeFromDiagonal(HitBlock *isl) {
  if (!isl->engineA)
    return;
  HitBlock **link = &gEngine.diagonalList[isl->x - isl->y + gEngine.diagBase];
  while (*link != isl)
    link = &(*link)->freeNext;
  *link = nullptr;
  for (HitBlock *o = isl, *next; o; o = next) {
    next = o->freeNext;
    o->engineA = 0;
    o->freeNext = nullptr;
  }
  if (RunBounds *runs = gEngine.runs) {
    const int32_t entry = isl->x - isl->y + gEngine.diagBase;
    runs->recount(entry, gEngine.diagonalList[entry]);
  }
}

void removeFromResults(HitBlock *isl) {
  for (HitBlock **link = &gEngine.resultList; *link; link = &(*link)->freeNext)
    if (*link == isl) {
      *link = isl->freeNext;
      isl->freeNext = nullptr;
      return;
    }
}

inline bool withinLimit(const HitBlock *b) {
  return b->x + b->y + 2 * b->length <= gEngine.finalLimit;
}

// Tests the chain that ends at `isl`; a failing end is dropped and its
// predecessor tested in turn, so the chain shortens until it passes.
void testChainEnd(HitBlock *isl) {
  const bool draw = drawingAllowed();
  while (isl) {
    if (passesThreshold(isl->chainScore, isl->chainMatches, isl->chainLength, *gEngine.score)) {
      if (isl->cut != -1) {
        isl->cut = -1;
        isl->freeNext = gEngine.resultList;
        gEngine.resultList = isl;
        if (draw)
          drawChain(isl, false);
      }
      return;
    }
    if (isl->cut == -1)
      removeFromResults(isl);
    removeFromDiagonal(isl);
    isl->linkKind = kIslandDead;
    if (draw)
      drawIsland(isl, true);
    HitBlock *p = isl->prev;
    freeBlock(isl);
    if (!p)
      return;
    p->next = nullptr;
    p->linkKind = 0;
    p->cut = 0;
    if (!withinLimit(p))
      return;
    // Its diagonal list may still hold it; it must leave before it can die.
    removeFromDiagonal(p);
    isl = p;
  }
}

// A stretch of `length` positions from `from` along x (kind 0) or y,
// bridged between the diagonals of two islands: true when the link cannot
// win even if every base the two diagonals share there matched. `score0`
// is the link's score with no match in the stretch.
bool longStretchLoses(int32_t kind, int32_t from, int32_t length, int32_t diagA, int32_t diagB,
                      int64_t score0) {
  const ScoreParams &sp = *gEngine.score;
  const PackedBases *packed = gEngine.packed;
  if (!packed || length < 16 || sp.match < sp.mismatch)
    return false;
  auto same = [&](int32_t diag) {
    const int32_t x = kind == kLinkGapInY ? from : from + diag;
    return packed->sameBases(x, x - diag, length);
  };
  const int32_t a = same(diagA), b = same(diagB);
  if (a < 0 || b < 0)
    return false;
  const int64_t best = score0 + (int64_t)std::min(length, a + b) * (sp.match - sp.mismatch);
  return best <= gBest.score || best <= gLinkThreshold;
}

} // namespace

void discardIsland(HitBlock *b) { freeBlock(b); }

void linkSameDiagonal(HitBlock *a, HitBlock *b) {
  const ScoreParams &sp = *gEngine.score;
  const int32_t between = b->x - (a->x + a->length);
  if (between < 0)
    return;
  const int32_t own = successorOwnScore(b);
  const int64_t optimistic = (int64_t)between * sp.match + a->chainScore + own;
  if (optimistic < gBest.score || optimistic < gLinkThreshold)
    return;
  int32_t c = 0;
  for (int32_t x = a->x + a->length, y = a->y + a->length; x < b->x; ++x, ++y)
    c += pairCode(x, y) == 1;
  const int32_t score = a->chainScore + own + c * sp.match + (between - c) * sp.mismatch;
  if (score < gBest.score || score < gLinkThreshold)
    return;
  if (a->next && a->next->chainScore >= score)
    return;
  gBest =
      LinkCandidate{a, b, score, kLinkSameDiag, b->identities, 0, c, b->x + b->length - a->startX};
}

void linkGapped(HitBlock *a, HitBlock *b, int32_t kind, int32_t d) {
  const ScoreParams &sp = *gEngine.score;
  const int32_t aStart = kind == kLinkGapInY ? a->startX : a->startY;
  const int32_t aEnd = aStart + a->usedLength;
  const int32_t bStart = kind == kLinkGapInY ? b->x : b->y;
  const int32_t bEnd = bStart + b->length;
  if (aStart >= bEnd)
    return;
  const int32_t diagA = a->x - a->y, diagB = b->x - b->y;
  const int32_t own = successorOwnScore(b);
  int64_t base = (int64_t)sp.gapOpen + (int64_t)d * sp.gapElongation + a->chainScore + own;
  const int32_t span = bEnd - aStart;
  const PackedBases *exact = gEngine.packed && gEngine.packed->marked() ? gEngine.packed : nullptr;
  int32_t cut, bridged, kept;
  if (bStart < aEnd) {
    const int32_t possible = std::min(a->usedMatches + b->identities, span);
    const int64_t optimistic =
        (int64_t)possible * sp.match + (int64_t)(span - possible) * sp.mismatch + base;
    if (optimistic <= gBest.score || optimistic <= gLinkThreshold)
      return;
    base -= ownScore(a->usedLength, a->usedMatches) + own;
    // The same bound without the own scores counted twice: a long island
    // overlapped by a short one is given up before its length is walked.
    if (possible * (int64_t)sp.match + (int64_t)(span - possible) * sp.mismatch + base <=
            std::max<int64_t>(gBest.score, gLinkThreshold) &&
        sp.match >= sp.mismatch)
      return;
    const int32_t os = std::max(aStart, bStart), oe = std::min(aEnd, bEnd);
    int32_t bBefore = 0, aAfter = 0;
    for (int32_t p = bStart; p < os; ++p)
      bBefore += along(kind, p, diagB) == 1;
    for (int32_t p = oe; p < aEnd; ++p)
      aAfter += along(kind, p, diagA) == 1;
    int32_t ca = 0, cb = 0, bestDiff = 0, caCut = 0, cbCut = 0;
    cut = os;
    for (int32_t p = os; p < oe; ++p) {
      ca += along(kind, p, diagA) == 1;
      cb += along(kind, p, diagB) == 1;
      const int32_t diff = ca - cb;
      if (diff > bestDiff || (diff == bestDiff && spliceLikeGap(kind, p + 1, diagA, d))) {
        bestDiff = diff;
        cut = p + 1;
        caCut = ca;
        cbCut = cb;
      }
    }
    bridged = (caCut - cbCut) - ca - aAfter - bBefore;
    kept = b->identities - bBefore - cbCut;
  } else {
    const int64_t optimistic = (int64_t)(bStart - aEnd) * sp.match + base;
    if (optimistic <= gBest.score || optimistic <= gLinkThreshold)
      return;
    base -= ownScore(a->usedLength, a->usedMatches) + own;
    const int64_t score0 = base +
                           (int64_t)(a->usedMatches + b->identities) * (sp.match - sp.mismatch) +
                           (int64_t)span * sp.mismatch;
    // In the sweep, the runs beside the two islands bound the stretch.
    if (const RunBounds *runs = gEngine.runs; runs && bStart - aEnd <= runs->reach()) {
      const int64_t best =
          score0 - (int64_t)(bStart - aEnd) * sp.mismatch + runs->stretchBound(a, b, bStart - aEnd);
      if (best <= gBest.score || best <= gLinkThreshold)
        return;
    }
    if (longStretchLoses(kind, aEnd, bStart - aEnd, diagA, diagB, score0))
      return;
    int32_t ca = 0, cb = 0, bestDiff = 0, cbCut = 0;
    cut = aEnd;
    if (exact)
      searchCut(*exact, kind, aEnd, bStart - aEnd, diagA, diagB, ca, cb, bestDiff, cut, cbCut);
    else
      for (int32_t p = aEnd; p < bStart; ++p) {
        ca += along(kind, p, diagA) == 1;
        cb += along(kind, p, diagB) == 1;
        if (ca - cb > bestDiff) {
          bestDiff = ca - cb;
          cut = p + 1;
          cbCut = cb;
        }
      }
    bridged = bestDiff + cb;
    // b's block reaches back to the cut: its kept matches are its own plus
    // the b-diagonal matches between the cut and its start.
    kept = b->identities + cb - cbCut;
  }
  const int32_t total = bridged + a->usedMatches + b->identities;
  const int64_t score = base + (int64_t)total * sp.match + (int64_t)(span - total) * sp.mismatch;
  if (score <= gBest.score || score <= gLinkThreshold)
    return;
  if (a->next && a->next->chainScore >= score)
    return;
  gBest = LinkCandidate{a, b, (int32_t)score, kind, kept, cut, bridged, span};
}

void linkBest() {
  HitBlock *a = gBest.predecessor, *b = gBest.successor;
  a->next = b;
  a->linkKind = gBest.kind;
  a->cut = gBest.cut;
  b->prev = a;
  b->chainScore = gBest.score;
  b->chainLength = a->chainLength - a->usedLength + gBest.span;
  b->chainMatches = a->chainMatches + b->identities + gBest.bridgedMatches;
  if (gBest.kind == kLinkSameDiag) {
    resetSecondCopy(b);
    return;
  }
  const int32_t shift = gBest.cut - (gBest.kind == kLinkGapInX ? b->y : b->x);
  b->startX = b->x + shift;
  b->startY = b->y + shift;
  b->usedLength = b->length - shift;
  b->usedMatches = gBest.keptMatches;
}

void commitLink() {
  HitBlock *a = gBest.predecessor, *b = gBest.successor;
  if (a->next && a->next != b) {
    HitBlock *s = a->next;
    a->next = nullptr;
    setChainToOwn(s);
    finalise(s);
  }
  if (b->prev && b->prev != a) {
    HitBlock *p = b->prev;
    p->next = nullptr;
    p->linkKind = 0;
    p->cut = 0;
    b->prev = nullptr;
    finalise(p);
  }
  if (HitBlock *s = b->next) {
    // b's chain changes, so the link beyond it is void; b becomes a chain
    // end again and is judged when it is finalised.
    b->next = nullptr;
    b->linkKind = 0;
    b->cut = 0;
    setChainToOwn(s);
    finalise(s);
  }
  linkBest();
}

void finalise(HitBlock *isl) {
  if (isl->linkKind == kIslandDead || !withinLimit(isl))
    return;
  removeFromDiagonal(isl);
  if (isl->next)
    return;
  testChainEnd(isl);
}

HitBlock *chainToBlocks(HitBlock *chainEnd) {
  if (!chainEnd)
    return nullptr;
  HitBlock *last = chainEnd;
  while (last->next)
    last = last->next;
  while (last && last->length == 0) {
    HitBlock *p = last->prev;
    freeBlock(last);
    if (p)
      p->next = nullptr;
    last = p;
  }
  if (!last)
    return nullptr;
  HitBlock *first = last;
  while (first->prev)
    first = first->prev;
  while (first->length == 0) {
    HitBlock *n = first->next;
    freeBlock(first);
    n->prev = nullptr;
    first = n;
  }
  for (HitBlock *p = first; p->next;) {
    HitBlock *s = p->next;
    if (p->linkKind == kLinkSameDiag) {
      p->length = s->x + s->length - p->x;
      p->identities += s->identities;
      absorbNextBlock(p, s);
      continue;
    }
    int32_t shift;
    if (p->linkKind == kLinkGapInX) {
      p->length = p->cut - p->y;
      shift = p->cut - s->y;
    } else {
      p->length = p->cut - p->x;
      shift = p->cut - s->x;
    }
    s->x += shift;
    s->y += shift;
    s->length -= shift;
    if (p->length <= 0) {
      s->prev = p->prev;
      if (p->prev)
        p->prev->next = s;
      else
        first = s;
      freeBlock(p);
    }
    p = s;
  }
  last = first;
  while (last->next)
    last = last->next;
  while (last->length <= 0 && last->prev) {
    HitBlock *p = last->prev;
    freeBlock(last);
    p->next = nullptr;
    last = p;
  }
  if (last->length <= 0) {
    freeBlock(last);
    return nullptr;
  }
  last->linkKind = 0;
  last->cut = 0;
  return first;
}

int32_t makeHit(Hit *hit, HitBlock *first) {
  hit->score = 0;
  hit->leftFlank = hit->rightFlank = 0;
  hit->paneColumns = hit->paneFirstColumn = 0;
  hit->engineA = hit->engineB = 0;
  if (!first) {
    hit->firstBlock = nullptr;
    unlinkHit(hit);
    freeHit(hit);
    return 0;
  }
  closeOppositeGaps(gEngine.seq1, gEngine.seq2, first);
  int32_t minX = first->x, minY = first->y, maxX = 0, maxY = 0;
  for (HitBlock *b = first; b; b = b->next) {
    minX = std::min(minX, b->x);
    minY = std::min(minY, b->y);
    maxX = std::max(maxX, b->x + b->length);
    maxY = std::max(maxY, b->y + b->length);
  }
  first->prev = nullptr;
  for (HitBlock *b = first; b; b = b->next) {
    b->x -= minX;
    b->y -= minY;
    if (b->next)
      b->cut -= b->linkKind == kLinkGapInX ? minY : minX;
    resetSecondCopy(b);
    b->sameStart = b->sameEnd = b->freeNext = nullptr;
    b->engineA = b->engineB = 0;
  }
  hit->firstBlock = first;
  hit->start1 = gEngine.x1 + minX;
  hit->end1 = gEngine.x1 + maxX;
  hit->start2 = gEngine.y1 + minY;
  hit->end2 = gEngine.y1 + maxY;
  hit->flags |= gEngine.newHitFlags;
  hit->score = CountHitColumns(hit, first);
  return hit->score;
}
