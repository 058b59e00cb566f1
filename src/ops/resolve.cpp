// Greedy, Kill and the deletion of marked hits.
#include "ops/resolve.h"

#include <new>
#include <set>
#include <vector>

#include "core/conflicts.h"
#include "core/errors.h"
#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/drivers.h"
#include "engine/progress.h"
#include "ops/footnotes.h"
#include "ops/resolve_internal.h"

void rememberActionPoint(int32_t &x, int32_t &y) {
  const WindowRecord *w = gCurrent;
  x = w->selectedHit ? w->selectedHit->start1 : w->region[0];
  y = w->selectedHit ? w->selectedHit->start2 : w->region[2];
}

bool resolveStepStopped() {
  ++gProgress.scanned;
  progressPoll();
  return (gActionStatus & kStatusStop) != 0;
}

namespace {
int compareScoreDescending(const void *a, const void *b) {
  const Hit *p = *static_cast<Hit *const *>(a), *q = *static_cast<Hit *const *>(b);
  if (p->score != q->score)
    return p->score > q->score ? -1 : 1;
  return 0;
}

// The kept hits form one chain ordered by precedence, so "a before b" is a
// strict order among them.
struct Precedes {
  bool operator()(const Hit *a, const Hit *b) const { return hitPrecedes(a, b); }
};
} // namespace

void GreedyResolve() {
  WindowRecord *w = gCurrent;
  w->reportFirst = w->reportSecond = 0;
  if (!gHitHead1)
    return;
  int32_t area[4], x, y;
  actionArea(w, area);
  std::vector<Hit *> order;
  try {
    order.reserve(gHitCount > 0 ? gHitCount : 16);
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    return;
  }
  resetProgress();
  gActionStatus = kStatusConflictAction | (gActionStatus & kStatusStop);
  rememberActionPoint(x, y);
  // Reselected once by the rebuild, not after every deletion.
  w->selectedHit = nullptr;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!HitInArea(h, area))
      continue;
    ++w->reportFirst;
    h->flags &= ~kHitConflict;
    order.push_back(h);
  }
  if (!stableSort(order.data(), order.size(), sizeof(Hit *), compareScoreDescending)) {
    rebuildLists(x, y);
    return;
  }
  gProgress.areaTotal = static_cast<int64_t>(order.size());
  const bool toFootnotes = (w->flagsB & kOptToFootnotes) != 0;
  bool footnotesFailed = false;
  int32_t deleted = 0;
  try {
    std::set<Hit *, Precedes> kept;
    for (size_t i = 0; i < order.size(); ++i) {
      Hit *h = order[i];
      if (i > 0 && resolveStepStopped())
        break;
      auto next = kept.lower_bound(h); // first kept hit not before h
      if (next == kept.end() || hitPrecedes(h, *next)) {
        kept.insert(next, h);
        continue;
      }
      if (toFootnotes && (footnotesFailed || !AppendFootnote(h))) {
        footnotesFailed = true; // the hit stays rather than being lost
        continue;
      }
      deleteHit(h);
      ++deleted;
    }
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    // Deletions made so far stand, as after a stop.
  }
  w->reportSecond = deleted;
  rebuildLists(x, y);
}

void KillConflicting() {
  WindowRecord *w = gCurrent;
  w->reportFirst = w->reportSecond = 0;
  int32_t area[4], x, y;
  actionArea(w, area);
  rememberActionPoint(x, y);
  w->selectedHit = nullptr;
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if ((h->flags & kHitConflict) && HitInArea(h, area)) {
      deleteHit(h);
      ++w->reportSecond;
    }
  }
  rebuildLists(x, y);
}

bool gOptimalMarksValid = false;

void DeleteMarked(int mode) {
  WindowRecord *w = gCurrent;
  if (mode == 0 && !gOptimalMarksValid)
    return;
  gOptimalMarksValid = false;
  int32_t x, y;
  rememberActionPoint(x, y);
  rememberSelections();
  Hit *selected = w->selectedHit;
  w->selectedHit = nullptr;
  const uint32_t mark = mode == 0 ? kHitSelDelete : kHitSelected;
  bool stopped = false, any = false;
  for (Hit *h = gHitHead1, *next; h && !stopped; h = next) {
    next = h->next1;
    if (!(h->flags & kHitSelected) || !(h->flags & mark) || (h->flags & kHitApproved) ||
        !HitInArea(h, w->region))
      continue;
    any = true;
    if (mode == 2 && !AppendFootnote(h)) {
      stopped = true; // keep this and the remaining hits
      break;
    }
    deleteHit(h);
    ++w->reportSecond;
  }
  // The other strand's marked hits go too; Optimal's chain knows only the
  // session's.
  for (Hit *h = gOther.head1, *next; h && mode != 0 && !stopped; h = next) {
    next = h->next1;
    if (!(h->flags & kHitSelected) || (h->flags & kHitApproved) || !otherHitInArea(h, w->region))
      continue;
    any = true;
    if (mode == 2 && !AppendFootnote(h)) {
      stopped = true;
      break;
    }
    deleteHit(h);
    ++w->reportSecond;
  }
  if (mode != 0 && !any && selected) {
    Hit *h = selected;
    if (mode != 2 || AppendFootnote(h)) {
      deleteHit(h);
      ++w->reportSecond;
    }
  }
  if (mode != 0 && !gHitHead1)
    resetEngine(w->block[0], w->block[1], w->block[2], w->block[3]);
  rebuildLists(x, y);
  restoreSelections();
}

void OptimalAction() {
  OptimalChain();
  DeleteMarked(0);
}
