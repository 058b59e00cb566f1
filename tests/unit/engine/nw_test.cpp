#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>

#include "core/flags.h"
#include "core/residue.h"
#include "engine/nw.h"
#include "engine/search.h"
#include "realign_fixture.h"

namespace {

std::vector<uint8_t> codes(const std::string &s) {
  std::vector<uint8_t> out;
  for (char c : s)
    out.push_back(residueCode(c));
  return out;
}

// Slow and obvious: every cell takes the best of a diagonal step and of a
// gap of any length from any earlier cell of its row or column, over the
// paths whose running score, residue by residue, never falls below `floor`;
// INT64_MIN when there is none.
int64_t referenceAbove(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b,
                       const ScoreParams &p, int64_t floor, int64_t band = -1) {
  const size_t W = a.size(), H = b.size();
  const int64_t low = std::min<int64_t>(0, int64_t(W) - int64_t(H)) - band;
  const int64_t high = std::max<int64_t>(0, int64_t(W) - int64_t(H)) + band;
  std::vector<std::vector<int64_t>> S(H + 1, std::vector<int64_t>(W + 1, INT64_MIN));
  S[0][0] = 0;
  auto from = [&](int64_t start, int64_t step, int64_t &best) {
    if (start != INT64_MIN && start + step >= floor)
      best = std::max(best, start + step);
  };
  for (size_t i = 0; i <= H; ++i)
    for (size_t j = 0; j <= W; ++j) {
      if (i == 0 && j == 0)
        continue;
      const int64_t diagonal = int64_t(j) - int64_t(i);
      if (band >= 0 && (diagonal < low || diagonal > high))
        continue;
      int64_t best = INT64_MIN;
      if (i && j)
        from(S[i - 1][j - 1], ScoreTable[a[j - 1]][b[i - 1]], best);
      // A gap's running score is lowest at its last residue.
      for (size_t k = 1; k <= j; ++k)
        from(S[i][j - k], p.gapOpen + int64_t(k) * p.gapElongation, best);
      for (size_t k = 1; k <= i; ++k)
        from(S[i - k][j], p.gapOpen + int64_t(k) * p.gapElongation, best);
      S[i][j] = best;
    }
  return S[H][W];
}

int32_t referenceScore(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b,
                       const ScoreParams &p) {
  return int32_t(referenceAbove(a, b, p, INT64_MIN));
}

// Score of a path, checking that it runs from corner to corner.
int32_t pathScore(const std::vector<int32_t> &path, const std::vector<uint8_t> &a,
                  const std::vector<uint8_t> &b, const ScoreParams &p) {
  size_t x = 0, y = 0;
  int32_t score = 0;
  for (int32_t step : path) {
    if (step == 0) {
      score += ScoreTable[a[x++]][b[y++]];
      continue;
    }
    score += p.gapOpen + std::abs(step) * p.gapElongation;
    (step > 0 ? x : y) += std::abs(step);
  }
  EXPECT_EQ(x, a.size());
  EXPECT_EQ(y, b.size());
  return score;
}

class NwTest : public RealignTest {
protected:
  // Mode 8 over [x1, x2) x [y1, y2): the blocks, region-relative, which go
  // back to the store afterwards.
  int align(int32_t x1, int32_t x2, int32_t y1, int32_t y2, std::vector<BlockBox> *out) {
    Hit region{};
    region.start1 = x1, region.end1 = x2, region.start2 = y1, region.end2 = y2;
    int code = alignRegionNW(&region, kNwKeepBlocks);
    *out = boxes(region.firstBlock);
    for (HitBlock *b = region.firstBlock, *next; b; b = next) {
      next = b->next;
      freeBlock(b);
    }
    return code;
  }
  std::vector<int32_t> path(const std::string &a, const std::string &b) {
    std::vector<uint8_t> ca = codes(a), cb = codes(b);
    std::vector<int32_t> p;
    EXPECT_EQ(alignSegmentsNW(ca.data(), int32_t(ca.size()), cb.data(), int32_t(cb.size()),
                              gCurrent->score, &p),
              kSearchNormal);
    return p;
  }
};

TEST_F(NwTest, RegionsAlignToBlocksWithinTheSizeLimit) {
  const std::string s = "ACGTTGCAACGTCAGTACCA";
  load("GG" + s, s + "TT");
  std::vector<BlockBox> blocks;
  ASSERT_EQ(align(2, 22, 0, 20, &blocks), kSearchNormal);
  EXPECT_EQ(blocks, (std::vector<BlockBox>{{0, 0, 20}}));
  // Loose ends without matches are dropped; a stop gives no result.
  load("TTACGTACGTAAC", "GGACGTACGTCCG");
  ASSERT_EQ(align(0, 13, 0, 13, &blocks), kSearchNormal);
  EXPECT_EQ(blocks, (std::vector<BlockBox>{{2, 2, 8}}));
  gActionStatus |= kStatusStop;
  EXPECT_EQ(align(0, 13, 0, 13, &blocks), kSearchPoolExhausted);
  EXPECT_TRUE(blocks.empty());
  // Sides up to 5000 are aligned; larger or empty ones are not.
  gActionStatus = 0;
  load(randomBases(5001, 7), randomBases(5001, 8));
  ASSERT_EQ(align(0, 5000, 1, 5001, &blocks), kSearchNormal);
  EXPECT_FALSE(blocks.empty());
  EXPECT_EQ(align(0, 5001, 0, 10, &blocks), kSearchPoolExhausted);
  EXPECT_TRUE(blocks.empty());
  EXPECT_EQ(align(5, 5, 0, 10, &blocks), kSearchPoolExhausted);
  // A region reaching past a sequence is refused, not read.
  EXPECT_EQ(align(4990, 5002, 0, 10, &blocks), kSearchPoolExhausted);
  EXPECT_TRUE(sentinelsCleared());
}

TEST_F(NwTest, TiesPreferTheDiagonalThenTheGapInSequence2) {
  useScores({100, -200, 0, -100}); // a mismatch costs what two gaps cost
  EXPECT_EQ(path("A", "C"), (std::vector<int32_t>{0}));
  useScores({100, -1000, 0, -100}); // the last step is sequence 1 against a gap
  EXPECT_EQ(path("AC", "CA"), (std::vector<int32_t>{-1, 0, 1}));
  // A gap of two is one run, placed as early as it can be.
  useScores(ScoreParams{});
  EXPECT_EQ(path("ACGTTTAC", "ACGTAC"), (std::vector<int32_t>{0, 0, 0, 2, 0, 0, 0}));
}

TEST_F(NwTest, RandomSmallInputsScoreLikeTheSlowReference) {
  const ScoreParams sets[] = {{100, -50, -200, -50}, {100, -200, 0, -100}, {200, -100, -400, -30}};
  std::mt19937 rng(12345);
  for (const ScoreParams &p : sets) {
    useScores(p);
    for (int trial = 0; trial < 100; ++trial) {
      std::string a(1 + rng() % 10, 'A'), b(1 + rng() % 10, 'A');
      for (std::string *s : {&a, &b})
        for (char &c : *s)
          c = "ACGTN"[rng() % (trial % 3 ? 4 : 5)];
      SCOPED_TRACE(a + " / " + b);
      const std::vector<uint8_t> ca = codes(a), cb = codes(b);
      EXPECT_EQ(pathScore(path(a, b), ca, cb, p), referenceScore(ca, cb, p));
    }
  }
}

// With a floor the kept path is the best of those that never fall below it,
// and none is reported when there is no such path, on small inputs from
// related to unrelated; with a band, the best of those that also keep to it.
TEST_F(NwTest, AFloorKeepsTheBestPathAboveItOrNone) {
  const ScoreParams sets[] = {ScoreParams{}, {100, -50, -200, -50}, {200, -100, -400, -30}};
  std::mt19937 rng(777);
  int below = 0, kept = 0;
  for (const ScoreParams &p : sets) {
    useScores(p);
    for (int trial = 0; trial < 300; ++trial) {
      std::string a(3 + rng() % 12, 'A');
      for (char &c : a)
        c = "ACGT"[rng() % 4];
      std::string b = a.substr(rng() % 3);
      for (char &c : b)
        if (rng() % 4 < unsigned(trial % 4))
          c = "ACGT"[rng() % 4];
      const int32_t floor = -int32_t(rng() % 1200);
      const int32_t band = trial % 3 ? -1 : int32_t(rng() % 3);
      SCOPED_TRACE(a + " / " + b + " above " + std::to_string(floor) + " band " +
                   std::to_string(band));
      const std::vector<uint8_t> ca = codes(a), cb = codes(b);
      std::vector<int32_t> got;
      const int code = alignSegmentsNW(ca.data(), int32_t(ca.size()), cb.data(), int32_t(cb.size()),
                                       p, &got, floor, band);
      const int64_t want = referenceAbove(ca, cb, p, floor, band);
      if (want == INT64_MIN) {
        EXPECT_EQ(code, kNwBelowFloor);
        ++below;
      } else {
        ASSERT_EQ(code, kSearchNormal);
        EXPECT_EQ(pathScore(got, ca, cb, p), want);
        ++kept;
      }
    }
  }
  EXPECT_GT(below, 100);
  EXPECT_GT(kept, 100);
}

// Extension from (0, 0) with no fall limit ends at the best of all cells:
// its gain is the best global score of any two prefixes, and its path
// scores that gain over the prefixes it takes.
TEST_F(NwTest, AnExtensionEndsAtTheBestPairOfPrefixes) {
  const ScoreParams sets[] = {ScoreParams{}, {100, -50, -200, -50}, {100, -120, -400, -30}};
  std::mt19937 rng(4321);
  for (const ScoreParams &p : sets) {
    useScores(p);
    for (int trial = 0; trial < 100; ++trial) {
      std::string a(1 + rng() % 9, 'A'), b(1 + rng() % 9, 'A');
      for (std::string *s : {&a, &b})
        for (char &c : *s)
          c = "ACGT"[rng() % (trial % 2 ? 2 : 4)];
      SCOPED_TRACE(a + " / " + b);
      const std::vector<uint8_t> ca = codes(a), cb = codes(b);
      int64_t want = 0;
      for (size_t x = 1; x <= ca.size(); ++x)
        for (size_t y = 1; y <= cb.size(); ++y)
          want = std::max(want, referenceAbove({ca.begin(), ca.begin() + x},
                                               {cb.begin(), cb.begin() + y}, p, INT64_MIN));
      std::vector<int32_t> got;
      int32_t gain = -1;
      bool open = false;
      ASSERT_EQ(extendSegmentsNW(ca.data(), int32_t(ca.size()), cb.data(), int32_t(cb.size()), p,
                                 INT32_MAX / 4, 20, nullptr, &got, &gain, &open),
                kSearchNormal);
      EXPECT_EQ(gain, want);
      EXPECT_TRUE(open);
      size_t x = 0, y = 0;
      for (int32_t step : got) {
        x += step >= 0 ? std::max(step, 1) : 0;
        y += step <= 0 ? std::max(-step, 1) : 0;
      }
      EXPECT_EQ(pathScore(got, {ca.begin(), ca.begin() + x}, {cb.begin(), cb.begin() + y}, p),
                gain);
    }
  }
}

// Twenty matches, five mismatches, twenty matches: an extension allowed to
// fall 400 stops after the first twenty (and knows it stopped), one allowed
// 600 crosses to the end; with the diagonal dead it never steps onto it.
TEST_F(NwTest, AnExtensionStopsAtItsFallAndKeepsOffDeadCells) {
  useScores(ScoreParams{});
  const std::string head = "ACGGTCATTGACCTAGTCAG", tail = "TTGACAGTCCATGCAGTACG";
  const std::vector<uint8_t> a = codes(head + "AAAAA" + tail), b = codes(head + "CCCCC" + tail);
  const int32_t n = int32_t(a.size());
  struct Case {
    int32_t drop, gain;
    bool open;
  } cases[] = {{400, 2000, false}, {600, 3500, true}};
  for (const Case &c : cases) {
    std::vector<int32_t> got;
    int32_t gain = 0;
    bool open = !c.open;
    ASSERT_EQ(extendSegmentsNW(a.data(), n, b.data(), n, ScoreParams{}, c.drop, 10, nullptr, &got,
                               &gain, &open),
              kSearchNormal);
    EXPECT_EQ(gain, c.gain) << c.drop;
    EXPECT_EQ(open, c.open) << c.drop;
    EXPECT_EQ(got.size(), size_t(c.gain == 2000 ? 20 : n)) << c.drop;
  }
  const std::vector<NwDeadRun> dead = {{0, 0, n}};
  std::vector<int32_t> got;
  int32_t gain = 0;
  bool open = false;
  ASSERT_EQ(
      extendSegmentsNW(a.data(), n, b.data(), n, ScoreParams{}, 600, 10, &dead, &got, &gain, &open),
      kSearchNormal);
  EXPECT_LT(gain, 2000);
  int32_t x = 0, y = 0;
  for (int32_t step : got) {
    if (step == 0) {
      EXPECT_NE(x, y) << "a step onto the dead diagonal";
    }
    x += step >= 0 ? std::max(step, 1) : 0;
    y += step <= 0 ? std::max(-step, 1) : 0;
  }
}

} // namespace
