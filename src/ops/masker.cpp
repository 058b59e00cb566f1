#include "ops/masker.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/residue.h"

MaskerTuning defaultMaskerTuning() {
  // Chosen on a generated repeat-rich pair against the real pairs, where
  // genuine but scarce repeats must stay nearly unmarked.
  MaskerTuning t;
  t.window = 40;
  t.minFrequentWords = 8;
  t.joinGap = 30;
  t.minLength = 60;
  t.extendWords = 4;
  t.extendGap = 60;
  t.minCount = 6;
  return t;
}

namespace {

constexpr int kMinWord = 8, kMaxWord = 13;

// Calls f(position, canonical word) for every word without an N.
template <class F> void forEachWord(const uint8_t *codes, int32_t length, int k, F f) {
  const uint32_t mask = (k >= 16) ? 0xffffffffu : ((1u << (2 * k)) - 1);
  const int high = 2 * (k - 1);
  uint32_t fwd = 0, rev = 0;
  int valid = 0;
  for (int32_t i = 0; i < length; ++i) {
    const uint8_t c = codes[i];
    if (c & kResN) {
      valid = 0;
      continue;
    }
    const uint32_t b = c & kBaseMask;
    fwd = ((fwd << 2) | b) & mask;
    rev = (rev >> 2) | ((3u - b) << high);
    if (++valid >= k)
      f(i - k + 1, fwd < rev ? fwd : rev);
  }
}

// The same, in batches whose table entries are fetched ahead: the table of
// a long sequence is far larger than the caches.
template <class F>
void forEachWordOf(const uint8_t *table, const uint8_t *codes, int32_t length, int k, F f) {
  constexpr int kBatch = 32;
  int32_t at[kBatch];
  uint32_t words[kBatch];
  int n = 0;
  forEachWord(codes, length, k, [&](int32_t i, uint32_t w) {
    __builtin_prefetch(table + w);
    at[n] = i;
    words[n] = w;
    if (++n == kBatch) {
      for (int j = 0; j < kBatch; ++j)
        f(at[j], words[j]);
      n = 0;
    }
  });
  for (int j = 0; j < n; ++j)
    f(at[j], words[j]);
}

void countInto(std::vector<uint8_t> &table, const uint8_t *codes, int32_t length, int k) {
  uint8_t *t = table.data();
  forEachWordOf(t, codes, length, k, [t](int32_t, uint32_t w) {
    if (t[w] != 255)
      ++t[w];
  });
}

} // namespace

bool WordCounts::build(const uint8_t *const codes[], const int32_t lengths[], int count,
                       const MaskerTuning &tuning) {
  tuning_ = tuning;
  int32_t longest = 0;
  for (int s = 0; s < count; ++s)
    longest = std::max(longest, lengths[s]);
  k_ = tuning.wordLength;
  if (k_ <= 0) // a word of random sequence should mostly be seen once
    k_ = int(std::ceil(std::log(std::max(longest, 1)) / std::log(4.0))) + 1;
  k_ = std::clamp(k_, kMinWord, kMaxWord);
  const size_t words = size_t(1) << (2 * k_);
  try {
    counts_.assign(words, 0);
    std::vector<uint8_t> other;
    for (int s = 0; s < count; ++s) {
      std::vector<uint8_t> &into = s == 0 ? counts_ : other;
      if (s > 0)
        other.assign(words, 0);
      countInto(into, codes[s], lengths[s], k_);
      if (s > 0)
        for (size_t w = 0; w < words; ++w)
          counts_[w] = std::max(counts_[w], other[w]);
    }
  } catch (const std::bad_alloc &) {
    counts_.clear();
    return false;
  }
  // Distinct words by count: unique sequence makes almost all of them, so a
  // high share of them marks where chance ends.
  uint64_t histogram[256] = {};
  for (uint8_t c : counts_)
    ++histogram[c];
  uint64_t distinct = 0;
  for (int c = 1; c < 256; ++c)
    distinct += histogram[c];
  uint64_t seen = 0;
  int pct = 1;
  for (int c = 1; c < 256; ++c) {
    seen += histogram[c];
    pct = c;
    if (seen >= distinct - distinct / 500)
      break;
  }
  threshold_ = std::max(tuning.minCount, pct + 1);
  return true;
}

namespace {

constexpr uint8_t kFrequent = 1, kDense = 2;

// Stretches covered by frequent words that a window of `window` word starts
// holding at least `minWords` frequent words takes in; words closer than
// `joinGap` join. Uses kDense of `at` as scratch.
std::vector<RepeatStretch> denseStretches(std::vector<uint8_t> &at, int k, int32_t window,
                                          int minWords, int32_t joinGap, int32_t minLength) {
  std::vector<RepeatStretch> out;
  const int32_t length = int32_t(at.size());
  const int32_t W = std::max(1, window);
  const int q = std::max(1, minWords);
  int inWindow = 0;
  for (int32_t i = 0; i < length; ++i) {
    at[size_t(i)] &= ~kDense;
    inWindow += at[size_t(i)] & kFrequent;
    if (i >= W)
      inWindow -= at[size_t(i - W)] & kFrequent;
    if (inWindow >= q) // the window [i - W + 1, i]
      at[size_t(std::max(0, i - W + 1))] |= kDense;
  }
  int dense = 0; // dense windows holding j
  int32_t from = -1, to = -1;
  for (int32_t j = 0; j < length; ++j) {
    dense += (at[size_t(j)] & kDense) != 0;
    if (j >= W)
      dense -= (at[size_t(j - W)] & kDense) != 0;
    if (!(at[size_t(j)] & kFrequent) || dense == 0)
      continue;
    const int32_t end = std::min(length, j + k);
    if (from >= 0 && j - to < joinGap) {
      to = std::max(to, end);
      continue;
    }
    if (from >= 0 && to - from >= minLength)
      out.push_back({from, to});
    from = j;
    to = end;
  }
  if (from >= 0 && to - from >= minLength)
    out.push_back({from, to});
  return out;
}

} // namespace

std::vector<RepeatStretch> WordCounts::stretches(const uint8_t *codes, int32_t length) const {
  if (counts_.empty() || length < k_)
    return {};
  std::vector<uint8_t> at(size_t(length), 0);
  const uint8_t *t = counts_.data();
  const int thr = threshold_;
  forEachWordOf(t, codes, length, k_, [&](int32_t i, uint32_t w) {
    if (t[w] >= thr)
      at[size_t(i)] = kFrequent;
  });
  // Cores are strict, so that unique sequence rarely starts one; a looser
  // stretch around a core takes in the rest of the copy.
  const MaskerTuning &m = tuning_;
  const std::vector<RepeatStretch> cores =
      denseStretches(at, k_, m.window, m.minFrequentWords, m.joinGap, m.minLength);
  const std::vector<RepeatStretch> loose =
      denseStretches(at, k_, m.window, m.extendWords, m.extendGap, 0);
  std::vector<RepeatStretch> out;
  size_t c = 0;
  for (const RepeatStretch &l : loose) {
    while (c < cores.size() && cores[c].to <= l.from)
      ++c;
    if (c < cores.size() && cores[c].from < l.to)
      out.push_back(l);
  }
  return out;
}
