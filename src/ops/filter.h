// The filter: residues that Align and Expand can mask (periodic stretches,
// piles of hits and interspersed repeats), kept in bit 4 of the residue
// codes.
#pragma once

enum FilterMode { kFilterCreate = 0, kFilterUpdate = 1, kFilterDelete = 2 };

// Applies the filter options of the current window to sequence 0 or 1.
void ApplyFilter(int sequenceIndex, int mode);

// Adds the interspersed repeats of sequence 0 or 1 to its filter. The word
// counts of the pair are kept from sequence 0's call for sequence 1's.
void AddInterspersedRepeats(int sequenceIndex);
