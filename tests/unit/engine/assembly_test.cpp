#include "engine/search_internal.h"
#include "output/columns.h"
#include "search_fixture.h"

namespace {

class AssemblyTest : public SearchTest {
protected:
  // An island over a stretch of a diagonal, its matches counted.
  HitBlock *island(int32_t x, int32_t y, int32_t length) {
    int32_t matches = 0;
    for (int32_t i = 0; i < length; ++i)
      matches += pairCode(x + i, y + i) == 1;
    return newIsland(x, y, length, matches);
  }
  void startTry(HitBlock *b, int32_t threshold) {
    gBest = LinkCandidate{};
    gBest.score = b->chainScore;
    gLinkThreshold = threshold;
  }
};

TEST_F(AssemblyTest, SameDiagonalLinkNeedsMoreThanTheGapCosts) {
  const std::string m = "ACGTTGCAACGT", m2 = "TTGACCAGTAGC";
  load(m + "AAA" + m2, m + "CCC" + m2);
  prepare();
  HitBlock *a = island(0, 0, 12), *b = island(15, 15, 12);
  ASSERT_EQ(b->chainScore, 1200);
  // a.chainScore + 1200 - 300 must beat b's own 1200: a needs more than 300.
  a->chainScore = 300;
  startTry(b, a->chainScore);
  linkSameDiagonal(a, b);
  EXPECT_EQ(gBest.score, 1200);              // equal is a candidate ...
  EXPECT_FALSE(gBest.score > b->chainScore); // ... but not committed
  a->chainScore = 301;
  startTry(b, a->chainScore);
  linkSameDiagonal(a, b);
  ASSERT_EQ(gBest.score, 1201);
  EXPECT_EQ(gBest.kind, kLinkSameDiag);
  EXPECT_EQ(gBest.bridgedMatches, 0);
  EXPECT_EQ(gBest.span, 27);
  commitLink();
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(b->chainLength, 27);
  EXPECT_EQ(b->chainMatches, 24);
  HitBlock *blocks = chainToBlocks(b);
  ASSERT_EQ(blocks, a);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(a->length, 27);
}

TEST_F(AssemblyTest, GappedLinkWithAnOverlapCutsAtTheBestColumn) {
  // Sequence 2 carries two extra residues after column 20 of a period-4 text.
  std::string p;
  for (int i = 0; i < 10; ++i)
    p += "ACGT";
  const std::string s2 = p.substr(0, 20) + "GA" + p.substr(20);
  load(p, s2);
  prepare();
  HitBlock *a = island(0, 0, 24), *b = island(16, 18, 24);
  ASSERT_EQ(a->identities, 20);
  ASSERT_EQ(b->identities, 21);
  startTry(b, a->chainScore);
  linkGapped(a, b, kLinkGapInY, 2);
  ASSERT_EQ(gBest.successor, b);
  EXPECT_EQ(gBest.cut, 20);
  EXPECT_EQ(gBest.keptMatches, 20);
  EXPECT_EQ(gBest.span, 40);
  // 40 matches, one gap of 2: 4000 - 300 - 200.
  EXPECT_EQ(gBest.score, 3500);
  commitLink();
  EXPECT_EQ(b->startX, 20);
  EXPECT_EQ(b->startY, 22);
  EXPECT_EQ(b->usedLength, 20);
  EXPECT_EQ(b->chainMatches, 40);
  Hit *h = region();
  gEngine.newHitFlags = kHitNewFlag;
  EXPECT_EQ(makeHit(h, chainToBlocks(b)), 3500);
  EXPECT_EQ(h->end1, 40);
  EXPECT_EQ(h->end2, 42);
  ASSERT_NE(h->firstBlock->next, nullptr);
  EXPECT_EQ(h->firstBlock->length, 20);
  EXPECT_EQ(h->firstBlock->cut, 20);
  EXPECT_EQ(h->firstBlock->next->y, 22);
  EXPECT_TRUE(h->flags & kHitNewFlag);
}

TEST_F(AssemblyTest, GappedLinkBridgesAStretchAtTheEarliestBestCut) {
  std::string p;
  for (int i = 0; i < 10; ++i)
    p += "ACGT";
  const std::string s2 = p.substr(0, 20) + "TTC" + p.substr(20);
  load(p, s2);
  prepare();
  HitBlock *a = island(0, 0, 16), *b = island(24, 27, 16);
  startTry(b, a->chainScore);
  linkGapped(a, b, kLinkGapInY, 3);
  ASSERT_EQ(gBest.successor, b);
  EXPECT_EQ(gBest.cut, 20);
  EXPECT_EQ(gBest.bridgedMatches, 8);
  EXPECT_EQ(gBest.keptMatches, 20);
  EXPECT_EQ(gBest.score, 4000 - 300 - 300);
  commitLink();
  EXPECT_EQ(b->startX, 20); // extended back to the cut
  EXPECT_EQ(b->usedLength, 20);
  Hit *h = region();
  EXPECT_EQ(makeHit(h, chainToBlocks(b)), 3400);
  EXPECT_EQ(h->firstBlock->length, 20);
  EXPECT_EQ(h->firstBlock->next->x, 20);
  EXPECT_EQ(h->firstBlock->next->length, 20);
}

// Sequence 2 = E1 + gap + E2; the last two residues of E1 equal those of
// the gap, so two cuts tie; the later one wins only for a splice-like gap.
int32_t tiedCut(const std::string &gap) {
  const std::string e1 = "GCATGCCATTGACTTTAG", e2 = "AGACTTGCAGGTCAACTG";
  loadTestSequences((e1 + e2).c_str(), (e1 + gap + e2).c_str());
  setActionParams(0x08, ScoreParams{}, IslandParams{});
  Hit *r = allocateHit();
  r->end1 = gSeq1->length;
  r->end2 = gSeq2->length;
  prepareRegion(r, r->end1, r->end2, kModeAlign | kModeNoDraw);
  const int32_t c = (int32_t)e1.size(), L = (int32_t)e2.size() + 5;
  auto make = [](int32_t x, int32_t y, int32_t len) {
    int32_t m = 0;
    for (int32_t i = 0; i < len; ++i)
      m += pairCode(x + i, y + i) == 1;
    return newIsland(x, y, len, m);
  };
  HitBlock *a = make(0, 0, c + 3), *b = make(c - 5, c + 3, L);
  gBest = LinkCandidate{};
  gBest.score = b->chainScore;
  gLinkThreshold = a->chainScore;
  linkGapped(a, b, kLinkGapInY, 8);
  const int32_t cut = gBest.successor ? gBest.cut - c : -100;
  releaseRegion();
  return cut;
}

TEST_F(AssemblyTest, TiedCutsPreferSpliceSites) {
  EXPECT_EQ(tiedCut("GTCCCCAG"), 0);  // GT..AG at the later cut
  EXPECT_EQ(tiedCut("CACCCCAG"), -2); // otherwise the earliest
  EXPECT_EQ(tiedCut("CTCCCCAG"), -2); // CT..AC needs AC at the end
}

TEST_F(AssemblyTest, FailingChainIsShortenedFromItsEnd) {
  const std::string m = "ACGTTGCAACGTAGCTTGCA";
  load(m + std::string(20, 'A'), m + std::string(20, 'C'));
  prepare();
  gEngine.finalLimit = 1000;
  HitBlock *a = island(0, 0, 20), *b = island(25, 25, 10);
  // A link whose chain scores too little to pass, though a alone passes.
  gBest = LinkCandidate{a, b, 100, kLinkSameDiag, 0, 0, 0, 35};
  linkBest();
  ASSERT_TRUE(passesThreshold(a->chainScore, a->chainMatches, a->chainLength, *gEngine.score));
  finalise(a); // has a successor: nothing decided
  EXPECT_EQ(gEngine.resultList, nullptr);
  finalise(b);
  EXPECT_EQ(b->linkKind, kIslandDead);
  EXPECT_EQ(gEngine.resultList, a);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(a->cut, -1); // accepted
  finalise(a);           // judged once only
  EXPECT_EQ(a->freeNext, nullptr);
}

TEST_F(AssemblyTest, LoneIslandThatPassesBecomesOneBlockHit) {
  std::mt19937 rng(11);
  const std::string run = randomDna(rng, 60);
  std::string s1 = randomDna(rng, 150) + run + randomDna(rng, 150);
  std::string s2 = randomDna(rng, 120) + run + randomDna(rng, 170);
  load(s1, s2);
  Hit *r = region();
  ASSERT_EQ(searchRegion(r), kSearchNormal);
  ASSERT_NE(r->firstBlock, nullptr);
  EXPECT_EQ(r->firstBlock->next, nullptr);
  EXPECT_LE(r->start1, 150);
  EXPECT_GE(r->end1, 210);
  EXPECT_EQ(r->start2 - r->start1, -30);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  EXPECT_TRUE(r->flags & kHitNewFlag);
  EXPECT_FALSE(gSeq1->residues[gSeq1->length] & 0x20);
}

TEST_F(AssemblyTest, TooNarrowRegionFindsNothing) {
  load("ACGTA", "ACGTACGTACGTACGT");
  Hit *r = region();
  EXPECT_EQ(searchRegion(r), kSearchNormal);
  EXPECT_EQ(r->firstBlock, nullptr);
}

TEST_F(AssemblyTest, WordIndexSizeAndSeedsInsideARun) {
  EXPECT_EQ(wordIndexBits(1000, 1000, 16), 5);
  EXPECT_EQ(wordIndexBits(100, 100, 16), 4);
  EXPECT_EQ(wordIndexBits(100000000, 100000000, 16), 11);
  EXPECT_EQ(wordIndexBits(100000000, 100000000, 8), 8);
  // One run of 40 shared residues in unrelated flanks: only its first word
  // seeds; the others are skipped because the pair before them matches.
  std::mt19937 rng(5);
  const std::string run = randomDna(rng, 40);
  load(std::string(30, 'A') + run + std::string(30, 'A'),
       std::string(50, 'C') + run + std::string(30, 'C'));
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  EXPECT_EQ(gCurrent->reportFirst, 1);
  ASSERT_NE(r->firstBlock, nullptr);
  EXPECT_EQ(r->start1, 30);
  EXPECT_EQ(r->end1, 70);
  EXPECT_EQ(r->start2, 50);
  EXPECT_EQ(r->score, 4000);
  EXPECT_EQ(gCurrent->reportSecond, 1);
}

TEST_F(AssemblyTest, MaskedResiduesNeverEnterAWord) {
  // 30 shared residues whose middle carries the repeat mark in sequence 1.
  const std::string left = "ACGTTGCAACGT", mid = "agctta", right = "GCATTACCGATG";
  std::string upperMid = "AGCTTA";
  const std::string s1 = std::string(20, 'A') + left + mid + right + std::string(20, 'A');
  const std::string s2 = std::string(20, 'C') + left + upperMid + right + std::string(20, 'C');
  load(s1, s2, 0x08 | 0x40);
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  EXPECT_EQ(r->firstBlock, nullptr);
  load(s1, s2, 0x08);
  r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  ASSERT_NE(r->firstBlock, nullptr);
  EXPECT_EQ(r->end1 - r->start1, 30);
}

TEST_F(AssemblyTest, ChainForwardLinksTheNextIslandAcrossAGap) {
  std::mt19937 rng(3);
  const std::string e1 = randomDna(rng, 40), e2 = randomDna(rng, 40);
  load(e1 + e2 + std::string(20, 'A'), e1 + "GGTT" + e2 + std::string(20, 'C'));
  prepare(0);
  HitBlock *blk = island(0, 0, 40);
  EXPECT_GE(chainForward(blk), 0);
  EXPECT_EQ(gEngine.linkedIslands, 1);
  ASSERT_NE(blk->next, nullptr);
  EXPECT_EQ(blk->next->x - blk->next->y, -4);
  Hit *h = region();
  makeHit(h, chainToBlocks(blk));
  EXPECT_EQ(h->end1, 80);
  EXPECT_EQ(h->end2, 84);
  ColumnCounts c;
  CountHitColumns(h, h->firstBlock, &c);
  EXPECT_EQ(c.gaps, 1);
  EXPECT_EQ(c.gapLength, 4);
}

} // namespace
