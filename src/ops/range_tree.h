// Position-indexed summaries of a list of hits, so that the set operations
// find the next hit worth a closer look without walking the ones between.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A segment tree over positions; Summary has a default value that means
// "nothing here" and a static `join`. Leaves change one at a time.
template <typename Summary> class RangeTree {
public:
  static constexpr size_t npos = SIZE_MAX;

  explicit RangeTree(const std::vector<Summary> &leaves) : size_(1) {
    while (size_ < leaves.size())
      size_ *= 2;
    nodes_.assign(2 * size_, Summary{});
    for (size_t i = 0; i < leaves.size(); ++i)
      nodes_[size_ + i] = leaves[i];
    for (size_t i = size_; i-- > 1;)
      nodes_[i] = Summary::join(nodes_[2 * i], nodes_[2 * i + 1]);
  }

  void set(size_t i, const Summary &value) {
    i += size_;
    nodes_[i] = value;
    for (i /= 2; i >= 1; i /= 2)
      nodes_[i] = Summary::join(nodes_[2 * i], nodes_[2 * i + 1]);
  }
  const Summary &leaf(size_t i) const { return nodes_[size_ + i]; }

  // First position in [from, to) whose leaf passes `may`; `may` is asked of
  // the summaries above it first and must hold for a summary whenever it
  // holds for one of the leaves below it.
  template <typename May> size_t findFirst(size_t from, size_t to, const May &may) const {
    if (from >= to)
      return npos;
    return find(1, 0, size_, from, to, may);
  }

private:
  template <typename May>
  size_t find(size_t node, size_t lo, size_t hi, size_t from, size_t to, const May &may) const {
    if (hi <= from || to <= lo || !may(nodes_[node]))
      return npos;
    if (hi - lo == 1)
      return lo;
    const size_t mid = (lo + hi) / 2;
    const size_t left = find(2 * node, lo, mid, from, to, may);
    return left != npos ? left : find(2 * node + 1, mid, hi, from, to, may);
  }

  size_t size_;
  std::vector<Summary> nodes_;
};

// Counts of marked positions, with marks removed one at a time.
class MarkCounter {
public:
  explicit MarkCounter(const std::vector<bool> &marks) : tree_(marks.size() + 1, 0) {
    for (size_t i = 0; i < marks.size(); ++i)
      if (marks[i])
        add(i, 1);
  }
  void unmark(size_t i) { add(i, -1); }
  // Marked positions in [0, end).
  int64_t before(size_t end) const {
    int64_t sum = 0;
    for (size_t i = end; i > 0; i -= i & (~i + 1))
      sum += tree_[i];
    return sum;
  }
  // Marked positions in [from, to).
  int64_t between(size_t from, size_t to) const {
    return to > from ? before(to) - before(from) : 0;
  }

private:
  void add(size_t i, int64_t delta) {
    for (size_t j = i + 1; j < tree_.size(); j += j & (~j + 1))
      tree_[j] += delta;
  }
  std::vector<int64_t> tree_;
};
