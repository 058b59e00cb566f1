// The islands of a whole search region, found once. With a large maximal
// gap every seed of the hash mode scans thousands of diagonals over
// thousands of positions, and the seeds' windows cover the same stretches
// again and again; past a point the region is scanned once instead and each
// bounded scan is answered from what that scan found.
//
// A bounded scan resets its frame rule at every failing frame: from a reset
// on, what it finds depends on the diagonal only, not on where it started.
// So the islands a scan can find are those between successive failing
// frames whose matches reach k (kept here), or one it starts inside; and a
// diagonal with no kept island near a window has nothing to find in it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class IslandMap {
public:
  // Scans every diagonal of the running region (gEngine); false when memory
  // is short.
  bool build();

  // What scanDiagonalWithin(x, y, xLimit, yLimit, room) finds: false, or
  // the island's start, length and matches. *alone, when asked, tells
  // whether a scan from the island's end with the same limits and any room
  // surely finds nothing (false when unsure): most islands are alone in a
  // window, and the scan after each would cost as much as the island.
  bool scan(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room, int32_t &islandX,
            int32_t &islandY, int32_t &length, int32_t &matches, bool *alone = nullptr) const;

  // The diagonals (x - y) within g of k0, k0 left out, with a kept island
  // meeting the box [xFrom, xTo] x [yFrom, yTo], in the order of the
  // chaining loops: by distance from k0, at each distance k0 + firstSide * d
  // first.
  void nearDiagonals(int32_t k0, int32_t g, int32_t firstSide, int32_t xFrom, int32_t xTo,
                     int32_t yFrom, int32_t yTo, std::vector<int32_t> &out) const;

  // The places (offsets in the island) where runs of w matches reach w, as
  // the hash mode's backward chaining counts them for the island at (x, y)
  // of that length, when it is one the map keeps; null otherwise.
  const int32_t *wordRuns(int32_t x, int32_t y, int32_t length, int32_t &count) const;

  // The best running sum over any stretch of diagonal k, a match adding
  // match + runStep and any other position mismatch + runStep (0 at
  // least); -1 when the scores rule the bound out. What an island there
  // scores with a stretch beside it is at most its own score and this.
  int64_t bestRun(int32_t k) const {
    return bestRun_.empty() ? -1 : bestRun_[(size_t)(k + H_ - 1)];
  }

private:
  // An island between the failing frames ending at positions fa and fb of
  // its diagonal (counted from the diagonal's start): the matches from the
  // frame at fa on, before fb. fa is the diagonal's first frame, counted as
  // failing, for the island a scan from the start meets first.
  // from, to: the island a scan reports there (empty when from >= to).
  struct Kept {
    int32_t fa, fb, matches, from, to;
    uint32_t runs, runCount; // its word runs in runs_
  };
  int32_t start(int32_t k) const { return k > 0 ? k : 0; } // x where diagonal k starts
  int32_t length(int32_t k) const;
  const Kept *firstFrom(int32_t k, int32_t fa) const; // first kept island with fa >= position
  void findWordRuns();

  int32_t W_ = 0, H_ = 0;
  std::vector<Kept> kept_;           // by diagonal, then position
  std::vector<uint32_t> byDiagonal_; // kept_ index of each diagonal's first; D + 1 entries
  static constexpr int32_t kBucket = 256;
  struct Span {
    int32_t k, xa, xb; // a kept island's frames from x = xa to xb
  };
  std::vector<Span> spans_;                     // as kept_
  std::vector<std::vector<Span>> buckets_;      // per 256 x: the kept islands there, by diagonal
  mutable std::vector<uint64_t> below_, above_; // scratch of nearDiagonals: distances
  mutable std::vector<int32_t> order_;          // and the diagonals in order
  bool scanInside(int32_t x, int32_t y, int32_t budget, int32_t room, int32_t &islandX,
                  int32_t &islandY, int32_t &length, int32_t &matches) const;
  std::vector<int32_t> runs_;
  std::vector<int64_t> bestRun_; // by diagonal
};
