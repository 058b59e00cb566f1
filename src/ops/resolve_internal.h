// Helpers shared by the conflict actions.
#pragma once
#include <cstdint>

// The selected hit's start, or the region's start, for reselection after
// the lists are rebuilt.
void rememberActionPoint(int32_t &x, int32_t &y);

// Advances the progress by one step, lets the progress display run when due
// and tells whether the user asked to stop.
bool resolveStepStopped();

// Set by a completed OptimalChain; DeleteMarked(0) consumes it.
extern bool gOptimalMarksValid;

// Reconcile's pair operation along sequence 1 (which = 0) or 2: h and g, h
// first in that sequence's order, cut at the best crossing point between
// them. True when they were.
bool reconcilePair(Hit *h, Hit *g, int which, const int32_t area[4]);
