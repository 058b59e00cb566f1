// Merge joins hits that come close into single hits and removes hits that
// duplicate another's start or end; Compound runs a chosen series of steps.
#pragma once

// Merge over the current window's area. First report counter: candidate
// pairs tried; second: hits that disappeared, counted downwards.
void MergeHits();
// Runs the steps chosen in flagsB; leaves the sums with report kind 9.
void CompoundAction();
