#include <cctype>
#include <cstring>
#include <tuple>
#include <utility>

#include "engine/columns.h"
#include "engine/search_internal.h"
#include "fasta_pair.h"
#include "search_fixture.h"

namespace {

class AssemblyTest : public SearchTest {
protected:
  // An island over a stretch of a diagonal, its matches counted.
  static HitBlock *island(int32_t x, int32_t y, int32_t length) {
    int32_t matches = 0;
    for (int32_t i = 0; i < length; ++i)
      matches += pairCode(x + i, y + i) == 1;
    return newIsland(x, y, length, matches);
  }
  static void startTry(HitBlock *b, int32_t threshold) {
    gBest = LinkCandidate{};
    gBest.score = b->chainScore;
    gLinkThreshold = threshold;
  }
  // Link tries between random islands: the walk with the same-base bound,
  // and with exact counts, must find what the plain walk finds. Returns
  // the tries made; `linked` counts those that link.
  int compareLinkTries(std::mt19937 &rng, PackedBases &bases, PackedBases &marked, int &linked) {
    const int32_t n2 = gEngine.H;
    int tried = 0;
    for (int t = 0; t < 4000; ++t) {
      const int32_t kind = (int32_t)(rng() % 2), d = 1 + (int32_t)(rng() % 200);
      // Islands up to 128 long overlap by whole words now and then.
      const int32_t length = 8 + (int32_t)(rng() % 120), stretch = (int32_t)(rng() % 1260) - 60;
      const int32_t ax = (int32_t)(rng() % 1500), ay = std::max(0, ax + (int32_t)(rng() % 9) - 4);
      int32_t bx = ax + length + stretch, by = bx - ax + ay + d; // kind 0: along x, gap in y
      if (kind == kLinkGapInX) {
        by = ay + length + stretch;
        bx = by + ax - ay + d;
      }
      if (bx < 0 || by < 0 || bx + length > gEngine.W || by + length > n2)
        continue;
      HitBlock *a = island(ax, ay, length), *b = island(bx, by, length);
      a->chainScore += (int32_t)(rng() % 40000);
      const int32_t threshold = (int32_t)(rng() % 3000);
      // Plain walk, bound on same bases, and exact counts 32 positions at a time.
      LinkCandidate found[3];
      for (int packed = 0; packed < 3; ++packed) {
        gEngine.packed = packed == 0 ? nullptr : packed == 1 ? &bases : &marked;
        startTry(b, threshold);
        linkGapped(a, b, kind, d);
        found[packed] = gBest;
      }
      gEngine.packed = nullptr;
      for (int packed = 1; packed < 3; ++packed)
        EXPECT_EQ(std::make_tuple(found[packed].successor, found[packed].score, found[packed].cut,
                                  found[packed].keptMatches, found[packed].bridgedMatches),
                  std::make_tuple(found[0].successor, found[0].score, found[0].cut,
                                  found[0].keptMatches, found[0].bridgedMatches))
            << t << " " << packed;
      ++tried;
      linked += found[0].successor != nullptr;
      freeBlock(a);
      freeBlock(b);
    }
    return tried;
  }
  // A period-4 text, and it again with `insert` after its 20th residue.
  void loadInsertion(const std::string &insert) {
    std::string p;
    for (int i = 0; i < 10; ++i)
      p += "ACGT";
    load(p, p.substr(0, 20) + insert + p.substr(20));
    prepare();
  }
};

TEST_F(AssemblyTest, SameDiagonalLinkNeedsMoreThanTheGapCosts) {
  const std::string m = "ACGTTGCAACGT", m2 = "TTGACCAGTAGC";
  load(m + "AAA" + m2, m + "CCC" + m2);
  prepare();
  HitBlock *a = island(0, 0, 12), *b = island(15, 15, 12);
  ASSERT_EQ(b->chainScore, 1200);
  // a.chainScore + 1200 - 300 must beat b's own 1200: equal is not enough.
  for (int32_t score : {300, 301}) {
    a->chainScore = score;
    startTry(b, a->chainScore);
    linkSameDiagonal(a, b);
    ASSERT_EQ(gBest.score, score == 300 ? 1200 : 1201);
  }
  EXPECT_EQ(std::make_pair(gBest.kind, gBest.span), std::make_pair(int32_t(kLinkSameDiag), 27));
  commitLink();
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(std::make_pair(b->chainLength, b->chainMatches), std::make_pair(27, 24));
  ASSERT_EQ(chainToBlocks(b), a);
  EXPECT_EQ(a->next, nullptr);
  EXPECT_EQ(a->length, 27);
}

TEST_F(AssemblyTest, GappedLinkCutsAtTheEarliestBestColumn) {
  // Islands that overlap around the insertion, or that leave a stretch to
  // bridge before it; either way the cut falls right at the insertion.
  const struct {
    const char *insert;
    int32_t aLength, bx, by, bLength, bridged;
  } cases[] = {{"GA", 24, 16, 18, 24, -1}, {"TTC", 16, 24, 27, 16, 8}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.insert);
    const int32_t gap = (int32_t)strlen(c.insert);
    releaseRegion();
    loadInsertion(c.insert);
    HitBlock *a = island(0, 0, c.aLength), *b = island(c.bx, c.by, c.bLength);
    startTry(b, a->chainScore);
    linkGapped(a, b, kLinkGapInY, gap);
    ASSERT_EQ(gBest.successor, b);
    EXPECT_EQ(std::make_pair(gBest.cut, gBest.keptMatches), std::make_pair(20, 20));
    EXPECT_TRUE(c.bridged < 0 || gBest.bridgedMatches == c.bridged);
    EXPECT_EQ(gBest.score, 4000 - 300 - 100 * gap); // 40 matches, one gap
    commitLink();
    EXPECT_EQ(std::make_tuple(b->startX, b->startY, b->usedLength),
              std::make_tuple(20, 20 + gap, 20));
    Hit *h = region();
    gEngine.newHitFlags = kHitNewFlag;
    EXPECT_EQ(makeHit(h, chainToBlocks(b)), 4000 - 300 - 100 * gap);
    EXPECT_EQ(std::make_pair(h->end1, h->end2), std::make_pair(40, 40 + gap));
    EXPECT_TRUE(h->flags & kHitNewFlag);
    const HitBlock *first = h->firstBlock, *next = first->next;
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::make_pair(first->length, first->cut), std::make_pair(20, 20));
    EXPECT_EQ(std::make_tuple(next->x, next->y, next->length), std::make_tuple(20, 20 + gap, 20));
  }
}

TEST_F(AssemblyTest, TiedCutsPreferSpliceSites) {
  // Sequence 2 = E1 + gap + E2; the last two residues of E1 equal those of
  // the gap, so two cuts tie; the later one wins only for a splice-like gap.
  const std::string e1 = "GCATGCCATTGACTTTAG", e2 = "AGACTTGCAGGTCAACTG";
  const int32_t c = (int32_t)e1.size();
  const struct {
    const char *gap;
    int32_t cut;
  } cases[] = {{"GTCCCCAG", 0}, {"CACCCCAG", -2}, {"CTCCCCAG", -2}}; // CT..AC needs AC
  for (const auto &k : cases) {
    releaseRegion();
    load(e1 + e2, e1 + k.gap + e2);
    prepare();
    HitBlock *a = island(0, 0, c + 3), *b = island(c - 5, c + 3, (int32_t)e2.size() + 5);
    startTry(b, a->chainScore);
    linkGapped(a, b, kLinkGapInY, 8);
    ASSERT_NE(gBest.successor, nullptr) << k.gap;
    EXPECT_EQ(gBest.cut - c, k.cut) << k.gap;
  }
}

// With a large maximal gap, a link over a long stretch is given up when
// even every base its two diagonals share there could not make it win. The
// links must be those of the walk over the stretch, masked residues and N
// included.
TEST_F(AssemblyTest, LongStretchesGivenUpOnlyWhenTheyCannotWin) {
  std::mt19937 rng(3);
  std::string s1 = randomDna(rng, 4000), s2 = mutate(rng, s1, 0.12);
  for (std::string *s : {&s1, &s2})
    for (size_t i = 0; i < s->size(); i += 1 + rng() % 97)
      (*s)[i] = rng() % 3 ? (char)tolower((*s)[i]) : 'N';
  load(s1, s2, 0x08 | 0x40); // lower case masked: shared bases that do not match
  prepare();
  PackedBases bases;
  ASSERT_TRUE(bases.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
  const int32_t n2 = gEngine.H;
  PackedBases counted; // the same with every diagonal counted ahead
  ASSERT_TRUE(counted.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
  ASSERT_TRUE(counted.countDiagonals());
  for (int t = 0; t < 4000; ++t) { // the shared bases themselves, to the last position
    const int32_t length = (int32_t)(rng() % (t < 2000 ? 200 : 3000));
    const int32_t x = (int32_t)(rng() % (gEngine.W - length + 1)),
                  y = (int32_t)(rng() % (n2 - length + 1));
    int32_t same = 0;
    for (int32_t i = 0; i < length; ++i)
      same += (gEngine.seq1[x + i] & 3) == (gEngine.seq2[y + i] & 3);
    ASSERT_EQ(bases.sameBases(x, y, length), same) << x << " " << y << " " << length;
    ASSERT_EQ(counted.sameBases(x, y, length), same) << x << " " << y << " " << length;
  }
  EXPECT_EQ(bases.sameBases(gEngine.W - 10, 0, 11), -1); // beyond the region
  // Marked, the counts are the matches themselves: N and masked bases out.
  bool usable[64];
  ASSERT_TRUE(scanMatchesBySameBase(usable));
  PackedBases marked;
  ASSERT_TRUE(marked.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
  ASSERT_TRUE(marked.markUsable(gEngine.seq1, gEngine.seq2, usable));
  ASSERT_TRUE(marked.countDiagonals());
  for (int t = 0; t < 4000; ++t) {
    const int32_t length = (int32_t)(rng() % (t < 2000 ? 200 : 3000));
    const int32_t x = (int32_t)(rng() % (gEngine.W - length + 1)),
                  y = (int32_t)(rng() % (n2 - length + 1));
    int32_t matches = 0;
    uint32_t bits = 0;
    for (int32_t i = 0; i < length; ++i) {
      matches += pairCode(x + i, y + i) == 1;
      if (i < 32 && pairCode(x + i, y + i) == 1)
        bits |= UINT32_C(1) << i;
    }
    ASSERT_EQ(marked.sameBases(x, y, length), matches) << x << " " << y << " " << length;
    if (length >= 32) {
      ASSERT_EQ(marked.matchBits(x, y), bits) << x << " " << y;
    }
  }
  int linked = 0;
  const int tried = compareLinkTries(rng, bases, marked, linked);
  EXPECT_GT(tried, 2000);
  EXPECT_GT(linked, tried / 10);
  EXPECT_LT(linked, tried * 9 / 10);
}

// Three letters make ties and splice-like gaps common, and the
// difference of the two diagonals' matches wander near its best.
TEST_F(AssemblyTest, CutsCountedByWordsTieAsWalked) {
  std::mt19937 rng(5);
  std::string s1;
  for (int i = 0; i < 4000; ++i)
    s1 += "AGT"[rng() % 3];
  std::string s2 = mutate(rng, s1, 0.2);
  for (size_t i = 0; i < s2.size(); i += 1 + rng() % 151)
    s2[i] = 'N';
  load(s1, s2);
  prepare();
  bool usable[64];
  ASSERT_TRUE(scanMatchesBySameBase(usable));
  PackedBases bases, marked;
  ASSERT_TRUE(bases.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
  ASSERT_TRUE(marked.pack(gEngine.seq1, gEngine.W, gEngine.seq2, gEngine.H));
  ASSERT_TRUE(marked.markUsable(gEngine.seq1, gEngine.seq2, usable));
  ASSERT_TRUE(marked.countDiagonals());
  int linked = 0;
  const int tried = compareLinkTries(rng, bases, marked, linked);
  EXPECT_GT(tried, 2000);
  EXPECT_GT(linked, tried / 10);
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

// A frame that needs no match passes everywhere, so islands overlap in every
// way; greedy chaining must still end, each link moving the chain on.
TEST_F(AssemblyTest, GreedyChainingEndsWhenFramesNeedNoMatch) {
  const std::string h = readFastaRecord(VELK_TEST_DATA "/mito/MT-human.fa");
  const std::string o = readFastaRecord(VELK_TEST_DATA "/mito/MT-orang.fa");
  load(h.substr(576, 600), o.substr(0, 700));
  prepare();
  gEngine.m = 0;
  gEngine.n = 3;
  for (int32_t at : {60, 300}) {
    HitBlock *b = island(at, at, 73);
    chainBackward(b, false);
    int links = 0;
    for (HitBlock *p = b; p->prev; p = p->prev, ++links)
      ASSERT_LT(p->prev->x + p->prev->y, p->x + p->y);
    chainForward(b);
    for (HitBlock *s = b; s->next; s = s->next, ++links)
      ASSERT_GT(s->next->x + s->next->y + 2 * s->next->length, s->x + s->y + 2 * s->length);
    EXPECT_LT(links, 1300);
  }
}

TEST_F(AssemblyTest, WordSeeding) {
  EXPECT_EQ(wordIndexBits(1000, 1000, 16), 5);
  EXPECT_EQ(wordIndexBits(100000000, 100000000, 8), 8); // never more than the word holds
  // One run of 40 shared residues in unrelated flanks: only its first word
  // seeds; the others are skipped because the pair before them matches.
  std::mt19937 rng(5);
  const std::string run = randomDna(rng, 40);
  load(std::string(30, 'A') + run + std::string(30, 'A'),
       std::string(50, 'C') + run + std::string(30, 'C'));
  Hit *r = region();
  ASSERT_EQ(seedByWords(r), kSearchNormal);
  EXPECT_EQ(std::make_tuple(gCurrent->reportFirst, r->start1, r->end1, r->start2, r->score),
            std::make_tuple(1, 30, 70, 50, 4000));
  // 30 shared residues whose middle six carry the repeat mark in sequence 1:
  // masked, no word of 16 is left.
  const std::string left = "ACGTTGCAACGT", right = "GCATTACCGATG";
  const std::string s1 = std::string(20, 'A') + left + "agctta" + right + std::string(20, 'A');
  const std::string s2 = std::string(20, 'C') + left + "AGCTTA" + right + std::string(20, 'C');
  for (uint16_t masking : {0x08 | 0x40, 0x08}) {
    load(s1, s2, masking);
    r = region();
    ASSERT_EQ(seedByWords(r), kSearchNormal);
    EXPECT_EQ(r->firstBlock ? r->end1 - r->start1 : 0, masking == 0x08 ? 30 : 0);
  }
}

// A hit of two islands linked at the cut 60 in sequence 1, whatever lies
// between them, is printed with both on their own diagonals and one gap.
TEST_F(AssemblyTest, AHitsRowsFollowItsBlocksWithOneGapBetween) {
  std::mt19937 rng{5};
  const std::string a = randomDna(rng, 60), b = randomDna(rng, 60);
  struct Case {
    std::string s1, s2;
    int32_t secondX, secondY; // the second island as found
    std::tuple<int32_t, int32_t, int32_t, int32_t> counts, blocks;
  } cases[] = {
      // Residues of both sequences between the islands: the pairs go on
      // the diagonal where they match more; one residue faces a gap.
      {a + "GCC" + b, a + "GC" + b, 63, 62, {122, 0, 1, 1}, {62, 63, 62, 60}},
      {a + "GCC" + b, a + "CC" + b, 63, 62, {122, 0, 1, 1}, {60, 61, 60, 62}},
      // The second island begins before the cut: it starts at the cut.
      {a + b, a + "GGGGGGGG" + b, 58, 66, {120, 0, 1, 8}, {60, 60, 68, 60}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.s2.substr(60, 8));
    load(c.s1, c.s2);
    prepare();
    HitBlock *first = island(0, 0, 60);
    HitBlock *second = island(c.secondX, c.secondY, int32_t(c.s1.size()) - c.secondX);
    first->next = second;
    second->prev = first;
    first->linkKind = kLinkGapInY;
    first->cut = 60;
    Hit *h = allocateHit();
    makeHit(h, first);
    EXPECT_EQ(std::make_tuple(first->length, second->x, second->y, second->length), c.blocks);
    ColumnCounts n;
    EXPECT_EQ(CountHitColumns(h, h->firstBlock, &n), h->score);
    EXPECT_EQ(std::make_tuple(n.matches, n.mismatches, n.gaps, n.gapLength), c.counts);
    releaseRegion();
  }
}

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

// Merge asks bridgeMayLink before each bridge: a pair it rules out must be
// one that bridgeHits would never join, up to the edges of the reach.
TEST_F(BridgeTest, PairsRuledOutNeverJoin) {
  const std::string s = randomDna(rng, 300);
  load(s, s);
  gCurrent->region[1] = gCurrent->region[3] = 300;
  const int32_t reach = bridgeReach();
  int joinedAtTheEdge = 0;
  for (int32_t x2 = 58; x2 <= 60 + reach + 2; ++x2)
    for (int32_t dd = -reach - 1; dd <= reach + 1; ++dd) {
      clearTestHits();
      h1 = makeDiagonalHit(0, 0, 60);
      h2 = makeDiagonalHit(x2, std::max(0, x2 - dd), 60);
      for (Hit *h : {h1, h2})
        h->score = CountHitColumns(h, h->firstBlock);
      const bool may = bridgeMayLink(h1, h2);
      const bool joined = bridgeHits(h1, h2) == 4;
      EXPECT_TRUE(may || !joined) << x2 << " " << dd;
      joinedAtTheEdge += joined && (std::abs(dd) == reach || x2 == 60 + reach);
    }
  EXPECT_GT(joinedAtTheEdge, 0);
}

} // namespace
