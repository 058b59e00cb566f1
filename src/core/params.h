// Corrections every parameter set gets, wherever it comes from: the command
// language, a dialog, the header of a saved file.
#pragma once
#include <cstdint>

#include "core/records.h"

// Scores are hundredths. With every value within this limit the score of
// an alignment of a megabase, and any sum the engine forms on the way,
// stays inside 32 bits.
constexpr int32_t kScoreLimit = 1000;

// Match made non-negative, penalties non-positive, all within the limit.
ScoreParams clampedScores(ScoreParams s);

// n < 1 becomes 10; 3n/10 <= m <= n and m >= 1; k >= m; the maximal gap at
// least 1; with `align` the word size in 4..32.
void clampIslandParams(IslandParams &p, bool align);

// A maximal P-value in (0, 1]: 0 or less (or not a number) becomes 1e-30.
double clampedPValue(double p);
