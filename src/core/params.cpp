#include "core/params.h"

static int32_t within(int64_t v, int64_t lo, int64_t hi) {
  return static_cast<int32_t>(v < lo ? lo : v > hi ? hi : v);
}

static int64_t magnitude(int32_t v) { return v < 0 ? -static_cast<int64_t>(v) : v; }

ScoreParams clampedScores(ScoreParams s) {
  s.match = within(magnitude(s.match), 0, kScoreLimit);
  s.mismatch = within(-magnitude(s.mismatch), -kScoreLimit, 0);
  s.gapOpen = within(-magnitude(s.gapOpen), -kScoreLimit, 0);
  s.gapElongation = within(-magnitude(s.gapElongation), -kScoreLimit, 0);
  return s;
}

void clampIslandParams(IslandParams &p, bool align) {
  int n = p.frameLength < 1 ? 10 : p.frameLength;
  int m = p.matchesPerFrame;
  if (m < 3 * n / 10)
    m = 3 * n / 10;
  if (m > n)
    m = n;
  if (m < 1) // a frame that needs no match passes everywhere
    m = 1;
  p.frameLength = static_cast<int16_t>(n);
  p.matchesPerFrame = static_cast<int16_t>(m);
  if (p.minTotalMatches < m)
    p.minTotalMatches = static_cast<int16_t>(m);
  if (align) {
    if (p.wordSize < 4)
      p.wordSize = 4;
    if (p.wordSize > 32)
      p.wordSize = 32;
  }
  if (p.maxGap < 1)
    p.maxGap = 1;
}

double clampedPValue(double p) {
  if (!(p > 0))
    return 1e-30;
  return p > 1 ? 1 : p;
}
