// Residue comparison tables, the statistics table that turns the maximal
// P-value into a minimal score per identity level, and the scores of a hit.
// The engine never computes a P-value per hit: thresholds are derived once
// per region and scores are compared against them.
#pragma once
#include <cstdint>

#include "core/records.h"
#include "core/residue.h"

// Masking flags of an action (running.flags of the window).
constexpr uint16_t kMaskBase = 0x08;    // always present
constexpr uint16_t kMaskRepeats = 0x40; // annotated repeats match nothing
constexpr uint16_t kMaskFilter = 0x80;  // filter segments match nothing

struct StatRow {
  double lambda; // per score unit of the table's own scale
  double k;
  int32_t matchScore;
  int32_t mismatchScore;
  int32_t minScore; // refilled by computeMinScores
  int32_t reserved;
};

extern int32_t IslandMatchTable[32][32]; // per action, honours masking
extern int32_t ScoreTable[32][32];       // IdentityTable weighted by match/mismatch
extern StatRow StatTable[101];           // indexed by percent identity

// Start-up: IdentityTable, the default ScoreTable, the statistics rows and
// the repaint memory of the packed score parameters.
void buildResidueTables();
void buildScoreTable(const ScoreParams &params);
void buildIslandMatchTable(uint16_t maskingFlags);

// Thresholds for the current window's P-value and a search space of the two
// lengths; the explicit form is for callers that hold their own P-value.
void computeMinScores(int64_t length1, int64_t length2);
void computeMinScoresFor(double pValue, int64_t length1, int64_t length2);
// The P-value the thresholds are computed from: up to 1e-5 as given, above
// it -ln(1 - p); 1 counts as the largest P-value below 1.
double effectivePValue(double p);

int identityIndex(int64_t matches, int64_t alignedLength);
bool passesThreshold(int32_t chainScore, int32_t matches, int32_t alignedLength,
                     const ScoreParams &params);

// Counts of a hit as taken by the column walk.
struct HitCounts {
  int32_t matches, mismatches, gaps, gapLength;
};
HitCounts countHit(Hit *hit);
int32_t weightedScore(const ScoreParams &params, Hit *hit);
int32_t globalMargin(Hit *hit);

// Repaint rule: when the window's parameters differ from those of the last
// repaint, every hit of the window that has blocks gets its weightedScore.
// Returns whether a rescoring happened.
uint32_t packScoreParams(const ScoreParams &params);
bool rescoreIfParamsChanged(const ScoreParams &params, const int32_t area[4]);
void resetRepaintScoreMemory();
// Every hit of the area that has blocks gets its weightedScore. Actions that
// read scores call it first: hits made since (fixed weights) or left by an
// action with other weights would be compared on another scale.
void rescoreHits(const ScoreParams &params, const int32_t area[4]);
// The same for the current window's action area and score parameters.
void rescoreWindowHits();
