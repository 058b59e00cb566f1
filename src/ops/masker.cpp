#include "ops/masker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "core/errors.h"
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
  t.chanceMargin = 40;
  return t;
}

namespace {

constexpr int kMinWord = 8, kMaxWord = 13;

// Table slot of a word's class. An odd word and its reverse complement have
// complementary middle bases, so exactly one of them has A or C there: that
// one stands for the class and its middle bit is dropped, which halves the
// table. An even word keeps the smaller of the two.
struct WordSlots {
  explicit WordSlots(int k)
      : k(k), mask((1u << (2 * k)) - 1), high(2 * (k - 1)),
        middleBit((k & 1) ? 2 * (k / 2) + 1 : 0), low((k & 1) ? (1u << middleBit) - 1 : 0) {}
  size_t size() const { return size_t(1) << (2 * k - (k & 1)); }
  uint32_t slot(uint32_t fwd, uint32_t rev) const {
    if (!(k & 1))
      return fwd < rev ? fwd : rev;
    const uint32_t w = (fwd >> middleBit) & 1 ? rev : fwd;
    return (w & low) | ((w >> 1) & ~low);
  }
  int k;
  uint32_t mask;
  int high, middleBit;
  uint32_t low;
};

// Calls f(position, slot) for every word without an N.
template <class F> void forEachWord(const uint8_t *codes, int32_t length, const WordSlots &s, F f) {
  uint32_t fwd = 0, rev = 0;
  int valid = 0;
  for (int32_t i = 0; i < length; ++i) {
    const uint8_t c = codes[i];
    if (c & kResN) {
      valid = 0;
      continue;
    }
    const uint32_t b = c & kBaseMask;
    fwd = ((fwd << 2) | b) & s.mask;
    rev = (rev >> 2) | ((3u - b) << s.high);
    if (++valid >= s.k)
      f(i - s.k + 1, s.slot(fwd, rev));
  }
}

// The same, in batches whose table entries are fetched ahead: the table of
// a long sequence is far larger than the caches.
template <class T, class F>
void forEachWordOf(const T *table, int shift, const uint8_t *codes, int32_t length,
                   const WordSlots &s, F f) {
  constexpr int kBatch = 64;
  int32_t at[kBatch];
  uint32_t words[kBatch];
  int n = 0;
  forEachWord(codes, length, s, [&](int32_t i, uint32_t w) {
    __builtin_prefetch(table + (w >> shift));
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

// A zeroed table that asks for large pages: every word lands on a random
// page, and small pages would cost a page-table walk nearly each time.
template <class T> void assignTable(std::vector<T> &table, size_t size) {
  table.clear();
  table.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHuge = uintptr_t(1) << 21;
  const uintptr_t from = (uintptr_t(table.data()) + kHuge - 1) & ~(kHuge - 1);
  const uintptr_t to = (uintptr_t(table.data()) + size * sizeof(T)) & ~(kHuge - 1);
  if (to > from)
    madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE);
#endif
  table.assign(size, 0);
}

void countInto(std::vector<uint8_t> &table, const uint8_t *codes, int32_t length,
               const WordSlots &s) {
  uint8_t *t = table.data();
  forEachWordOf(t, 0, codes, length, s, [t](int32_t, uint32_t w) { t[w] += t[w] != 255; });
}

// log P(X >= c) for X ~ Poisson(lambda), c >= 1; 0 (an upper bound) when
// c is no more than lambda.
double logPoissonTail(double lambda, int c) {
  if (c <= lambda)
    return 0;
  // Successive terms shrink by lambda / (i + 1) < 1.
  double sum = 0, term = 1;
  for (int i = c; i < c + 200 && term > 1e-17; ++i) {
    sum += term;
    term *= lambda / (i + 1);
  }
  return c * std::log(lambda) - lambda - std::lgamma(c + 1.0) + std::log(sum);
}

BaseCounts baseCounts(const uint8_t *codes, int32_t length) {
  // Four tallies in turn, so that runs of one base do not wait on one
  // counter.
  int64_t tally[4][8] = {};
  int32_t i = 0;
  for (; i + 4 <= length; i += 4)
    for (int j = 0; j < 4; ++j)
      ++tally[j][codes[i + j] & 7];
  for (; i < length; ++i)
    ++tally[0][codes[i] & 7];
  BaseCounts out{};
  for (int j = 0; j < 4; ++j)
    for (size_t b = 0; b < 4; ++b)
      out[b] += tally[j][b];
  return out;
}

} // namespace

int chanceCount(const std::vector<BaseCounts> &bases, int k) {
  // Words grouped by sequence and composition (a A, c C, g G, t T): how
  // many there are, and the count each class of them expects, as it holds
  // a word and its reverse complement.
  struct Group {
    double logWords, expected;
  };
  std::vector<Group> groups;
  for (const BaseCounts &b : bases) {
    const double total = double(b[0] + b[1] + b[2] + b[3]);
    const double words = total - k + 1;
    if (words <= 0)
      continue;
    double lp[4];
    for (size_t x = 0; x < 4; ++x) // a base never seen still may be
      lp[x] = std::log((double(b[x]) + 1) / (total + 4));
    for (int a = 0; a <= k; ++a)
      for (int c = 0; a + c <= k; ++c)
        for (int g = 0; a + c + g <= k; ++g) {
          const int t = k - a - c - g;
          const double fwd = std::exp(a * lp[0] + c * lp[1] + g * lp[2] + t * lp[3]);
          const double rev = std::exp(t * lp[0] + g * lp[1] + c * lp[2] + a * lp[3]);
          groups.push_back({std::lgamma(k + 1.0) - std::lgamma(a + 1.0) - std::lgamma(c + 1.0) -
                                std::lgamma(g + 1.0) - std::lgamma(t + 1.0),
                            words * (fwd + rev)});
        }
  }
  for (int n = 1; n < 255; ++n) {
    // Half the words of a group stand for its classes.
    double classes = 0;
    for (const Group &g : groups)
      classes += 0.5 * std::exp(g.logWords + logPoissonTail(g.expected, n));
    if (classes < 1)
      return n;
  }
  return 255;
}

bool WordCounts::build(const uint8_t *const codes[], const int32_t lengths[], int count,
                       const MaskerTuning &tuning) {
  tuning_ = tuning;
  frequent_.clear();
  int32_t longest = 0;
  for (int s = 0; s < count; ++s)
    longest = std::max(longest, lengths[s]);
  k_ = tuning.wordLength;
  if (k_ <= 0) // a word of random sequence should mostly be seen once
    k_ = int(std::ceil(std::log(std::max(longest, 1)) / std::log(4.0))) + 1;
  k_ = std::clamp(k_, kMinWord, kMaxWord);
  const WordSlots slots(k_);
  const size_t size = slots.size();
  std::vector<uint8_t> counts;
  try {
    assignTable(counts, size);
    std::vector<uint8_t> other;
    for (int s = 0; s < count; ++s) {
      std::vector<uint8_t> &into = s == 0 ? counts : other;
      if (s > 0)
        assignTable(other, size);
      countInto(into, codes[s], lengths[s], slots);
      if (s > 0)
        for (size_t w = 0; w < size; ++w)
          counts[w] = std::max(counts[w], other[w]);
    }
    assignTable(frequent_, (size + 63) / 64);
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
    frequent_.clear();
    return false;
  }
  // Distinct words by count: unique sequence makes almost all of them, so a
  // high share of them marks where chance ends.
  uint64_t histogram[256] = {};
  for (uint8_t c : counts)
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
  // Real sequence lifts the top of the counts somewhat above what chance
  // gives in random sequence of its composition; far above it, a family
  // fills much of the sequence and holds more than that share of its words,
  // and chance says where frequent begins.
  threshold_ = pct + 1;
  fromChance_ = 255;
  if (tuning.chanceMargin >= 0) {
    std::vector<BaseCounts> bases;
    for (int s = 0; s < count; ++s)
      bases.push_back(baseCounts(codes[s], lengths[s]));
    fromChance_ = chanceCount(bases, k_);
    if (threshold_ * 100 > fromChance_ * (100 + tuning.chanceMargin))
      threshold_ = fromChance_;
  }
  threshold_ = std::max(tuning.minCount, threshold_);
  for (size_t w = 0; w < size; ++w)
    if (counts[w] >= threshold_)
      frequent_[w >> 6] |= uint64_t(1) << (w & 63);
  return true;
}

namespace {

// Set positions of a bit vector, in order.
class SetBits {
public:
  explicit SetBits(const std::vector<uint64_t> &bits) : bits_(bits) {
    word_ = bits.empty() ? 0 : bits[0];
  }
  // The next set position, or -1 after the last.
  int64_t next() {
    while (word_ == 0) {
      if (++at_ >= bits_.size())
        return -1;
      word_ = bits_[at_];
    }
    const int64_t p = int64_t(at_ * 64) + __builtin_ctzll(word_);
    word_ &= word_ - 1;
    return p;
  }

private:
  const std::vector<uint64_t> &bits_;
  size_t at_ = 0;
  uint64_t word_;
};

} // namespace

std::vector<RepeatStretch> denseStretches(const std::vector<uint64_t> &starts, int32_t length,
                                          int k, int32_t window, int minWords, int32_t joinGap,
                                          int32_t minLength) {
  std::vector<RepeatStretch> out;
  const int64_t W = std::max(1, window);
  const int q = std::max(1, minWords);
  const int64_t lastStart = std::max<int64_t>(0, length - W);
  // Dense window starts come as runs from each q consecutive frequent words
  // that fit in one window: the starts of the windows holding all of them.
  // Both ends of the runs only grow.
  SetBits first(starts), last(starts);
  int64_t pa = first.next(), pb = last.next();
  for (int i = 1; i < q && pb >= 0; ++i)
    pb = last.next();
  int64_t lo = 0, hi = -1; // the current run
  auto nextRun = [&]() {
    for (; pb >= 0; pa = first.next(), pb = last.next()) {
      if (pb - pa >= W)
        continue;
      lo = std::max<int64_t>(0, pb - W + 1);
      hi = std::min(pa, lastStart);
      pa = first.next();
      pb = last.next();
      return;
    }
    lo = INT64_MAX;
    hi = INT64_MAX;
  };
  nextRun();
  SetBits word(starts);
  int64_t from = -1, to = -1;
  for (int64_t j = word.next(); j >= 0; j = word.next()) {
    // Frequent words count where a dense window holds them.
    while (hi < j - W + 1)
      nextRun();
    if (lo > j)
      continue;
    const int64_t end = std::min<int64_t>(length, j + k);
    if (from >= 0 && j - to < joinGap) {
      to = std::max(to, end);
      continue;
    }
    if (from >= 0 && to - from >= minLength)
      out.push_back({int32_t(from), int32_t(to)});
    from = j;
    to = end;
  }
  if (from >= 0 && to - from >= minLength)
    out.push_back({int32_t(from), int32_t(to)});
  return out;
}

std::vector<RepeatStretch> WordCounts::stretches(const uint8_t *codes, int32_t length) const {
  if (frequent_.empty() || length < k_)
    return {};
  std::vector<uint64_t> starts((size_t(length) + 63) / 64, 0);
  const uint64_t *f = frequent_.data();
  // Bits gather in a register: or-ing them into memory one by one would
  // chain each word's store to the last.
  uint64_t bits = 0;
  int32_t into = 0;
  forEachWordOf(f, 6, codes, length, WordSlots(k_), [&](int32_t i, uint32_t w) {
    if ((i >> 6) != into) {
      starts[size_t(into)] = bits;
      bits = 0;
      into = i >> 6;
    }
    bits |= ((f[w >> 6] >> (w & 63)) & 1) << (i & 63);
  });
  starts[size_t(into)] = bits;
  // Cores are strict, so that unique sequence rarely starts one; a looser
  // stretch around a core takes in the rest of the copy.
  const MaskerTuning &m = tuning_;
  const std::vector<RepeatStretch> cores =
      denseStretches(starts, length, k_, m.window, m.minFrequentWords, m.joinGap, m.minLength);
  const std::vector<RepeatStretch> loose =
      denseStretches(starts, length, k_, m.window, m.extendWords, m.extendGap, 0);
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
