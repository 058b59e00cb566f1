#include "engine/fill.h"

#include "engine/nw.h"

int fillRegion(Hit *region) { return alignRegionNW(region, kNwMakeHit); }
