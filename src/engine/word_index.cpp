#include "engine/word_index.h"

#include "core/errors.h"
#include "core/residue.h"
#include "engine/scores.h"

namespace {

bool usable(uint8_t r) { return IslandMatchTable[r & 31][r & 31] != 0; }

} // namespace

SeedShape SeedShape::contiguous(int32_t w) {
  SeedShape s;
  s.span = s.weight = w;
  for (int32_t i = 0; i < w; ++i)
    s.shifts.push_back((uint8_t)(2 * (w - 1 - i)));
  return s;
}

SeedShape SeedShape::spaced(const std::string &pattern) {
  SeedShape s;
  if (pattern.empty() || pattern.size() > 32 || pattern.front() != '1' || pattern.back() != '1')
    return s;
  const int32_t span = (int32_t)pattern.size();
  for (int32_t i = 0; i < span; ++i) {
    if (pattern[(size_t)i] == '1')
      s.shifts.push_back((uint8_t)(2 * (span - 1 - i)));
    else if (pattern[(size_t)i] != '0')
      return SeedShape{};
  }
  s.span = span;
  s.weight = (int32_t)s.shifts.size();
  return s;
}

bool WordRoller::push(uint8_t residue, uint64_t &key) {
  if (!usable(residue)) {
    run = 0;
    return false;
  }
  window = window << 2 | (residue & 3);
  if (++run < shape->span)
    return false;
  if (shape->weight == shape->span) {
    key = shape->span == 32 ? window : window & ((UINT64_C(1) << (2 * shape->span)) - 1);
    return true;
  }
  key = 0;
  for (uint8_t shift : shape->shifts)
    key = key << 2 | ((window >> shift) & 3);
  return true;
}

int WordIndex::residueClass(const uint8_t *seq, int32_t wordStart) {
  if (wordStart <= 0 || !usable(seq[wordStart - 1]))
    return kEdge;
  return seq[wordStart - 1] & 3;
}

bool WordIndex::build(const uint8_t *seq, int32_t length, const SeedShape &shape) {
  dir_.clear();
  entries_.clear();
  previous_.clear();
  if (length > (int32_t)kEndMask)
    return false;
  const bool spaced = shape.weight != shape.span;
  bits_ = 4;
  while (bits_ < 31 && (int64_t(1) << bits_) < length)
    ++bits_;
  try {
    dir_.assign((size_t(1) << bits_) + 1, 0);
    // Counting sort by bucket keeps each bucket in position order.
    WordRoller roll(shape);
    uint64_t key;
    size_t words = 0;
    for (int32_t i = 0; i < length; ++i)
      if (roll.push(seq[i], key)) {
        ++dir_[bucketOf(key) + 1];
        ++words;
      }
    for (size_t b = 1; b < dir_.size(); ++b)
      dir_[b] += dir_[b - 1];
    entries_.resize(words);
    if (spaced)
      previous_.resize(words);
    // Each bucket's start serves as its fill cursor, then moves back.
    roll = WordRoller(shape);
    uint64_t lastKey = 0;
    int32_t lastEnd = -2;
    for (int32_t i = 0; i < length; ++i) {
      if (!roll.push(seq[i], key))
        continue;
      const uint32_t at = dir_[bucketOf(key)]++;
      const int cls =
          spaced ? (lastEnd == i - 1 ? 0 : kEdge) : residueClass(seq, i - shape.span + 1);
      entries_[at] =
          Entry{(uint32_t)key, (uint32_t)(key >> 32), (uint32_t)i | (uint32_t)cls << kClassShift};
      if (spaced)
        previous_[at] = cls == 0 ? lastKey : 0;
      lastKey = key;
      lastEnd = i;
    }
    for (size_t b = dir_.size() - 1; b > 0; --b)
      dir_[b] = dir_[b - 1];
    dir_[0] = 0;
    if (spaced)
      sortSpacedBuckets();
  } catch (const std::bad_alloc &) {
    dir_.clear();
    entries_.clear();
    previous_.clear();
    noteOutOfMemory();
    return false;
  }
  if (spaced || entries_.empty()) // no word: data() is null, not an array
    return true;
  auto before = [](const Entry &a, const Entry &c) {
    return a.key() != c.key() ? a.key() < c.key() : a.cls() < c.cls();
  };
  for (size_t b = 0; b + 1 < dir_.size(); ++b) {
    Entry *lo = entries_.data() + dir_[b], *hi = entries_.data() + dir_[b + 1];
    if (hi - lo > 16) {
      std::stable_sort(lo, hi, before);
      continue;
    }
    for (Entry *p = lo + 1; p < hi; ++p) // stable insertion
      for (Entry *q = p; q > lo && before(q[0], q[-1]); --q)
        std::swap(q[0], q[-1]);
  }
  return true;
}

// Each bucket of a spaced index by key, class and previous word, each run
// in position order.
void WordIndex::sortSpacedBuckets() {
  struct Both {
    Entry entry;
    uint64_t previous;
  };
  auto before = [](const Both &a, const Both &c) {
    if (a.entry.key() != c.entry.key())
      return a.entry.key() < c.entry.key();
    if (a.entry.cls() != c.entry.cls())
      return a.entry.cls() < c.entry.cls();
    return a.previous < c.previous;
  };
  std::vector<Both> bucket;
  for (size_t b = 0; b + 1 < dir_.size(); ++b) {
    const size_t lo = dir_[b], hi = dir_[b + 1];
    if (hi - lo < 2)
      continue;
    bucket.clear();
    for (size_t i = lo; i < hi; ++i)
      bucket.push_back(Both{entries_[i], previous_[i]});
    std::stable_sort(bucket.begin(), bucket.end(), before);
    for (size_t i = lo; i < hi; ++i) {
      entries_[i] = bucket[i - lo].entry;
      previous_[i] = bucket[i - lo].previous;
    }
  }
}

void WordIndex::range(uint64_t key, const Entry *&first, const Entry *&last) const {
  if (entries_.empty()) {
    first = last = nullptr;
    return;
  }
  const uint32_t b = bucketOf(key);
  const Entry *lo = entries_.data() + dir_[b], *hi = entries_.data() + dir_[b + 1];
  if (hi - lo <= 8) { // the usual bucket: a few keys
    while (lo < hi && lo->key() < key)
      ++lo;
    first = lo;
    while (lo < hi && lo->key() == key)
      ++lo;
    last = lo;
    return;
  }
  first = std::lower_bound(lo, hi, key, [](const Entry &e, uint64_t k) { return e.key() < k; });
  last = std::upper_bound(first, hi, key, [](uint64_t k, const Entry &e) { return k < e.key(); });
}

int32_t WordIndex::count(uint64_t key) const {
  const Entry *lo, *hi;
  range(key, lo, hi);
  return (int32_t)(hi - lo);
}
