// The bases of a search region packed two bits each, so that the matches a
// long stretch of one diagonal can hold at most are counted 32 positions at
// a time, or in constant time once every diagonal's counts are kept. A
// large maximal gap makes the link tries bridge stretches of thousands of
// positions, most of which cannot win.
#pragma once
#include <cstdint>
#include <vector>

class PackedBases {
public:
  // Bases of s1[0, n1) and s2[0, n2); false when memory is short.
  bool pack(const uint8_t *s1, int32_t n1, const uint8_t *s2, int32_t n2);
  // Positions i of [0, length) where s1[x + i] and s2[y + i] have the same
  // base; -1 when the stretch leaves the region. N and masked residues
  // count by their base bits: every match is counted, and maybe more.
  int32_t sameBases(int32_t x, int32_t y, int32_t length) const;
  // Counts the same bases of every 32 positions of every diagonal, so that
  // sameBases takes constant time; false when memory is short.
  bool countDiagonals();

private:
  int32_t sameBasesAlong(int32_t x, int32_t y, int32_t length) const;

  std::vector<uint64_t> first_, second_;
  int32_t n1_ = 0, n2_ = 0;
  // Same bases before each 32nd position of a diagonal (x - y = d, from
  // its start), modulo 2^16: the stretches asked about are shorter. The
  // counts of diagonal d start at diagonalAt_[d + n2 - 1].
  std::vector<uint16_t> sameBefore_;
  std::vector<uint32_t> diagonalAt_;
};
