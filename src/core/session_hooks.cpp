#include "core/session_hooks.h"

#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"

void rebuildLayoutCells(WindowRecord *w) { memset(w->layout, 0, sizeof w->layout); }

void refreshWindow(WindowRecord *) {}

int openSavedAlignmentFromCommandLine(const char *path) {
  char text[512];
  snprintf(text, sizeof text, "Cannot open %s: opening a saved alignment needs the Open reader.\n",
           path);
  ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
  return 1;
}

void reportOpenAction(int) {}

int readSequenceFile(Sequence *s) { return readSequence(s); }

int readRepeatAnnotations(Sequence *s) { return readRepeats(s); }

void finishSequenceRecord(Sequence *s) { finishSequence(s); }
