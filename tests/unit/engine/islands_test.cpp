#include <algorithm>
#include <cctype>
#include <climits>
#include <tuple>
#include <vector>

#include "engine/island_map.h"
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

// With a large maximal gap the hash search answers its bounded scans from
// a map of the region's islands. Every scan, from anywhere, with any limits
// and room, must find what the scan itself finds; a diagonal the map leaves
// out of a window must hold nothing a scan in that window could find.
TEST_F(IslandTest, IslandMapAnswersEveryBoundedScan) {
  std::mt19937 rng(9);
  const IslandParams params[] = {{5, 8, 80, 12, 6}, {3, 4, 80, 6, 5}, {7, 10, 80, 20, 16}};
  int found = 0, emptyDiagonals = 0, wordRuns = 0, alones = 0;
  for (const IslandParams &ip : params)
    for (int round = 0; round < 3; ++round) {
      std::string a = randomDna(rng, 700), b = mutate(rng, a, 0.05 + 0.1 * round);
      a.replace(300, 60, std::string(60, 'A')); // low complexity, islands on many diagonals
      b.replace(310, 40, std::string(40, 'A'));
      for (std::string *t : {&a, &b})
        for (size_t i = 0; i < t->size(); i += 1 + rng() % 53)
          (*t)[i] = rng() % 2 ? (char)tolower((*t)[i]) : 'N';
      loadAndPrepare(a, b + randomDna(rng, 100), round == 1 ? 0x08 | 0x40 : 0x08, ip);
      IslandMap map;
      ASSERT_TRUE(map.build());
      const int32_t W = gEngine.W, H = gEngine.H;
      auto pick = [&rng](int32_t lo, int32_t hi) {
        return lo + (int32_t)(rng() % (uint32_t)(hi - lo + 1));
      };
      for (int t = 0; t < 6000; ++t) {
        const int32_t x = pick(-3, W), y = pick(-3, H);
        const int32_t xLimit = pick(x - 2, W), yLimit = pick(y - 2, H);
        const int32_t kind = pick(0, 2);
        const int32_t room = kind == 0   ? INT_MAX
                             : kind == 1 ? pick(0, 300)
                                         : std::min(xLimit - x, yLimit - y);
        Isl want{}, got{};
        if (HitBlock *i = scanDiagonalWithin(x, y, xLimit, yLimit, room)) {
          want = Isl{i->x, i->y, i->length, i->identities};
          freeBlock(i);
          ++found;
        }
        int32_t ix, iy, length, matches, count;
        bool alone = false;
        if (map.scan(x, y, xLimit, yLimit, room, ix, iy, length, matches, &alone)) {
          got = Isl{ix, iy, length, matches};
          // Told alone: nothing after it, whatever the room.
          for (int32_t r : {room, INT_MAX, std::min(xLimit - ix - length, yLimit - iy - length)})
            if (alone) {
              HitBlock *after = scanDiagonalWithin(ix + length, iy + length, xLimit, yLimit, r);
              ASSERT_EQ(after, nullptr) << ix << "," << iy << " room " << r;
              ++alones;
            }
          // The runs of w matches backward chaining judges, as it counts them.
          if (const int32_t *runs = map.wordRuns(ix, iy, length, count)) {
            std::vector<int32_t> plain;
            int32_t run = 0;
            while (run < gEngine.w - 1 && ix > run && iy > run &&
                   pairCode(ix - run - 1, iy - run - 1) == 1)
              ++run;
            for (int32_t j = 0; j < length; ++j)
              if ((run = pairCode(ix + j, iy + j) == 1 ? run + 1 : 0) == gEngine.w)
                plain.push_back(j);
            ASSERT_EQ(std::vector<int32_t>(runs, runs + count), plain);
            wordRuns += count;
          }
        }
        ASSERT_EQ(got, want) << x << "," << y << " to " << xLimit << "," << yLimit << " room "
                             << room;
      }
      // The best run of every diagonal, as the lowest sum before each
      // position tells it.
      const ScoreParams &sp = *gEngine.score;
      const int32_t up = sp.match + runStep(sp), down = sp.mismatch + runStep(sp);
      for (int32_t k = 1 - H; k < W; ++k) {
        int64_t sum = 0, lowest = 0, best = 0;
        for (int32_t x = std::max(k, 0); x < W && x - k < H; ++x) {
          sum += pairCode(x, x - k) == 1 ? up : down;
          lowest = std::min(lowest, sum);
          best = std::max(best, sum - lowest);
        }
        ASSERT_EQ(map.bestRun(k), best) << "diagonal " << k;
      }
      // Windows: the diagonals left out hold nothing for scans inside them.
      std::vector<int32_t> near;
      for (int t = 0; t < 100; ++t) {
        const int32_t k0 = pick(1 - H, W - 1), g = pick(2, 120), side = pick(0, 1) ? 1 : -1;
        const int32_t xFrom = pick(-50, W), xTo = pick(xFrom, W + 50);
        const int32_t yFrom = pick(-50, H), yTo = pick(yFrom, H + 50);
        map.nearDiagonals(k0, g, side, xFrom, xTo, yFrom, yTo, near);
        for (size_t i = 1; i < near.size(); ++i) {
          const int32_t d0 = std::abs(near[i - 1] - k0), d1 = std::abs(near[i] - k0);
          ASSERT_TRUE(d0 < d1 || (d0 == d1 && (near[i - 1] - k0) * side > 0));
        }
        for (int32_t k = std::max(k0 - g + 1, 1 - H); k <= std::min(k0 + g - 1, W - 1); ++k) {
          if (k == k0 || std::find(near.begin(), near.end(), k) != near.end())
            continue;
          ++emptyDiagonals;
          const int32_t xLimit = std::min(xTo - gEngine.n, W);
          const int32_t yLimit = std::min(yTo - gEngine.n, H);
          for (int32_t x = std::max({xFrom, yFrom + k, k, 0}); x < xLimit; x += 7) {
            HitBlock *i = scanDiagonalWithin(x, x - k, xLimit, yLimit, INT_MAX);
            ASSERT_EQ(i, nullptr) << "diagonal " << k << " from " << x;
          }
        }
      }
    }
  EXPECT_GT(found, 2000);
  EXPECT_GT(emptyDiagonals, 1000);
  EXPECT_GT(wordRuns, 1000);
  EXPECT_GT(alones, 1000);
}

} // namespace
