// The word index against a slow reference, and repeat-heavy inputs that the
// hash search must get through with work in proportion to their length.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/residue.h"
#include "engine/scores.h"
#include "engine/word_index.h"
#include "search_fixture.h"

namespace {

std::vector<uint8_t> codes(const std::string &s) {
  std::vector<uint8_t> out;
  for (char c : s)
    out.push_back(residueCode(c));
  out.push_back(0); // room for the reads past the end that never happen
  return out;
}

// Few letters and some N: many repeated words, and words that N breaks.
std::string repetitive(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) {
    const unsigned r = rng() % 100;
    if (r < 3)
      s += 'N';
    else if (r < 8)
      s += std::string(1 + rng() % 12, 'A');
    else
      s += "AACG"[rng() & 3];
  }
  s.resize(n);
  return s;
}

bool usable(uint8_t r) { return IslandMatchTable[r & 31][r & 31] != 0; }

// Word ends of `s` whose compared residues equal those of q's word ending
// at j: the first, then the others from the last down, as the seeding visits
// them. Left out: for a contiguous word those of class `skipClass`, for a
// spaced one (skipClass 0) those whose previous word equals q's.
std::vector<int32_t> slowVisit(const std::vector<uint8_t> &s, const std::vector<uint8_t> &q,
                               int32_t j, const std::string &pattern, int skipClass) {
  const int32_t span = (int32_t)pattern.size();
  const bool spaced = pattern.find('0') != std::string::npos;
  auto valid = [&](const std::vector<uint8_t> &v, int32_t end) {
    if (end - span + 1 < 0)
      return false;
    for (int32_t o = 0; o < span; ++o)
      if (!usable(v[(size_t)(end - span + 1 + o)]))
        return false;
    return true;
  };
  auto same = [&](int32_t i, int32_t k) {
    for (int32_t o = 0; o < span; ++o)
      if (pattern[(size_t)o] == '1' &&
          (s[(size_t)(i - span + 1 + o)] & 3) != (q[(size_t)(k - span + 1 + o)] & 3))
        return false;
    return true;
  };
  std::vector<int32_t> found;
  if (!valid(q, j))
    return found;
  for (int32_t i = 0; i + 1 < (int32_t)s.size(); ++i)
    if (valid(s, i) && same(i, j))
      found.push_back(i);
  std::vector<int32_t> order;
  if (found.empty())
    return order;
  order.push_back(found[0]);
  for (size_t k = found.size(); k-- > 1;)
    order.push_back(found[k]);
  std::vector<int32_t> kept;
  for (int32_t i : order) {
    const bool skipped =
        spaced ? skipClass == 0 && valid(s, i - 1) && valid(q, j - 1) && same(i - 1, j - 1)
               : WordIndex::residueClass(s.data(), i - span + 1) == skipClass;
    if (!skipped)
      kept.push_back(i);
  }
  return kept;
}

TEST(WordIndex, HandsOutEveryEqualWordAndNoOtherInSeedingOrder) {
  buildIslandMatchTable(0x08);
  for (const std::string pattern : {"1111", "11111111111", "1101", "1110100110010101111"}) {
    const SeedShape shape = pattern.find('0') == std::string::npos
                                ? SeedShape::contiguous((int32_t)pattern.size())
                                : SeedShape::spaced(pattern);
    ASSERT_TRUE(shape.valid()) << pattern;
    const std::vector<uint8_t> s = codes(repetitive(3000, 1)), q = codes(repetitive(400, 2));
    WordIndex index;
    ASSERT_TRUE(index.build(s.data(), (int32_t)s.size() - 1, shape));
    WordRoller roll(shape);
    uint64_t key = 0, before = 0;
    int words = 0;
    for (int32_t j = 0; j + 1 < (int32_t)q.size(); ++j) {
      const uint64_t previous = before;
      const bool word = roll.push(q[(size_t)j], key);
      EXPECT_EQ(word, !slowVisit(q, q, j, pattern, -1).empty()) << pattern << " at " << j;
      before = word ? key : ~UINT64_C(0);
      if (!word)
        continue;
      ++words;
      for (int skip = -1; skip < 4; ++skip) {
        std::vector<int32_t> got;
        const int32_t n = index.visit(key, skip, previous, 0, [&](int32_t i) { got.push_back(i); });
        ASSERT_EQ(got, slowVisit(s, q, j, pattern, skip)) << pattern << " at " << j;
        if (skip < 0) {
          EXPECT_EQ(n, (int32_t)got.size());
          EXPECT_EQ(index.count(key), n);
        }
      }
      // Over the limit nothing is handed out; at the limit every copy is.
      const int32_t n = index.count(key);
      int32_t handed = 0;
      EXPECT_EQ(index.visit(key, -1, 0, n, [&](int32_t) { ++handed; }), n);
      EXPECT_EQ(handed, n);
      if (n > 1) {
        EXPECT_EQ(index.visit(key, -1, 0, n - 1, [](int32_t) { ADD_FAILURE(); }), n);
      }
    }
    EXPECT_GT(words, 100) << pattern;
  }
}

TEST(WordIndex, ShapesAndSmallIndex) {
  EXPECT_FALSE(SeedShape::spaced("0110").valid());
  EXPECT_FALSE(SeedShape::spaced("1x1").valid());
  EXPECT_FALSE(SeedShape::spaced(std::string(33, '1')).valid());
  EXPECT_EQ(SeedShape::spaced("1110100110010101111").weight, 12);
  // An index is sized to its sequence, not to the word size.
  buildIslandMatchTable(0x08);
  const std::vector<uint8_t> s = codes(repetitive(50000, 3));
  WordIndex index;
  ASSERT_TRUE(index.build(s.data(), 50000, SeedShape::contiguous(16)));
  EXPECT_LT(index.bytes(), 2u << 20);
  // No whole word: an empty index that hands out nothing.
  const std::vector<uint8_t> few = codes("ACGTNNNNNNNNNNNNNNNNACGTACGT");
  ASSERT_TRUE(index.build(few.data(), (int32_t)few.size(), SeedShape::contiguous(16)));
  EXPECT_EQ(index.count(0), 0);
  EXPECT_EQ(index.visit(0, -1, 0, 0, [](int32_t) { ADD_FAILURE(); }), 0);
}

// In a low-complexity stretch every spaced word has the same word before
// it but at the stretch's start: a query there gets that one entry, not the
// stretch's length of them.
TEST(WordIndex, SpacedWordsInsideAStretchHandOutOnlyItsStart) {
  buildIslandMatchTable(0x08);
  const SeedShape shape = SeedShape::spaced("1110100110010101111");
  const std::vector<uint8_t> s = codes(std::string(5000, 'A'));
  WordIndex index;
  ASSERT_TRUE(index.build(s.data(), 5000, shape));
  WordRoller roll(shape);
  uint64_t key = 0;
  bool word = false;
  for (int32_t j = 0; j < 100; ++j) {
    const uint64_t before = key;
    const bool follows = word; // the word ending just before is complete
    word = roll.push(s[(size_t)j], key);
    if (!word)
      continue;
    std::vector<int32_t> got;
    const int32_t n =
        index.visit(key, follows ? 0 : -1, before, 0, [&](int32_t i) { got.push_back(i); });
    EXPECT_EQ(n, 5000 - shape.span + 1);
    if (follows) {
      EXPECT_EQ(got, std::vector<int32_t>{shape.span - 1});
    }
  }
}

class RepeatHeavy : public SearchTest {
protected:
  int32_t alignSelf(const std::string &s, int32_t repeatLimit, int16_t seedShape = 0) {
    IslandParams ip;
    ip.repeatLimit = repeatLimit;
    ip.seedShape = seedShape;
    load(s, s, 0x08, ip);
    gCurrent->reportRepeats = 0;
    EXPECT_EQ(seedByWords(region()), kSearchNormal);
    return gCurrent->reportFirst; // islands viewed: the work done
  }
};

TEST_F(RepeatHeavy, LowComplexityWordsAreNoSeedsOverTheLimit) {
  EXPECT_EQ(alignSelf(std::string(40000, 'A'), kDefaultRepeatLimit), 0);
  EXPECT_EQ(gCurrent->reportRepeats, 40000 - 15);
  std::string periodic;
  while (periodic.size() < 125000)
    periodic += "ACGTTGCA";
  EXPECT_EQ(alignSelf(periodic, kDefaultRepeatLimit), 0);
  EXPECT_EQ(gCurrent->reportRepeats, 125000 - 15);
}

// A word with exactly `limit` copies seeds; with one more, each of its
// occurrences in sequence 2 counts as a repeat.
TEST_F(RepeatHeavy, AWordAtTheLimitIsNoRepeat) {
  const std::string word = randomBases(16, 40);
  std::string s;
  for (unsigned k = 0; k < 5; ++k)
    s += randomBases(200, 41 + k) + word;
  alignSelf(s, 5);
  EXPECT_EQ(gCurrent->reportRepeats, 0);
  alignSelf(s, 4);
  EXPECT_EQ(gCurrent->reportRepeats, 5);
}

// Without a limit every copy of such a word is a seed; those inside the
// first chain's box are given up before they grow (minutes of work before,
// ~4 x per doubling).
TEST_F(RepeatHeavy, WithoutALimitCopiesInsideAKeptChainCostNothing) {
  std::string periodic;
  while (periodic.size() < 125000)
    periodic += "ACGTTGCA";
  for (int16_t shape : {0, 1}) // runs of matches, spaced words
    for (const std::string &s : {std::string(40000, 'A'), periodic}) {
      EXPECT_LT(alignSelf(s, 0, shape), 100) << s.size();
      const std::vector<Box> boxes = hitBoxes();
      ASSERT_EQ(boxes.size(), 1u) << s.size();
      EXPECT_EQ(covered(boxes, 0, (int32_t)s.size()), (int32_t)s.size());
    }
}

// That shortcut is for words above the default limit only: a repeat inside
// an aligned stretch whose first word has exactly that many copies in
// sequence 1 is still found; with one copy more it is left to the chain.
TEST_F(RepeatHeavy, ACopyInsideAKeptChainIsFoundUpToTheDefaultLimit) {
  const std::string unit = randomBases(60, 70);
  const std::string stretch =
      randomBases(1000, 71) + unit + randomBases(1000, 72) + unit + randomBases(1000, 73);
  for (int32_t copies : {kDefaultRepeatLimit, kDefaultRepeatLimit + 1}) {
    std::string a = stretch;
    for (int32_t k = 2; k < copies; ++k) // the unit's first word elsewhere in sequence 1
      a += unit.substr(0, 16) + randomBases(30, 100 + unsigned(k));
    IslandParams ip;
    ip.repeatLimit = 0;
    load(a, stretch, 0x08, ip);
    EXPECT_EQ(seedByWords(region()), kSearchNormal);
    int copyPairs = 0;
    for (const Box &b : hitBoxes())
      copyPairs += std::abs(b.x0 - b.y0) == 1060; // one copy against the other
    EXPECT_EQ(copyPairs, copies == kDefaultRepeatLimit ? 2 : 0) << copies;
  }
}

// Short tandem repeats every 2 kb put seeds beside the main diagonal of a
// self-alignment; their chains used to walk back along it, a million
// islands viewed and seconds of work here, minutes on a genome.
TEST_F(RepeatHeavy, SeedsBesideAKeptChainDoNotWalkAlongIt) {
  std::mt19937 rng(5);
  std::string s;
  while (s.size() < 200000) {
    s += randomBases(2000, rng());
    const std::string unit = randomBases(15, rng());
    for (int k = 0; k < 6; ++k)
      s += unit;
  }
  const int32_t viewed = alignSelf(s, 0);
  EXPECT_LT(viewed, 20000);
  const std::vector<Box> boxes = hitBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(covered(boxes, 0, (int32_t)s.size()), (int32_t)s.size());
}

} // namespace

// Spaced seeds with their looser frames find what runs of 16 matches miss
// with three positions in ten substituted, and only that.
class SensitiveSeeds : public SearchTest {
protected:
  int32_t coveredBy(const std::string &a, const std::string &b, int16_t shape) {
    IslandParams ip;
    ip.seedShape = shape;
    load(a, b, 0x08, ip);
    EXPECT_EQ(seedByWords(region()), kSearchNormal);
    const std::vector<Box> boxes = hitBoxes();
    for (const Box &box : boxes) // homologous pairs lie on the main diagonal
      EXPECT_LT(std::abs((box.x0 - box.y0) - (box.x1 - box.y1)), 40);
    return covered(boxes, 0, (int32_t)a.size());
  }
};

TEST_F(SensitiveSeeds, FindDivergedHomologyThatRunsMiss) {
  std::mt19937 rng(11);
  const std::string a = randomDna(rng, 20000);
  const std::string b = mutate(rng, a, 0.3);
  const int32_t runs = coveredBy(a, b, 0), spaced = coveredBy(a, b, 1);
  EXPECT_LT(runs, 10000);
  EXPECT_GT(spaced, 19500);
  // Unrelated sequences stay unaligned.
  EXPECT_EQ(coveredBy(a, randomDna(rng, 20000), 1), 0);
}

// A seed's gapless island is chained only when it stands out by 20
// matches: an exact 20-residue match between two short unrelated stretches
// is found, one of 19 is not.
TEST_F(SensitiveSeeds, AnIslandOfTwentyMatchesStandsOut) {
  for (int shared : {19, 20}) {
    const std::string common = randomBases(size_t(shared), 60);
    std::string a = randomBases(30, 61) + common + randomBases(30, 62), b = a;
    for (size_t i = 0; i < b.size(); ++i) // every other pair of the diagonal differs
      if (i < 30 || i >= 30 + common.size())
        b[i] = "CATG"[std::string("ACGT").find(a[i])];
    EXPECT_EQ(coveredBy(a, b, 1), shared == 20 ? 20 : 0) << shared;
  }
}
