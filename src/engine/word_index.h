// Word index of the hash mode: every word of one sequence, bucketed by a hash
// of its key and sorted within the bucket by key, by the residue before the
// word and by position. Sized from the sequence, built in two passes over it;
// a lookup costs a bucket search plus the positions it hands out, and
// positions whose preceding residue matches the query's are never handed out.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// The positions of a word that count: a contiguous word of w residues, or a
// spaced pattern of '1' (compared) and '0' (ignored) positions.
struct SeedShape {
  int32_t span = 0;            // residues covered
  int32_t weight = 0;          // residues compared
  std::vector<uint8_t> shifts; // bit shifts of the compared residues in the window
  static SeedShape contiguous(int32_t w);
  static SeedShape spaced(const std::string &pattern); // empty shape when not valid
  bool valid() const { return span > 0 && span <= 32 && weight > 0; }
};

// Rolls residues into words; a word is complete when the last `span`
// residues are all usable (IslandMatchTable).
struct WordRoller {
  const SeedShape *shape;
  uint64_t window = 0;
  int32_t run = 0;
  explicit WordRoller(const SeedShape &s) : shape(&s) {}
  bool push(uint8_t residue, uint64_t &key);
  void restart() { run = 0; }
};

class WordIndex {
public:
  // Class of the residue before a word: its base, or kEdge when there is
  // none or it cannot match (N, masked).
  static constexpr int kEdge = 4;
  static int residueClass(const uint8_t *seq, int32_t wordStart);

  // Indexes seq[0 .. length); seq must stay valid while the index is used.
  // False when memory is short or the sequence longer than 2^29.
  bool build(const uint8_t *seq, int32_t length, const SeedShape &shape);
  int32_t count(uint64_t key) const;
  // Word ends of `key` but those of class `skipClass` (-1 skips none) and,
  // with a spaced shape, whose previous word is `skipPrevious`: the first
  // occurrence, then the others from the last down; none when the key
  // occurs more than `limit` times (0: no limit). Returns the occurrences.
  // A spaced word's class is 0 when the word ending just before it is
  // complete (kEdge otherwise): a query skips the words whose previous word
  // equals its own, as those lie inside a stretch an earlier seed covers.
  template <typename F>
  int32_t visit(uint64_t key, int skipClass, uint64_t skipPrevious, int32_t limit, F &&f) const;
  // Cache warm-up for a key about to be looked up.
  void prefetch(uint64_t key) const {
    if (!dir_.empty())
      __builtin_prefetch(&dir_[bucketOf(key)]);
  }
  size_t bytes() const {
    return dir_.capacity() * 4 + entries_.capacity() * sizeof(Entry) + previous_.capacity() * 8;
  }

private:
  // 12 bytes: the key, then the word end (last residue) below the class.
  struct Entry {
    uint32_t lo, hi, endAndClass;
    uint64_t key() const { return (uint64_t)hi << 32 | lo; }
    int32_t end() const { return (int32_t)(endAndClass & kEndMask); }
    int cls() const { return (int)(endAndClass >> kClassShift); }
  };
  static constexpr int kClassShift = 29;
  static constexpr uint32_t kEndMask = (1u << kClassShift) - 1;
  uint32_t bucketOf(uint64_t key) const {
    return (uint32_t)((key * UINT64_C(0x9E3779B97F4A7C15)) >> (64 - bits_));
  }
  void sortSpacedBuckets();
  // [first, last) of the key's entries.
  void range(uint64_t key, const Entry *&first, const Entry *&last) const;
  // Spaced shapes: the word ending just before an entry's, 0 when none.
  uint64_t previous(const Entry *e) const {
    return previous_.empty() ? 0 : previous_[(size_t)(e - entries_.data())];
  }
  struct Run {
    const Entry *begin, *top;
  };

  std::vector<uint32_t> dir_;
  std::vector<Entry> entries_;
  std::vector<uint64_t> previous_; // beside entries_, spaced shapes only
  mutable std::vector<Run> runs_;  // scratch of visit
  int bits_ = 1;
};

template <typename F>
int32_t WordIndex::visit(uint64_t key, int skipClass, uint64_t skipPrevious, int32_t limit,
                         F &&f) const {
  const Entry *lo, *hi;
  range(key, lo, hi);
  const int32_t n = (int32_t)(hi - lo);
  if (n == 0 || (limit > 0 && n > limit))
    return n;
  // Entries run by class (and previous word), each run by position: merge
  // the runs from their tops after handing out the smallest position first.
  // Long runs are found by halving: a word of a low-complexity stretch has
  // as many entries as the stretch and most queries skip all but one.
  std::vector<Run> &runs = runs_;
  runs.clear();
  const Entry *firstEntry = lo;
  for (const Entry *p = lo; p < hi;) {
    const int cls = p->cls();
    const uint64_t before = previous(p);
    auto same = [&](const Entry &x) { return x.cls() == cls && previous(&x) == before; };
    const Entry *q = p + 1;
    if (hi - p > 16)
      q = std::partition_point(p, hi, same);
    else
      while (q < hi && same(*q))
        ++q;
    if (p->end() < firstEntry->end())
      firstEntry = p;
    if (cls != skipClass || (!previous_.empty() && before != skipPrevious))
      runs.push_back(Run{p, q});
    p = q;
  }
  const bool firstKept = std::any_of(runs.begin(), runs.end(), [&](const Run &r) {
    return r.begin <= firstEntry && firstEntry < r.top;
  });
  if (firstKept)
    f(firstEntry->end());
  auto nextOf = [&](Run &r) { // the run's top entry that is still to come
    if (r.top > r.begin && r.top - 1 == firstEntry)
      --r.top;
    return r.top > r.begin;
  };
  if (runs.size() <= 8) {
    for (;;) {
      Run *best = nullptr;
      for (Run &r : runs)
        if (nextOf(r) && (!best || r.top[-1].end() > best->top[-1].end()))
          best = &r;
      if (!best)
        return n;
      f((--best->top)->end());
    }
  }
  // Many runs (a spaced word with many different words before it).
  auto lower = [](const Run *a, const Run *b) { return a->top[-1].end() < b->top[-1].end(); };
  std::vector<Run *> heap;
  for (Run &r : runs)
    if (nextOf(r))
      heap.push_back(&r);
  std::make_heap(heap.begin(), heap.end(), lower);
  while (!heap.empty()) {
    std::pop_heap(heap.begin(), heap.end(), lower);
    Run *r = heap.back();
    f((--r->top)->end());
    if (nextOf(*r))
      std::push_heap(heap.begin(), heap.end(), lower);
    else
      heap.pop_back();
  }
  return n;
}
