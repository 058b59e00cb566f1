#include "engine/scores.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "core/session.h"
#include "engine/columns.h"

int32_t IslandMatchTable[32][32];
int32_t ScoreTable[32][32];

// Rows below 47 % share one set of constants.
constexpr StatRow kLowIdentityRow = {0.00100095, 0.932447, 100, -1, 0, 0};
constexpr int kFirstOwnRow = 47;
static const StatRow kOwnRows[101 - kFirstOwnRow] = {
    {0.00644371, 0.82678, 100, -57, 0, 0},  // 47
    {0.00661719, 0.801835, 100, -58, 0, 0}, // 48
    {0.00678496, 0.779504, 100, -59, 0, 0}, // 49
    {0.00694891, 0.758866, 100, -60, 0, 0}, // 50
    {0.00710714, 0.740299, 100, -61, 0, 0}, // 51
    {0.00725965, 0.723588, 100, -62, 0, 0}, // 52
    {0.00740835, 0.708117, 100, -63, 0, 0}, // 53
    {0.0076924, 0.680934, 100, -65, 0, 0},  // 54
    {0.00782775, 0.668964, 100, -66, 0, 0}, // 55
    {0.00795929, 0.657857, 100, -67, 0, 0}, // 56
    {0.00821094, 0.637994, 100, -69, 0, 0}, // 57
    {0.00833104, 0.629132, 100, -70, 0, 0}, // 58
    {0.00856362, 0.612722, 100, -72, 0, 0}, // 59
    {0.00867419, 0.605404, 100, -73, 0, 0}, // 60
    {0.0088858, 0.592127, 100, -75, 0, 0},  // 61
    {0.00898875, 0.58583, 100, -76, 0, 0},  // 62
    {0.00918511, 0.574448, 100, -78, 0, 0}, // 63
    {0.00927852, 0.569364, 100, -79, 0, 0}, // 64
    {0.00945963, 0.559651, 100, -81, 0, 0}, // 65
    {0.00954732, 0.555055, 100, -82, 0, 0}, // 66
    {0.00971508, 0.546618, 100, -84, 0, 0}, // 67
    {0.00987332, 0.539058, 100, -86, 0, 0}, // 68
    {0.0100258, 0.531853, 100, -88, 0, 0},  // 69
    {0.0102393, 0.522284, 100, -91, 0, 0},  // 70
    {0.0103728, 0.516512, 100, -93, 0, 0},  // 71
    {0.0104376, 0.513722, 100, -94, 0, 0},  // 72
    {0.0106225, 0.50596, 100, -97, 0, 0},   // 73
    {0.0107388, 0.501182, 100, -99, 0, 0},  // 74
    {0.0108494, 0.497753, 100, -101, 0, 0}, // 75
    {0.0110076, 0.494379, 100, -104, 0, 0}, // 76
    {0.0111068, 0.492432, 100, -106, 0, 0}, // 77
    {0.0112478, 0.489787, 100, -109, 0, 0}, // 78
    {0.0113374, 0.488127, 100, -111, 0, 0}, // 79
    {0.0115033, 0.485394, 100, -115, 0, 0}, // 80
    {0.0116196, 0.483514, 100, -118, 0, 0}, // 81
    {0.0117282, 0.481875, 100, -121, 0, 0}, // 82
    {0.0118312, 0.48031, 100, -124, 0, 0},  // 83
    {0.0119894, 0.477992, 100, -129, 0, 0}, // 84
    {0.0121038, 0.476486, 100, -133, 0, 0}, // 85
    {0.0122106, 0.475007, 100, -137, 0, 0}, // 86
    {0.0123097, 0.473618, 100, -141, 0, 0}, // 87
    {0.0124012, 0.472363, 100, -145, 0, 0}, // 88
    {0.0125632, 0.470233, 100, -153, 0, 0}, // 89
    {0.0126891, 0.468329, 100, -160, 0, 0}, // 90
    {0.0127691, 0.467111, 100, -165, 0, 0}, // 91
    {0.0129216, 0.464671, 100, -176, 0, 0}, // 92
    {0.0130265, 0.462823, 100, -185, 0, 0}, // 93
    {0.0131352, 0.460659, 100, -196, 0, 0}, // 94
    {0.0131866, 0.459532, 100, -202, 0, 0}, // 95
    {0.0133315, 0.45592, 100, -223, 0, 0},  // 96
    {0.0134268, 0.453016, 100, -242, 0, 0}, // 97
    {0.0135164, 0.44969, 100, -267, 0, 0},  // 98
    {0.0136194, 0.444649, 100, -316, 0, 0}, // 99
    {0.0137128, 0.437137, 100, -500, 0, 0}, // 100
};

StatRow StatTable[101];
static const bool gStatTableFilled = [] {
  for (int r = 0; r < 101; ++r)
    StatTable[r] = r < kFirstOwnRow ? kLowIdentityRow : kOwnRows[r - kFirstOwnRow];
  return true;
}();

static uint32_t gLastPackedParams = 0;
constexpr long double kMinScoreLimit = 1 << 30;

void buildResidueTables() {
  buildIdentityTable();
  buildScoreTable(ScoreParams{});
  buildIslandMatchTable(kMaskBase);
  for (auto &row : StatTable)
    row.minScore = 0;
  gLastPackedParams = 0;
}

void buildScoreTable(const ScoreParams &params) {
  for (int a = 0; a < 32; ++a)
    for (int b = 0; b < 32; ++b)
      ScoreTable[a][b] = IdentityTable[a][b] ? params.match : params.mismatch;
}

void buildIslandMatchTable(uint16_t maskingFlags) {
  memset(IslandMatchTable, 0, sizeof IslandMatchTable);
  const bool repeatsOpen = !(maskingFlags & kMaskRepeats);
  const bool filterOpen = !(maskingFlags & kMaskFilter);
  auto set = [](int a, int b) { IslandMatchTable[a][b] = IslandMatchTable[b][a] = 1; };
  for (int b = 0; b < 4; ++b) {
    set(b, b);
    if (repeatsOpen) {
      set(b + 8, b);
      set(b + 8, b + 8);
    }
    if (filterOpen) {
      set(b + 16, b);
      set(b + 16, b + 16);
    }
    if (repeatsOpen && filterOpen) {
      set(b + 8, b + 16);
      for (int other : {b, b + 8, b + 16, b + 24})
        set(b + 24, other);
    }
  }
}

double effectivePValue(double p) {
  // Compared as a double: 1e-5 itself is the boundary and stays as it is.
  if (!(p > 1e-5))
    return p;
  // 1 would give an infinite threshold; the largest P-value below it is
  // the weakest threshold there is.
  if (p >= 1)
    p = std::nextafter(1.0, 0.0);
  return -std::log1p(-p);
}

void computeMinScoresFor(double pValue, int64_t length1, int64_t length2) {
  long double a = length1 < 0 ? -(long double)length1 : (long double)length1;
  long double b = length2 < 0 ? -(long double)length2 : (long double)length2;
  if (a == 0)
    a = 1;
  if (b == 0)
    b = 1;
  const long double L = log10l(a * b);
  long double effective;
  if (L < 4)
    effective = L / 2;
  else if (L < 12)
    effective = 1.25L * L - 3;
  else
    effective = L;
  const long double N = powl(10.0L, effective);
  const long double q = effectivePValue(pValue) / N;
  for (int r = 100; r >= 0; --r) {
    StatRow &row = StatTable[r];
    long double v = logl((long double)row.k / q) / (long double)row.lambda + 0.5L;
    // Held where the margins formed from it cannot overflow.
    v = v < -kMinScoreLimit ? -kMinScoreLimit : v > kMinScoreLimit ? kMinScoreLimit : v;
    row.minScore = (int32_t)v;
  }
}

void computeMinScores(int64_t length1, int64_t length2) {
  computeMinScoresFor(gCurrent ? gCurrent->pValue : 1e-8, length1, length2);
}

int identityIndex(int64_t matches, int64_t alignedLength) {
  if (alignedLength <= 0)
    return 0;
  int64_t i = (matches * 100 + alignedLength / 2) / alignedLength;
  return i < 0 ? 0 : i > 100 ? 100 : (int)i;
}

bool passesThreshold(int32_t chainScore, int32_t matches, int32_t alignedLength,
                     const ScoreParams &params) {
  const StatRow &r = StatTable[identityIndex(matches, alignedLength)];
  const int64_t rescored =
      (int64_t)(r.mismatchScore - params.mismatch) * (alignedLength - matches) +
      (int64_t)(r.matchScore - params.match) * matches + chainScore;
  return rescored >= r.minScore;
}

HitCounts countHit(Hit *hit) {
  ColumnCounts c;
  CountHitColumns(hit, hit->firstBlock, &c);
  return HitCounts{c.matches, c.mismatches, c.gaps, c.gapLength};
}

static int32_t saturated(int64_t v) {
  return (int32_t)(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

int32_t weightedScore(const ScoreParams &params, Hit *hit) {
  const HitCounts c = countHit(hit);
  return saturated((int64_t)c.matches * params.match + (int64_t)c.mismatches * params.mismatch +
                   (int64_t)c.gaps * params.gapOpen + (int64_t)c.gapLength * params.gapElongation);
}

int32_t globalMargin(Hit *hit) {
  const HitCounts c = countHit(hit);
  const int32_t aligned = c.matches + c.mismatches;
  if (aligned <= 0)
    return -1; // cannot pass; every real hit has an aligned column
  const StatRow &r = StatTable[identityIndex(c.matches, aligned)];
  return saturated((int64_t)r.matchScore * c.matches + (int64_t)r.mismatchScore * c.mismatches -
                   100 * ((int64_t)c.gapLength + 3 * (int64_t)c.gaps) - r.minScore);
}

uint32_t packScoreParams(const ScoreParams &params) {
  uint32_t packed = 0;
  for (int32_t v : {params.match, params.mismatch, params.gapOpen, params.gapElongation})
    packed = (packed << 8) + (uint32_t)v;
  return packed;
}

bool rescoreIfParamsChanged(const ScoreParams &params, const int32_t area[4]) {
  const uint32_t packed = packScoreParams(params);
  if (packed == gLastPackedParams)
    return false;
  gLastPackedParams = packed;
  rescoreHits(params, area);
  return true;
}

void rescoreHits(const ScoreParams &params, const int32_t area[4]) {
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock && HitInArea(h, area))
      h->score = weightedScore(params, h);
}

void rescoreWindowHits() {
  int32_t area[4];
  actionArea(gCurrent, area);
  rescoreHits(gCurrent->score, area);
}

void resetRepaintScoreMemory() { gLastPackedParams = 0; }
