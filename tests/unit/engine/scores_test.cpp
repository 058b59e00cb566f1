#include <gtest/gtest.h>

#include <cmath>

#include "core/session.h"
#include "engine/scores.h"
#include "seq_builders.h"

namespace {

int32_t expectedMin(int row, double pUsed, double effectiveExponent) {
  const double q = pUsed / std::pow(10.0, effectiveExponent);
  return (int32_t)(std::log(StatTable[row].k / q) / StatTable[row].lambda + 0.5);
}

class ScoresTest : public ::testing::Test {
protected:
  void SetUp() override {
    // 20 matches, a gap of 2 in sequence 2, 18 matches and 2 mismatches.
    loadTestSequences("ACGTTGCAACGTAGCTTGCAGGATCCATGACTAGCATTAC",
                      "ACGTTGCAACGTAGCTTGCATTGGATCCATGACTAGCATTTG");
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    hit = makeTestHit(0, 0, {{0, 0, 20, 0, 20}, {20, 22, 20}});
  }
  void TearDown() override {
    clearTestHits();
    buildScoreTable(ScoreParams{});
  }
  Hit *hit = nullptr;
};

TEST_F(ScoresTest, StatisticsRowsAsTabled) {
  for (int r = 0; r <= 46; ++r) {
    EXPECT_DOUBLE_EQ(StatTable[r].lambda, 0.00100095);
    EXPECT_DOUBLE_EQ(StatTable[r].k, 0.932447);
    EXPECT_EQ(StatTable[r].mismatchScore, -1);
  }
  EXPECT_DOUBLE_EQ(StatTable[47].lambda, 0.00644371);
  EXPECT_EQ(StatTable[89].mismatchScore, -153);
  EXPECT_DOUBLE_EQ(StatTable[100].lambda, 0.0137128);
  EXPECT_DOUBLE_EQ(StatTable[100].k, 0.437137);
  EXPECT_EQ(StatTable[100].mismatchScore, -500);
  for (int r = 1; r <= 100; ++r) { // stricter with identity
    EXPECT_EQ(StatTable[r].matchScore, 100);
    EXPECT_GE(StatTable[r].lambda, StatTable[r - 1].lambda) << r;
    EXPECT_LE(StatTable[r].k, StatTable[r - 1].k) << r;
    EXPECT_LE(StatTable[r].mismatchScore, StatTable[r - 1].mismatchScore) << r;
  }
}

TEST_F(ScoresTest, MinScoresFromSearchSpaceAndPValue) {
  // L = log10(W * H) is used as L / 2 up to 4, rising linearly to L at 12,
  // then whole; a side of 0 counts as 1, signs are ignored.
  const struct {
    int32_t w, h;
    double effective;
    int row;
  } cases[] = {{10, 10, 1, 0},
               {1000, 1000, 4.5, 80},
               {100, 100, 2, 90},
               {1000000, 1000000, 12, 90},
               {10000000, 1000000, 13, 60},
               {0, -10, 0.5, 90}};
  for (const auto &c : cases) {
    computeMinScoresFor(1e-8, c.w, c.h);
    EXPECT_EQ(StatTable[c.row].minScore, expectedMin(c.row, 1e-8, c.effective))
        << c.w << "x" << c.h;
  }
  // Up to 1e-5 P is used as it is; above, as the expectation -ln(1 - P).
  computeMinScoresFor(1e-5, 1000, 1000);
  EXPECT_EQ(StatTable[95].minScore, expectedMin(95, 1e-5, 4.5));
  computeMinScoresFor(0.5, 1000, 1000);
  EXPECT_EQ(StatTable[95].minScore, expectedMin(95, -std::log(0.5), 4.5));
  // 1e-5 is the boundary itself: here -ln(1 - P) would give 23615.
  EXPECT_EQ(effectivePValue(1e-5), 1e-5);
  computeMinScoresFor(1e-5, 2082, 2082);
  EXPECT_EQ(StatTable[0].minScore, 23616);
  // P = 1 is the weakest threshold, not an infinite one.
  computeMinScoresFor(0.999, 1000, 1000);
  const int32_t nearlyOne = StatTable[90].minScore;
  computeMinScoresFor(1, 1000, 1000);
  EXPECT_LT(StatTable[90].minScore, nearlyOne);
  EXPECT_GT(StatTable[90].minScore, 0);
  gCurrent->pValue = 1e-3;
  computeMinScores(1000, 1000);
  EXPECT_EQ(StatTable[70].minScore, expectedMin(70, -std::log(1 - 1e-3), 4.5));
}

TEST_F(ScoresTest, ThresholdRescoresWithTheLevelsWeights) {
  EXPECT_EQ(identityIndex(93, 200), 47); // 46.5 % rounds up
  EXPECT_EQ(identityIndex(5, 0), 0);
  computeMinScoresFor(1e-8, 1000, 1000);
  const ScoreParams p;
  // 100 %: the score itself must reach minScore.
  const int32_t min100 = StatTable[100].minScore;
  EXPECT_TRUE(passesThreshold(min100, 40, 40, p));
  EXPECT_FALSE(passesThreshold(min100 - 1, 40, 40, p));
  // 90 % of 100: 10 mismatches re-weighted from -100 to -160.
  const int32_t min90 = StatTable[90].minScore;
  EXPECT_TRUE(passesThreshold(min90 + 600, 90, 100, p));
  EXPECT_FALSE(passesThreshold(min90 + 599, 90, 100, p));
  // Below 47 % the mismatch weight is -1.
  const int32_t min40 = StatTable[40].minScore;
  EXPECT_TRUE(passesThreshold(min40 - 99 * 60, 40, 100, p));
  EXPECT_FALSE(passesThreshold(min40 - 99 * 60 - 1, 40, 100, p));
}

TEST_F(ScoresTest, HitScoresFollowTheColumnWalk) {
  EXPECT_EQ(weightedScore(ScoreParams{}, hit), 100 * (38 - 2) - 300 - 200);
  EXPECT_EQ(weightedScore(ScoreParams{200, -50, -1000, -10}, hit), 38 * 200 - 100 - 1000 - 20);
  // The global margin uses fixed gap weights.
  computeMinScoresFor(1e-8, 40, 42);
  const StatRow &r = StatTable[95]; // (38 * 100 + 20) / 40
  EXPECT_EQ(globalMargin(hit), 100 * 38 + r.mismatchScore * 2 - 100 * (2 + 3) - r.minScore);
  // A repaint rescores hits in the window only when the weights changed.
  const int32_t area[4] = {0, 100, 0, 100}, elsewhere[4] = {500, 600, 500, 600};
  resetRepaintScoreMemory();
  hit->score = 7;
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{}, area));
  EXPECT_EQ(hit->score, 3100);
  hit->score = 7;
  EXPECT_FALSE(rescoreIfParamsChanged(ScoreParams{}, area));
  EXPECT_EQ(hit->score, 7);
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{200, -50, -1000, -10}, area));
  hit->score = 7;
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{}, elsewhere));
  EXPECT_EQ(hit->score, 7);
}

} // namespace
