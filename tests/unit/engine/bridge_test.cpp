#include "output/columns.h"
#include "search_fixture.h"

namespace {

class BridgeTest : public SearchTest {
protected:
  Hit *hit(int32_t x, int32_t y, int32_t length) {
    Hit *h = makeDiagonalHit(x, y, length);
    h->score = CountHitColumns(h, h->firstBlock);
    return h;
  }
  int hits() {
    int n = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      n += h->firstBlock != nullptr;
    return n;
  }
};

TEST_F(BridgeTest, HitsOnOneDiagonalJoinIntoOneBlock) {
  std::mt19937 rng(21);
  const std::string a = randomDna(rng, 60), b = randomDna(rng, 60);
  load(a + "AAAAA" + b + "TTTT", a + "CCCCC" + b + "GGGG");
  gCurrent->region[1] = gSeq1->length;
  gCurrent->region[3] = gSeq2->length;
  Hit *h1 = hit(0, 0, 60), *h2 = hit(65, 65, 60);
  ASSERT_EQ(bridgeHits(h1, h2), 4);
  EXPECT_EQ(hits(), 1);
  EXPECT_EQ(h1->end1, 125);
  ASSERT_NE(h1->firstBlock, nullptr);
  EXPECT_EQ(h1->firstBlock->next, nullptr);
  EXPECT_EQ(h1->firstBlock->length, 125);
  EXPECT_EQ(h1->score, 100 * (120 - 5));
  EXPECT_EQ(gActionStatus & (kModeAlign | kModeNoDraw | kModeNoDraw2), 0u);
  EXPECT_FALSE(gSeq1->residues[gSeq1->length] & 0x20);
}

TEST_F(BridgeTest, HitsAcrossAnIndelJoinWithAGap) {
  std::mt19937 rng(22);
  const std::string a = randomDna(rng, 60), b = randomDna(rng, 60);
  load(a + b + "TTTT", a + "GTCA" + b + "GGGG");
  gCurrent->region[1] = gSeq1->length;
  gCurrent->region[3] = gSeq2->length;
  Hit *h1 = hit(0, 0, 60), *h2 = hit(60, 64, 60);
  ASSERT_EQ(bridgeHits(h1, h2), 4);
  EXPECT_EQ(hits(), 1);
  EXPECT_EQ(h1->end1, 120);
  EXPECT_EQ(h1->end2, 124);
  ColumnCounts c;
  EXPECT_EQ(CountHitColumns(h1, h1->firstBlock, &c), h1->score);
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 4);
  EXPECT_GE(c.matches, 118);
}

TEST_F(BridgeTest, DistantOrBlocklessHitsStayApart) {
  std::mt19937 rng(23);
  const std::string a = randomDna(rng, 60), b = randomDna(rng, 60);
  load(a + randomDna(rng, 80) + b, a + randomDna(rng, 80) + b);
  gCurrent->region[1] = gSeq1->length;
  gCurrent->region[3] = gSeq2->length;
  Hit *h1 = hit(0, 0, 60), *h2 = hit(140, 140, 60);
  EXPECT_EQ(bridgeHits(h1, h2), 1);
  EXPECT_EQ(hits(), 2);
  EXPECT_EQ(h2->firstBlock->x, 0); // rebuilt relative to its own start
  EXPECT_EQ(h2->start1, 140);
  EXPECT_EQ(CountHitColumns(h2, h2->firstBlock), 6000);
  Hit *empty = allocateHit();
  EXPECT_EQ(bridgeHits(h1, empty), 1);
}

} // namespace
