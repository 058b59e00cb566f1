// Align's "extend": each new hit grown past both ends by a banded gapped
// alignment under scores milder than the fixed ones, as far as it keeps
// within a fall of its best, so that a diverged copy is followed through
// the weak, gap-dense stretches where the islands stop.
#pragma once
#include <cstdint>

// The fall allowed below the best score so far, in hundredths of a match,
// and the diagonals either side of an end the extension may wander.
constexpr int32_t kExtendDrop = 8000;
constexpr int32_t kExtendBand = 200;
// The search under "extend" keeps hits up to this many times the maximal
// P-value (the word search keeps every chain): seeds of older copies rarely
// pass alone, and the P-value judges them once extended.
constexpr double kExtendSearchLoosening = 1e4;

// Extends every new hit of the action area within it, then judges it by the
// maximal P-value: an extension that fails is cut to its best part as the
// P-value scores it, or dropped; a hit that fails even so goes. A hit inside
// an extended one, on its alignment, goes too. Returns the hits extended.
// The lists must be rebuilt after.
int32_t extendNewHits(int32_t drop, int32_t band);

// After the extension: a new hit whose box lies inside another's and that
// starts on its alignment is a fragment of it and goes. Expects sorted
// lists; returns the hits removed.
int32_t removeExtendedFragments();

// After the extension: two seeds of one copy a few diagonals apart grow
// into two alignments side by side, as the second may not run onto the
// first. Where this share (in percent) of the shorter hit's aligned columns
// lie within this many diagonals of the other's at the same residue of
// sequence 1, the one that clears the maximal P-value by less goes, if new.
// Hits within twice as many diagonals of the diagonal (a short unit's
// tandem copies, a hit beside its mirror image) are left alone. Returns the
// hits removed.
constexpr int32_t kDuplicateDiagonals = 8;
constexpr int64_t kDuplicateShare = 80;
int32_t removeExtendedDuplicates();
