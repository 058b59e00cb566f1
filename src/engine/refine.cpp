#include "engine/refine.h"

#include <algorithm>

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/columns.h"
#include "engine/nw.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/trim.h"

namespace {

int match(const Hit *h, int32_t x, int32_t y) {
  return IdentityTable[gSeq1->residues[h->start1 + x] & 31][gSeq2->residues[h->start2 + y] & 31];
}

int blockMatch(const Hit *h, const HitBlock *b, int32_t k) { return match(h, b->x + k, b->y + k); }

HitBlock *lastBlock(Hit *h) {
  HitBlock *b = h->firstBlock;
  while (b && b->next)
    b = b->next;
  return b;
}

void endChain(HitBlock *b) {
  b->next = nullptr;
  b->linkKind = kLinkGapInY;
  b->cut = b->x + b->length;
}

// Blocks of no length go; their neighbours are linked directly.
bool removeEmptyBlocks(Hit *h) {
  bool changed = false;
  HitBlock *b = h->firstBlock;
  while (b) {
    if (b->length > 0) {
      b = b->next;
      continue;
    }
    HitBlock *p = b->prev, *n = b->next;
    freeBlock(b);
    changed = true;
    if (!p) {
      h->firstBlock = n;
      if (n)
        n->prev = nullptr;
    } else if (!n) {
      endChain(p);
    } else {
      linkBlocks(p, n);
    }
    b = n;
  }
  return changed;
}

// Box, relative positions and score of a hit from its blocks, which are
// relative to the hit's present start.
void rebuildHitFromBlocks(Hit *h) {
  HitBlock *first = h->firstBlock;
  closeOppositeGaps(gSeq1->residues + h->start1, gSeq2->residues + h->start2, first);
  int32_t x0 = first->x, y0 = first->y, x1 = 0, y1 = 0;
  for (HitBlock *b = first; b; b = b->next) {
    x0 = std::min(x0, b->x);
    y0 = std::min(y0, b->y);
    x1 = std::max(x1, b->x + b->length);
    y1 = std::max(y1, b->y + b->length);
  }
  for (HitBlock *b = first; b; b = b->next) {
    b->x -= x0;
    b->y -= y0;
    b->cut -= b->linkKind == kLinkGapInX ? y0 : x0;
  }
  h->end1 = h->start1 + x1;
  h->end2 = h->start2 + y1;
  h->start1 += x0;
  h->start2 += y0;
  h->score = CountHitColumns(h, first);
  for (HitBlock *b = first; b; b = b->next) {
    b->startX = b->x;
    b->startY = b->y;
    b->usedLength = b->length;
    b->usedMatches = b->identities;
  }
  h->leftFlank = h->rightFlank = h->paneColumns = h->paneFirstColumn = 0;
}

// Where a loose part may begin inside the left anchor: the farthest of the
// last 7 positions at which a +1/-1 walk backward from its end turned
// negative.
int32_t backOffLeft(const Hit *h, const HitBlock *b, int32_t start, int32_t end) {
  int32_t sum = 0, at = end;
  for (int32_t k = 1; k <= kAnchorBackOff && end - k >= start; ++k) {
    sum += blockMatch(h, b, end - k) ? 1 : -1;
    if (sum < 0) {
      sum = 0;
      at = end - k;
    }
  }
  return at;
}

int32_t backOffRight(const Hit *h, const HitBlock *b, int32_t start, int32_t end) {
  int32_t sum = 0, at = start;
  for (int32_t k = 0; k < kAnchorBackOff && start + k < end; ++k) {
    sum += blockMatch(h, b, start + k) ? 1 : -1;
    if (sum < 0) {
      sum = 0;
      at = start + k + 1;
    }
  }
  return at;
}

bool refinePass(Hit *h) {
  bool changed = false;
  HitBlock *first = h->firstBlock;
  RefineAnchor left{h, first, 0, std::min(kRefineEdge, first->length)};
  RefineAnchor anchor{h, nullptr, 0, 0};
  bool found = false;
  HitBlock *b = first;
  int32_t offset = 0;
  while (b && findAnchor(h, b, offset, &anchor)) {
    found = true;
    if (refineBetween(&left, &anchor))
      changed = true;
    left = anchor;
    b = anchor.block;
    offset = anchor.end;
  }
  if (found && left.block) {
    HitBlock *last = lastBlock(h);
    RefineAnchor right{h, last, std::max(0, last->length - kRefineEdge), last->length};
    if (refineBetween(&left, &right))
      changed = true;
  }
  for (b = h->firstBlock; b; b = b->next)
    if (b->next && slideCut(h, b))
      changed = true;
  if (removeEmptyBlocks(h))
    changed = true;
  return changed;
}

} // namespace

void linkBlocks(HitBlock *p, HitBlock *n) {
  p->next = n;
  n->prev = p;
  const int32_t dp = p->x - p->y, dn = n->x - n->y;
  int32_t shift;
  if (dn > dp) {
    p->linkKind = kLinkGapInX;
    p->cut = p->y + p->length;
    shift = n->y - p->cut;
  } else {
    p->linkKind = dn == dp ? kLinkSameDiag : kLinkGapInY;
    p->cut = p->x + p->length;
    shift = n->x - p->cut;
  }
  if (shift < -n->length) // an overlap can at most use the block up
    shift = -n->length;
  n->x -= shift;
  n->y -= shift;
  n->length += shift;
}

bool findAnchor(Hit *h, HitBlock *b, int32_t offset, RefineAnchor *out) {
  for (; b; b = b->next, offset = 0) {
    const int32_t len = b->length;
    if (len - offset < kAnchorMinPositions)
      continue;
    const int32_t f = std::min(kAnchorFrame, len - offset);
    int32_t count = 0;
    for (int32_t k = offset; k < offset + f; ++k)
      count += blockMatch(h, b, k);
    int32_t start = -1;
    for (int32_t p = offset;; ++p) {
      if (count >= kAnchorMatches) {
        if (start < 0)
          start = p;
      } else if (start >= 0) {
        *out = {h, b, start, p - 1 + f};
        return true;
      }
      if (p + f >= len)
        break;
      count += blockMatch(h, b, p + f) - blockMatch(h, b, p);
    }
    if (start >= 0) {
      *out = {h, b, start, len};
      return true;
    }
  }
  return false;
}

bool refineBetween(RefineAnchor *left, RefineAnchor *right) {
  Hit *h = left ? left->hit : right ? right->hit : nullptr;
  if (!h || !h->firstBlock)
    return false;
  HitBlock *L = left ? left->block : nullptr, *R = right ? right->block : nullptr;
  HitBlock *first = h->firstBlock, *last = lastBlock(h);
  int32_t psOff = 0, peOff = 0, ps1, ps2, pe1, pe2;
  if (L) {
    psOff = backOffLeft(h, L, left->start, left->end);
    ps1 = L->x + psOff;
    ps2 = L->y + psOff;
  } else {
    ps1 = first->x;
    ps2 = first->y;
  }
  if (R) {
    peOff = backOffRight(h, R, right->start, right->end);
    pe1 = R->x + peOff;
    pe2 = R->y + peOff;
  } else {
    pe1 = last->x + last->length;
    pe2 = last->y + last->length;
  }
  if (pe1 <= ps1 || pe2 <= ps2 || pe1 - ps1 > kNwMaxSide || pe2 - ps2 > kNwMaxSide)
    return false;

  // Both anchors in one block: its far part becomes a record of its own.
  HitBlock *split = nullptr;
  if (L && L == R) {
    split = allocateBlock();
    *split = *L;
    split->x += peOff;
    split->y += peOff;
    split->length -= peOff;
  }
  Hit part{};
  part.start1 = h->start1 + ps1;
  part.end1 = h->start1 + pe1;
  part.start2 = h->start2 + ps2;
  part.end2 = h->start2 + pe2;
  part.flags = kHitRegionMark;
  if (alignRegionNW(&part, kNwKeepBlocks) != kSearchNormal || !part.firstBlock) {
    if (split)
      freeBlock(split);
    return false;
  }
  HitBlock *nFirst = part.firstBlock, *nLast = nFirst;
  for (HitBlock *n = nFirst; n; n = n->next) {
    n->x += ps1;
    n->y += ps2;
    n->cut += n->linkKind == kLinkGapInX ? ps2 : ps1;
    nLast = n;
  }
  const int32_t anchorStart = R ? R->x + right->start : 0, anchorEnd = R ? R->x + right->end : 0;
  HitBlock *before = L, *after = R;
  if (split) {
    if (split->next)
      split->next->prev = split;
    L->length = psOff;
    after = split;
  } else {
    for (HitBlock *b = L ? L->next : first; b && b != R;) {
      HitBlock *next = b->next;
      freeBlock(b);
      b = next;
    }
    if (L)
      L->length = psOff;
    if (R) {
      R->x += peOff;
      R->y += peOff;
      R->length -= peOff;
    }
  }
  if (before) {
    linkBlocks(before, nFirst);
  } else {
    h->firstBlock = nFirst;
    nFirst->prev = nullptr;
  }
  if (after)
    linkBlocks(nLast, after);
  else
    endChain(nLast);
  if (right) {
    if (after && after->length > 0) {
      right->block = after;
      right->start = std::max(0, anchorStart - after->x);
      right->end = std::max(right->start, anchorEnd - after->x);
    } else {
      // The anchor was used up: the search goes on after it.
      right->block = after ? after->next : nullptr;
      right->start = right->end = 0;
    }
  }
  if (left && left->block == L && L->length == 0)
    left->block = nullptr;
  removeEmptyBlocks(h);
  return true;
}

bool slideCut(Hit *h, HitBlock *a) {
  HitBlock *b = a->next;
  if (!b || (a->linkKind != kLinkGapInY && a->linkKind != kLinkGapInX))
    return false;
  const int32_t da = a->x - a->y, db = b->x - b->y;
  const bool alongX = a->linkKind == kLinkGapInY;
  // Only a tight link, where the gap lies in one sequence, has a cut to slide.
  if (alongX ? !(db < da && a->x + a->length == a->cut && b->x == a->cut)
             : !(db > da && a->y + a->length == a->cut && b->y == a->cut))
    return false;
  auto own = [&](int32_t c) { return alongX ? match(h, c, c - da) : match(h, c + da, c); };
  auto next = [&](int32_t c) { return alongX ? match(h, c, c - db) : match(h, c + db, c); };
  const int32_t c0 = a->cut;
  int32_t back = 0, backOwn = 0, backNext = 0;
  while (back < a->length) {
    int o = own(c0 - 1 - back), n = next(c0 - 1 - back);
    if (o && !n)
      break;
    backOwn += o;
    backNext += n;
    ++back;
  }
  int32_t fwd = 0, fwdOwn = 0, fwdNext = 0;
  while (fwd < b->length) {
    int o = own(c0 + fwd), n = next(c0 + fwd);
    if (n && !o)
      break;
    fwdOwn += o;
    fwdNext += n;
    ++fwd;
  }
  if (backOwn == backNext && fwdOwn == fwdNext)
    return false;
  if (fwdOwn - fwdNext > backNext - backOwn) {
    a->length += fwd;
    a->cut += fwd;
    a->identities += fwdOwn;
    b->x += fwd;
    b->y += fwd;
    b->length -= fwd;
    b->identities -= fwdNext;
  } else {
    a->length -= back;
    a->cut -= back;
    a->identities -= backOwn;
    b->x -= back;
    b->y -= back;
    b->length += back;
    b->identities += backNext;
  }
  return true;
}

bool refineHit(Hit *h) {
  for (HitBlock *b = h->firstBlock; b; b = b->next) {
    if (b->next)
      b->length = blockColumns(b);
    b->startX = b->x;
    b->startY = b->y;
    b->usedLength = b->length;
    b->usedMatches = b->identities;
  }
  if (removeEmptyBlocks(h) && !h->firstBlock)
    return false;
  const int32_t initial = CountHitColumns(h, h->firstBlock);
  int32_t best = initial, score = initial;
  while (refinePass(h) && h->firstBlock) {
    rebuildHitFromBlocks(h);
    score = h->score;
    if (score <= best)
      break;
    best = score;
  }
  return score > initial;
}

void refineAction() {
  const uint32_t saved = gCurrent->flagsB;
  gCurrent->flagsB &=
      ~(kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptExpandMaskRepeats | kOptExpandMaskFilter);
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock || (h->flags & kHitApproved) || !HitInArea(h, area))
      continue;
    ++gCurrent->reportFirst;
    try {
      if (refineHit(h))
        ++gCurrent->reportSecond;
    } catch (const EngineAbort &) {
      if (h->firstBlock)
        rebuildHitFromBlocks(h);
      break;
    }
    if (gActionStatus & kStatusStop)
      break;
  }
  gCurrent->flagsB = saved;
  rebuildAroundSelected();
  ui()->requestRepaint();
}
