// Global (Needleman-Wunsch) alignment of the two segments of a region, with
// affine gaps. Only the direction matrix is kept whole; scores live in one
// row, which is what bounds a region to 5000 residues a side.
#pragma once
#include <cstdint>
#include <vector>

#include "core/records.h"

// What alignRegionNW does with its result.
constexpr int kNwMakeHit = 14;   // the region record becomes a hit (Fill)
constexpr int kNwKeepBlocks = 8; // the block list is left in region->firstBlock

// Larger sides are never aligned: the direction matrix alone would need
// (side + 1)^2 four-byte cells.
constexpr int32_t kNwMaxSide = 5000;

// Direction of cell (0, 0): where the traceback ends.
constexpr int32_t kNwStartMarker = INT32_MIN;

// Aligns [start1, end1) of sequence 1 with [start2, end2) of sequence 2 under
// the current window's scores and ScoreTable. Returns kSearchNormal, or
// kSearchPoolExhausted (also: nothing to align, no block made, stopped) or
// kSearchNoArrays (work area not allocated).
int alignRegionNW(Hit *region, int mode);

// The optimal global path of two residue strings under `params` and
// ScoreTable, walked forward from (0, 0): 0 is a diagonal step, +L a run of
// L residues of the first string against gaps, -L of the second. Ties
// prefer the diagonal, then the first string's gap. Returns kSearchNormal,
// kSearchNoArrays, or kSearchPoolExhausted when the user stopped it; with a
// `floor`, kNwBelowFloor as soon as no path can keep its running score at
// or above it. With a `band` of 0 or more, the path keeps to the diagonals
// between those of the two corners, widened by the band on either side.
constexpr int kNwBelowFloor = 61;
int alignSegmentsNW(const uint8_t *s1, int32_t W, const uint8_t *s2, int32_t H,
                    const ScoreParams &params, std::vector<int32_t> *path,
                    int32_t floor = INT32_MIN, int32_t band = -1);

// The best-scoring path from (0, 0) to any cell, found as a gapped extension
// finds it: cells more than `drop` below the best so far are given up, so
// the fill stops once every path has fallen that far. `gain` is the path's
// score (0 and an empty path when nothing scores above the start); `open`
// tells that a path was still alive at the matrix's far edge. No path
// enters a cell of the `dead` runs: residue j of s1 against residue i of
// s2 with j - i == diagonal and from <= i < to.
struct NwDeadRun {
  int32_t diagonal, from, to;
};
int extendSegmentsNW(const uint8_t *s1, int32_t W, const uint8_t *s2, int32_t H,
                     const ScoreParams &params, int32_t drop, int32_t band,
                     const std::vector<NwDeadRun> *dead, std::vector<int32_t> *path, int32_t *gain,
                     bool *open);

// Runs of diagonal steps of a path become blocks relative to the segments'
// start, linked and scored as a hit's; `made` holds what to release when the
// pool runs out (EngineAbort).
HitBlock *blocksOfPath(const std::vector<int32_t> &path, const uint8_t *s1, const uint8_t *s2,
                       const ScoreParams &sp, HitBlock **made);
void freeBlockList(HitBlock *b);

// The link from `last` to the block after it, on another diagonal: the cut
// is where `next` starts in the sequence without the gap.
void setGapLink(HitBlock *last, const HitBlock *next);
