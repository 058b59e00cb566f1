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
    loadTestSequences("A", "A");
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
  }
};

TEST_F(ScoresTest, IdentityIgnoresMarksButNeverMatchesN) {
  EXPECT_EQ(IdentityTable[0][0], 1);
  EXPECT_EQ(IdentityTable[3 + 8][3 + 16], 1); // marks ignored
  EXPECT_EQ(IdentityTable[0][4], 0);          // A and N
  EXPECT_EQ(IdentityTable[4][4], 0);          // N and N
  EXPECT_EQ(IdentityTable[1][2], 0);
  EXPECT_EQ(ScoreTable[2][2], 100);
  EXPECT_EQ(ScoreTable[2][6], -100);
  buildScoreTable(ScoreParams{250, -75, -300, -100});
  EXPECT_EQ(ScoreTable[1 + 8][1], 250);
  EXPECT_EQ(ScoreTable[1][0], -75);
  buildScoreTable(ScoreParams{});
}

TEST_F(ScoresTest, IslandMatchTableFollowsMasking) {
  buildIslandMatchTable(0x08);
  EXPECT_EQ(IslandMatchTable[2][2 + 8], 1);
  EXPECT_EQ(IslandMatchTable[2 + 16][2 + 8], 1);
  EXPECT_EQ(IslandMatchTable[2 + 24][2], 1);
  EXPECT_EQ(IslandMatchTable[4][4], 0);
  EXPECT_EQ(IslandMatchTable[1][2], 0);
  buildIslandMatchTable(0x08 | 0x40); // repeats masked
  EXPECT_EQ(IslandMatchTable[2][2], 1);
  EXPECT_EQ(IslandMatchTable[2][2 + 8], 0);
  EXPECT_EQ(IslandMatchTable[2 + 8][2 + 8], 0);
  EXPECT_EQ(IslandMatchTable[2 + 16][2], 1);
  EXPECT_EQ(IslandMatchTable[2 + 16][2 + 8], 0);
  EXPECT_EQ(IslandMatchTable[2 + 24][2 + 24], 0);
  buildIslandMatchTable(0x08 | 0x80); // filter masked
  EXPECT_EQ(IslandMatchTable[2 + 8][2], 1);
  EXPECT_EQ(IslandMatchTable[2 + 16][2 + 16], 0);
  for (int a = 0; a < 32; ++a)
    for (int b = 0; b < 32; ++b)
      ASSERT_EQ(IslandMatchTable[a][b], IslandMatchTable[b][a]);
  buildIslandMatchTable(0x08);
}

TEST_F(ScoresTest, StatisticsRowsAsTabled) {
  for (int r = 0; r <= 46; ++r) {
    EXPECT_DOUBLE_EQ(StatTable[r].lambda, 0.00100095);
    EXPECT_DOUBLE_EQ(StatTable[r].k, 0.932447);
    EXPECT_EQ(StatTable[r].mismatchScore, -1);
  }
  EXPECT_DOUBLE_EQ(StatTable[47].lambda, 0.00644371);
  EXPECT_EQ(StatTable[47].mismatchScore, -57);
  EXPECT_DOUBLE_EQ(StatTable[73].k, 0.50596);
  EXPECT_DOUBLE_EQ(StatTable[74].lambda, 0.0107388);
  EXPECT_EQ(StatTable[89].mismatchScore, -153);
  EXPECT_DOUBLE_EQ(StatTable[100].lambda, 0.0137128);
  EXPECT_DOUBLE_EQ(StatTable[100].k, 0.437137);
  EXPECT_EQ(StatTable[100].mismatchScore, -500);
  for (int r = 0; r <= 100; ++r) {
    EXPECT_EQ(StatTable[r].matchScore, 100);
    EXPECT_EQ(StatTable[r].reserved, 0);
    if (r > 0) { // the table only grows stricter with identity
      EXPECT_GE(StatTable[r].lambda, StatTable[r - 1].lambda) << r;
      EXPECT_LE(StatTable[r].k, StatTable[r - 1].k) << r;
      EXPECT_LE(StatTable[r].mismatchScore, StatTable[r - 1].mismatchScore) << r;
    }
  }
}

TEST_F(ScoresTest, SearchSpaceExponentHasThreePieces) {
  computeMinScoresFor(1e-8, 10, 10); // L = 2 -> 1
  EXPECT_EQ(StatTable[100].minScore, expectedMin(100, 1e-8, 1));
  EXPECT_EQ(StatTable[0].minScore, expectedMin(0, 1e-8, 1));
  computeMinScoresFor(1e-8, 1000, 1000); // L = 6 -> 4.5
  EXPECT_EQ(StatTable[80].minScore, expectedMin(80, 1e-8, 4.5));
  computeMinScoresFor(1e-8, 10000000, 1000000); // L = 13 -> 13, no overflow
  EXPECT_EQ(StatTable[60].minScore, expectedMin(60, 1e-8, 13));
  computeMinScoresFor(1e-8, 100, 100); // L = 4 meets both pieces at 2
  EXPECT_EQ(StatTable[90].minScore, expectedMin(90, 1e-8, 2));
  computeMinScoresFor(1e-8, 1000000, 1000000); // L = 12 -> 12 from both sides
  EXPECT_EQ(StatTable[90].minScore, expectedMin(90, 1e-8, 12));
  computeMinScoresFor(1e-8, 0, -10); // 0 counts as 1, sign ignored: L = 1
  EXPECT_EQ(StatTable[90].minScore, expectedMin(90, 1e-8, 0.5));
}

TEST_F(ScoresTest, LargePValuesBecomeExpectations) {
  computeMinScoresFor(1e-5, 1000, 1000);
  EXPECT_EQ(StatTable[95].minScore, expectedMin(95, 1e-5, 4.5));
  computeMinScoresFor(0.5, 1000, 1000);
  EXPECT_EQ(StatTable[95].minScore, expectedMin(95, -std::log(0.5), 4.5));
  EXPECT_NE(StatTable[95].minScore, expectedMin(95, 0.5, 4.5));
  gCurrent->pValue = 1e-3;
  computeMinScores(1000, 1000);
  EXPECT_EQ(StatTable[70].minScore, expectedMin(70, -std::log(1 - 1e-3), 4.5));
}

TEST_F(ScoresTest, IdentityIndexRoundsHalfUp) {
  EXPECT_EQ(identityIndex(93, 200), 47); // 46.5 %
  EXPECT_EQ(identityIndex(92, 200), 46);
  EXPECT_EQ(identityIndex(10, 10), 100);
  EXPECT_EQ(identityIndex(5, 0), 0);
  EXPECT_EQ(identityIndex(0, 7), 0);
}

TEST_F(ScoresTest, ThresholdRescoresWithTheLevelsWeights) {
  computeMinScoresFor(1e-8, 1000, 1000);
  const ScoreParams p;
  // 100 %: mismatch weight -500 plays no part, the score must reach minScore.
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

} // namespace

namespace {

class HitScoresTest : public ::testing::Test {
protected:
  void SetUp() override {
    // 20 matches, a gap of 2 in sequence 2, 18 matches and 2 mismatches.
    loadTestSequences("ACGTTGCAACGTAGCTTGCAGGATCCATGACTAGCATTAC",
                      "ACGTTGCAACGTAGCTTGCATTGGATCCATGACTAGCATTTG");
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    hit = makeTestHit(0, 0, {{0, 0, 20, 0, 20}, {20, 22, 20}});
    hit->end1 = 40;
    hit->end2 = 42;
  }
  void TearDown() override { clearTestHits(); }
  Hit *hit = nullptr;
};

TEST_F(HitScoresTest, WeightedScoreUsesTheCountsOfTheWalk) {
  EXPECT_EQ(weightedScore(ScoreParams{}, hit), 100 * (38 - 2) - 300 - 200);
  EXPECT_EQ(weightedScore(ScoreParams{200, -50, -1000, -10}, hit), 38 * 200 - 100 - 1000 - 20);
}

TEST_F(HitScoresTest, GlobalMarginUsesFixedGapWeights) {
  computeMinScoresFor(1e-8, 40, 42);
  const StatRow &r = StatTable[95]; // (38 * 100 + 20) / 40
  EXPECT_EQ(globalMargin(hit), 100 * 38 + r.mismatchScore * 2 - 100 * (2 + 3) - r.minScore);
}

TEST_F(HitScoresTest, RepaintRescoresOnlyWhenParametersChange) {
  const int32_t area[4] = {0, 100, 0, 100};
  resetRepaintScoreMemory();
  hit->score = 7;
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{}, area));
  EXPECT_EQ(hit->score, 3100);
  hit->score = 7;
  EXPECT_FALSE(rescoreIfParamsChanged(ScoreParams{}, area));
  EXPECT_EQ(hit->score, 7);
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{200, -50, -1000, -10}, area));
  EXPECT_EQ(hit->score, 6480);
  const int32_t elsewhere[4] = {500, 600, 500, 600};
  hit->score = 7;
  EXPECT_TRUE(rescoreIfParamsChanged(ScoreParams{}, elsewhere));
  EXPECT_EQ(hit->score, 7); // outside the window
  EXPECT_EQ(packScoreParams(ScoreParams{1, 2, 3, 4}), 0x01020304u);
}

} // namespace
