// With a large maximal gap every island of the Align sweep meets the islands
// held on thousands of diagonals, and almost none can link to it: a gap of
// d diagonals costs d elongations, and the stretch a link bridges between
// two islands on different diagonals scores at most what runs of matches
// beside them allow. Each diagonal keeps the most any island held on it can
// add to a link beyond its predecessor's chain, and so does each group of
// diagonals, so that those too far away for that are passed over unwalked.
#pragma once
#include <cstdint>
#include <vector>

#include "core/records.h"

class PackedBases;

class RunBounds {
public:
  // Over `entries` diagonal lists, with the bases (their run steps set from
  // the scores) and scores of the search, for stretches up to `reach`
  // positions; false when memory is short or the scores rule the bound out.
  bool start(const PackedBases &bases, const ScoreParams &score, int32_t reach, int32_t width,
             int32_t height, int32_t entries);

  // Fills an island's runs (before its start, after its end) and counts it
  // in its diagonal's list `entry`.
  void add(HitBlock *island, int32_t entry);
  // The list `entry` now holds these islands (linked by freeNext).
  void recount(int32_t entry, const HitBlock *list);
  // The lists within g of b's list `entry`, its own left out, in order,
  // whose islands may link with b in either order; any other link scores
  // at most its predecessor's chain, which it must beat: b's own, or a held
  // island's or its successor's, which beat it when it linked.
  const std::vector<int32_t> &inReach(const HitBlock *b, int32_t entry, int32_t g) const;

  // The most the stretch of `length` positions between a's end and b's
  // start can score in a link from a to b.
  int64_t stretchBound(const HitBlock *a, const HitBlock *b, int32_t length) const;

  int32_t reach() const { return reach_; }

private:
  // What an island adds to a link: as predecessor, the stretch after it,
  // or, overlapping its successor, the mismatches of its part after the
  // cut; as successor, its own score with the stretch before it, or its
  // matches after the cut.
  struct Most {
    int64_t after, overlapAfter, before, overlapBefore;
    void raise(const Most &o);
  };
  static constexpr int32_t kGroup = 64; // diagonals a group
  Most of(const HitBlock *b) const;
  // True when, d diagonals away, islands adding at most m cannot link with b.
  bool outOfReach(const Most &own, const Most &m, int32_t d) const;
  const PackedBases *bases_ = nullptr;
  ScoreParams score_;
  int32_t step_ = 0, reach_ = 0, width_ = 0, height_ = 0;
  std::vector<Most> most_, groups_;
  mutable std::vector<int32_t> near_;
};
