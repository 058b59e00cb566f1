// The filter: residues that Align and Expand can mask (periodic stretches
// and piles of hits), kept in bit 4 of the residue codes.
#pragma once

enum FilterMode { kFilterCreate = 0, kFilterUpdate = 1, kFilterDelete = 2 };

// Applies the filter options of the current window to sequence 0 or 1.
void ApplyFilter(int sequenceIndex, int mode);
