// Conflicts: two hits are collinear when one lies entirely before the other
// in both sequences; otherwise they are in conflict.
#pragma once
#include <cstdint>

#include "core/records.h"

// Recomputes the conflict flag of every hit of the session from the two
// list orders; touching ends are no conflict.
void MarkConflicts();

// When the current window's recount bit is set: clears it and counts the
// hits with blocks in the window's region and those of them in conflict.
void CountWindowHits();

// a ends before b starts in both sequences (touching allowed).
inline bool hitPrecedes(const Hit *a, const Hit *b) {
  return a->end1 <= b->start1 && a->end2 <= b->start2;
}

constexpr int32_t kGreedyConflictLimit = 400000;
constexpr int32_t kReconcileConflictLimit = 100000;

// Before Greedy, Optimal and Reconcile: with at least `limit` conflicting
// hits in the window, asks whether to go on ("Sorry", Yes/No). `name` is
// "Greedy algorithm", "To construct optimal chain" or "Reconcility". True
// when the action may run.
bool ConfirmConflictLimit(int32_t limit, const char *name);
