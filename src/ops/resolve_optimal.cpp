// The optimal chain: a sweep along sequence 1 over the starts and ends of
// the area's hits, with a staircase of (end in sequence 2 -> best chain score
// ending there) whose scores grow with their keys. A hit's start looks up
// the best chain it can follow; its end enters the staircase.
#include <algorithm>
#include <map>
#include <new>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/session.h"
#include "engine/progress.h"
#include "ops/resolve.h"
#include "ops/resolve_internal.h"

namespace {
struct ChainNode {
  Hit *hit;
  uint32_t oldFlags;
  int64_t chainScore;
  int32_t previous; // index of the hit before it on its best chain, -1: none
};

struct Event {
  int32_t coordinate;
  int32_t node;
  bool isEnd;
};

struct Step {
  int64_t score;
  int32_t node; // -1 for the sentinel
};

// Enters a chain ending at key k with score c, keeping the scores strictly
// growing with the keys.
void enterStep(std::map<int32_t, Step> &stairs, int32_t k, int64_t c, int32_t node) {
  auto at = stairs.lower_bound(k);
  if (at != stairs.end() && at->first == k) {
    if (c <= at->second.score)
      return;
    at->second = {c, node};
  } else {
    auto below = std::prev(at); // the sentinel at key 0 bounds every key > 0
    if (c <= below->second.score)
      return;
    if (at != stairs.end() && c >= at->second.score) {
      // Take over the entry above in place: same neighbours, lower key.
      auto hint = stairs.erase(at);
      at = stairs.emplace_hint(hint, k, Step{c, node});
    } else {
      at = stairs.emplace_hint(at, k, Step{c, node});
    }
  }
  auto next = std::next(at);
  while (next != stairs.end() && next->second.score <= c)
    next = stairs.erase(next);
}
} // namespace

bool OptimalChain() {
  WindowRecord *w = gCurrent;
  w->reportFirst = w->reportSecond = 0;
  gOptimalMarksValid = false;
  if (!gHitHead1)
    return false;
  int32_t area[4], x, y;
  actionArea(w, area);
  std::vector<ChainNode> nodes;
  std::vector<Event> events;
  std::map<int32_t, Step> stairs;
  try {
    nodes.reserve(gHitCount);
    events.reserve(2 * static_cast<size_t>(gHitCount));
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    return false;
  }
  resetProgress();
  gActionStatus = kStatusConflictAction | (gActionStatus & kStatusStop);
  rememberActionPoint(x, y);
  for (Hit *h = gHitHead1; h; h = h->next1) {
    // A hit without blocks (the empty session's placeholder) is no alignment.
    if (!h->firstBlock || !HitInArea(h, area))
      continue;
    ++w->reportFirst;
    int32_t i = static_cast<int32_t>(nodes.size());
    nodes.push_back({h, h->flags, 0, -1});
    h->flags = (h->flags | kHitSelDelete) & ~kHitSelMouse;
    events.push_back({h->start1, i, false});
    events.push_back({h->end1, i, true});
  }
  // Events come in list order, each start before its end: a stable sort puts
  // the end of a hit before the start of one that begins at the same place.
  std::stable_sort(events.begin(), events.end(),
                   [](const Event &a, const Event &b) { return a.coordinate < b.coordinate; });
  gProgress.areaTotal = static_cast<int64_t>(events.size());
  bool complete = true;
  try {
    // Keys are ends in sequence 2: the sentinel at 0 lies below them all.
    stairs.emplace(0, Step{0, -1});
    for (const Event &e : events) {
      if (resolveStepStopped()) {
        complete = false;
        break;
      }
      ChainNode &n = nodes[e.node];
      if (!e.isEnd) {
        auto floor = std::prev(stairs.upper_bound(std::max(n.hit->start2, 0)));
        n.chainScore = floor->second.score + n.hit->score;
        n.previous = floor->second.node;
      } else {
        enterStep(stairs, n.hit->end2, n.chainScore, e.node);
      }
    }
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    complete = false;
  }
  if (!complete || nodes.empty()) {
    for (const ChainNode &n : nodes)
      n.hit->flags = n.oldFlags;
    return false;
  }
  for (int32_t i = stairs.rbegin()->second.node; i >= 0; i = nodes[i].previous)
    nodes[i].hit->flags &= ~kHitSelDelete;
  gOptimalMarksValid = true;
  rebuildLists(x, y);
  return true;
}
