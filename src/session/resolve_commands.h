// The conflict commands of a command file and its undo.
#pragma once

// Fills the reconcile, greedy, optimal, kill and undo hooks of
// gCommandActions (and deleteSelected when nobody has). Idempotent.
void installConflictCommands();
