#include "engine/packed_bases.h"

#include <cstddef>
#include <new>

namespace {

void packInto(std::vector<uint64_t> &out, const uint8_t *s, int32_t n) {
  out.assign((size_t)n / 32 + 2, 0); // a spare word for reads across the end
  for (int32_t i = 0; i < n; ++i)
    out[(size_t)i / 32] |= (uint64_t)(s[i] & 3) << (2 * (i % 32));
}

// Set bits of a word whose bits are all at even places (no popcount
// instruction is assumed).
inline int32_t evenBits(uint64_t x) {
  x = (x & UINT64_C(0x3333333333333333)) + ((x >> 2) & UINT64_C(0x3333333333333333));
  x = (x + (x >> 4)) & UINT64_C(0x0f0f0f0f0f0f0f0f);
  return (int32_t)((x * UINT64_C(0x0101010101010101)) >> 56);
}

void markInto(std::vector<uint64_t> &out, const uint8_t *s, int32_t n, const bool usable[64]) {
  out.assign((size_t)n / 32 + 2, 0);
  for (int32_t i = 0; i < n; ++i)
    if (usable[s[i] & 63])
      out[(size_t)i / 32] |= UINT64_C(1) << (2 * (i % 32));
}

constexpr uint64_t kLow = 0x5555555555555555u; // the low bit of every base

} // namespace

bool PackedBases::pack(const uint8_t *s1, int32_t n1, const uint8_t *s2, int32_t n2) {
  try {
    packInto(first_, s1, n1);
    packInto(second_, s2, n2);
  } catch (const std::bad_alloc &) {
    first_.clear();
    second_.clear();
    return false;
  }
  n1_ = n1;
  n2_ = n2;
  return true;
}

inline int32_t PackedBases::sameWithin32(int32_t x, int32_t y, int32_t length) const {
  const uint64_t differ = bases32(first_, x) ^ bases32(second_, y);
  uint64_t same = ~(differ | (differ >> 1)) &
                  (usable1_.empty() ? kLow : bases32(usable1_, x) & bases32(usable2_, y));
  if (length < 32)
    same &= (UINT64_C(1) << (2 * length)) - 1;
  return evenBits(same);
}

int32_t PackedBases::sameBasesAlong(int32_t x, int32_t y, int32_t length) const {
  int32_t count = 0;
  for (int32_t i = 0; i < length; i += 32)
    count += sameWithin32(x + i, y + i, length - i);
  return count;
}

int32_t PackedBases::sameBases(int32_t x, int32_t y, int32_t length) const {
  if (x < 0 || y < 0 || length < 0 || x > n1_ - length || y > n2_ - length)
    return -1;
  if (diagonalAt_.empty() || length >= 60000)
    return sameBasesAlong(x, y, length);
  const int32_t d = x - y, t = x - (d > 0 ? d : 0); // t: position along the diagonal
  const int32_t w0 = t / 32, w1 = (t + length) / 32;
  if (w0 == w1)
    return sameWithin32(x, y, length);
  const uint16_t *before = sameBefore_.data() + diagonalAt_[(size_t)(d + n2_ - 1)];
  const int32_t whole = (uint16_t)(before[w1] - before[w0]);
  const int32_t head = t - 32 * w0, tail = t + length - 32 * w1;
  return whole - (head ? sameWithin32(x - head, y - head, head) : 0) +
         (tail ? sameWithin32(x + length - tail, y + length - tail, tail) : 0);
}

bool PackedBases::countDiagonals() {
  try {
    diagonalAt_.reserve((size_t)n1_ + n2_);
    for (int32_t d = 1 - n2_; d < n1_; ++d) {
      diagonalAt_.push_back((uint32_t)sameBefore_.size());
      const int32_t x0 = d > 0 ? d : 0, y0 = x0 - d;
      const int32_t length = n1_ - x0 < n2_ - y0 ? n1_ - x0 : n2_ - y0;
      uint16_t before = 0;
      sameBefore_.push_back(0);
      for (int32_t t = 0; t + 32 <= length; t += 32) {
        before = (uint16_t)(before + sameBasesAlong(x0 + t, y0 + t, 32));
        sameBefore_.push_back(before);
      }
    }
  } catch (const std::bad_alloc &) {
    diagonalAt_.clear();
    sameBefore_.clear();
    return false;
  }
  return true;
}

bool PackedBases::markUsable(const uint8_t *s1, const uint8_t *s2, const bool usable[64]) {
  try {
    markInto(usable1_, s1, n1_, usable);
    markInto(usable2_, s2, n2_, usable);
  } catch (const std::bad_alloc &) {
    usable1_.clear();
    usable2_.clear();
    return false;
  }
  return true;
}

void PackedBases::setRunSteps(int32_t up, int32_t down) {
  up_ = up;
  down_ = down;
  for (int v = 0; v < 256; ++v) {
    int32_t sum = 0, bestUp = 0, bestDown = 0;
    for (int i = 0; i < 8; ++i) {
      sum += (v >> i) & 1 ? up : down;
      bestUp = sum > bestUp ? sum : bestUp;
    }
    for (int i = 7, back = 0; i >= 0; --i) {
      back += (v >> i) & 1 ? up : down;
      bestDown = back > bestDown ? back : bestDown;
    }
    runSum_[v] = sum;
    runUp_[v] = bestUp;
    runDown_[v] = bestDown;
  }
}

int32_t PackedBases::bestRunAfter(int32_t x, int32_t y, int32_t length) const {
  int32_t sum = 0, best = 0, i = 0;
  for (; i + 32 <= length; i += 32) {
    const uint32_t bits = matchBits(x + i, y + i);
    for (int b = 0; b < 32; b += 8) {
      const uint32_t v = (bits >> b) & 255;
      best = sum + runUp_[v] > best ? sum + runUp_[v] : best;
      sum += runSum_[v];
    }
  }
  if (i < length) {
    const uint32_t bits = matchBits(x + i, y + i);
    for (int b = 0; i < length; ++i, ++b) {
      sum += (bits >> b) & 1 ? up_ : down_;
      best = sum > best ? sum : best;
    }
  }
  return best;
}

int32_t PackedBases::bestRunBefore(int32_t x, int32_t y, int32_t length) const {
  int32_t sum = 0, best = 0, i = 0;
  for (; i + 32 <= length; i += 32) {
    const uint32_t bits = matchBits(x - i - 32, y - i - 32); // bit 31 lies just before
    for (int b = 24; b >= 0; b -= 8) {
      const uint32_t v = (bits >> b) & 255;
      best = sum + runDown_[v] > best ? sum + runDown_[v] : best;
      sum += runSum_[v];
    }
  }
  if (i < length) {
    const int32_t rest = length - i;
    const uint32_t bits = matchBits(x - length, y - length); // bit rest - 1 lies just before
    for (int b = rest - 1; b >= 0; --b) {
      sum += (bits >> b) & 1 ? up_ : down_;
      best = sum > best ? sum : best;
    }
  }
  return best;
}
