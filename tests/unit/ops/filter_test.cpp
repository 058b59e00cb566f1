#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "ops/filter.h"
#include "seq_builders.h"

namespace {

using Runs = std::vector<std::pair<int, int>>;

// Runs [from, to) of a sequence that carry the filter bit.
Runs filterRuns(int which) {
  const Sequence *s = sequenceOf(which);
  Runs runs;
  for (int i = 0; i < s->length; ++i) {
    int j = i;
    while (j < s->length && (s->residues[j] & kResFilter))
      ++j;
    if (j > i)
      runs.push_back({i, j});
    i = j;
  }
  return runs;
}

class FilterTest : public ::testing::Test {
protected:
  void SetUp() override { resetSlotDefaults(gCurrent); }
  // Sequence 1 with the given runs planted between non-matching residues,
  // only the periodic filter on.
  void loadPlanted(size_t n, unsigned seed, std::vector<std::pair<int, std::string>> runs) {
    std::string s = randomBases(n, seed);
    for (const auto &[at, text] : runs) {
      s.replace(at, text.size(), text);
      s[at - 1] = s[at + text.size()] = text[1] == 'A' ? 'C' : 'G';
    }
    loadTestSequences(s.c_str(), randomBases(500, seed + 1).c_str());
    gCurrent->flagsB = kOptDefaults & ~kOptFilterPiles;
  }
};

TEST_F(FilterTest, DinucleotideRepeatNeedsTheLengthItsPValueAsks) {
  // 10 000 residues, P = 1e-6: the period-2 threshold is 19.
  std::string ca;
  for (int i = 0; i < 20; ++i)
    ca += "AC";
  loadPlanted(10000, 1, {{1000, ca.substr(0, 12)}, {5000, ca}});
  ApplyFilter(0, kFilterCreate);
  EXPECT_EQ(filterRuns(0), (Runs{{5000, 5040}}));
}

TEST_F(FilterTest, HomopolymerThresholdAndDelete) {
  // 100 000 residues: L1 = 19, so poly-A 20 enters and poly-A 18 does not.
  loadPlanted(100000, 3, {{20000, std::string(20, 'A')}, {60000, std::string(18, 'A')}});
  ApplyFilter(0, kFilterCreate);
  EXPECT_EQ(filterRuns(0), (Runs{{20000, 20020}}));
  EXPECT_EQ(residueLetter(gSeq1->residues[20000]), 'a');
  ApplyFilter(0, kFilterDelete);
  EXPECT_TRUE(filterRuns(0).empty());
}

TEST_F(FilterTest, PilesOfHitsNeedTheMinimalOverlap) {
  loadTestSequences(randomBases(400, 5).c_str(), randomBases(400, 6).c_str());
  gCurrent->flagsB = kOptDefaults & ~kOptFilterPeriodic;
  makeDiagonalHit(100, 10, 50);
  makeDiagonalHit(100, 200, 50);
  rebuildLists(0, 0);
  ApplyFilter(0, kFilterCreate);
  EXPECT_EQ(filterRuns(0), (Runs{{100, 150}}));
  ApplyFilter(1, kFilterCreate);
  EXPECT_TRUE(filterRuns(1).empty()) << "in sequence 2 the hits lie apart";

  clearTestHits();
  makeDiagonalHit(100, 10, 50);
  makeDiagonalHit(121, 200, 50); // 29 residues in common
  rebuildLists(0, 0);
  ApplyFilter(0, kFilterCreate);
  EXPECT_TRUE(filterRuns(0).empty());

  // Thirty in common are enough; so are two piles of twenty that meet where
  // one pair of hits ends and the next pair begins.
  clearTestHits();
  makeDiagonalHit(100, 10, 50);
  makeDiagonalHit(120, 200, 50);
  makeDiagonalHit(200, 10, 100);
  makeDiagonalHit(280, 120, 20);
  makeDiagonalHit(300, 150, 60);
  makeDiagonalHit(300, 250, 20);
  rebuildLists(0, 0);
  ApplyFilter(0, kFilterCreate);
  EXPECT_EQ(filterRuns(0), (Runs{{120, 150}, {280, 320}}));
  clearTestHits();
}

} // namespace
