#include "core/session_hooks.h"

#include <cstring>

#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"
#include "io/alignment_reader.h"
#include "io/command_wiring.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"

void rebuildLayoutCells(WindowRecord *w) { memset(w->layout, 0, sizeof w->layout); }

void refreshWindow(WindowRecord *w) {
  w->flagsA |= kWinRecount | kWinRepaint;
  ui()->requestRepaint();
}

int openSavedAlignmentFromCommandLine(const char *) { return OpenAlignment(); }

void reportOpenAction(int) { issueCommandReport(); }

int readSequenceFile(Sequence *s) { return readSequence(s); }

int readRepeatAnnotations(Sequence *s) { return readRepeats(s); }

void finishSequenceRecord(Sequence *s) { finishSequence(s); }
