#include "core/session_hooks.h"

#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"

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

int readSequenceFile(Sequence *s) {
  char text[600];
  snprintf(text, sizeof text, "Cannot read %s: the sequence reader is not built in.\n",
           s->fileName);
  ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
  return kErrInternal;
}

int readRepeatAnnotations(Sequence *s) {
  if ((s->flags & kSeqNotRead) || s->length == 0)
    return 2;
  return 1;
}

void finishSequenceRecord(Sequence *) {}
