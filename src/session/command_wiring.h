// Connects the construct and save commands of a command file to the
// engine's drivers and the writers.
#pragma once
#include <cstdint>

// Fills the align, expand, refine, fill, trim and save hooks of
// gCommandActions. Idempotent; called at start-up before a command file runs.
void installConstructCommands();

// What every journaled command does after its action, as the menu handlers
// do: clear the area bits, journal `id`, repaint and report.
void finishCommandAction(int32_t id);

// The information line after a command: shown on the current window, and
// printed on stdout when there is no window to show it (headless).
void issueCommandReport();
