// libFuzzer target: arbitrary bytes as a saved alignment, opened the way
// Open does (header, then the local, global or summary body) against three
// small sequence files beside it, then worked on as a user would: Align,
// Expand, Merge, Reconcile, Greedy and a save into the folder. Every hit,
// of either strand, must lie inside both sequences, its column walk must
// stay inside their residues, its saved rows must agree with its header,
// and a failed Open must leave the session as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/session.h"
#include "core/strands.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "fuzz_input.h"
#include "fuzz_session.h"
#include "io/alignment_reader.h"
#include "session/new_session.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.loc_align");
  fuzz::setUpActions(gPath);
  return 0;
}

// What a failed Open must not change.
static std::string describeSession() {
  std::string d;
  char line[600];
  for (int i = 0; i < 2; ++i) {
    const Sequence *s = sequenceOf(i);
    snprintf(line, sizeof line, "%s %d %d %d %d|", s->fileName, s->length, s->flags, s->from,
             s->to);
    d += line;
  }
  const WindowRecord *w = gCurrent;
  snprintf(line, sizeof line, "%g %d %d %d %d %d %d %d %d %d|", w->pValue, w->mergeMaxDistance,
           w->score.match, w->score.mismatch, w->alignIsland.matchesPerFrame,
           w->alignIsland.frameLength, w->expandIsland.minTotalMatches, gRequested[0],
           gRequested[3], w->region[1]);
  d += line;
  for (const Hit *h = gHitHead1 ? gHitHead1 : gOther.head1; h; h = h->next1 ? h->next1
                                                                   : onOtherStrand(h)
                                                                       ? nullptr
                                                                       : gOther.head1) {
    snprintf(line, sizeof line, "%c%d %d %d %d", onOtherStrand(h) ? '-' : '/', h->start1, h->end1,
             h->start2, h->end2);
    d += line;
    for (const HitBlock *b = h->firstBlock; b; b = b->next) {
      snprintf(line, sizeof line, " %d,%d,%d", b->x, b->y, b->length);
      d += line;
    }
  }
  return d;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::freshSession();
  writeFuzzInput(gPath, data, size);
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", gPath.c_str());
  const std::string before = describeSession();
  int failures = OpenAlignment();
  if (failures < 0 || (failures > 0 && describeSession() != before))
    abort();
  if (!fuzz::hitsInside())
    abort();
  if (failures > 0 || !gSeq1->length || !gSeq2->length)
    return 0;
  // The file's own rows may set opposite gaps side by side; what the
  // actions make may not, unless it came from them.
  snprintf(gPathBuffer, sizeof gPathBuffer, "opened.loc_align");
  gCommandActions.save(kSaveLocal);
  fuzz::checkRows(fuzz::gFolder + "/opened.loc_align", false);
  const bool oppositeGaps = fuzz::rowsFault(fuzz::gFolder + "/opened.loc_align", true).empty();
  fuzz::workAndSave(oppositeGaps);
  return 0;
}
