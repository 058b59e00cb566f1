#include "session/command_wiring.h"

#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/report_kinds.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/refine.h"
#include "engine/strands.h"
#include "engine/trim.h"
#include "io/command_actions.h"
#include "ops/journal.h"
#include "output/alignment_files.h"
#include "session/alignment_save.h"
#include "session/command_ids.h"
#include "session/report.h"

namespace {

// Command identifiers of the actions without a dialog, as journaled.
constexpr int32_t kIdAlignNow = 73;
constexpr int32_t kIdExpandNow = 74;
constexpr int32_t kIdTrim = 81;
constexpr int32_t kIdRefine = 82;
constexpr int32_t kIdFill = 83;

void alignCommand() {
  alignAction(true);
  finishCommandAction(kIdAlignNow);
}

void expandCommand() {
  expandAction();
  finishCommandAction(kIdExpandNow);
}

void refineCommand() {
  refineAction();
  finishCommandAction(kIdRefine);
}

void fillCommand() {
  alignOrFill(true, true);
  finishCommandAction(kIdFill);
}

void reverseCommand() {
  startReport(gCurrent, kReportReverse);
  reverseStrands();
  finishCommandAction(kCmdReverse);
}

void trimCommand() {
  trimAction(true);
  finishCommandAction(kIdTrim);
}

// The command's formats are the Save dialog's patterns.
static_assert(kSaveGlobal == kFormatGlobal && kSaveLocal == kFormatLocal &&
                  kSaveSummary == kFormatSummary && kSavePaf == kFormatPaf &&
                  kSaveMaf == kFormatMaf,
              "one numbering of the formats");

void saveCommand(int format) {
  const bool saved = SaveAlignmentFile(format, false);
  gCurrent->reportKind = saved ? kReportSave : kReportSaveFailed;
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  gActionStatus = 0;
  issueCommandReport();
}

} // namespace

void finishCommandAction(int32_t id) {
  gCurrent->flagsB &= ~kOptClearedAfterAction;
  if (outOfMemoryNoted())
    return; // the command file undoes and reports it
  JournalAction(id);
  ui()->requestRepaint();
  issueCommandReport();
}

void issueCommandReport() {
  const bool printed = !gCurrent->window && ui() == &headlessUi();
  const char *line = printed ? ReportLineWhole() : ReportLine();
  ui()->setInfoLine(line);
  if (!printed)
    return;
  size_t n = strlen(line);
  while (n && line[n - 1] == ' ')
    --n;
  printf("%.*s\n", int(n), line);
  fflush(stdout);
  if (gCurrent->reportKind == kReportAlign && gCurrent->reportPiled > 0 && !headlessUi().quiet)
    fprintf(stderr,
            "Caution: %d of the hits pile up on copies of interspersed repeats.\n"
            "    Mask them first: filter create interspersed, then align maskinternal.\n",
            gCurrent->reportPiled);
}

void installConstructCommands() {
  gCommandActions.align = alignCommand;
  gCommandActions.expand = expandCommand;
  gCommandActions.refine = refineCommand;
  gCommandActions.fill = fillCommand;
  gCommandActions.trim = trimCommand;
  gCommandActions.reverse = reverseCommand;
  gCommandActions.save = saveCommand;
}
