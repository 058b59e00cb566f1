// Merge and Reconcile leave out the pairs of hits that cannot change
// anything. The plain scans they replace, every pair within the merge
// distance and every overlapping pair, run here beside them on random hit
// sets: both must leave the same hits and report the same counts.
#include <algorithm>
#include <map>
#include <random>

#include "conflict_fixture.h"
#include "core/hit_delete.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/trim.h"
#include "ops/merge.h"
#include "ops/reconcile_scan.h"
#include "ops/resolve.h"
#include "ops/resolve_internal.h"

namespace {

// ---- The plain scans ----------------------------------------------------

bool plainMergePass(const int32_t area[4]) {
  WindowRecord *w = gCurrent;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags &= ~kHitSelConflict;
  const int32_t d = w->mergeMaxDistance;
  int32_t px = w->region[0], py = w->region[2];
  if (w->selectedHit) {
    px = w->selectedHit->start1;
    py = w->selectedHit->start2;
  }
  bool changed = false, stopped = false;
  Hit *h = gHitHead1;
  while (h && !stopped) {
    Hit *nextH = nullptr;
    bool hDeleted = false;
    if (HitInArea(h, area)) {
      const int32_t limit = h->end1 + d;
      for (Hit *g = h->next1, *gNext; g && g->start1 <= limit; g = gNext) {
        gNext = g->next1;
        if (!HitInArea(g, area))
          continue;
        ++w->reportFirst;
        if (gActionStatus & kStatusStop) {
          stopped = true;
          break;
        }
        if (g->start2 > h->end2 + d || g->end2 < h->start2)
          continue;
        if ((g->start1 == h->start1 && g->start2 == h->start2) ||
            (g->end1 == h->end1 && g->end2 == h->end2)) {
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

void plainMerge() {
  gActionStatus = kStatusConflictAction;
  int32_t area[4];
  actionArea(gCurrent, area);
  while (plainMergePass(area)) {
  }
  gActionStatus &= kStatusStop;
}

bool usable(const Hit *h) { return h->flags != kHitFree && h->firstBlock; }

template <class F> bool plainCandidates(std::vector<Hit *> &order, int which, F pair) {
  auto start = [which](const Hit *h) { return which ? h->start2 : h->start1; };
  auto end = [which](const Hit *h) { return which ? h->end2 : h->end1; };
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = i + 1; j < order.size(); ++j) {
      Hit *h = order[i], *g = order[j];
      if (!usable(h))
        break;
      if (!usable(g))
        continue;
      const int32_t overlap = std::min(end(h), end(g)) - std::max(start(h), start(g));
      if (overlap < 1)
        break;
      if (3 * overlap <= std::min(end(h) - start(h), end(g) - start(g)) && !pair(h, g))
        return false;
    }
  return true;
}

std::vector<Hit *> plainOrder(int which, const int32_t area[4]) {
  std::vector<Hit *> order;
  for (Hit *h = which ? gHitHead2 : gHitHead1; h; h = which ? h->next2 : h->next1)
    if (h->firstBlock && HitInArea(h, area))
      order.push_back(h);
  return order;
}

void plainReconcile() {
  WindowRecord *w = gCurrent;
  const ScoreParams saved = w->score;
  const ScoreParams *savedTrim = gTrimWeights;
  w->score = ScoreParams{1, -1, 0, 0};
  gTrimWeights = &w->score;
  gActionStatus = kStatusConflictAction | (gActionStatus & kStatusStop);
  int32_t area[4];
  actionArea(w, area);
  bool stopped = false;
  for (int which = 0; which < 2 && !stopped; ++which) {
    if (which == 1 && w->reportSecond)
      rebuildLists(0, 0);
    std::vector<Hit *> order = plainOrder(which, area);
    stopped = !plainCandidates(order, which, [&](Hit *h, Hit *g) {
      ++w->reportFirst;
      if (reconcilePair(h, g, which, area))
        ++w->reportSecond;
      return !(gActionStatus & kStatusStop);
    });
  }
  w->score = saved;
  gTrimWeights = savedTrim;
  rescoreHits(w->score, area);
  if (w->reportSecond)
    rebuildLists(0, 0);
}

// ---- Random hit sets ----------------------------------------------------

struct PlannedHit {
  int32_t start1, start2;
  std::vector<TestBlock> blocks;
  bool approved;
};

struct Plan {
  std::string seq1, seq2;
  std::vector<PlannedHit> hits;
  int16_t mergeDistance;
  bool areaActive;
  int32_t area[4]; // x0, y0, x1, y1
  bool stopFirst;
};

// Sequence 2 is sequence 1 with substitutions, two small indels and an
// insertion as long as the default bridge reach; a tandem stretch and a
// poly-A stretch give piles of overlapping hits.
int32_t homologousShift(int32_t s1) {
  return (s1 >= 150 ? 2 : 0) - (s1 >= 400 ? 3 : 0) + (s1 >= 600 ? 20 : 0);
}

Plan randomPlan(unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&rng](int lo, int hi) { return lo + (int)(rng() % (unsigned)(hi - lo + 1)); };
  Plan p;
  p.seq1 = randomBases(700, seed);
  const std::string unit = randomBases(12, seed + 1000);
  for (int i = 200; i < 320; ++i)
    p.seq1[(size_t)i] = unit[(size_t)(i % 12)];
  for (int i = 450; i < 510; ++i)
    p.seq1[(size_t)i] = 'A';
  p.seq2 = p.seq1;
  for (char &c : p.seq2)
    if (pick(0, 99) < 4)
      c = "ACGT"[pick(0, 3)];
  p.seq2.insert(600, randomBases(20, seed + 2000));
  p.seq2.erase(400, 3);
  p.seq2.insert(150, "GT");
  const int32_t len1 = (int32_t)p.seq1.size(), len2 = (int32_t)p.seq2.size();

  const int count = pick(20, 120);
  for (int k = 0; k < count; ++k) {
    PlannedHit h;
    int32_t s1 = 0, s2 = 0;
    switch (pick(0, 2)) {
    case 0: // near the homology
      s1 = pick(0, len1 - 30);
      s2 = s1 + homologousShift(s1) + pick(-2, 2);
      break;
    case 1: // in the tandem or poly-A stretch, shifted by whole copies
      s1 = pick(0, 1) ? pick(200, 300) : pick(450, 495);
      s2 = s1 + (s1 >= 450 ? pick(-20, 20) : 12 * pick(-4, 4)) + homologousShift(s1);
      break;
    default:
      s1 = pick(0, len1 - 30);
      s2 = pick(0, len2 - 30);
      break;
    }
    s2 = std::max(0, std::min(s2, len2 - 30));
    int32_t x = 0, y = 0;
    const int blocks = pick(1, 3);
    for (int b = 0; b < blocks; ++b) {
      const int32_t room = std::min(len1 - s1 - x, len2 - s2 - y);
      if (room < 4)
        break;
      const int32_t length = std::min(room, pick(4, 60));
      TestBlock t{x, y, length};
      x += length;
      y += length;
      const int32_t gap = pick(1, 4);
      if (pick(0, 1)) {
        t.linkKind = 1; // the cut lies in sequence 2, the gap in sequence 1
        t.cut = y;
        x += gap;
      } else {
        y += gap;
      }
      h.blocks.push_back(t);
    }
    if (h.blocks.empty())
      continue;
    h.start1 = s1;
    h.start2 = s2;
    h.approved = pick(0, 9) == 0;
    p.hits.push_back(h);
  }
  const int16_t distances[] = {0, 3, 20, 50};
  p.mergeDistance = distances[pick(0, 3)];
  p.areaActive = pick(0, 3) == 0;
  const int32_t x0 = pick(0, 300), y0 = pick(0, 300);
  p.area[0] = x0;
  p.area[1] = y0;
  p.area[2] = x0 + pick(50, 300);
  p.area[3] = y0 + pick(50, 300);
  p.stopFirst = pick(0, 15) == 0;
  return p;
}

class PairScans : public ConflictSession {
protected:
  void build(const Plan &p) {
    clearTestHits();
    loadTestSequences(p.seq1.c_str(), p.seq2.c_str());
    WindowRecord &w = *gCurrent;
    const int32_t region[4] = {0, (int32_t)p.seq1.size(), 0, (int32_t)p.seq2.size()};
    memcpy(w.region, region, sizeof region);
    w.mergeMaxDistance = p.mergeDistance;
    w.flagsB = p.areaActive ? kOptAreaActive : 0;
    memcpy(w.selectedArea, p.area, sizeof p.area);
    w.selectedHit = nullptr;
    w.reportFirst = w.reportSecond = 0;
    for (const PlannedHit &ph : p.hits) {
      Hit *h = makeTestHit(ph.start1, ph.start2, ph.blocks);
      h->score = CountHitColumns(h, h->firstBlock);
      h->flags = ph.approved ? kHitApproved : 0;
    }
    rebuildLists(0, 0);
    gActionStatus = p.stopFirst ? kStatusStop : 0;
  }

  // Every hit with its blocks, then the two counters.
  static std::vector<int64_t> snapshot() {
    std::vector<int64_t> v;
    for (const Hit *h = gHitHead1; h; h = h->next1) {
      v.insert(v.end(), {h->start1, h->end1, h->start2, h->end2, h->score, h->flags});
      for (const HitBlock *b = h->firstBlock; b; b = b->next) {
        v.insert(v.end(), {b->x, b->y, b->length, b->identities, b->blockScore});
        if (b->next)
          v.insert(v.end(), {b->linkKind, b->cut});
      }
      v.push_back(-1);
    }
    v.insert(v.end(), {gCurrent->reportFirst, gCurrent->reportSecond, gHitCount});
    return v;
  }

  template <class Fast, class Plain> void compare(Fast fast, Plain plain, unsigned seeds) {
    int changedSets = 0;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
      const Plan p = randomPlan(seed);
      build(p);
      plain();
      const std::vector<int64_t> want = snapshot();
      build(p);
      fast();
      ASSERT_EQ(snapshot(), want) << "seed " << seed;
      changedSets += gCurrent->reportSecond != 0;
    }
    // The sets must exercise the joins, not only the skipped pairs.
    EXPECT_GT(changedSets, (int)seeds / 4);
  }
};

TEST_F(PairScans, MergeLeavesWhatThePlainScanLeaves) {
  compare([] { MergeHits(); }, plainMerge, 200);
}

TEST_F(PairScans, ReconcileLeavesWhatThePlainScanLeaves) {
  compare([] { Reconcile(); }, plainReconcile, 200);
}

// Reconcile's scan alone, on piles of boxes, with a pair callback that
// changes the two hits as a reconcile may (cut, trimmed at either end, or
// gone): the same pairs in the same order as the plain scan, and as many
// left out between them.
TEST_F(PairScans, CandidateScanHandsOutThePairsOfThePlainScan) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    for (int which = 0; which < 2; ++which) {
      std::vector<int64_t> logs[2];
      for (int fast = 0; fast < 2; ++fast) {
        clearTestHits();
        std::mt19937 rng(seed);
        auto pick = [&rng](int lo, int hi) { return lo + (int)(rng() % (unsigned)(hi - lo + 1)); };
        std::map<const Hit *, int> id;
        const int count = pick(2, 150);
        for (int k = 0; k < count; ++k) {
          const int32_t s1 = pick(0, 300), l1 = pick(0, 99) < 2 ? 0 : pick(1, 120);
          const int32_t s2 = std::max(0, s1 + pick(-30, 30)), l2 = pick(0, 1) ? l1 : pick(1, 120);
          id[makeTestHit(s1, s1 + l1, s2, s2 + l2)] = k;
        }
        rebuildLists(0, 0);
        std::vector<Hit *> order = which ? secondListOrder() : mainListOrder();
        std::vector<HitBlock *> detached;
        std::vector<int64_t> &log = logs[fast];
        auto diagonal = [](const Hit *h) { return (int64_t)h->start1 - h->start2; };
        auto worth = [&](const Hit *h, const Hit *g) {
          const bool linkable = which ? diagonal(g) >= diagonal(h) : diagonal(g) <= diagonal(h);
          return linkable && (id[h] * 7 + id[g] * 3 + (int)seed) % 4 != 0;
        };
        auto skipped = [&log](int64_t n) {
          if (!log.empty() && log.back() < 0)
            log.back() -= n;
          else
            log.push_back(-n);
          return true;
        };
        auto pair = [&](Hit *h, Hit *g) {
          log.insert(log.end(), {id[h], id[g]});
          const int r = (id[h] * 13 + id[g] * 5 + (int)seed) % 16;
          int32_t &hs = which ? h->start2 : h->start1, &he = which ? h->end2 : h->end1;
          int32_t &gs = which ? g->start2 : g->start1, &ge = which ? g->end2 : g->end1;
          if (r == 0)
            he = std::max(hs, he - (he - hs) / 2); // cut
          else if (r == 1)
            hs = std::min(he, hs + 3); // trimmed at its start
          else if (r == 2)
            gs = std::min(ge, gs + (ge - gs) / 2);
          else if (r == 3)
            gs = std::max(0, gs - 4); // reaches back to the cut
          else if (r == 4 && g->firstBlock) {
            detached.push_back(g->firstBlock); // gone
            g->firstBlock = nullptr;
          }
          return r != 5 || seed % 3 != 0;
        };
        if (fast)
          CandidateScan(order, which).run(worth, skipped, [&](size_t i, size_t j) {
            return pair(order[i], order[j]);
          });
        else
          plainCandidates(order, which,
                          [&](Hit *h, Hit *g) { return worth(h, g) ? pair(h, g) : skipped(1); });
        for (Hit *h : order)
          if (!h->firstBlock) {
            h->firstBlock = detached.back();
            detached.pop_back();
          }
      }
      ASSERT_EQ(logs[1], logs[0]) << "seed " << seed << " along " << which;
    }
  }
}

} // namespace
