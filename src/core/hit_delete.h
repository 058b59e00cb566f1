// Deleting a hit: the one way every deletion of the set operations goes.
#pragma once
#include "core/records.h"

// Unlinks the hit from both lists, recycles it and its blocks, and moves the
// current window's selection to the hit nearest the deleted one's start.
void deleteHit(Hit *hit);
