// The set operations of a command file: merge, filter, the selections and
// the score table after "score".
#pragma once

// Fills the merge, filter, select, unselect and scoresChanged hooks.
void installSetCommands();
