#include "core/session_hooks.h"

#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"
#include "io/alignment_reader.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"
#include "ops/journal.h"

void rebuildLayoutCells(WindowRecord *w) { memset(w->layout, 0, sizeof w->layout); }

void refreshWindow(WindowRecord *) {}

int openSavedAlignmentFromCommandLine(const char *) {
  int failures = OpenAlignment();
  // Journaled as the menu's Open is, so that Undo and the exit question
  // work for a session opened from the command line.
  JournalAction(67);
  return failures;
}

void reportOpenAction(int) {}

int readSequenceFile(Sequence *s) { return readSequence(s); }

int readRepeatAnnotations(Sequence *s) { return readRepeats(s); }

void finishSequenceRecord(Sequence *s) { finishSequence(s); }
