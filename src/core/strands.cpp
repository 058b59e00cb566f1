#include "core/strands.h"

#include "core/residue.h"

HitList gOther;
bool gStrandPassRunning = false;

void clearOtherStrand() {
  for (Hit *h = gOther.head1, *next; h; h = next) {
    next = h->next1;
    for (WindowRecord &w : gSlots)
      if (w.selectedHit == h)
        w.selectedHit = nullptr;
    freeHit(h);
  }
  gOther = HitList();
}

void sortOtherStrand() { sortHitOrders(gOther); }

void adoptOtherStrandHits() {
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!onOtherStrand(h))
      continue;
    h->flags &= ~kHitOtherStrand; // off the session's list first
    unlinkHit(h);
    --gHitCount;
    h->flags |= kHitOtherStrand;
    h->next1 = gOther.head1;
    if (gOther.head1)
      gOther.head1->prev1 = h;
    gOther.head1 = h;
  }
  sortOtherStrand();
}

bool otherHitInArea(const Hit *h, const int32_t area[4]) {
  const int32_t length = gSeq2 ? gSeq2->length : 0;
  const int32_t mirrored[4] = {area[0], area[1], length - area[3], length - area[2]};
  return HitInArea(h, mirrored);
}

bool anyHitInArea(const Hit *h, const int32_t area[4]) {
  return onOtherStrand(h) ? otherHitInArea(h, area) : HitInArea(h, area);
}

void otherStrandResidues(int32_t from, int32_t to, std::vector<uint8_t> &out) {
  out.clear();
  for (int32_t i = from; i < to; ++i)
    out.push_back(complementResidue(gSeq2->residues[gSeq2->length - 1 - i]));
}

void turnSequence2Residues() {
  if (!gSeq2)
    return;
  reverseComplement(gSeq2->residues, gSeq2->length);
  gSeq2->flags ^= kSeqInverted | kSeqInvertRequested;
}

void turnSequence2() {
  turnSequence2Residues();
  const int32_t length = gSeq2 ? gSeq2->length : 0;
  for (WindowRecord &w : gSlots) {
    if (!w.window && &w != gCurrent)
      continue;
    const int32_t y0 = w.region[2], y1 = w.region[3];
    w.region[2] = length - y1;
    w.region[3] = length - y0;
    const int32_t a0 = w.selectedArea[1], a1 = w.selectedArea[3];
    w.selectedArea[1] = length - a1;
    w.selectedArea[3] = length - a0;
    w.rememberedPoint[1] = length - w.rememberedPoint[1];
    w.flagsA |= kWinRecount | kWinRepaint;
  }
}

namespace {
// The list's hits marked as the given set, conflict marks cleared.
void markSet(Hit *head, bool other) {
  for (Hit *h = head; h; h = h->next1) {
    h->flags &= ~kHitConflict;
    if (other)
      h->flags |= kHitOtherStrand;
    else
      h->flags &= ~kHitOtherStrand;
  }
}
} // namespace

void exchangeHitSets() {
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock) {
      unlinkHit(h);
      freeHit(h);
      --gHitCount;
    }
  }
  HitList main;
  main.head1 = gHitHead1;
  main.tail1 = gHitTail1;
  main.head2 = gHitHead2;
  main.tail2 = gHitTail2;
  main.count = gHitCount;
  gHitHead1 = gOther.head1;
  gHitTail1 = gOther.tail1;
  gHitHead2 = gOther.head2;
  gHitTail2 = gOther.tail2;
  gHitCount = gOther.count;
  gOther = main;
  markSet(gHitHead1, false);
  markSet(gOther.head1, true);
}
