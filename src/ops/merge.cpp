#include "ops/merge.h"

#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/session.h"
#include "engine/progress.h"
#include "engine/search.h"

static bool sameStartOrEnd(const Hit *a, const Hit *b) {
  return (a->start1 == b->start1 && a->start2 == b->start2) ||
         (a->end1 == b->end1 && a->end2 == b->end2);
}

// One pass over the hits of the area; true when it changed something.
static bool mergePass(const int32_t area[4]) {
  WindowRecord *w = gCurrent;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags &= ~kHitSelConflict;
  const int32_t d = w->mergeMaxDistance;

  gProgress.areaTotal = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    h->engineA = h->engineB = 0;
    if (!HitInArea(h, area))
      continue;
    for (Hit *g = h->next1; g && g->start1 <= h->end1 + d; g = g->next1)
      if (HitInArea(g, area))
        ++gProgress.areaTotal;
  }
  int32_t px = w->region[0], py = w->region[2];
  if (w->selectedHit) {
    px = w->selectedHit->start1;
    py = w->selectedHit->start2;
  }

  bool changed = false, stopped = false;
  Hit *h = gHitHead1;
  while (h && !stopped) {
    h->engineA = h->engineB = 0;
    gProgress.scanned = 0;
    Hit *nextH = nullptr;
    bool hDeleted = false;
    if (HitInArea(h, area)) {
      const int32_t limit = h->end1 + d; // fixed while h grows
      for (Hit *g = h->next1, *gNext; g && g->start1 <= limit; g = gNext) {
        gNext = g->next1;
        if (!HitInArea(g, area))
          continue;
        ++w->reportFirst;
        ++gProgress.scanned;
        progressPoll();
        while ((gActionStatus & kStatusPaused) && !(gActionStatus & kStatusStop))
          progressPump(0);
        if (gActionStatus & kStatusStop) {
          stopped = true;
          break;
        }
        if (g->start2 > h->end2 + d || g->end2 < h->start2)
          continue;
        if (sameStartOrEnd(g, h)) {
          changed = true;
          --w->reportSecond;
          if (g->score <= h->score) {
            deleteHit(g);
            continue;
          }
          nextH = h->next1;
          deleteHit(h);
          hDeleted = true;
          break;
        }
        if ((h->flags | g->flags) & kHitApproved)
          continue;
        if (bridgeHits(h, g) == 4) {
          changed = true;
          --w->reportSecond;
        }
      }
    }
    h = hDeleted ? nextH : h->next1;
  }
  rebuildLists(px, py);
  return changed;
}

void MergeHits() {
  if (!gSeq1 || !gSeq2 || !gSeq1->length || !gSeq2->length)
    return;
  resetProgress();
  gActionStatus = kStatusConflictAction;
  int32_t area[4];
  actionArea(gCurrent, area);
  while (mergePass(area)) {
  }
  // A stop request outlives the action so that a command file sees it.
  gActionStatus &= kStatusStop;
}
