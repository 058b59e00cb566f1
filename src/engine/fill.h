// Fill: every interhit (the pair of segments between two successive hits)
// is aligned end to end. The region loop is the shared driver's; this is
// the step it runs on each region.
#pragma once
#include "core/records.h"

// Aligns the region record's two segments and turns the record into a hit
// flagged 0x200 (new-hits counter + 1). Sides above 5000 are left alone.
// Returns the search code of the unit.
int fillRegion(Hit *region);
