// Layer 6 of 8, session: start-up, New, the exit question, the command
// wiring and the report line. Uses core to io; sets the hooks below.
//
// The steps of start-up and shut-down that do not depend on the front end,
// shared by the windowed program and the headless command-file run.
#pragma once
#include <cstdint>

class VelkWindow;

// Slot 0 current with default parameters, comparison tables, pools and reader
// buffers, journal state, ticker. False when the general pool cannot be set
// up (already reported).
bool startSessionCore();

struct CommandLineResult {
  uint32_t status = 0;  // runCommandFile's code with the error, interrupted and exit bits
  int openFailures = 0; // argument opened as a saved alignment: its failures
};

// Runs the program's argument: as a command file, or, when it does not begin
// with "start", as a saved alignment shown in `root` (null when headless).
// An error asks for the exit, an interrupted action keeps the program open.
CommandLineResult runCommandLine(const char *arg, VelkWindow *root);

// Ticker stopped, pools released.
void shutDownSessionCore();
