#include <utility>

#include "output/columns.h"
#include "search_fixture.h"

namespace {

class BridgeTest : public SearchTest {
protected:
  // Two 60-residue hits at (0, 0) and (x2, y2) of a pair built around the
  // shared stretches a and b; returns what bridgeHits says.
  int bridge(const std::string &s1, const std::string &s2, int32_t x2, int32_t y2) {
    load(s1, s2);
    gCurrent->region[1] = gSeq1->length;
    gCurrent->region[3] = gSeq2->length;
    h1 = makeDiagonalHit(0, 0, 60);
    h2 = makeDiagonalHit(x2, y2, 60);
    for (Hit *h : {h1, h2})
      h->score = CountHitColumns(h, h->firstBlock);
    return bridgeHits(h1, h2);
  }
  static int hits() {
    int n = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      n += h->firstBlock != nullptr;
    return n;
  }
  std::mt19937 rng{21};
  const std::string a = randomDna(rng, 60), b = randomDna(rng, 60);
  Hit *h1 = nullptr, *h2 = nullptr;
};

TEST_F(BridgeTest, HitsOnOneDiagonalJoinIntoOneBlock) {
  ASSERT_EQ(bridge(a + "AAAAA" + b + "TTTT", a + "CCCCC" + b + "GGGG", 65, 65), 4);
  EXPECT_EQ(hits(), 1);
  EXPECT_EQ(h1->end1, 125);
  EXPECT_EQ(h1->firstBlock->next, nullptr);
  EXPECT_EQ(h1->score, 100 * (120 - 5));
  EXPECT_FALSE(gSeq1->residues[gSeq1->length] & 0x20);
}

TEST_F(BridgeTest, HitsAcrossAnIndelJoinWithAGap) {
  ASSERT_EQ(bridge(a + b + "TTTT", a + "GTCA" + b + "GGGG", 60, 64), 4);
  EXPECT_EQ(hits(), 1);
  EXPECT_EQ(std::make_pair(h1->end1, h1->end2), std::make_pair(120, 124));
  ColumnCounts c;
  EXPECT_EQ(CountHitColumns(h1, h1->firstBlock, &c), h1->score);
  EXPECT_EQ(std::make_pair(c.gaps, c.gapLength), std::make_pair(1, 4));
  EXPECT_GE(c.matches, 118);
}

TEST_F(BridgeTest, DistantOrBlocklessHitsStayApart) {
  const std::string far = randomDna(rng, 80);
  EXPECT_EQ(bridge(a + far + b, a + randomDna(rng, 80) + b, 140, 140), 1);
  EXPECT_EQ(hits(), 2);
  EXPECT_EQ(std::make_pair(h2->start1, h2->firstBlock->x), std::make_pair(140, 0));
  EXPECT_EQ(CountHitColumns(h2, h2->firstBlock), 6000);
  EXPECT_EQ(bridgeHits(h1, allocateHit()), 1);
}

} // namespace
