#include "core/hit_delete.h"

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"

void deleteHit(Hit *hit) {
  const bool wasSelected = gCurrent->selectedHit == hit;
  const int32_t start1 = hit->start1, start2 = hit->start2;
  const bool other = onOtherStrand(hit);
  unlinkHit(hit);
  freeHit(hit);
  --(other ? gOther.count : gHitCount);
  if (wasSelected)
    selectNearestHit(start1, start2);
}
