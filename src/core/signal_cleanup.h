// Files a run removes itself when it ends normally, but that a signal
// (SIGINT, SIGTERM, SIGHUP) would leave behind: the journal's temporary
// files and the hidden file of a save in progress. The handler removes them
// and lets the signal end the program; it is installed only where nobody
// else (the toolkit) has claimed the signal.
#pragma once

enum CleanupSlot { kCleanupUndo, kCleanupFoot, kCleanupSave, kCleanupSlots };

// The file to remove for `slot`; null or "" clears it.
void setRemoveOnSignal(int slot, const char *name);
