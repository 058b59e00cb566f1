#include "engine/search_internal.h"

int bridgeHits(Hit *, Hit *) { return 1; }
