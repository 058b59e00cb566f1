#include "engine/search.h"

void linkSameDiagonal(HitBlock *, HitBlock *) {}
void linkGapped(HitBlock *, HitBlock *, int32_t, int32_t) {}
void commitLink() {}
void finalise(HitBlock *) {}
HitBlock *chainToBlocks(HitBlock *chainEnd) { return chainEnd; }
int32_t makeHit(Hit *, HitBlock *) { return 0; }
int chainForward(HitBlock *) { return 0; }
int chainBackward(HitBlock *, bool) { return 0; }
int searchRegion(Hit *) { return kSearchNormal; }
int bridgeHits(Hit *, Hit *) { return 1; }
