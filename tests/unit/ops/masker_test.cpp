#include "ops/masker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_map>
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

std::vector<RepeatStretch> maskPair(const std::string &a, const std::string &b, int which,
                                    int wordLength = 0) {
  const std::vector<uint8_t> ca = codes(a), cb = codes(b);
  const uint8_t *pair[2] = {ca.data(), cb.data()};
  const int32_t lengths[2] = {int32_t(ca.size()), int32_t(cb.size())};
  MaskerTuning tuning = defaultMaskerTuning();
  tuning.wordLength = wordLength;
  WordCounts counts;
  EXPECT_TRUE(counts.build(pair, lengths, 2, tuning));
  return counts.stretches(pair[which], lengths[which]);
}

// The stretches by brute force: every window counted afresh.
std::vector<RepeatStretch> slowDenseStretches(const std::vector<bool> &frequent, int k, int window,
                                              int minWords, int joinGap, int minLength) {
  const int n = int(frequent.size());
  // Windows start no later than the last full one (a short sequence has one).
  auto dense = [&](int start) {
    if (start > std::max(0, n - window))
      return false;
    int words = 0;
    for (int i = start; i < std::min(n, start + window); ++i)
      words += frequent[size_t(i)];
    return words >= minWords;
  };
  std::vector<RepeatStretch> out;
  int from = -1, to = -1;
  for (int j = 0; j < n; ++j) {
    bool held = false;
    for (int s = std::max(0, j - window + 1); s <= j && !held; ++s)
      held = dense(s);
    if (!frequent[size_t(j)] || !held)
      continue;
    if (from >= 0 && j - to < joinGap) {
      to = std::max(to, std::min(n, j + k));
      continue;
    }
    if (from >= 0 && to - from >= minLength)
      out.push_back({from, to});
    from = j;
    to = std::min(n, j + k);
  }
  if (from >= 0 && to - from >= minLength)
    out.push_back({from, to});
  return out;
}

// Counts of the words of a sequence, a word with its reverse complement.
std::vector<int> classCounts(const std::string &s, int k) {
  std::unordered_map<std::string, int> counts;
  for (size_t i = 0; i + size_t(k) <= s.size(); ++i) {
    const std::string w = s.substr(i, size_t(k));
    ++counts[std::min(w, reverseComplementBases(w))];
  }
  std::vector<int> out;
  for (const auto &[word, n] : counts)
    out.push_back(n);
  return out;
}

// Random bases with the shares of A, C and G given (T the rest).
std::string basesWithShares(size_t n, double a, double c, double g, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0, 1);
  std::string s(n, 'A');
  for (char &letter : s) {
    const double x = u(rng);
    letter = x < a ? 'A' : x < a + c ? 'C' : x < a + c + g ? 'G' : 'T';
  }
  return s;
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

TEST(Masker, CopiesOnEitherStrandCountTogether) {
  // Four copies each way: only together do they reach the least count that
  // makes a word frequent, whatever the word length (odd and even words
  // find their class differently).
  const std::string element = randomBases(300, 15);
  std::string seq = randomBases(200000, 16);
  std::vector<RepeatStretch> copies;
  for (int i = 0; i < 8; ++i) {
    const size_t at = 20000 * size_t(i + 1);
    seq.replace(at, 300, i % 2 ? reverseComplementBases(element) : element);
    copies.push_back({int32_t(at), int32_t(at + 300)});
  }
  const std::string other = randomBases(50000, 17);
  for (int k : {9, 10, 11, 12, 13}) {
    SCOPED_TRACE(k);
    const Tally t = tally(maskPair(seq, other, 0, k), copies, int32_t(seq.size()));
    EXPECT_EQ(t.copiesTouched, 8);
    EXPECT_GT(t.insideMarked, t.inside * 9 / 10);
    EXPECT_LT(t.outsideMarked, 100);
  }
}

TEST(Masker, FamilyFillingMostOfAShortSequenceIsMarked) {
  // 90 copies make up 42 % of 64 kb: the family's words are far more than
  // the top few of the distinct words.
  const Planted p = plantFamily(64000, 90, 61);
  const std::string other = randomBases(64000, 62);
  const Tally t = tally(maskPair(p.seq, other, 0), p.copies, int32_t(p.seq.size()));
  EXPECT_GE(t.copiesTouched, 85);
  EXPECT_GT(t.insideMarked, t.inside * 8 / 10);
  EXPECT_LT(t.outsideMarked, t.outside / 50);
  EXPECT_TRUE(maskPair(p.seq, other, 1).empty());
}

TEST(Masker, ChanceCountIsWhatRandomSequenceReaches) {
  // Fewer than one word class in a random sequence is expected to reach the
  // count chance gives, yet the largest count comes near it: with an even
  // composition, and with one rich in A and T (more A than T).
  const double shares[2][3] = {{0.25, 0.25, 0.25}, {0.4, 0.15, 0.15}};
  for (const auto &[a, c, g] : shares) {
    SCOPED_TRACE(a);
    std::vector<BaseCounts> bases;
    std::vector<std::vector<int>> counts;
    for (unsigned seed = 71; seed < 75; ++seed) {
      const std::string s = basesWithShares(100000, a, c, g, seed);
      BaseCounts b = {};
      for (char letter : s)
        ++b[std::string("ACGT").find(letter)];
      bases.push_back(b);
      counts.push_back(classCounts(s, 9));
    }
    int reaching = 0, largest = 0;
    for (size_t i = 0; i < counts.size(); ++i) {
      const int chance = chanceCount({bases[i]}, 9);
      for (int n : counts[i]) {
        reaching += n >= chance;
        largest = std::max(largest, n - chance);
      }
    }
    EXPECT_LE(reaching, 4);
    EXPECT_GE(largest, -3);
    // Counted in two sequences, a class has two chances.
    EXPECT_GT(chanceCount({bases[0], bases[1]}, 9), chanceCount({bases[0]}, 9) - 1);
  }
}

TEST(Masker, DenseStretchesMatchCountingEveryWindow) {
  std::mt19937 rng(81);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 3000; ++round) {
    // Lengths about the 64-position blocks and the window; clustered words.
    const int n = 1 + int(rng() % (round % 3 ? 300 : 40));
    const int window = 1 + int(rng() % 50), minWords = 1 + int(rng() % 10);
    const int joinGap = int(rng() % 40), minLength = int(rng() % 60), k = 8 + int(rng() % 6);
    const double dense = u(rng);
    std::vector<bool> frequent(size_t(n), false);
    std::vector<uint64_t> starts(size_t(n + 63) / 64, 0);
    for (int i = 0; i + k <= n; ++i)
      if (u(rng) < ((i / 50) % 2 ? dense : dense / 10)) {
        frequent[size_t(i)] = true;
        starts[size_t(i / 64)] |= uint64_t(1) << (i % 64);
      }
    const auto fast = denseStretches(starts, n, k, window, minWords, joinGap, minLength);
    const auto slow = slowDenseStretches(frequent, k, window, minWords, joinGap, minLength);
    ASSERT_EQ(fast, slow) << "round " << round << ", n " << n << ", window " << window << ", words "
                          << minWords;
  }
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
