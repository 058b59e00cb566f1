// Every hit that a search of a real pair produces must be well formed and
// must pass the test that accepted it.
#include <algorithm>

#include "output/columns.h"
#include "search_fixture.h"

namespace {

class SearchInvariantsTest : public SearchTest {
protected:
  void SetUp() override {
    SearchTest::SetUp();
    loadMito();
  }

  // Checks every hit against the region it came from; returns how many.
  int checkHits(const Hit &r, bool globalTest) {
    int hits = 0;
    for (Hit *h = gHitHead1; h; h = h->next1) {
      if (!h->firstBlock)
        continue;
      ++hits;
      SCOPED_TRACE(testing::Message() << "hit " << h->start1 << "," << h->start2);
      EXPECT_TRUE(h->start1 >= r.start1 && h->end1 <= r.end1);
      EXPECT_TRUE(h->start2 >= r.start2 && h->end2 <= r.end2);
      EXPECT_EQ(std::make_pair(h->firstBlock->x, h->firstBlock->y), std::make_pair(0, 0));
      int32_t maxX = 0, maxY = 0;
      for (HitBlock *b = h->firstBlock; b; b = b->next) {
        EXPECT_GT(b->length, 0);
        maxX = std::max(maxX, b->x + b->length);
        maxY = std::max(maxY, b->y + b->length);
        if (!b->next)
          continue;
        EXPECT_TRUE(b->next->x >= b->x + b->length && b->next->y >= b->y + b->length);
        EXPECT_GT(b->next->x - b->x + b->next->y - b->y, 2 * b->length); // a gap between
        EXPECT_EQ(b->cut, b->linkKind == 1 ? b->y + b->length : b->x + b->length);
      }
      EXPECT_EQ(maxX, h->end1 - h->start1);
      EXPECT_EQ(maxY, h->end2 - h->start2);
      ColumnCounts c;
      EXPECT_EQ(CountHitColumns(h, h->firstBlock, &c), h->score);
      EXPECT_EQ(c.residues1, h->end1 - h->start1);
      EXPECT_EQ(c.residues2, h->end2 - h->start2);
      if (globalTest)
        EXPECT_GE(globalMargin(h), 0);
      else
        EXPECT_TRUE(passesThreshold(h->score, c.matches, c.matches + c.mismatches, ScoreParams{}));
    }
    return hits;
  }
};

TEST_F(SearchInvariantsTest, FullScanOfAHomologousWindow) {
  Hit *r = region(500, 2500, 0, 2000);
  const Hit window = *r;
  ASSERT_EQ(searchRegion(r), kSearchNormal);
  const int hits = checkHits(window, false);
  EXPECT_EQ(hits, gCurrent->reportSecond);
  EXPECT_GT(gCurrent->reportFirst, hits);
  // Orangutan 1..16025 is human 577..16569 (one rotation, about 85 %).
  EXPECT_GE(covered(hitBoxes(), 576, 2385), 1700); // the part before the first gap
}

TEST_F(SearchInvariantsTest, WordSeedingCoversTheWholePairOnce) {
  Hit *r = region();
  const Hit whole = *r;
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  EXPECT_GE(checkHits(whole, true), 1);
  const std::vector<Box> found = hitBoxes();
  EXPECT_GE(covered(found, 576, 16569), (16569 - 576) * 95 / 100);
  EXPECT_GE(covered(found, 576, 2385), 1700);
  // Hits of the same stretch are not found again from later seeds.
  EXPECT_LE(found.size(), 8u);
  EXPECT_EQ(duplicates(found, 20), 0);
}

} // namespace
