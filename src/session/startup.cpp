#include "session/startup.h"

#include <cstdio>

#include "core/lifecycle.h"
#include "core/pool.h"
#include "core/session.h"
#include "core/session_hooks.h"
#include "core/ticker.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "io/alignment_reader.h"
#include "io/command_file.h"
#include "ops/journal.h"
#include "session/command_wiring.h"
#include "session/report.h"
#include "session/resolve_commands.h"
#include "session/sequence_commands.h"
#include "session/set_commands.h"

bool startSessionCore() {
  closeOtherWindows(false);
  buildResidueTables();
  if (!initSessionMemory()) {
    ui()->messageBox("Error", "ERROR: Cannot create heap.\n", Buttons::Ok, kAnswerOk);
    return false;
  }
  journalShutdown(); // a clean journal: no files, state numbers 0
  gTicker.start();
  installConstructCommands();
  installOpenCommand();
  installSequenceCommands();
  installConflictCommands();
  installSetCommands();
  setProgressLine(ReportLineProgress);
  return true;
}

CommandLineResult runCommandLine(const char *arg, VelkWindow *root) {
  CommandLineResult r;
  if (!arg || !*arg)
    return r;
  r.status = runCommandFile(arg);
  if (r.status == 2 && isStandardInputName(arg)) {
    // What was read is gone: it cannot be opened as a saved alignment.
    ui()->messageBox("Error",
                     "ERROR: The standard input holds no command file (its first line must be "
                     "\"start\").\n",
                     Buttons::Ok, kAnswerOk);
    r.status = kRunError;
  } else if (r.status == 2) {
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", arg);
    gCurrent->window = root;
    r.openFailures = OpenAlignment();
    JournalAction(kIdOpen); // so that Undo and the exit question know the session
    // The read may have rebound slots; fall back to slot 0 without a window.
    WindowRecord *slot = nullptr;
    for (WindowRecord &w : gSlots)
      if (root && w.window == root) {
        slot = &w;
        break;
      }
    if (!slot) {
      slot = &gSlots[0];
      slot->window = nullptr;
    }
    gCurrent = slot;
    refreshWindow(gCurrent);
    issueCommandReport();
  }
  if (r.status & kRunError)
    r.status |= kRunExitRequested;
  if (r.status & kRunInterrupted)
    r.status &= ~kRunExitRequested;
  gActionStatus = 0;
  return r;
}

void shutDownSessionCore() {
  gTicker.stop();
  releaseSessionMemory();
}
