#include "ops/filter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "ops/masker.h"

static void markRange(uint8_t *r, int64_t from, int64_t to) {
  for (int64_t i = from; i < to; ++i)
    r[i] |= kResFilter;
}

// A plain base: A, C, G or T without the annotated-repeat bit.
static bool plainBase(uint8_t code) { return (code & 0x0f) < 4; }

static void markPeriodic(uint8_t *r, int64_t n, double p) {
  // Lengths that a random sequence of n residues reaches with probability p.
  const int64_t L = int64_t(6.5 - std::log(p / double(n)) / std::log(4.0));
  for (int period = 6; period >= 2; --period) {
    const int64_t threshold = L - (6 - period);
    int64_t run = 0;
    for (int64_t i = 0; i + period < n; ++i) {
      if (plainBase(r[i]) && r[i] == r[i + period]) {
        ++run;
        continue;
      }
      run += period;
      if (run >= threshold && run > 0)
        markRange(r, i + period - run, i + period);
      run = 0;
    }
  }
  const int64_t L1 = int64_t(1.5 - std::log(p / double(n)) / std::log(4.0));
  int64_t run = 0;
  for (int64_t i = 0; i + 1 < n; ++i) {
    if (plainBase(r[i]) && r[i] == r[i + 1]) {
      ++run;
      continue;
    }
    ++run;
    if (run >= L1 && run > 0)
      markRange(r, i - run + 1, i + 1);
    run = 0;
  }
}

namespace {
struct PileEvent {
  int32_t at;
  int32_t delta; // +1 start, -1 end; then the depth after the event
};
} // namespace

static void markPiles(uint8_t *r, int s, const FilterParams &fp) {
  std::vector<PileEvent> events;
  try {
    events.reserve(size_t(gHitCount > 0 ? gHitCount : 0) * 2);
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    return; // no memory: the step is skipped
  }
  if (s == 0) {
    for (Hit *h = gHitHead1; h; h = h->next1) {
      events.push_back({h->start1, 1});
      events.push_back({h->end1, -1});
    }
  } else {
    for (Hit *h = gHitHead2; h; h = h->next2) {
      events.push_back({h->start2, 1});
      events.push_back({h->end2, -1});
    }
  }
  std::stable_sort(events.begin(), events.end(), [](const PileEvent &a, const PileEvent &b) {
    return a.at != b.at ? a.at < b.at : a.delta > b.delta;
  });
  int32_t depth = 0;
  for (PileEvent &e : events) {
    depth += e.delta;
    e.delta = depth;
  }
  int32_t pileStart = 0, d = 0;
  for (const PileEvent &e : events) {
    if (d < fp.minPile) {
      pileStart = e.at;
      d = e.delta;
    } else if (e.delta < fp.minPile) {
      if (e.at - pileStart >= fp.minOverlap && pileStart < e.at)
        markRange(r, pileStart, e.at);
      pileStart = e.at;
      d = e.delta;
    }
  }
}

namespace {
struct KeptCounts {
  std::unique_ptr<WordCounts> counts;
  const uint8_t *residues[2] = {};
  int32_t lengths[2] = {};
} gKept;
} // namespace

void AddInterspersedRepeats(int s) {
  if (!gSeq1 || !gSeq2 || !gSeq1->length || !gSeq2->length)
    return;
  Sequence *seq = sequenceOf(s);
  const uint8_t *const pair[2] = {gSeq1->residues, gSeq2->residues};
  const int32_t lengths[2] = {gSeq1->length, gSeq2->length};
  const bool same = gKept.counts && gKept.residues[0] == pair[0] && gKept.residues[1] == pair[1] &&
                    gKept.lengths[0] == lengths[0] && gKept.lengths[1] == lengths[1];
  if (s == 0 || !same) {
    gKept = KeptCounts();
    try {
      gKept.counts = std::make_unique<WordCounts>();
    } catch (const std::bad_alloc &) {
      noteOutOfMemory();
      return;
    }
    if (!gKept.counts->build(pair, lengths, 2, defaultMaskerTuning())) {
      gKept = KeptCounts();
      return; // no memory: the step is skipped, as for piles
    }
    for (int i = 0; i < 2; ++i) {
      gKept.residues[i] = pair[i];
      gKept.lengths[i] = lengths[i];
    }
  }
  for (const RepeatStretch &r : gKept.counts->stretches(seq->residues, seq->length))
    markRange(seq->residues, r.from, r.to);
  seq->flags |= kSeqInterspersed;
  if (s == 1)
    gKept = KeptCounts();
}

void ApplyFilter(int s, int mode) {
  Sequence *seq = sequenceOf(s);
  if (!gSeq1 || !gSeq2 || !gSeq1->length || !gSeq2->length)
    return;
  uint8_t *r = seq->residues;
  const int64_t n = seq->length;
  if (mode == kFilterCreate || mode == kFilterDelete) {
    for (int64_t i = 0; i < n; ++i)
      r[i] &= uint8_t(~kResFilter);
    seq->flags &= ~kSeqInterspersed;
  }
  if (mode == kFilterDelete)
    return;
  const WindowRecord *w = gCurrent;
  if ((w->flagsB & kOptFilterPeriodic) && w->filter.maxPeriodicP > 0)
    markPeriodic(r, n, w->filter.maxPeriodicP);
  if (w->flagsB & kOptFilterPiles)
    markPiles(r, s, w->filter);
  if (w->flagsB & kOptFilterInterspersed)
    AddInterspersedRepeats(s);
}
