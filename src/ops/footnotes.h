// Footnotes: hits set aside from the alignment (Move to footnotes, Greedy
// with its footnote option). They collect in a temporary file that lives
// as long as the journal and survive Undo and Redo.
#pragma once
#include "core/records.h"

// Appends the hit's entry (a hit without blocks is skipped, true). False
// when the footnote file is missing or the write failed; the reason has been
// shown and the caller must keep the hit.
bool AppendFootnote(const Hit *hit);
