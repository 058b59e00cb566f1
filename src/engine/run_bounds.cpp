#include "engine/run_bounds.h"

#include <algorithm>
#include <new>

#include "engine/packed_bases.h"
#include "engine/search_internal.h"

namespace {

constexpr int64_t kNone = INT64_MIN / 4; // an empty list: far below any gap cost

inline int64_t own(const ScoreParams &s, const HitBlock *b) {
  return (int64_t)b->identities * s.match + (int64_t)(b->length - b->identities) * s.mismatch;
}

} // namespace

void RunBounds::Most::raise(const Most &o) {
  after = std::max(after, o.after);
  overlapAfter = std::max(overlapAfter, o.overlapAfter);
  before = std::max(before, o.before);
  overlapBefore = std::max(overlapBefore, o.overlapBefore);
}

bool RunBounds::start(const PackedBases &bases, const ScoreParams &score, int32_t reach,
                      int32_t width, int32_t height, int32_t entries) {
  if (!bases.marked() || !runsBound(score))
    return false;
  try {
    most_.assign((size_t)entries, Most{kNone, kNone, kNone, kNone});
    groups_.assign((size_t)entries / kGroup + 1, Most{kNone, kNone, kNone, kNone});
    near_.reserve(1024);
  } catch (const std::bad_alloc &) {
    return false;
  }
  bases_ = &bases;
  score_ = score;
  step_ = runStep(score);
  reach_ = reach;
  width_ = width;
  height_ = height;
  return true;
}

void RunBounds::add(HitBlock *b, int32_t entry) {
  // The stretch a link bridges lies inside the region.
  const int32_t ex = b->x + b->length, ey = b->y + b->length;
  b->runAfter = 1 + bases_->bestRunAfter(ex, ey, std::min({reach_, width_ - ex, height_ - ey}));
  b->runBefore = 1 + bases_->bestRunBefore(b->x, b->y, std::min({reach_, b->x, b->y}));
  const Most m = of(b);
  most_[(size_t)entry].raise(m);
  groups_[(size_t)entry / kGroup].raise(m);
}

RunBounds::Most RunBounds::of(const HitBlock *b) const {
  return Most{b->runAfter - 1, (int64_t)(b->length - b->identities) * -score_.mismatch,
              own(score_, b) + b->runBefore - 1, (int64_t)b->identities * score_.match};
}

void RunBounds::recount(int32_t entry, const HitBlock *list) {
  Most d{kNone, kNone, kNone, kNone};
  for (const HitBlock *b = list; b; b = b->freeNext)
    d.raise(of(b));
  most_[(size_t)entry] = d;
  const size_t group = (size_t)entry / kGroup;
  Most &g = groups_[group];
  g = Most{kNone, kNone, kNone, kNone};
  for (size_t i = group * kGroup; i < most_.size() && i < (group + 1) * kGroup; ++i)
    g.raise(most_[i]);
}

bool RunBounds::outOfReach(const Most &o, const Most &m, int32_t d) const {
  const int64_t gap = (int64_t)score_.gapOpen + (int64_t)d * score_.gapElongation;
  const int64_t toB = std::max(o.before + m.after, o.overlapBefore + m.overlapAfter);
  const int64_t fromB = std::max(o.after + m.before, o.overlapAfter + m.overlapBefore);
  return gap + std::max(toB, fromB) <= 0;
}

const std::vector<int32_t> &RunBounds::inReach(const HitBlock *b, int32_t entry, int32_t g) const {
  near_.clear();
  const Most o = of(b);
  const int32_t first = std::max(entry - g, 0);
  const int32_t last = std::min(entry + g, (int32_t)most_.size() - 1);
  for (int32_t group = first / kGroup; group <= last / kGroup; ++group) {
    const int32_t lo = std::max(first, group * kGroup),
                  hi = std::min(last, group * kGroup + kGroup - 1);
    // The group's nearest diagonal to b's gives its cheapest gap.
    const int32_t nearest = hi < entry ? entry - hi : lo > entry ? lo - entry : 1;
    if (outOfReach(o, groups_[(size_t)group], nearest))
      continue;
    for (int32_t i = lo; i <= hi; ++i)
      if (i != entry && !outOfReach(o, most_[(size_t)i], i < entry ? entry - i : i - entry))
        near_.push_back(i);
  }
  return near_;
}

int64_t RunBounds::stretchBound(const HitBlock *a, const HitBlock *b, int32_t length) const {
  return (int64_t)(a->runAfter - 1) + (b->runBefore - 1) - (int64_t)step_ * length;
}
