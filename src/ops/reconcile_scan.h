// The candidate pairs of Reconcile along one sequence: for each hit of an
// order, the later hits that overlap it by at least one position and by no
// more than a third of the shorter of the two, the scan of later hits
// ending at the first one that does not overlap. The pairs come in the
// order of that scan, but a run of thousands of hits that all overlap
// costs a few tree walks instead of a pair each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "core/records.h"
#include "ops/range_tree.h"

class CandidateScan {
public:
  // which: 0 along sequence 1, 1 along sequence 2. The hits must stay
  // records of the session while the scan lives.
  CandidateScan(const std::vector<Hit *> &order, int which);

  // Number of candidate pairs, the hits as they are.
  int64_t count();

  // Visits the candidates in scan order. `worth(h, g)` tells whether a pair
  // can change anything; the others are passed to `skipped` as counts of
  // successive pairs. `pair(i, j)` gets the rest and may change both hits.
  // Either callback returns false to end the scan, and so does run.
  bool run(const std::function<bool(const Hit *, const Hit *)> &worth,
           const std::function<bool(int64_t)> &skipped,
           const std::function<bool(size_t, size_t)> &pair);

  struct Summary {
    int64_t maxStart = INT64_MIN, minStart = INT64_MAX, minEnd = INT64_MAX, minLength = INT64_MAX;
    int64_t maxEndPlus2Start = INT64_MIN, min2EndPlusStart = INT64_MAX;
    int64_t lowDiagonal = INT64_MAX, highDiagonal = INT64_MIN;
    bool any() const { return maxStart != INT64_MIN; }
    static Summary join(const Summary &a, const Summary &b);
  };

private:
  struct Frame; // the hit whose later hits are scanned, as it is now
  Frame frameOf(size_t i) const;
  Summary summaryOf(const Hit *h) const;
  int64_t start(const Hit *h) const { return which_ ? h->start2 : h->start1; }
  int64_t end(const Hit *h) const { return which_ ? h->end2 : h->end1; }
  bool candidate(const Frame &f, const Hit *g) const;
  size_t scanEnd(const Frame &f, size_t from) const;
  size_t nextCandidate(const Frame &f, size_t from, size_t to,
                       const std::function<bool(const Hit *, const Hit *)> *worth) const;
  int64_t countBetween(const Frame &f, size_t from, size_t to);
  size_t firstStartingAt(int64_t value) const;
  void refresh(size_t i);
  void buildSortedRuns();
  int64_t sortedRunsAtLeast(size_t from, size_t to, int64_t key) const;

  const std::vector<Hit *> &order_;
  const int which_;
  const size_t n_;
  // The hits as they were when the scan began: their spans along the
  // sequence and the key of the count, end + 2 * start.
  std::vector<int64_t> starts_, ends_, keys_;
  bool sorted_ = true; // starts_ never decrease
  RangeTree<Summary> now_;
  std::set<size_t> changed_; // hits no longer as they were
  // Merge-sort tree of keys_ by position, built when first needed.
  std::vector<std::vector<int64_t>> runs_;
  size_t runsSize_ = 0;
};
