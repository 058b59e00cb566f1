// The windowed program: toolkit application, settings, the ten windows,
// the command line and the event loop.
#pragma once

// Returns the exit status, or -1 (before any window exists) when no display
// can be opened, so the caller can run headless instead.
int runWindowed(int argc, char **argv);
