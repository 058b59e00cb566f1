// The actions that resolve conflicts on the current window's area. Each
// sets the window's report counters (first: hits looked at or pairs tried,
// second: hits deleted or pairs reconciled); the caller has set the report
// kind and journals the action afterwards.
#pragma once
#include <cstdint>

// Keeps hits in order of score and deletes each hit that conflicts with a
// better one already kept (into the footnotes when the window asks so).
void GreedyResolve();

// Marks every hit of the area not-on-chain (0x10), then clears the mark on
// the chain of collinear hits with the largest total score. False when it
// was interrupted or lacked memory: the marks are then put back as they
// were and the following DeleteMarked(0) deletes nothing.
bool OptimalChain();

// Deletes every hit of the area that is in conflict.
void KillConflicting();

// Trims the ends of slightly overlapping hits so that they become collinear.
void Reconcile();

// Deletion over the window's region. Mode 0 (after OptimalChain): the
// unapproved hits marked not-on-chain. Mode 1 (Delete) and 2 (Move to
// footnotes): the unapproved selected hits, or the selected hit when none
// is marked. Mode 2 keeps a hit whose footnote could not be written.
void DeleteMarked(int mode);

// OptimalChain followed by DeleteMarked(0).
void OptimalAction();
