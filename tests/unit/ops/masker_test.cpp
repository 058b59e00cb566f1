#include "ops/masker.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "ops/filter.h"
#include "seq_builders.h"

namespace {

std::string mutated(const std::string &s, double rate, std::mt19937 &rng) {
  std::string out = s;
  std::uniform_real_distribution<double> u(0, 1);
  for (char &c : out)
    if (u(rng) < rate)
      c = "ACGT"[(std::string("ACGT").find(c) + 1 + rng() % 3) % 4];
  return out;
}

struct Planted {
  std::string seq;
  std::vector<RepeatStretch> copies;
};

// Unique sequence with `count` copies of one 300-residue element, each
// diverged 10-15 % from it, every other one reverse-complemented.
Planted plantFamily(size_t length, int count, unsigned seed) {
  std::mt19937 rng(seed);
  const std::string element = randomBases(300, seed + 100);
  Planted p;
  p.seq = randomBases(length, seed);
  const size_t step = length / size_t(count + 1);
  for (int i = 0; i < count; ++i) {
    std::string copy = mutated(element, 0.10 + 0.05 * (i % 5) / 4.0, rng);
    if (i % 2)
      copy = reverseComplementBases(copy);
    const size_t at = step * size_t(i + 1);
    p.seq.replace(at, copy.size(), copy);
    p.copies.push_back({int32_t(at), int32_t(at + copy.size())});
  }
  return p;
}

std::vector<uint8_t> codes(const std::string &s) {
  std::vector<uint8_t> c;
  for (char letter : s)
    c.push_back(residueCode(letter));
  return c;
}

// Marked residues inside and outside the given stretches.
struct Tally {
  int64_t inside = 0, insideMarked = 0, outside = 0, outsideMarked = 0;
  int copiesTouched = 0;
};
Tally tally(const std::vector<RepeatStretch> &marks, const std::vector<RepeatStretch> &copies,
            int32_t length) {
  std::vector<char> marked(size_t(length), 0), copy(size_t(length), 0);
  for (const RepeatStretch &m : marks)
    for (int32_t i = m.from; i < m.to; ++i)
      marked[size_t(i)] = 1;
  Tally t;
  for (const RepeatStretch &c : copies) {
    bool touched = false;
    for (int32_t i = c.from; i < c.to; ++i) {
      copy[size_t(i)] = 1;
      touched = touched || marked[size_t(i)];
    }
    t.copiesTouched += touched;
  }
  for (int32_t i = 0; i < length; ++i) {
    (copy[size_t(i)] ? t.inside : t.outside) += 1;
    (copy[size_t(i)] ? t.insideMarked : t.outsideMarked) += marked[size_t(i)];
  }
  return t;
}

std::vector<RepeatStretch> maskPair(const std::string &a, const std::string &b, int which) {
  const std::vector<uint8_t> ca = codes(a), cb = codes(b);
  const uint8_t *pair[2] = {ca.data(), cb.data()};
  const int32_t lengths[2] = {int32_t(ca.size()), int32_t(cb.size())};
  WordCounts counts;
  EXPECT_TRUE(counts.build(pair, lengths, 2, defaultMaskerTuning()));
  return counts.stretches(pair[which], lengths[which]);
}

} // namespace

TEST(Masker, PlantedFamilyIsMarkedOnBothStrandsAndUniqueSequenceIsNot) {
  const Planted p = plantFamily(200000, 60, 11);
  const std::string other = randomBases(150000, 12);
  const Tally t = tally(maskPair(p.seq, other, 0), p.copies, int32_t(p.seq.size()));
  EXPECT_GE(t.copiesTouched, 54); // nine in ten, of either orientation
  EXPECT_GT(t.insideMarked, t.inside / 2);
  EXPECT_LT(t.outsideMarked, t.outside / 200); // at most the copies' edges
  // The other sequence holds no copy: nothing of it is marked.
  EXPECT_TRUE(maskPair(p.seq, other, 1).empty());
}

TEST(Masker, HomologyBetweenTheTwoIsNoRepeat) {
  // Sequence 2 is sequence 1 with a few changes, and even sequence 1 itself:
  // every word then occurs twice in the pair, once in each.
  const std::string a = randomBases(300000, 21);
  std::mt19937 rng(22);
  const std::string b = mutated(a, 0.03, rng);
  EXPECT_TRUE(maskPair(a, b, 0).empty());
  EXPECT_TRUE(maskPair(a, b, 1).empty());
  EXPECT_TRUE(maskPair(a, a, 0).empty());
}

TEST(Masker, FamilyInOneSequenceMarksItsCopiesInTheOther) {
  // Sequence 2 is a short stretch holding only four copies: too few to be
  // frequent on their own, but the family is frequent in sequence 1.
  const Planted big = plantFamily(200000, 60, 31);
  Planted small = plantFamily(20000, 4, 31); // the same element (same seed)
  const Tally t = tally(maskPair(big.seq, small.seq, 1), small.copies, int32_t(small.seq.size()));
  EXPECT_EQ(t.copiesTouched, 4);
  EXPECT_LT(t.outsideMarked, t.outside / 100);
}

TEST(Masker, UnknownResiduesAndShortSequences) {
  // Words never span an N, and a run of N is nothing to count.
  std::string withN = plantFamily(100000, 40, 41).seq;
  for (size_t i = 0; i < withN.size(); i += 7)
    withN[i] = 'N';
  EXPECT_TRUE(maskPair(withN, std::string(5000, 'N'), 0).empty());
  EXPECT_TRUE(maskPair("ACGT", "AC", 0).empty());
  EXPECT_TRUE(maskPair("", "", 1).empty());
}

class InterspersedFilter : public ::testing::Test {
protected:
  void SetUp() override {
    const Planted p = plantFamily(120000, 50, 51);
    copies = p.copies;
    loadTestSequences(p.seq.c_str(), randomBases(60000, 52).c_str());
    resetSlotDefaults(gCurrent);
    gCurrent->flagsB = kOptDefaults & ~(kOptFilterPeriodic | kOptFilterPiles);
    gCurrent->flagsB |= kOptFilterInterspersed;
  }
  int64_t marked(int which) const {
    const Sequence *s = sequenceOf(which);
    int64_t n = 0;
    for (int32_t i = 0; i < s->length; ++i)
      n += (s->residues[i] & kResFilter) != 0;
    return n;
  }
  std::vector<RepeatStretch> copies;
};

TEST_F(InterspersedFilter, CreateUpdateAndDelete) {
  ApplyFilter(0, kFilterCreate);
  ApplyFilter(1, kFilterCreate);
  const int64_t first = marked(0);
  EXPECT_GT(first, 50 * 150);
  EXPECT_EQ(marked(1), 0);
  EXPECT_TRUE(gSeq1->flags & kSeqInterspersed);

  // Update adds to the marks; a second Update finds the same repeats.
  ApplyFilter(0, kFilterUpdate);
  ApplyFilter(1, kFilterUpdate);
  EXPECT_EQ(marked(0), first);

  // Create without the kind clears them, and says so for saved files.
  gCurrent->flagsB &= ~kOptFilterInterspersed;
  ApplyFilter(0, kFilterCreate);
  EXPECT_EQ(marked(0), 0);
  EXPECT_FALSE(gSeq1->flags & kSeqInterspersed);

  gCurrent->flagsB |= kOptFilterInterspersed;
  ApplyFilter(0, kFilterCreate);
  ApplyFilter(0, kFilterDelete);
  EXPECT_EQ(marked(0), 0);
  EXPECT_FALSE(gSeq1->flags & kSeqInterspersed);
}
