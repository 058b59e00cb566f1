// The set operations of a command file: merge, filter and the selections.
#pragma once

// Fills the merge, filter, select and unselect hooks of gCommandActions.
void installSetCommands();
