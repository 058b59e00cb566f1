#include "engine/search.h"

void scanDiagonal(int32_t, int32_t) {}
HitBlock *scanDiagonalBounded(int32_t, int32_t, int32_t, int32_t) { return nullptr; }
int seedByWords(Hit *) { return kSearchNormal; }
bool extendFrameForward(HitBlock *, int32_t) { return false; }
bool extendFrameBackward(HitBlock *, int32_t, bool) { return false; }
