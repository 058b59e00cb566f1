// Connects the construct and save commands of a command file to the
// engine's drivers and the writers.
#pragma once

// Fills the align, expand, refine, fill, trim and save hooks of
// gCommandActions. Idempotent; called at start-up before a command file runs.
void installConstructCommands();

// The information line after a command: shown on the current window, and
// printed on stdout when there is no window to show it (headless).
void issueCommandReport();
