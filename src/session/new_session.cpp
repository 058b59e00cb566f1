#include "session/new_session.h"

#include <cstdio>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/drivers.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"
#include "ops/journal.h"

namespace {
// The engine's reset for a new pair of intervals (the loaded ones).
void initialiseEngineForIntervals() {
  resetEngine(gSeq1->from, gSeq1->to, gSeq2->from, gSeq2->to);
  clearOtherStrand();
}
} // namespace

int newSession() {
  int failures = 0;
  WindowRecord *w = gCurrent;
  for (int which = 0; which < 2; ++which) {
    Sequence *s = sequenceOf(which);
    if (readSequence(s) == 1) {
      s->flags &= ~kSeqNotRead;
      w->flagsA |= kWinLoaded | kWinRelayout | kWinRepaint | (which ? kWinSeq2 : kWinSeq1);
    } else {
      ++failures;
      s->length = 0;
    }
    snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", s->fileName);
    s->flags |= kSeqMarkRepeats;
    if (readRepeats(s) == 1) {
      s->flags &= ~kSeqRepeatsNotRead;
      w->flagsA |= kWinLoaded | kWinRelayout | kWinRepaint;
    } else {
      ++failures;
    }
  }
  if (gSeq1->length && gSeq2->length) {
    startSessionFromSequences();
  } else {
    // The sequence that could not be read has no residues left: the hits of
    // the session before, its undo records and footnotes would point into it.
    clearHits();
    journalShutdown();
    w->flagsA |= kWinRecount | kWinRepaint;
  }
  gCurrent->flagsA |= kWinSessionPresent;
  gActionStatus = 0;
  return failures;
}

void startSessionFromSequences() {
  finishSequence(gSeq1);
  finishSequence(gSeq2);
  initialiseEngineForIntervals();
  if (gRequested[0] != 0)
    setWindowToRequestedIntervals();
  closeOtherWindows(true);
}
