// Helpers shared by the island search and the assembly; not for callers.
#pragma once
#include <cstdint>

#include "core/records.h"
#include "core/residue.h"
#include "core/session.h"
#include "engine/packed_bases.h"
#include "engine/search.h"

// 0 mismatch, 1 match (IslandMatchTable), 2 sentinel on either side; indexed
// by the two codes' low six bits.
extern uint8_t gScanCode[64 * 64];
void buildScanTable();
// True when the scan's matches are the pairs of the same base whose
// residues are both usable; `usable` then holds which are, by low six bits.
bool scanMatchesBySameBase(bool usable[64]);

inline int scanCode(uint8_t a, uint8_t b) { return gScanCode[((a & 63) << 6) | (b & 63)]; }
// Code of the pair at region-relative (x, y).
inline int pairCode(int32_t x, int32_t y) { return scanCode(gEngine.seq1[x], gEngine.seq2[y]); }

inline int32_t ownScore(int32_t length, int32_t matches) {
  return matches * gEngine.score->match + (length - matches) * gEngine.score->mismatch;
}

// The user asked to stop (Esc): the action status word is the mode word.
inline bool stopBitSet() { return (gActionStatus & kModeStop) != 0; }

// Bounded scan that treats position `room` along the diagonal as its end.
HitBlock *scanDiagonalWithin(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room);
// The same, the island found given as its start, length and matches.
struct IslandSpan {
  int32_t x, y, length, matches;
  bool lastInWindow = false; // known: a scan on from its end, same limits, finds nothing
};
bool findIslandWithin(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room,
                      IslandSpan &found);
// What every position adds to the best running sums that bound a stretch a
// link bridges (run_bounds.h, island_map.h): an eighth of a match's gain
// over a mismatch. Unrelated sequence, one position in four matching, then
// falls by a quarter of that a position.
inline int32_t runStep(const ScoreParams &s) { return (s.match - s.mismatch) / 8; }
// The bounds take a match to add, a mismatch and a longer gap to cost.
inline bool runsBound(const ScoreParams &s) {
  return s.match >= 0 && s.mismatch <= 0 && s.gapElongation <= 0;
}
// Bounded scan walking down from (x, y) inclusive towards (xLimit, yLimit).
HitBlock *scanDiagonalBoundedBack(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit);

// Same-diagonal and gapped tries compare against gBest; this applies gBest's
// geometry to its successor (second copy, chain counts) and links the two.
void linkBest();
// Score of a successor as a whole: stored in Align mode, else from counts.
int32_t successorOwnScore(const HitBlock *b);
// p, which now reaches over q on q's diagonal, takes q's link onwards and q
// goes back to the pool.
inline void absorbNextBlock(HitBlock *p, HitBlock *q) {
  p->next = q->next;
  p->linkKind = q->linkKind;
  p->cut = q->cut;
  if (q->next)
    q->next->prev = p;
  freeBlock(q);
}
// Island from the free lists of the sweep back to the pool.
void discardIsland(HitBlock *b);

// A fresh island from the pool with both copies and its chain fields set;
// counted in the window's islands counter and drawn when drawing is allowed.
HitBlock *newIsland(int32_t x, int32_t y, int32_t length, int32_t matches);
// With the island map: whether a gapped link try of the chaining on a found
// island can be left out, the island passed over unmade. Such a link (a
// stretch between the two, neither overlapping the other) scores the gap,
// the chain before it, the successor's own score and the stretch; the
// stretch scores at most the best running sum beside the predecessor's end
// plus the one before the successor's start, less the step over its length
// (run_bounds.h). The found island's side is bounded by its diagonal's best
// run.
class PassOver {
public:
  // Tries against `fixed` (the predecessor when `fixedAfter`, as forward
  // chaining links), over stretches up to `reach` positions.
  PassOver(const HitBlock *fixed, bool fixedAfter, int32_t reach);
  // True when the try of `f`, d diagonals away in the given kind, cannot
  // score above `floor`, which the best candidate's score is at least.
  bool passes(const IslandSpan &f, int32_t kind, int32_t d, int64_t floor);

private:
  const HitBlock *fixed_;
  bool after_, on_ = false, known_ = false;
  int32_t reach_;
  int64_t run_ = 0; // the fixed block's best run beside it, once needed
};

// An island the chaining can tell will not link without making it: counted
// and drawn as newIsland would.
void passIsland(int32_t x, int32_t y, int32_t length);
// The second copy back to the first.
void resetSecondCopy(HitBlock *b);
bool drawingAllowed();
void drawIsland(const HitBlock *b, bool erase);
void drawChain(const HitBlock *end, bool erase);
// Counts one accepted hit in the window's new-hits counter.
void countNewHit();

// Hash mode: what a run of w matches met before the running seed's chain
// means, given the chains kept so far; (x, y) is a pair of the run.
constexpr int kRunFree = 0;    // no kept chain holds it: an ordinary island
constexpr int kRunStop = 1;    // a kept chain holds it: the seed's chain starts after it
constexpr int kRunCovered = 2; // the kept chain covers the seed: give the seed up
// Covered when the kept chain reaches the end of the running seed's word.
// Outside a hash search every run counts as covered.
int wordRunVerdict(int32_t x, int32_t y);

// Align searches with a maximal gap from this on pack the region's bases
// for the link tries: the stretches they bridge grow with the gap.
constexpr int32_t kPackedFromGap = 64;
// Regions up to this area also keep every diagonal's counts (2 bytes a 32
// positions, 64 MB at most).
constexpr int64_t kCountedDiagonalsMaxArea = INT64_C(1) << 30;
// Packs the region's bases into `bases` and lends them to the link tries
// while it lives, when the maximal gap asks for it.
struct PackedScope {
  explicit PackedScope(PackedBases &bases) {
    const EngineContext &e = gEngine;
    if (e.g < kPackedFromGap || !bases.pack(e.seq1, e.W, e.seq2, e.H))
      return;
    bool usable[64];
    // Unmarked, the link tries walk position by position.
    if (scanMatchesBySameBase(usable) && bases.markUsable(e.seq1, e.seq2, usable) &&
        runsBound(*e.score))
      bases.setRunSteps(e.score->match + runStep(*e.score), e.score->mismatch + runStep(*e.score));
    if ((int64_t)e.W * e.H <= kCountedDiagonalsMaxArea)
      bases.countDiagonals(); // without the counts the bound only takes longer
    gEngine.packed = &bases;
  }
  ~PackedScope() { gEngine.packed = nullptr; }
  PackedScope(const PackedScope &) = delete;
  PackedScope &operator=(const PackedScope &) = delete;
};

// The hash search answers its bounded scans from a map of the region's
// islands (island_map.h) once they have read the region's area, with a
// maximal gap from this on and a region up to that area.
constexpr int32_t kIslandMapFromGap = 64;
constexpr int64_t kIslandMapMaxArea = INT64_C(1) << 31;
// Allows the map while a hash search runs, and drops it at its end.
struct IslandMapScope {
  IslandMapScope();
  ~IslandMapScope();
  IslandMapScope(const IslandMapScope &) = delete;
  IslandMapScope &operator=(const IslandMapScope &) = delete;
};
// Builds the map when it is allowed and due.
void considerIslandMap();
