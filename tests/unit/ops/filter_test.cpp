#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "ops/filter.h"
#include "seq_builders.h"

namespace {

// Positions of sequence 1 that carry the filter bit, as [from, to) runs.
std::vector<std::pair<int, int>> filterRuns(int which) {
  const Sequence *s = sequenceOf(which);
  std::vector<std::pair<int, int>> runs;
  for (int i = 0; i < s->length; ++i) {
    if (!(s->residues[i] & kResFilter))
      continue;
    int j = i;
    while (j < s->length && (s->residues[j] & kResFilter))
      ++j;
    runs.push_back({i, j});
    i = j;
  }
  return runs;
}

class FilterTest : public ::testing::Test {
protected:
  void SetUp() override {
    resetSlotDefaults(gCurrent);
    gCurrent->flagsB = kOptDefaults;
  }
};

TEST_F(FilterTest, DinucleotideRepeatNeedsTheLengthItsPValueAsks) {
  // 10 000 residues, P = 1e-6: the period-2 threshold is 19.
  std::string s = randomBases(10000, 1);
  s.replace(1000, 12, "ACACACACACAC");
  const std::string forty = "ACACACACACACACACACACACACACACACACACACACAC";
  s.replace(5000, 40, forty);
  s[999] = 'G', s[1012] = 'G', s[4999] = 'G', s[5040] = 'G';
  loadTestSequences(s.c_str(), randomBases(500, 2).c_str());
  gCurrent->flagsB &= ~kOptFilterPiles;
  ApplyFilter(0, kFilterCreate);
  auto runs = filterRuns(0);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], std::make_pair(5000, 5040));
}

TEST_F(FilterTest, HomopolymerThresholdAndDelete) {
  // 100 000 residues: L1 = 19, so poly-A 20 enters and poly-A 18 does not.
  std::string s = randomBases(100000, 3);
  s.replace(20000, 20, std::string(20, 'A'));
  s.replace(60000, 18, std::string(18, 'A'));
  s[19999] = s[20020] = s[59999] = s[60018] = 'C';
  loadTestSequences(s.c_str(), randomBases(500, 4).c_str());
  gCurrent->flagsB &= ~kOptFilterPiles;
  ApplyFilter(0, kFilterCreate);
  auto runs = filterRuns(0);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], std::make_pair(20000, 20020));
  EXPECT_EQ(residueLetter(gSeq1->residues[20000]), 'a');

  ApplyFilter(0, kFilterDelete);
  EXPECT_TRUE(filterRuns(0).empty());
}

TEST_F(FilterTest, PilesOfHitsNeedTheMinimalOverlap) {
  loadTestSequences(randomBases(400, 5).c_str(), randomBases(400, 6).c_str());
  gCurrent->flagsB &= ~kOptFilterPeriodic;
  makeDiagonalHit(100, 10, 50);
  makeDiagonalHit(100, 200, 50);
  rebuildLists(0, 0);
  ApplyFilter(0, kFilterCreate);
  auto runs = filterRuns(0);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], std::make_pair(100, 150));
  // In sequence 2 the two hits lie apart: no pile.
  ApplyFilter(1, kFilterCreate);
  EXPECT_TRUE(filterRuns(1).empty());

  clearTestHits();
  makeDiagonalHit(100, 10, 50);
  makeDiagonalHit(121, 200, 50); // 29 residues in common
  rebuildLists(0, 0);
  ApplyFilter(0, kFilterCreate);
  EXPECT_TRUE(filterRuns(0).empty());
  clearTestHits();
}

TEST_F(FilterTest, UpdateAddsToTheMarksCreateReplacesThem) {
  std::string s = randomBases(10000, 7);
  loadTestSequences(s.c_str(), randomBases(500, 8).c_str());
  gSeq1->residues[10] |= kResFilter;
  gCurrent->flagsB &= ~(kOptFilterPiles | kOptFilterPeriodic);
  ApplyFilter(0, kFilterUpdate);
  EXPECT_TRUE(gSeq1->residues[10] & kResFilter);
  ApplyFilter(0, kFilterCreate);
  EXPECT_FALSE(gSeq1->residues[10] & kResFilter);
}

} // namespace
