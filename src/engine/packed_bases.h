// The bases of a search region packed two bits each, so that the matches a
// long stretch of one diagonal can hold at most are counted 32 positions at
// a time, or in constant time once every diagonal's counts are kept. A
// large maximal gap makes the link tries bridge stretches of thousands of
// positions, most of which cannot win; the cut of those that can is sought
// 32 positions at a time too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class PackedBases {
public:
  // Bases of s1[0, n1) and s2[0, n2); false when memory is short.
  bool pack(const uint8_t *s1, int32_t n1, const uint8_t *s2, int32_t n2);
  // Positions i of [0, length) where s1[x + i] and s2[y + i] have the same
  // base; -1 when the stretch leaves the region. Until the usable residues
  // are marked, N and masked residues count by their base bits: every match
  // is counted, and maybe more; once marked, exactly the matches.
  int32_t sameBases(int32_t x, int32_t y, int32_t length) const;
  // Counts the same bases of every 32 positions of every diagonal, so that
  // sameBases takes constant time; false when memory is short.
  bool countDiagonals();

  // Marks the residues that can match at all, by their low six bits (call
  // before countDiagonals); false when memory is short.
  bool markUsable(const uint8_t *s1, const uint8_t *s2, const bool usable[64]);
  bool marked() const { return !usable1_.empty(); }
  // Once marked, the matches of the 32 positions from (x, y) on, position i
  // at bit i; the first position must lie inside the region.
  uint32_t matchBits(int32_t x, int32_t y) const {
    const uint64_t differ = bases32(first_, x) ^ bases32(second_, y);
    uint64_t v = ~(differ | (differ >> 1)) & bases32(usable1_, x) & bases32(usable2_, y);
    v = (v | (v >> 1)) & UINT64_C(0x3333333333333333);
    v = (v | (v >> 2)) & UINT64_C(0x0f0f0f0f0f0f0f0f);
    v = (v | (v >> 4)) & UINT64_C(0x00ff00ff00ff00ff);
    v = (v | (v >> 8)) & UINT64_C(0x0000ffff0000ffff);
    return (uint32_t)(v | (v >> 16));
  }

  // Steps of the running sums below: `up` at a match, `down` elsewhere.
  void setRunSteps(int32_t up, int32_t down);
  // Once marked, the best running sum over the first 0..length positions
  // from (x, y) on (forwards), or before (x, y) going back; 0 at least.
  // The positions must lie inside the region.
  int32_t bestRunAfter(int32_t x, int32_t y, int32_t length) const;
  int32_t bestRunBefore(int32_t x, int32_t y, int32_t length) const;

private:
  // The 32 two-bit fields from position p on, first in the lowest bits.
  static uint64_t bases32(const std::vector<uint64_t> &v, int32_t p) {
    const size_t w = (size_t)p / 32;
    const unsigned shift = 2 * (unsigned)(p % 32);
    return shift ? (v[w] >> shift) | (v[w + 1] << (64 - shift)) : v[w];
  }
  int32_t sameBasesAlong(int32_t x, int32_t y, int32_t length) const;
  int32_t sameWithin32(int32_t x, int32_t y, int32_t length) const; // length <= 32

  std::vector<uint64_t> first_, second_;
  std::vector<uint64_t> usable1_, usable2_; // the low bit of each usable base's pair
  int32_t n1_ = 0, n2_ = 0;
  // Same bases before each 32nd position of a diagonal (x - y = d, from
  // its start), modulo 2^16: the stretches asked about are shorter. The
  // counts of diagonal d start at diagonalAt_[d + n2 - 1].
  std::vector<uint16_t> sameBefore_;
  std::vector<uint32_t> diagonalAt_;
  // Per byte of match bits: its sum, and its best running sum walking the
  // bits up and down.
  int32_t up_ = 0, down_ = 0;
  int32_t runSum_[256] = {}, runUp_[256] = {}, runDown_[256] = {};
};
