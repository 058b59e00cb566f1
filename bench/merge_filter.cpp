// Merge and filter creation on the hits of a real megabase pair.
// usage: bench_merge_filter SEQ1.fa SEQ2.fa
// Aligns the pair once (hash Align, default parameters), then times Merge
// and the filter of both sequences against that Align in the same run.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/pool.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/scores.h"
#include "ops/filter.h"
#include "ops/merge.h"
#include "session/new_session.h"
#include "session/report.h"

static double seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

static int countHits() {
  int n = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock)
      ++n;
  return n;
}

static int countFiltered(const Sequence *s) {
  int n = 0;
  for (int32_t i = 0; i < s->length; ++i)
    n += (s->residues[i] & kResFilter) != 0;
  return n;
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SEQ1.fa SEQ2.fa\n", argv[0]);
    return 2;
  }
  headlessUi().quiet = true;
  buildResidueTables();
  if (!initSessionMemory())
    return 1;
  closeOtherWindows(false);
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s", argv[1]);
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s", argv[2]);
  if (newSession() != 0) {
    fprintf(stderr, "cannot read the pair\n");
    return 1;
  }
  printf("pair: %d x %d\n", gSeq1->length, gSeq2->length);

  auto t0 = std::chrono::steady_clock::now();
  alignAction(true);
  gActionStatus = 0;
  const double align = seconds(t0);
  const int afterAlign = countHits();
  printf("align:  %8.2f s  hits %d\n", align, afterAlign);

  t0 = std::chrono::steady_clock::now();
  startReport(gCurrent, kReportMerge);
  MergeHits();
  gActionStatus = 0;
  const double merge = seconds(t0);
  printf("merge:  %8.2f s  hits %d -> %d (tried %d)  ratio to align %.3f\n", merge, afterAlign,
         countHits(), gCurrent->reportFirst, merge / align);

  gCurrent->flagsB |= kOptFilterPeriodic | kOptFilterPiles;
  t0 = std::chrono::steady_clock::now();
  ApplyFilter(0, kFilterCreate);
  ApplyFilter(1, kFilterCreate);
  const double filter = seconds(t0);
  printf("filter: %8.2f s  filtered residues %d + %d  ratio to align %.3f\n", filter,
         countFiltered(gSeq1), countFiltered(gSeq2), filter / align);
  return 0;
}
