#include <climits>
#include <vector>

#include "engine/search_internal.h"
#include "search_fixture.h"

namespace {

struct Isl {
  int32_t x, y, length, matches;
  bool operator==(const Isl &o) const {
    return x == o.x && y == o.y && length == o.length && matches == o.matches;
  }
};

// The frame rule written out plainly: every frame counted from scratch.
std::vector<Isl> referenceScan(int32_t x0, int32_t y0, int m, int n, int k) {
  std::vector<int> v;
  for (int32_t x = x0, y = y0; x < gSeq1->length && y < gSeq2->length; ++x, ++y)
    v.push_back(IslandMatchTable[gSeq1->residues[x]][gSeq2->residues[y]]);
  const int L = (int)v.size();
  auto frame = [&](int f) {
    int c = 0;
    for (int i = f; i < f + n; ++i)
      c += v[i];
    return c;
  };
  std::vector<Isl> out;
  int p = 0;
  for (;;) {
    bool found = false;
    for (int f = p; f + n <= L;) {
      if (frame(f) < m) {
        ++f;
        continue;
      }
      int f1 = f;
      while (f1 + 1 + n <= L && frame(f1 + 1) >= m)
        ++f1;
      int s = f, e = f1 + n, total = 0;
      for (int i = s; i < e; ++i)
        total += v[i];
      if (total >= k) {
        while (!v[s])
          ++s;
        while (!v[e - 1])
          --e;
        out.push_back({x0 + s, y0 + s, e - s, total});
        p = e;
        found = true;
        break;
      }
      f = f1 + 1;
    }
    if (!found)
      break;
  }
  return out;
}

class IslandTest : public SearchTest {
protected:
  // Full scan of one diagonal to its end; islands in order of discovery.
  std::vector<Isl> fullScan(int32_t x, int32_t y) {
    scanDiagonal(x, y);
    std::vector<Isl> out;
    for (HitBlock *b = gEngine.diagonalList[x - y + gEngine.diagBase]; b; b = b->freeNext)
      out.insert(out.begin(), Isl{b->x, b->y, b->length, b->identities});
    return out;
  }
  void prepareLists() {
    prepare();
    ASSERT_TRUE(allocateSearchLists());
    gEngine.sweep = INT_MAX;
  }
};

TEST_F(IslandTest, FrameRuleOnHandMadeDiagonals) {
  // Twelve matches then mismatches: one island of exactly the twelve.
  load("ACGTTGCAACGTAAAAAAAAAA", "ACGTTGCAACGTCCCCCCCCCC");
  prepareLists();
  std::vector<Isl> want = {{0, 0, 12, 12}};
  EXPECT_EQ(fullScan(0, 0), want);
  EXPECT_EQ(gCurrent->reportFirst, 1);
  releaseRegion();

  // Leading and trailing mismatches of the run are not part of it.
  load("TACGTTGCAACGTAGTT", "CACGTTGCAACGTAGCC");
  prepareLists();
  want = {{1, 1, 14, 14}};
  EXPECT_EQ(fullScan(0, 0), want);
  releaseRegion();

  // A diagonal shorter than a frame yields nothing.
  load("ACGTACG", "ACGTACG");
  prepareLists();
  EXPECT_TRUE(fullScan(0, 0).empty());
  releaseRegion();

  // Eleven matches are below the total of twelve.
  load("ACGTTGCAACGAAAAAAA", "ACGTTGCAACGCCCCCCC");
  prepareLists();
  EXPECT_TRUE(fullScan(0, 0).empty());
}

TEST_F(IslandTest, MaskedResiduesBreakFrames) {
  // Lower case carries the repeat mark.
  const std::string s1 = "ACGTTGcaacgtAGCTTAGCAAAAAAAA";
  const std::string s2 = "ACGTTGCAACGTAGCTTAGCCCCCCCCC";
  load(s1, s2, 0x08);
  prepareLists();
  std::vector<Isl> open = {{0, 0, 20, 20}};
  EXPECT_EQ(fullScan(0, 0), open);
  releaseRegion();
  load(s1, s2, 0x08 | 0x40);
  prepareLists();
  // Six masked positions leave frames of at most four usable matches.
  EXPECT_TRUE(fullScan(0, 0).empty());
  releaseRegion();
  load(s1, s2, 0x08 | 0x80); // the filter mark is not set anywhere
  prepareLists();
  EXPECT_EQ(fullScan(0, 0), open);
}

TEST_F(IslandTest, FastScanAgreesWithReferenceOnRandomPairs) {
  std::mt19937 rng(7);
  const IslandParams params[] = {{5, 8, 20, 12, 16}, {3, 4, 10, 6, 16}, {7, 10, 20, 20, 16}};
  size_t islands = 0;
  for (const IslandParams &ip : params)
    for (int round = 0; round < 3; ++round) {
      const std::string a = randomDna(rng, 220);
      const std::string b = mutate(rng, a, 0.1 + 0.1 * round) + randomDna(rng, 30);
      load(a, b, 0x08, ip);
      prepareLists();
      for (int32_t t = 0; t < gEngine.W; ++t)
        islands +=
            referenceScan(t, 0, ip.matchesPerFrame, ip.frameLength, ip.minTotalMatches).size();
      for (int32_t t = 0; t < gEngine.W; ++t)
        ASSERT_EQ(fullScan(t, 0),
                  referenceScan(t, 0, ip.matchesPerFrame, ip.frameLength, ip.minTotalMatches))
            << "x " << t;
      for (int32_t t = 1; t < gEngine.H; ++t)
        ASSERT_EQ(fullScan(0, t),
                  referenceScan(0, t, ip.matchesPerFrame, ip.frameLength, ip.minTotalMatches))
            << "y " << t;
      releaseRegion();
    }
  EXPECT_GT(islands, 50u);
}

TEST_F(IslandTest, BoundedScansFindTheFirstIslandEitherWay) {
  load("GGGGGGGGGGACGTTGCAACGTAGCTAAAAAAAA", "CCCCCCCCCCACGTTGCAACGTAGCTCCCCCCCC");
  prepare();
  HitBlock *f = scanDiagonalBounded(0, 0, gEngine.W, gEngine.H);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->x, 10);
  EXPECT_EQ(f->length, 16);
  EXPECT_EQ(f->usedLength, 16);
  EXPECT_EQ(f->blockScore, 1600);
  // A budget of five positions gives up among the leading mismatches.
  EXPECT_EQ(scanDiagonalBounded(0, 0, 5, 5), nullptr);
  HitBlock *b = scanDiagonalBoundedBack(gEngine.W - 1, gEngine.H - 1, 0, 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->x, 10);
  EXPECT_EQ(b->y, 10);
  EXPECT_EQ(b->length, 16);
  EXPECT_EQ(b->identities, 16);
}

TEST_F(IslandTest, FrameExtensionGrowsOverGoodFramesOnly) {
  // M12 X M6 then mismatches: the block grows by seven holding six matches.
  const std::string m12 = "ACGTTGCAACGT", m6 = "GATTCA";
  load(m12 + "A" + m6 + "AAAAAAAAAA", m12 + "C" + m6 + "CCCCCCCCCC");
  prepare();
  HitBlock *blk = allocateBlock();
  *blk = HitBlock{};
  blk->length = blk->usedLength = 12;
  blk->identities = blk->usedMatches = 12;
  blk->blockScore = blk->chainScore = 1200;
  EXPECT_TRUE(extendFrameForward(blk, 100));
  EXPECT_EQ(blk->length, 19);
  EXPECT_EQ(blk->identities, 18);
  EXPECT_EQ(blk->chainScore, 1200 + 600 - 100);
  EXPECT_FALSE(extendFrameForward(blk, 100));
  releaseRegion();

  // The mirror image, towards the start.
  load("AAAAAAAAAA" + m6 + "A" + m12, "CCCCCCCCCC" + m6 + "C" + m12);
  prepare();
  blk->x = blk->y = blk->startX = blk->startY = 17;
  blk->length = blk->usedLength = 12;
  blk->identities = blk->usedMatches = 12;
  EXPECT_TRUE(extendFrameBackward(blk, 17, false));
  EXPECT_EQ(blk->x, 10);
  EXPECT_EQ(blk->startY, 10);
  EXPECT_EQ(blk->length, 19);
  EXPECT_EQ(blk->identities, 18);
  releaseRegion();

  // With a word of w matches before the block the seed is given up.
  const std::string w16 = "ACGTTGCAACGTAGCT";
  load("AAAA" + w16 + "A" + m12, "CCCC" + w16 + "C" + m12);
  prepare();
  blk->x = blk->y = blk->startX = blk->startY = 21;
  blk->length = blk->usedLength = 12;
  gEngine.seedAbandoned = false;
  EXPECT_FALSE(extendFrameBackward(blk, 21, true));
  EXPECT_TRUE(gEngine.seedAbandoned);
  EXPECT_EQ(blk->x, 21);
  EXPECT_EQ(blk->length, 12);
  freeBlock(blk);
}

TEST_F(IslandTest, SentinelsAreClearedOnEveryPathOut) {
  load("ACGTACGTAC", "ACGTACGTAC");
  Hit *r = region(0, 6, 0, 4);
  {
    RegionGuard guard(r, r->end1, r->end2, kModeAlign);
    EXPECT_TRUE(gSeq1->residues[6] & 0x20);
    EXPECT_TRUE(gSeq2->residues[4] & 0x20);
  }
  EXPECT_FALSE(gSeq1->residues[6] & 0x20);
  EXPECT_FALSE(gSeq2->residues[4] & 0x20);
  try {
    RegionGuard guard(r, r->end1, r->end2, kModeAlign);
    throw EngineAbort{2};
  } catch (const EngineAbort &) {
  }
  EXPECT_FALSE(gSeq1->residues[6] & 0x20);
  // Ends past the sequence stay on its spare byte.
  r->end1 = 50;
  prepareRegion(r, r->end1, r->end2, kModeAlign);
  EXPECT_EQ(gEngine.x2, 10);
  releaseRegion();
  EXPECT_EQ(gSeq1->residues[10], 0);
  // A sequence without residues makes an empty region, not a bad pointer.
  uint8_t *kept = gSeq2->residues;
  gSeq2->residues = nullptr;
  EXPECT_EQ(searchRegion(r), kSearchNormal);
  EXPECT_EQ(r->firstBlock, nullptr);
  gSeq2->residues = kept;
  // Releasing clears the Align and no-draw bits but keeps the stop request.
  gActionStatus = kModeStop;
  prepareRegion(r, 6, 4, kModeAlign | kModeNoDraw);
  EXPECT_EQ(gActionStatus, kModeStop | kModeAlign | kModeNoDraw);
  releaseRegion();
  EXPECT_EQ(gActionStatus, kModeStop);
}

} // namespace
