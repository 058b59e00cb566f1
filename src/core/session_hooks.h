// Calls from start-up and the session lifecycle into units that are built
// elsewhere. Each hook has a plain default here; the owner of the unit
// replaces the body with the real call.
#pragma once
#include <cstdint>

struct WindowRecord;

// Rebuilds the window's 24 layout cells from the view's constant template.
void rebuildLayoutCells(WindowRecord *w);

// Recount and report of a window whose region or hits changed.
void refreshWindow(WindowRecord *w);

// Command-line argument that is not a command file: read it as a saved local
// alignment (the path is already in the path buffer). Returns the number of
// failures (0 = opened).
int openSavedAlignmentFromCommandLine(const char *path);

// The action report of Open after the command-line open above.
void reportOpenAction(int failures);
