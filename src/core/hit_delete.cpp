#include "core/hit_delete.h"

#include "core/session.h"

void deleteHit(Hit *hit) {
  const bool wasSelected = gCurrent->selectedHit == hit;
  const int32_t start1 = hit->start1, start2 = hit->start2;
  unlinkHit(hit);
  freeHit(hit);
  --gHitCount;
  if (wasSelected)
    selectNearestHit(start1, start2);
}
