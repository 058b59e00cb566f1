// The pane walk's template body; included by hit_text.h.
#pragma once
#include "core/records.h"
#include "core/session.h"

#include <vector>

template <typename Visit>
void paneWalk(const Hit *hit, int32_t leftFlank, int32_t rightFlank, Visit visit) {
  std::vector<uint8_t> other;
  const uint8_t *r1 = gSeq1->residues + hit->start1;
  const uint8_t *r2 = paneSequence2(hit, leftFlank, rightFlank, other);
  for (int32_t i = leftFlank; i < 0; ++i)
    visit(uint8_t(r1[i] | kPaneFlank), uint8_t(r2[i] | kPaneFlank));
  for (const HitBlock *b = hit->firstBlock; b; b = b->next) {
    for (int32_t i = 0; i < b->length; ++i)
      visit(r1[b->x + i], r2[b->y + i]);
    if (!b->next)
      break;
    int32_t p1 = b->x + b->length, p2 = b->y + b->length;
    while (p1 < b->next->x || p2 < b->next->y) {
      if (p1 < b->next->x)
        visit(r1[p1++], kPaneGap);
      if (p2 < b->next->y)
        visit(kPaneGap, r2[p2++]);
    }
  }
  const int32_t e1 = hit->end1 - hit->start1, e2 = hit->end2 - hit->start2;
  for (int32_t i = 0; i < rightFlank; ++i)
    visit(uint8_t(r1[e1 + i] | kPaneFlank), uint8_t(r2[e2 + i] | kPaneFlank));
}
