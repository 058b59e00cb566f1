// Selections of hits by kind, and approval. Each Select* recomputes one kind
// from the current window's mode bit, so it can be rerun after the hit list
// changes.
#pragma once

// Fitted diagonal of the off-diagonal selection: y = a x + b, threshold t.
extern double gDiagonalIntercept, gDiagonalSlope, gDiagonalThreshold;

void SelectAll(bool on);
void SelectHighPValue();
void SelectShort();
void SelectOverlapped();
void SelectOffDiagonal();
void SelectConflicting(bool on);
// Recomputes every selection whose mode bit is set.
void recomputeSelections();

// Approve refuses (and says so) when a hit in the area is in conflict.
bool Approve();
void Disapprove();
