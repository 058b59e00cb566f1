#include "session/sequence_commands.h"

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/alignment_reader.h"
#include "io/command_actions.h"
#include "ops/journal.h"
#include "session/command_wiring.h"
#include "session/new_session.h"
#include "session/report.h"

namespace {

constexpr int32_t kIdNew = 65;

// What the menu's New does around the input dialog, without the dialog.
int newSessionCommand() {
  WindowRecord *w = gCurrent;
  w->flagsB &= ~kOptClearedAfterAction;
  w->flagsA &= ~kWinLoaded;
  int failures = newSession();
  gCurrent->flagsA |= kWinRecount;
  gActionStatus = 0;
  gCurrent->reportKind = kReportNone;
  if (failures == 0)
    JournalAction(kIdNew);
  ui()->requestRepaint();
  issueCommandReport();
  return failures;
}

} // namespace

void installSequenceCommands() { gCommandActions.newSession = newSessionCommand; }

int openAlignmentCommand() {
  int failures = OpenAlignment();
  JournalAction(kIdOpen);
  ui()->requestRepaint();
  issueCommandReport();
  return failures;
}

void installOpenCommand() {
  setOpenStartSession(startSessionFromSequences);
  gCommandActions.openAlignment = openAlignmentCommand;
}
