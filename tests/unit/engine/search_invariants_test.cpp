// Every hit that a search of a real pair produces must be well formed and
// must pass the test that accepted it; word seeding finds each alignment once.
#include <algorithm>

#include "engine/columns.h"
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

// Hash mode of Align: every seed of an alignment after the first is given
// up, but only when the chain of an earlier seed really covers it, so an
// alignment is found once and whole.
using WordsCoverageTest = SearchTest;

// s with the bases at `at` (all when none are given) changed.
std::string flipped(std::string s, const std::vector<size_t> &at = {}) {
  for (size_t i = 0; i < s.size(); ++i)
    if (at.empty() || std::count(at.begin(), at.end(), i))
      s[i] = s[i] == 'A' ? 'C' : 'A';
  return s;
}
// a with every `every`-th base changed: runs of every - 1 matches, so each
// run holds a word of 16 and every frame stays good.
std::string everyNth(std::string a, size_t every) {
  for (size_t i = every - 1; i < a.size(); i += every)
    a[i] = a[i] == 'A' ? 'C' : 'A';
  return a;
}

TEST_F(WordsCoverageTest, LaterSeedsOfAnAlignmentAreGivenUp) {
  // 16 shared residues, one deletion in sequence 2, then 300 residues with
  // a mismatch every 20th: the first word lies after the gap, and the short
  // island before the gap must not make it look covered by itself.
  std::mt19937 rng(11);
  const std::string head = randomDna(rng, 16), gapBase = "G", body = randomDna(rng, 300);
  const std::string flank1 = randomDna(rng, 40), flank2 = randomDna(rng, 40);
  load(flank1 + head + gapBase + body + flank1,
       flank2 + flipped(head, {5, 11}) + everyNth(body, 20) + flank2);
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  const std::vector<Box> found = hitBoxes();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_LE(found[0].x0, 40 + 17);
  EXPECT_GE(found[0].x1, 40 + 17 + 290);
  // Fifteen runs hold a word; the first seeds, the rest are given up.
  EXPECT_GE(gEngine.abandoned, 10);
}

TEST_F(WordsCoverageTest, AnAlignmentBeyondABreakIsNotLost) {
  // Two alignments 16 diagonals apart, the second led by a short island
  // that the first does not link to. Chaining back from the second meets
  // the words of the first; the first ends before the second's seeds, so
  // it covers none of them and the second is kept.
  std::mt19937 rng(23);
  const std::string one = randomDna(rng, 200), two = randomDna(rng, 300);
  const std::string shortA = randomDna(rng, 18), breakA = randomDna(rng, 6);
  const std::string insert = randomDna(rng, 16);
  const std::string flank1 = randomDna(rng, 50), flank2 = randomDna(rng, 50);
  std::string oneB = everyNth(one, 20);
  oneB.replace(176, 24, one, 176, 24); // a word right before the break
  load(flank1 + one + shortA + breakA + two + flank1,
       flank2 + oneB + insert + flipped(shortA, {6, 12}) + flipped(breakA) + everyNth(two, 20) +
           flank2);
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  const std::vector<Box> found = hitBoxes();
  EXPECT_GE(covered(found, 50, 250), 190);
  EXPECT_GE(covered(found, 274, 574), 290);
  EXPECT_EQ(duplicates(found, 20), 0);
}

} // namespace
