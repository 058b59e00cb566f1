// Hits by their four coordinates, and the two list orders as vectors, for
// tests of the list rebuild and of anything that walks the hit lists.
#pragma once
#include <cstdint>
#include <vector>

#include "core/records.h"

// A one-block hit over [s1, e1) x [s2, e2), pushed at the head of the main
// list (lists are stale until rebuildLists). The block covers the shorter
// side, all identities.
Hit *makeTestHit(int32_t s1, int32_t e1, int32_t s2, int32_t e2);

// The main list (next1) and the second list (next2) from their heads.
std::vector<Hit *> mainListOrder();
std::vector<Hit *> secondListOrder();
