// libFuzzer target: arbitrary bytes as a saved alignment, opened the way
// Open does (header, then the local, global or summary body) against three
// small sequence files beside it. Every hit made, of either strand, must
// lie inside both sequences, its column walk must stay inside their
// residues, and a failed Open must leave the session as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/session.h"
#include "core/strands.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "fuzz_input.h"
#include "io/alignment_reader.h"
#include "session/new_session.h"

static std::string gPath;

static void copyFile(const std::string &from, const std::string &to) {
  FILE *in = fopen(from.c_str(), "rb");
  FILE *out = fopen(to.c_str(), "wb");
  if (!in || !out)
    abort();
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
    fwrite(buffer, 1, n, out);
  fclose(in);
  fclose(out);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.loc_align");
  buildResidueTables();
  setOpenStartSession(startSessionFromSequences);
  const std::string dir = gPath.substr(0, gPath.rfind('/') + 1);
  for (const char *name : {"a.fa", "b.fa", "b_rc.fa"})
    copyFile(std::string(VELK_FUZZ_SEQUENCES "/") + name, dir + name);
  return 0;
}

static bool inside(const Hit *h) {
  if (h->start1 < 0 || h->start2 < 0 || h->end1 > gSeq1->length || h->end2 > gSeq2->length)
    return false;
  for (const HitBlock *b = h->firstBlock; b; b = b->next) {
    int64_t x = int64_t(h->start1) + b->x, y = int64_t(h->start2) + b->y;
    if (b->length < 1 || x < 0 || y < 0 || x + b->length > gSeq1->length ||
        y + b->length > gSeq2->length)
      return false;
  }
  return true;
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
  writeFuzzInput(gPath, data, size);
  gCurrent = &gSlots[0];
  resetSlotDefaults(gCurrent);
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", gPath.c_str());
  const std::string before = describeSession();
  int failures = OpenAlignment();
  if (failures < 0 || (failures > 0 && describeSession() != before))
    abort();
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    if (!inside(h))
      abort();
    CountHitColumns(h, h->firstBlock);
  }
  // The other strand's hits: inside too, and walked along that strand.
  OtherStrandResidues turned;
  for (Hit *h = gOther.head1; h; h = h->next1) {
    if (!h->firstBlock || !onOtherStrand(h) || !inside(h))
      abort();
    CountHitColumns(h, h->firstBlock);
  }
  return 0;
}
