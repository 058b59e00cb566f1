#include <cstdlib>

#include "core/flags.h"
#include "core/report_kinds.h"
#include "core/session.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "engine/trim.h"
#include "ops/merge.h"
#include "ops/resolve.h"

namespace {
struct Sums {
  int32_t first = 0, second = 0;
  void add(const WindowRecord *w) {
    first += std::abs(w->reportFirst);
    second += std::abs(w->reportSecond);
  }
};

bool stopAsked() { return gActionStatus & kStatusStop; }

// Runs one step inside the action canvas with fresh counters.
template <typename Step> void canvasStep(WindowRecord *w, int32_t kind, Step step) {
  startReport(w, kind);
  openActionCanvas();
  step();
  closeActionCanvas();
}
} // namespace

void CompoundAction() {
  WindowRecord *w = gCurrent;
  const uint32_t steps = w->flagsB;
  Sums sums;
  do {
    if (steps & kOptCompoundAlign) {
      alignOrFill(false, false);
      sums.add(w);
      if (stopAsked())
        break;
    }
    if (steps & kOptCompoundExpand) {
      expandAction();
      sums.add(w);
      if (stopAsked())
        break;
    }
    if (steps & kOptCompoundMerge) {
      canvasStep(w, kReportMerge, MergeHits);
      sums.add(w);
      if (stopAsked())
        break;
    }
    if (steps & kOptCompoundTrim) {
      canvasStep(w, kReportTrim, [] { trimAction(true); });
      sums.add(w);
      if (stopAsked())
        break;
    }
    if (steps & kOptCompoundReconcile) {
      const int32_t elongation = w->score.gapElongation;
      w->score.gapElongation = 0;
      canvasStep(w, kReportReconcile, Reconcile);
      w->score.gapElongation = elongation;
      sums.add(w);
    }
  } while (false);
  w->reportKind = kReportCompound;
  w->reportFirst = sums.first;
  w->reportSecond = sums.second;
}
