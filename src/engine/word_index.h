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
  // Word ends of `key` whose class is not `skipClass` (-1 skips none): the
  // first occurrence, then the others from the last down; none when the key
  // occurs more than `limit` times (0: no limit). Returns the occurrences.
  template <typename F> int32_t visit(uint64_t key, int skipClass, int32_t limit, F &&f) const;
  // Cache warm-up for a key about to be looked up.
  void prefetch(uint64_t key) const {
    if (!dir_.empty())
      __builtin_prefetch(&dir_[bucketOf(key)]);
  }
  size_t bytes() const { return dir_.capacity() * 4 + entries_.capacity() * sizeof(Entry); }

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
  // [first, last) of the key's entries.
  void range(uint64_t key, const Entry *&first, const Entry *&last) const;

  std::vector<uint32_t> dir_;
  std::vector<Entry> entries_;
  int bits_ = 1;
};

template <typename F>
int32_t WordIndex::visit(uint64_t key, int skipClass, int32_t limit, F &&f) const {
  const Entry *lo, *hi;
  range(key, lo, hi);
  const int32_t n = (int32_t)(hi - lo);
  if (n == 0 || (limit > 0 && n > limit))
    return n;
  // Entries run by class, each class by position: merge the class runs
  // from their tops after handing out the smallest position first.
  // Long class runs are found by halving: a word of a low-complexity stretch
  // has as many entries as the stretch and most queries skip all but one.
  const Entry *begin[kEdge + 1], *top[kEdge + 1];
  int classes = 0;
  const Entry *firstEntry = lo;
  for (const Entry *p = lo; p < hi;) {
    const int cls = p->cls();
    const Entry *q = p + 1;
    if (hi - p > 16)
      q = std::partition_point(p, hi, [cls](const Entry &x) { return x.cls() == cls; });
    else
      while (q < hi && q->cls() == cls)
        ++q;
    if (p->end() < firstEntry->end())
      firstEntry = p;
    if (p->cls() != skipClass) {
      begin[classes] = p;
      top[classes++] = q;
    }
    p = q;
  }
  if (firstEntry->cls() != skipClass)
    f(firstEntry->end());
  for (;;) {
    int best = -1;
    for (int c = 0; c < classes; ++c) {
      if (top[c] > begin[c] && top[c] - 1 == firstEntry)
        --top[c];
      if (top[c] > begin[c] && (best < 0 || top[c][-1].end() > top[best][-1].end()))
        best = c;
    }
    if (best < 0)
      return n;
    f((--top[best])->end());
  }
}
