// A new session from two sequence files: the names, sub-intervals and
// invert-complement requests are already in the two Sequence records. Used
// by the action New, the input lines of a command file and the first step
// of Open.
#pragma once

// Reads both sequences and their repeat annotations; with both present,
// finishes them, sets the engine up for their intervals, applies a requested
// sub-interval and closes the other windows. Returns the number of failures
// (0 = success); a failed read has already shown its error.
int newSession();

// The rest of New once both sequences have residues (also Open's, after it
// has read them and checked the file against them).
void startSessionFromSequences();
