// Every hit that a search of a real pair produces must be well formed and
// must pass the test that accepted it.
#include <algorithm>
#include <cstdlib>

#include "core/pool.h"
#include "output/columns.h"
#include "search_fixture.h"

namespace {

class SearchInvariantsTest : public SearchTest {
protected:
  void SetUp() override {
    SearchTest::SetUp();
    loadMito();
  }

  // Checks every hit against the region it came from; returns how many
  // there are and, in `covered`, their extent in sequence 1 near the
  // homologous diagonal (orangutan 1.. is human 577..).
  int checkHits(const Hit &r, bool globalTest, int32_t *covered) {
    int hits = 0;
    *covered = 0;
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
      if (std::abs(h->start1 - h->start2 - 576) < 200)
        *covered += h->end1 - h->start1;
    }
    return hits;
  }
};

TEST_F(SearchInvariantsTest, FullScanOfAHomologousWindow) {
  Hit *r = region(500, 2500, 0, 2000);
  const Hit window = *r;
  ASSERT_EQ(searchRegion(r), kSearchNormal);
  int32_t covered = 0;
  const int hits = checkHits(window, false, &covered);
  EXPECT_EQ(hits, gCurrent->reportSecond);
  EXPECT_GT(gCurrent->reportFirst, hits);
  EXPECT_GT(covered, 1700);
}

TEST_F(SearchInvariantsTest, WordSeedingOfTheWholePair) {
  Hit *r = region();
  const Hit whole = *r;
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  int32_t covered = 0;
  EXPECT_GE(checkHits(whole, true, &covered), 1);
  EXPECT_GT(covered, 12000);
}

void *refuse(size_t) { return nullptr; }

TEST_F(SearchInvariantsTest, PoolExhaustionEndsTheSearchCleanly) {
  // No new memory, and every record in hand used up.
  setSystemAlloc(refuse);
  try {
    for (;;)
      allocateBlock();
  } catch (const EngineAbort &) {
  }
  Hit *r = region(500, 2500, 0, 2000);
  const int code = searchRegion(r);
  setSystemAlloc(nullptr);
  EXPECT_EQ(code, kSearchPoolExhausted);
  EXPECT_EQ(r->firstBlock, nullptr);
  EXPECT_FALSE(gSeq1->residues[2500] & 0x20);
  EXPECT_FALSE(gSeq2->residues[2000] & 0x20);
  EXPECT_EQ(gActionStatus & (kModeAlign | kModeNoDraw | kModeNoDraw2), 0u);
}

} // namespace
