// Layer 2 of 8, engine: scores, islands, assembly, Trim/Refine/Fill. Uses
// core only; shows progress through hooks set from above.
//
// The drivers of the construct actions: Align and Fill walk the free space
// between the present hits region by region, so that no new conflict can
// arise; Expand grows every present hit within its neighbours' bounds.
#pragma once
#include <cstdint>

#include "core/records.h"

// Report kinds set by the drivers (WindowRecord::reportKind).
constexpr int32_t kReportKindAlign = 1;
constexpr int32_t kReportKindExpand = 2;
constexpr int32_t kReportKindFill = 3;

// Regions of Fill longer than this in either side are skipped.
constexpr int32_t kFillMaxSide = 5000;

// A new pair of intervals (1-based, inclusive; the user's coordinates):
// every hit goes back to the store, the window area is derived (mirrored for
// an invert-complemented sequence) and one placeholder hit without blocks
// covers it. False when no record can be had.
bool resetEngine(int32_t from1, int32_t to1, int32_t from2, int32_t to2);

// Align over the current window; returns 0.
int alignAction(bool quiet);

// The region loop shared by Align and Fill. Returns 1 when the sequences are
// missing or the user cancelled at a question, else 0. `quiet` asks nothing.
int alignOrFill(bool fill, bool quiet);

void expandAction();

// One expansion step of one hit: 1 when its score changed, else 2.
int expandHit(Hit *hit);

// Regions between the present hits of the current window, as temporary
// hits flagged kHitRegionMark at the head of the main list. Returns the
// largest side of all regions (0: none). Expects sorted lists.
int32_t buildAlignRegions();

// After a hash Align: of two hits that share a start or an end point, or of
// which the later lies inside the earlier and starts near its alignment, the
// lower-scoring one goes.
// Returns the number of hits deleted. Expects sorted lists.
int32_t removeDuplicateHits();

// After a hash Align: a seed's chain stops where an earlier chain holds the
// words before it, and the greedy extension of that earlier chain may have
// stopped short of the same stretch, leaving two overlapping hits where the
// full scan makes one. Such pairs are joined at their best link (as Merge
// does). Returns the number of joins. Expects sorted lists.
int32_t joinOverlappingChains();

// How hits pile up after an Align: copies of interspersed repeats aligned
// to each other stack many deep on the same residues.
constexpr int32_t kPileDepth = 3;
struct RepeatPile {
  int32_t hits = 0;
  int32_t piled = 0;        // hits whose middle lies kPileDepth deep in either sequence
  int64_t pileResidues = 0; // residues that deep, the more piled sequence
};
RepeatPile measureRepeatPile();
// Many hits, most of them piled: what unmasked interspersed repeats make,
// and what ordinary pairs, even with repeated genes, never reach.
constexpr int32_t kSwampMinPiled = 1000;
inline bool repeatsSwamp(const RepeatPile &p) {
  return p.piled >= kSwampMinPiled && int64_t(p.piled) * 4 >= int64_t(p.hits) * 3;
}
