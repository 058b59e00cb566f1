// Every hit that a search of a real pair produces must be well formed and
// must pass the test that accepted it.
#include <string>

#include "core/pool.h"
#include "fasta_pair.h"
#include "output/columns.h"
#include "search_fixture.h"

namespace {

class SearchInvariantsTest : public SearchTest {
protected:
  void SetUp() override {
    SearchTest::SetUp();
    ASSERT_TRUE(
        loadFastaPair(VELK_TEST_DATA "/mito/MT-human.fa", VELK_TEST_DATA "/mito/MT-orang.fa"));
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
    setActionParams(0x08, ScoreParams{}, IslandParams{});
  }

  // Checks every hit inside [x1, x2) x [y1, y2); returns how many there are.
  int checkHits(int32_t x1, int32_t x2, int32_t y1, int32_t y2, bool globalTest) {
    int hits = 0;
    for (Hit *h = gHitHead1; h; h = h->next1) {
      if (!h->firstBlock)
        continue;
      ++hits;
      SCOPED_TRACE(testing::Message() << "hit " << h->start1 << "," << h->start2);
      EXPECT_GE(h->start1, x1);
      EXPECT_LE(h->end1, x2);
      EXPECT_GE(h->start2, y1);
      EXPECT_LE(h->end2, y2);
      EXPECT_EQ(h->firstBlock->x, 0);
      EXPECT_EQ(h->firstBlock->y, 0);
      int32_t maxX = 0, maxY = 0;
      for (HitBlock *b = h->firstBlock; b; b = b->next) {
        EXPECT_GT(b->length, 0);
        maxX = std::max(maxX, b->x + b->length);
        maxY = std::max(maxY, b->y + b->length);
        if (!b->next)
          continue;
        EXPECT_GE(b->next->x, b->x + b->length);
        EXPECT_GE(b->next->y, b->y + b->length);
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
  // Orangutan 1.. is homologous to human 577..
  Hit *r = region(500, 4500, 0, 4000);
  ASSERT_EQ(searchRegion(r), kSearchNormal);
  const int hits = checkHits(500, 4500, 0, 4000, false);
  EXPECT_GE(hits, 1);
  EXPECT_EQ(hits, gCurrent->reportSecond);
  EXPECT_GT(gCurrent->reportFirst, hits);
  // The homologous diagonal is covered for most of its length.
  int32_t covered = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock && std::abs((h->start1 - h->start2) - 576) < 100)
      covered += h->end1 - h->start1;
  EXPECT_GT(covered, 3000);
}

TEST_F(SearchInvariantsTest, WordSeedingOfTheWholePair) {
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  const int hits = checkHits(0, gSeq1->length, 0, gSeq2->length, true);
  EXPECT_GE(hits, 1);
  int32_t covered = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (h->firstBlock && std::abs((h->start1 - h->start2) - 576) < 200)
      covered += h->end1 - h->start1;
  }
  EXPECT_GT(covered, 12000);
}

} // namespace

namespace {

void *refuse(size_t) { return nullptr; }

TEST_F(SearchInvariantsTest, StopAndPoolExhaustionEndTheSearchCleanly) {
  // A stop requested before the sweep ends it after its first step; what is
  // accepted by then is kept and the region is released.
  gActionStatus = kModeStop;
  Hit *r = region(500, 2500, 0, 2000);
  EXPECT_EQ(searchRegion(r), kSearchNormal);
  EXPECT_EQ(gActionStatus, kModeStop);
  EXPECT_FALSE(gSeq1->residues[2500] & 0x20);
  EXPECT_FALSE(gSeq2->residues[2000] & 0x20);
  gActionStatus = 0;

  // Refuse new memory and use up every record in hand.
  setSystemAlloc(refuse);
  try {
    for (;;)
      allocateBlock();
  } catch (const EngineAbort &) {
  }
  Hit *r2 = region(500, 2500, 0, 2000);
  const int code = searchRegion(r2);
  setSystemAlloc(nullptr);
  EXPECT_EQ(code, kSearchPoolExhausted);
  EXPECT_EQ(r2->firstBlock, nullptr);
  EXPECT_FALSE(gSeq1->residues[2500] & 0x20);
  EXPECT_FALSE(gSeq2->residues[2000] & 0x20);
  EXPECT_EQ(gActionStatus & (kModeAlign | kModeNoDraw | kModeNoDraw2), 0u);
}

} // namespace
