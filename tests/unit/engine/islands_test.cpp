#include <climits>
#include <tuple>
#include <vector>

#include "engine/search_internal.h"
#include "search_fixture.h"

namespace {

using Isl = std::tuple<int32_t, int32_t, int32_t, int32_t>; // x, y, length, matches

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
  for (int f = 0; f + n <= L;) {
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
    f = f1 + 1;
    if (total < k)
      continue;
    while (!v[s])
      ++s;
    while (!v[e - 1])
      --e;
    out.push_back({x0 + s, y0 + s, e - s, total});
    f = e;
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
  void loadAndPrepare(const std::string &a, const std::string &b, uint16_t masking = 0x08,
                      IslandParams ip = IslandParams{}) {
    releaseRegion();
    load(a, b, masking, ip);
    prepare();
    ASSERT_TRUE(allocateSearchLists());
    gEngine.sweep = INT_MAX;
  }
};

TEST_F(IslandTest, FrameRuleOnHandMadeDiagonals) {
  const std::string ms1 = "ACGTTGcaacgtAGCTTAGCAAAAAAAA", ms2 = "ACGTTGCAACGTAGCTTAGCCCCCCCCC";
  struct Case {
    const char *what;
    std::string s1, s2;
    uint16_t masking;
    std::vector<Isl> want;
  } cases[] = {
      {"twelve then mismatches",
       "ACGTTGCAACGTAAAAAAAAAA",
       "ACGTTGCAACGTCCCCCCCCCC",
       0x08,
       {{0, 0, 12, 12}}},
      {"ends are matches", "TACGTTGCAACGTAGTT", "CACGTTGCAACGTAGCC", 0x08, {{1, 1, 14, 14}}},
      {"shorter than a frame", "ACGTACG", "ACGTACG", 0x08, {}},
      {"eleven", "ACGTTGCAACGAAAAAAA", "ACGTTGCAACGCCCCCCC", 0x08, {}},
      // Lower case carries the repeat mark; no residue has the filter mark.
      {"repeats open", ms1, ms2, 0x08, {{0, 0, 20, 20}}},
      {"repeats masked", ms1, ms2, 0x08 | 0x40, {}},
      {"filter masked", ms1, ms2, 0x08 | 0x80, {{0, 0, 20, 20}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    loadAndPrepare(c.s1, c.s2, c.masking);
    EXPECT_EQ(fullScan(0, 0), c.want);
    EXPECT_EQ(gCurrent->reportFirst, int32_t(c.want.size()));
  }
}

TEST_F(IslandTest, FastScanAgreesWithReferenceOnRandomPairs) {
  std::mt19937 rng(7);
  const IslandParams params[] = {{5, 8, 20, 12, 16}, {3, 4, 10, 6, 16}, {7, 10, 20, 20, 16}};
  size_t islands = 0;
  for (const IslandParams &ip : params)
    for (int round = 0; round < 3; ++round) {
      const std::string a = randomDna(rng, 220);
      loadAndPrepare(a, mutate(rng, a, 0.1 + 0.1 * round) + randomDna(rng, 30), 0x08, ip);
      auto check = [&](int32_t x, int32_t y) {
        const std::vector<Isl> want =
            referenceScan(x, y, ip.matchesPerFrame, ip.frameLength, ip.minTotalMatches);
        islands += want.size();
        ASSERT_EQ(fullScan(x, y), want) << x << "," << y;
      };
      for (int32_t t = 0; t < gEngine.W; ++t)
        check(t, 0);
      for (int32_t t = 1; t < gEngine.H; ++t)
        check(0, t);
    }
  EXPECT_GT(islands, 50u);
}

} // namespace
