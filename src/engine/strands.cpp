#include "engine/strands.h"

#include "core/session.h"
#include "core/strands.h"
#include "engine/columns.h"
#include "engine/drivers.h"

void reverseStrands() {
  WindowRecord *w = gCurrent;
  exchangeHitSets(); // drops the placeholder, and any selection of it
  Hit *selected[kSlotCount];
  for (int i = 0; i < kSlotCount; ++i)
    selected[i] = gSlots[i].selectedHit;
  turnSequence2();
  sortOtherStrand();
  if (!gHitHead1)
    resetEngine(w->block[0], w->block[1], w->block[2], w->block[3]);
  else
    rebuildLists(w->region[0], w->region[2]);
  for (int i = 0; i < kSlotCount; ++i)
    if (selected[i])
      gSlots[i].selectedHit = selected[i];
}

void scoreOtherStrand() {
  if (!gOther.head1 || !gSeq1 || !gSeq1->residues || !gSeq2 || !gSeq2->residues)
    return;
  OtherStrandResidues turned;
  for (Hit *h = gOther.head1; h; h = h->next1)
    if (h->firstBlock)
      h->score = CountHitColumns(h, h->firstBlock);
}
