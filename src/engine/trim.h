// Trim: a hit is reduced to its subalignment of maximal score (the best
// local part of its own column walk). Approved hits are never trimmed.
#pragma once
#include <cstdint>

#include "core/records.h"

// Weights of the trim walk. Trim, Expand and Align point them at the
// current window's set; Reconcile at its own. Null: the current window's.
extern const ScoreParams *gTrimWeights;

// True when the hit changed; a hit with no positive-scoring part is deleted
// (also true).
bool trimHit(Hit *hit);

// Trim over the active area: every hit with blocks that is not approved
// and, unless `all`, was made by the latest Align (flag 0x200).
void trimAction(bool all);

// Number of diagonal columns the walk takes from a block: its own length,
// or less when the next block's cut falls inside it.
int32_t blockColumns(const HitBlock *b);

// Identities of a block under the walk's rule (equal base bits).
int32_t countBlockIdentities(const Hit *hit, const HitBlock *b);

// Re-sorts the hit lists and recomputes conflicts around the selected hit,
// or the window's lower corner when none is selected.
void rebuildAroundSelected();
