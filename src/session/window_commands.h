// What a window's commands do around their actions: report counters and
// kind, the action status, the option flags, the journal record, the
// information line and the repaint. The front end binds the window, guards
// against a running action, shows the dialogs and file choosers, then calls
// these; they need no toolkit and run headless in tests.
#pragma once
#include <cstdint>

// Runs command `id` (CommandId) on the current window. `dialogResult` is
// what its parameter dialog returned (kDialogCancelled, kDialogStored,
// kDialogRun); commands without a dialog pass kDialogRun.
void runWindowCommand(int32_t id, int dialogResult);

// The Select modes with a dialog (high P-value, short) show it only when
// the mode is being switched on.
bool selectionModeOn(int32_t id);

// Which dialog kind a command shows first, or -1.
int dialogKindOfCommand(int32_t id);

// Save and Save Window with the name chosen in the "Save as" dialog and the
// dialog's current pattern (0 global, 1 local, 2 summary, 3 all files).
// An empty name does nothing; one past the system's limit is refused with
// an error. True when written.
bool saveAlignmentAs(const char *chosen, int pattern, bool windowOnly);
// Save Footnotes with the answer of its question (empty: nothing).
bool saveFootnotesAs(const char *chosen);
// Open with the chosen name and pattern; the number of failures, -1 when
// the name was refused.
int openAlignmentAs(const char *chosen, int pattern);

// New around its input dialog. Only a dialog that set up a new session is
// journaled: a new first record would hide unsaved work from the exit
// question.
void beginNewCommand();
void endNewCommand(bool accepted);

// The information line of the current window after a command.
void showCommandReport();
