// Saving the hits as an alignment file. A global file needs the interhits
// aligned too: a quiet Fill aligns them for the occasion and its hits go
// again afterwards, so a save leaves the hits and their flags as they were.
#pragma once

// The Fill run before a global write (the engine's when none is given);
// returns 1 when it gave up.
using GlobalFillFn = int (*)(bool fill, bool quiet);

// Global file at gPathBuffer; refused with a message when hits conflict.
bool SaveGlobalFile(bool windowOnly, GlobalFillFn fill = nullptr);

// Writes the format of the dialog's pattern (after the name has its
// extension): "Unknown file type." for All files. True when written.
bool SaveAlignmentFile(int pattern, bool windowOnly);
