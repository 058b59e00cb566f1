#include "ops/reconcile_scan.h"

#include <algorithm>

#include "core/flags.h"
#include "core/session.h"

namespace {
bool usable(const Hit *h) { return h->flags != kHitFree && h->firstBlock; }

// Ranges this short are counted pair by pair.
constexpr size_t kCountDirectly = 8;
} // namespace

// With s, e the span of h and S, E that of a later hit g along the
// sequence, g overlaps h by o >= 1 and 3o <= the shorter length in two
// ways only. Reaching out after h (S >= s): 3S >= 3e - (e - s) and
// E + 2S >= 3e. Reaching out before it (S < s, possible once h was cut):
// 3E <= 3s + (e - s) and 2E + S <= 3s.
struct CandidateScan::Frame {
  const Hit *hit;
  int64_t s, e, lowDiagonal, highDiagonal;
  int64_t afterFrom() const { return s + (2 * (e - s) + 2) / 3; } // ceil(e - (e - s) / 3)
};

CandidateScan::Summary CandidateScan::Summary::join(const Summary &a, const Summary &b) {
  Summary s;
  s.maxStart = std::max(a.maxStart, b.maxStart);
  s.minStart = std::min(a.minStart, b.minStart);
  s.minEnd = std::min(a.minEnd, b.minEnd);
  s.minLength = std::min(a.minLength, b.minLength);
  s.maxEndPlus2Start = std::max(a.maxEndPlus2Start, b.maxEndPlus2Start);
  s.min2EndPlusStart = std::min(a.min2EndPlusStart, b.min2EndPlusStart);
  s.lowDiagonal = std::min(a.lowDiagonal, b.lowDiagonal);
  s.highDiagonal = std::max(a.highDiagonal, b.highDiagonal);
  return s;
}

CandidateScan::Summary CandidateScan::summaryOf(const Hit *h) const {
  Summary s;
  if (!usable(h))
    return s;
  const int64_t a = start(h), b = end(h);
  s.maxStart = s.minStart = a;
  s.minEnd = b;
  s.minLength = b - a;
  s.maxEndPlus2Start = b + 2 * a;
  s.min2EndPlusStart = 2 * b + a;
  for (const HitBlock *k = h->firstBlock; k; k = k->next) {
    const int64_t d = (int64_t)h->start1 + k->x - h->start2 - k->y;
    s.lowDiagonal = std::min(s.lowDiagonal, d);
    s.highDiagonal = std::max(s.highDiagonal, d);
  }
  return s;
}

CandidateScan::CandidateScan(const std::vector<Hit *> &order, int which)
    : order_(order), which_(which), n_(order.size()), now_(std::vector<Summary>(order.size())) {
  starts_.resize(n_);
  ends_.resize(n_);
  keys_.resize(n_);
  for (size_t i = 0; i < n_; ++i) {
    const Hit *h = order_[i];
    starts_[i] = start(h);
    ends_[i] = end(h);
    keys_[i] = ends_[i] + 2 * starts_[i];
    if (!usable(h))
      changed_.insert(i);
    if (i > 0 && starts_[i] < starts_[i - 1])
      sorted_ = false;
    now_.set(i, summaryOf(h));
  }
}

CandidateScan::Frame CandidateScan::frameOf(size_t i) const {
  const Hit *h = order_[i];
  const Summary s = summaryOf(h);
  return Frame{h, start(h), end(h), s.lowDiagonal, s.highDiagonal};
}

bool CandidateScan::candidate(const Frame &f, const Hit *g) const {
  if (!usable(g))
    return false;
  const int64_t gs = start(g), ge = end(g);
  const int64_t overlap = std::min(f.e, ge) - std::max(f.s, gs);
  return overlap >= 1 && 3 * overlap <= std::min(f.e - f.s, ge - gs);
}

size_t CandidateScan::scanEnd(const Frame &f, size_t from) const {
  // A later hit that does not overlap: min(e, E) - max(s, S) < 1.
  const size_t at = now_.findFirst(from, n_, [&f](const Summary &s) {
    return s.any() && (f.e <= f.s || s.maxStart >= f.e || s.minEnd <= f.s || s.minLength <= 0);
  });
  return at == RangeTree<Summary>::npos ? n_ : at;
}

size_t
CandidateScan::nextCandidate(const Frame &f, size_t from, size_t to,
                             const std::function<bool(const Hit *, const Hit *)> *worth) const {
  const int64_t afterFrom = f.afterFrom();
  auto may = [&](const Summary &s) {
    if (!s.any())
      return false;
    // A pair with no block of g on a diagonal at or below one of h's (along
    // sequence 1), or at or above (along sequence 2), has no link to try.
    if (worth && (which_ ? s.highDiagonal < f.lowDiagonal : s.lowDiagonal > f.highDiagonal))
      return false;
    const bool after = s.maxStart >= afterFrom && s.maxEndPlus2Start >= 3 * f.e;
    const bool before =
        s.minStart < f.s && s.min2EndPlusStart <= 3 * f.s && 3 * s.minEnd <= 2 * f.s + f.e;
    return after || before;
  };
  for (size_t at = from; at < to; ++at) {
    at = now_.findFirst(at, to, may);
    if (at == RangeTree<Summary>::npos)
      return to;
    const Hit *g = order_[at];
    if (candidate(f, g) && (!worth || (*worth)(f.hit, g)))
      return at;
  }
  return to;
}

size_t CandidateScan::firstStartingAt(int64_t value) const {
  return (size_t)(std::lower_bound(starts_.begin(), starts_.end(), value) - starts_.begin());
}

void CandidateScan::buildSortedRuns() {
  runsSize_ = 1;
  while (runsSize_ < n_)
    runsSize_ *= 2;
  runs_.assign(2 * runsSize_, {});
  for (size_t i = 0; i < n_; ++i)
    runs_[runsSize_ + i] = {keys_[i]};
  for (size_t i = runsSize_; i-- > 1;) {
    const auto &l = runs_[2 * i], &r = runs_[2 * i + 1];
    runs_[i].resize(l.size() + r.size());
    std::merge(l.begin(), l.end(), r.begin(), r.end(), runs_[i].begin());
  }
}

int64_t CandidateScan::sortedRunsAtLeast(size_t from, size_t to, int64_t key) const {
  int64_t count = 0;
  auto atLeast = [key](const std::vector<int64_t> &run) {
    return (int64_t)(run.end() - std::lower_bound(run.begin(), run.end(), key));
  };
  for (size_t l = from + runsSize_, r = to + runsSize_; l < r; l /= 2, r /= 2) {
    if (l & 1)
      count += atLeast(runs_[l++]);
    if (r & 1)
      count += atLeast(runs_[--r]);
  }
  return count;
}

int64_t CandidateScan::countBetween(const Frame &f, size_t from, size_t to) {
  if (from >= to)
    return 0;
  if (!sorted_ || to - from <= kCountDirectly) {
    int64_t count = 0;
    if (to - from <= kCountDirectly) {
      for (size_t j = from; j < to; ++j)
        count += candidate(f, order_[j]);
      return count;
    }
    for (size_t j = nextCandidate(f, from, to, nullptr); j < to;
         j = nextCandidate(f, j + 1, to, nullptr))
      ++count;
    return count;
  }
  // Hits as they were: before the first that starts at h's start only
  // those reaching out before h, from the first at afterFrom on those with
  // a large enough key; none between. Changed hits are judged as they are.
  const size_t sameStart = std::max(from, std::min(to, firstStartingAt(f.s)));
  const size_t after = std::max(sameStart, std::min(to, firstStartingAt(f.afterFrom())));
  int64_t count = 0;
  for (size_t j = from; j < sameStart; ++j)
    if (!changed_.count(j))
      count += candidate(f, order_[j]);
  if (runs_.empty())
    buildSortedRuns();
  count += sortedRunsAtLeast(after, to, 3 * f.e);
  for (auto it = changed_.lower_bound(from); it != changed_.end() && *it < to; ++it) {
    if (*it >= after && keys_[*it] >= 3 * f.e)
      --count;
    count += candidate(f, order_[*it]);
  }
  return count;
}

void CandidateScan::refresh(size_t i) {
  const Hit *h = order_[i];
  now_.set(i, summaryOf(h));
  if (!usable(h) || start(h) != starts_[i] || end(h) != ends_[i])
    changed_.insert(i);
}

int64_t CandidateScan::count() {
  int64_t total = 0;
  for (size_t i = 0; i < n_; ++i)
    if (usable(order_[i])) {
      const Frame f = frameOf(i);
      total += countBetween(f, i + 1, scanEnd(f, i + 1));
    }
  return total;
}

bool CandidateScan::run(const std::function<bool(const Hit *, const Hit *)> &worth,
                        const std::function<bool(int64_t)> &skipped,
                        const std::function<bool(size_t, size_t)> &pair) {
  for (size_t i = 0; i < n_; ++i) {
    for (size_t from = i + 1; usable(order_[i]);) {
      const Frame f = frameOf(i);
      const size_t end = scanEnd(f, from);
      if (gActionStatus & kStatusStop) {
        // A stop ends the scan after the next pair, whatever it is.
        const size_t j = nextCandidate(f, from, end, nullptr);
        if (j == end)
          break;
        if (worth(f.hit, order_[j]))
          pair(i, j);
        else
          skipped(1);
        return false;
      }
      const size_t j = nextCandidate(f, from, end, &worth);
      const int64_t passed = countBetween(f, from, j);
      if (passed > 0 && !skipped(passed))
        return false;
      if (j == end)
        break;
      const bool goOn = pair(i, j);
      refresh(i);
      refresh(j);
      if (!goOn)
        return false;
      from = j + 1;
    }
  }
  return true;
}
