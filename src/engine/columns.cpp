#include "engine/columns.h"

#include <algorithm>

#include "core/residue.h"
#include "core/session.h"

ColumnCounts gHitCounts;

namespace {

// b's diagonal runs on to where n starts in one sequence; the gap, if any,
// is in the other.
void setCutAt(HitBlock *b, const HitBlock *n) {
  b->length = std::min(n->x - b->x, n->y - b->y);
  if (n->x == b->x + b->length) {
    b->linkKind = 0;
    b->cut = n->x;
  } else {
    b->linkKind = 1;
    b->cut = n->y;
  }
}

} // namespace

bool closeOppositeGaps(const uint8_t *s1, const uint8_t *s2, HitBlock *first) {
  bool changed = false;
  for (HitBlock *b = first; b && b->next;) {
    HitBlock *n = b->next;
    int32_t diagonal = b->length;
    if (b->linkKind == 1)
      diagonal = std::min(diagonal, b->cut - b->y);
    else
      diagonal = std::min(diagonal, b->cut - b->x);
    diagonal = std::max(diagonal, 0);
    const int32_t a1 = b->x + diagonal, a2 = b->y + diagonal;
    // A successor that starts before b's end would be walked from b's end,
    // off its own diagonal: it starts there, or goes if nothing is left.
    const int32_t behind = std::max(a1 - n->x, a2 - n->y);
    if (behind > 0) {
      changed = true;
      if (behind < n->length) {
        n->x += behind;
        n->y += behind;
        n->length -= behind;
      } else {
        b->next = n->next;
        if (n->next) {
          n->next->prev = b;
        } else {
          b->length = diagonal;
          b->linkKind = b->cut = 0;
        }
        freeBlock(n);
        continue;
      }
    }
    const int32_t pairs = std::min(n->x - a1, n->y - a2);
    if (pairs <= 0) {
      if (behind > 0)
        setCutAt(b, n);
      b = n;
      continue;
    }
    // The pairs either continue b's diagonal or lead into n's.
    int32_t onB = 0, onN = 0;
    for (int32_t i = 0; i < pairs; ++i) {
      onB += IdentityTable[s1[a1 + i] & 31][s2[a2 + i] & 31];
      onN += IdentityTable[s1[n->x - pairs + i] & 31][s2[n->y - pairs + i] & 31];
    }
    if (onN > onB) {
      n->x -= pairs;
      n->y -= pairs;
      n->length += pairs;
      b->length = diagonal;
    } else {
      b->length = diagonal + pairs;
    }
    setCutAt(b, n);
    changed = true;
    b = n;
  }
  return changed;
}

void WalkHitColumns(const Hit *hit, HitBlock *firstBlock, ColumnSink &sink) {
  if (!firstBlock)
    return;
  const uint8_t *s1 = gSeq1->residues + hit->start1;
  const uint8_t *s2 = gSeq2->residues + hit->start2;
  int32_t a1 = firstBlock->x, a2 = firstBlock->y;
  sink.first = true;
  sink.last = false;
  for (HitBlock *b = firstBlock; b; b = b->next) {
    int32_t end1 = b->x + b->length, end2 = b->y + b->length;
    if (b->next) {
      if (b->linkKind == 1)
        end2 = b->cut;
      else
        end1 = b->cut;
    }
    b->identities = 0;
    while (a1 < end1 && a2 < end2) {
      uint8_t r1 = s1[a1], r2 = s2[a2];
      // N agrees with A here: the block figures only look at the base bits.
      if (((r1 ^ r2) & 3) == 0)
        ++b->identities;
      sink.last = !b->next && (a1 + 1 >= end1 || a2 + 1 >= end2);
      sink.column(r1, r2);
      sink.first = false;
      ++a1;
      ++a2;
    }
    b->blockScore = (2 * b->identities - b->length) * 100;
    sink.last = false;
    if (!b->next)
      break;
    end1 = b->next->x;
    end2 = b->next->y;
    while (a1 < end1 || a2 < end2) {
      if (a1 < end1)
        sink.column(s1[a1++], kGapCode);
      if (a2 < end2)
        sink.column(kGapCode, s2[a2++]);
    }
  }
}

void CountingSink::column(uint8_t r1, uint8_t r2) {
  if (r1 != kGapCode)
    ++counts.residues1;
  if (r2 != kGapCode)
    ++counts.residues2;
  if (r1 == kGapCode || r2 == kGapCode) {
    ++pendingGap;
    return;
  }
  if (IdentityTable[r1 & 31][r2 & 31])
    ++counts.matches;
  else
    ++counts.mismatches;
  if (pendingGap) {
    ++counts.gaps;
    counts.gapLength += pendingGap;
    pendingGap = 0;
  }
}

int32_t CountingSink::score() const {
  return 100 * (counts.matches - counts.mismatches - 3 * counts.gaps - counts.gapLength);
}

int32_t CountHitColumns(const Hit *hit, HitBlock *firstBlock, ColumnCounts *counts) {
  CountingSink sink;
  WalkHitColumns(hit, firstBlock, sink);
  gHitCounts = sink.counts;
  if (counts)
    *counts = sink.counts;
  return sink.score();
}
