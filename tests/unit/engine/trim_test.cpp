#include <algorithm>
#include <random>
#include <tuple>

#include "core/flags.h"
#include "engine/columns.h"
#include "engine/search.h"
#include "realign_fixture.h"

namespace {

using Box = std::tuple<int32_t, int32_t, int32_t, int32_t>; // start1, end1, start2, end2
Box box(const Hit *h) { return {h->start1, h->end1, h->start2, h->end2}; }
using TrimTest = RealignTest;

TEST_F(TrimTest, KeepsTheBestScoringPartOfAHit) {
  struct Case {
    const char *what, *s1, *s2;
    int32_t start, length;
    bool changed;
    int32_t after1, after2, score; // kept [after1, after2) on the diagonal; -1: deleted
  } cases[] = {
      {"bad tail", "ACGTACGTACTTTTTT", "ACGTACGTACGGGGGG", 0, 16, true, 0, 10, 1000},
      {"leading mismatch", "CCTACGTACGT", "GGGACGTACGT", 2, 9, true, 3, 11, 800},
      // 4 matches, 5 mismatches, 4 matches: the later of the tied parts.
      {"tie", "ACGTTTTTTACGT", "ACGTGGGGGACGT", 0, 13, true, 9, 13, 400},
      {"own best part", "ACGTAGGTAC", "ACGTACGTAC", 0, 10, false, 0, 10, 12345},
      {"nothing positive", "AAAA", "CCCC", 0, 4, true, -1, 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    load(c.s1, c.s2);
    Hit *h = makeDiagonalHit(c.start, c.start, c.length);
    h->score = 12345;
    rebuildLists(0, 0);
    EXPECT_EQ(trimHit(h), c.changed);
    if (c.after1 < 0) {
      EXPECT_EQ(gHitHead1, nullptr);
      continue;
    }
    EXPECT_EQ(box(h), Box(c.after1, c.after2, c.after1, c.after2));
    EXPECT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, c.after2 - c.after1}}));
    EXPECT_EQ(h->score, c.score);
    clearTestHits();
  }
  // Whole blocks go, and the new ends carry no link.
  const std::string good = "ACGTTGCAAC";
  load("TTTT" + good + "GGGG", "CCCCAA" + good + "AACCCC");
  Hit *h = makeTestHit(0, 0, {{0, 0, 4, kLinkGapInY, 4}, {4, 6, 10, kLinkGapInY, 14}, {14, 18, 4}});
  EXPECT_TRUE(trimHit(h));
  EXPECT_EQ(box(h), Box(4, 14, 6, 16));
  ASSERT_EQ(boxes(h->firstBlock), (std::vector<BlockBox>{{0, 0, 10}}));
  EXPECT_EQ(h->firstBlock->prev, nullptr);
  EXPECT_EQ(CountHitColumns(h, h->firstBlock), 1000);
}

// Columns of a hit as the walk gives them: 0 gap, 1 match, -1 mismatch.
class ColumnKinds : public ColumnSink {
public:
  void column(uint8_t r1, uint8_t r2) override {
    kinds.push_back(r1 == kGapCode || r2 == kGapCode  ? 0
                    : IdentityTable[r1 & 31][r2 & 31] ? 1
                                                      : -1);
  }
  std::vector<int> kinds;
};

// Slow and obvious: the best score of any run of columns under the default
// weights, a gap run paying its opening once.
int32_t bestRunScore(const std::vector<int> &kinds) {
  int32_t best = 0;
  for (size_t i = 0; i < kinds.size(); ++i) {
    int32_t score = 0;
    for (size_t j = i; j < kinds.size(); ++j) {
      score += kinds[j] ? kinds[j] * 100 : (j > i && !kinds[j - 1] ? 0 : -300) - 100;
      best = std::max(best, score);
    }
  }
  return best;
}

TEST_F(TrimTest, RandomHitsKeepTheirBestRunOfColumns) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 200; ++trial) {
    // Blocks with three matches in four, joined by one-sided gaps.
    std::string a, b;
    std::vector<TestBlock> blocks;
    for (int n = 1 + rng() % 4; n > 0; --n) {
      blocks.push_back({int32_t(a.size()), int32_t(b.size()), int32_t(1 + rng() % 8)});
      for (int32_t k = 0; k < blocks.back().length; ++k) {
        const char c = "ACGT"[rng() % 4];
        a += c;
        b += rng() % 4 ? c : "ACGT"[rng() % 4];
      }
      if (n > 1) {
        const bool inSeq2 = rng() % 2;
        blocks.back().linkKind = inSeq2 ? kLinkGapInY : kLinkGapInX;
        blocks.back().cut = int32_t((inSeq2 ? a : b).size());
        (inSeq2 ? b : a) += randomBases(1 + rng() % 3, rng());
      }
    }
    load(a, b);
    Hit *h = makeTestHit(0, 0, blocks);
    rebuildLists(0, 0);
    ColumnKinds before;
    WalkHitColumns(h, h->firstBlock, before);
    const int32_t best = bestRunScore(before.kinds);
    SCOPED_TRACE(a + " / " + b);
    const bool changed = trimHit(h);
    if (best == 0) {
      EXPECT_EQ(gHitHead1, nullptr);
      continue;
    }
    ASSERT_EQ(gHitHead1, h);
    EXPECT_EQ(CountHitColumns(h, h->firstBlock), best);
    EXPECT_TRUE(!changed || h->score == best);
    EXPECT_EQ(std::make_pair(h->end1 - h->start1, h->end2 - h->start2),
              std::make_pair(gHitCounts.residues1, gHitCounts.residues2));
    clearTestHits();
  }
}

TEST_F(TrimTest, TheActionSkipsApprovedHitsAndCountsWhatItTried) {
  const std::string bad = "ACGTACGTACTTTTTT", worse = "ACGTACGTACGGGGGG";
  load(bad + bad + bad, worse + worse + worse);
  Hit *approved = makeDiagonalHit(0, 0, 16);
  approved->flags |= kHitApproved;
  Hit *fresh = makeDiagonalHit(16, 16, 16);
  fresh->flags |= kHitNewFlag;
  Hit *old = makeDiagonalHit(32, 32, 16);
  rebuildLists(0, 0);
  trimAction(false); // only hits of the latest Align
  EXPECT_EQ(std::make_pair(gCurrent->reportFirst, gCurrent->reportSecond), std::make_pair(1, 1));
  EXPECT_EQ(fresh->end1, 26);
  EXPECT_EQ(old->end1, 48);
  gCurrent->reportFirst = gCurrent->reportSecond = 0;
  trimAction(true);
  // Fresh is tried again, unchanged.
  EXPECT_EQ(std::make_pair(gCurrent->reportFirst, gCurrent->reportSecond), std::make_pair(2, 1));
  EXPECT_EQ(old->end1, 42);
  EXPECT_EQ(box(approved), Box(0, 16, 0, 16));
  EXPECT_EQ(boxes(approved->firstBlock), (std::vector<BlockBox>{{0, 0, 16}}));
  EXPECT_EQ(gTrimWeights, &gCurrent->score);
}

} // namespace
