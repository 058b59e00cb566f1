// Shared by the driver files only.
#pragma once
#include "core/records.h"

// Unlinks and recycles a hit; the caller rebuilds the lists afterwards.
void deleteNow(Hit *h);

// A chain that starts near h's own alignment found part of it again. One
// that starts far from it, though inside h's box, is another alignment: a
// repeat, as a sequence against itself shows off the diagonal.
bool startsOnPath(const Hit *h, const Hit *other);
