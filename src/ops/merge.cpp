#include "ops/merge.h"

#include <algorithm>
#include <climits>
#include <unordered_map>
#include <vector>

#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/session.h"
#include "engine/progress.h"
#include "engine/search.h"
#include "ops/range_tree.h"

namespace {

bool sameStartOrEnd(const Hit *a, const Hit *b) {
  return (a->start1 == b->start1 && a->start2 == b->start2) ||
         (a->end1 == b->end1 && a->end2 == b->end2);
}

// Lowest and highest diagonal (x - y) of a hit's blocks.
void diagonalSpan(const Hit *h, int64_t &low, int64_t &high) {
  low = INT64_MAX;
  high = INT64_MIN;
  for (const HitBlock *b = h->firstBlock; b; b = b->next) {
    const int64_t d = (int64_t)h->start1 + b->x - h->start2 - b->y;
    low = std::min(low, d);
    high = std::max(high, d);
  }
}

// What a pass needs to know of the hits after h that bridgeHits could join
// to it: where they lie in sequence 2 and on which diagonals.
struct BridgeSummary {
  int64_t minStart2 = INT64_MAX, maxEnd2 = INT64_MIN, lowDiagonal = INT64_MAX,
          highDiagonal = INT64_MIN;
  static BridgeSummary join(const BridgeSummary &a, const BridgeSummary &b) {
    return {std::min(a.minStart2, b.minStart2), std::max(a.maxEnd2, b.maxEnd2),
            std::min(a.lowDiagonal, b.lowDiagonal), std::max(a.highDiagonal, b.highDiagonal)};
  }
};

struct Start1Summary {
  int64_t maxStart1 = INT64_MIN;
  static Start1Summary join(const Start1Summary &a, const Start1Summary &b) {
    return {std::max(a.maxStart1, b.maxStart1)};
  }
};

uint64_t cornerKey(int32_t a, int32_t b) { return (uint64_t)(uint32_t)a << 32 | (uint32_t)b; }

// One pass over the hits of the area; true when it changed something. Each
// hit h is paired with the later hits that start in sequence 1 within the
// merge distance of its end, in list order. Only pairs that can change
// something are looked at: a duplicate start or end, or a pair close enough
// in sequence 2 and in diagonal for a bridge to be tried. The others are
// counted as tried all the same.
bool mergePass(const int32_t area[4]) {
  WindowRecord *w = gCurrent;
  std::vector<Hit *> order;
  for (Hit *h = gHitHead1; h; h = h->next1)
    order.push_back(h);
  const size_t n = order.size();
  std::vector<bool> inArea(n), live(n, true);
  for (size_t i = 0; i < n; ++i) {
    Hit *h = order[i];
    inArea[i] = HitInArea(h, area);
    if (inArea[i])
      h->flags &= ~kHitSelConflict;
    h->engineA = h->engineB = 0;
  }
  const int32_t d = w->mergeMaxDistance;
  const int64_t reach = bridgeReach();

  std::vector<Start1Summary> starts(n);
  std::vector<BridgeSummary> bridgeable(n);
  std::unordered_map<uint64_t, std::vector<size_t>> byStart, byEnd;
  for (size_t i = 0; i < n; ++i) {
    const Hit *h = order[i];
    starts[i].maxStart1 = h->start1;
    if (!inArea[i])
      continue;
    byStart[cornerKey(h->start1, h->start2)].push_back(i);
    byEnd[cornerKey(h->end1, h->end2)].push_back(i);
    if (h->firstBlock && !(h->flags & kHitApproved)) {
      BridgeSummary &s = bridgeable[i];
      s.minStart2 = h->start2;
      s.maxEnd2 = h->end2;
      diagonalSpan(h, s.lowDiagonal, s.highDiagonal);
    }
  }
  RangeTree<Start1Summary> start1Tree(starts);
  RangeTree<BridgeSummary> bridgeTree(bridgeable);
  MarkCounter counted(inArea);

  auto kill = [&](size_t i) {
    live[i] = false;
    start1Tree.set(i, Start1Summary{});
    bridgeTree.set(i, BridgeSummary{});
    if (inArea[i])
      counted.unmark(i);
  };
  // The scan of the hit at i ends before the first later hit that starts
  // beyond the limit.
  auto scanEnd = [&](size_t i, int64_t limit) {
    const size_t e = start1Tree.findFirst(
        i + 1, n, [limit](const Start1Summary &s) { return s.maxStart1 > limit; });
    return e == RangeTree<Start1Summary>::npos ? n : e;
  };
  auto nextSame = [&](std::unordered_map<uint64_t, std::vector<size_t>> &index, uint64_t key,
                      size_t after, size_t end) {
    auto it = index.find(key);
    if (it == index.end())
      return end;
    const std::vector<size_t> &at = it->second;
    for (auto p = std::upper_bound(at.begin(), at.end(), after); p != at.end() && *p < end; ++p)
      if (live[*p])
        return *p;
    return end;
  };

  gProgress.areaTotal = 0;
  for (size_t i = 0; i < n; ++i)
    if (inArea[i])
      gProgress.areaTotal += counted.between(i + 1, scanEnd(i, (int64_t)order[i]->end1 + d));
  int32_t px = w->region[0], py = w->region[2];
  if (w->selectedHit) {
    px = w->selectedHit->start1;
    py = w->selectedHit->start2;
  }

  bool changed = false, stopped = false;
  for (size_t i = 0; i < n && !stopped; ++i) {
    if (!live[i])
      continue;
    Hit *h = order[i];
    gProgress.scanned = 0;
    if (!inArea[i])
      continue;
    const size_t end = scanEnd(i, (int64_t)h->end1 + d); // fixed while h grows
    int64_t hLow, hHigh;
    diagonalSpan(h, hLow, hHigh);
    for (size_t at = i;;) {
      size_t next = end;
      if (gActionStatus & kStatusStop) {
        // A stop request ends the scan at the next hit it counts.
        for (size_t j = at + 1; j < end; ++j)
          if (live[j] && inArea[j]) {
            ++w->reportFirst;
            ++gProgress.scanned;
            stopped = true;
            break;
          }
        break;
      }
      if (!(h->flags & kHitApproved)) {
        const int64_t to2 = (int64_t)h->end2 + d, from2 = h->start2;
        const int64_t low = hLow - reach, high = hHigh + reach;
        next = std::min(next, bridgeTree.findFirst(at + 1, end, [&](const BridgeSummary &s) {
          return s.minStart2 <= to2 && s.maxEnd2 >= from2 && s.highDiagonal >= low &&
                 s.lowDiagonal <= high;
        }));
      }
      next = std::min(next, nextSame(byStart, cornerKey(h->start1, h->start2), at, end));
      next = std::min(next, nextSame(byEnd, cornerKey(h->end1, h->end2), at, end));
      const int64_t passed = counted.between(at + 1, std::min(next + 1, end));
      w->reportFirst += (int32_t)passed;
      gProgress.scanned += passed;
      if (next >= end)
        break;
      at = next;
      progressPoll();
      while ((gActionStatus & kStatusPaused) && !(gActionStatus & kStatusStop))
        progressPump(0);
      if (gActionStatus & kStatusStop) {
        stopped = true;
        break;
      }
      Hit *g = order[next];
      if (g->start2 > h->end2 + d || g->end2 < h->start2)
        continue;
      if (sameStartOrEnd(g, h)) {
        changed = true;
        --w->reportSecond;
        if (g->score <= h->score) {
          kill(next);
          deleteHit(g);
          continue;
        }
        kill(i);
        deleteHit(h);
        break;
      }
      if ((h->flags | g->flags) & kHitApproved)
        continue;
      if (bridgeMayLink(h, g) && bridgeHits(h, g) == 4) {
        changed = true;
        --w->reportSecond;
        kill(next);
        if (h->flags == kHitFree) { // the join left no block
          kill(i);
          break;
        }
        diagonalSpan(h, hLow, hHigh);
      }
    }
  }
  rebuildLists(px, py);
  return changed;
}

} // namespace

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
