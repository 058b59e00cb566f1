// Island search and local alignment assembly. One search runs at a time; its
// state is the process-wide context below. Islands are HitBlock records in
// region-relative coordinates (0,0 = the region's lower corner) until
// makeHit turns a chain into a hit.
#pragma once
#include <cstdint>

#include "core/records.h"

// Mode flags of an action: the session's action status word (gActionStatus).
constexpr uint32_t kModeAlign = 0x01;       // link-score variant of Align
constexpr uint32_t kModeStop = 0x02;        // the user asked to stop
constexpr uint32_t kModePaused = 0x04;      // progress display holds the action
constexpr uint32_t kModeNoDraw = 0x08;      // no intermediate drawing
constexpr uint32_t kModeNoDraw2 = 0x10;     // the same, second bit
constexpr uint32_t kModeNoMinScores = 0x20; // keep the minimal scores as they are
constexpr uint32_t kModeMergeBridge = kModeNoDraw | kModeNoDraw2;     // 48
constexpr uint32_t kModeQuietRealign = kModeMergeBridge | kModeAlign; // 49 (Reconcile, Fill)

// Hit flag of hits made by the latest Align or Fill.
constexpr uint32_t kHitNewFlag = 0x200;

// Return codes of a search unit.
constexpr int kSearchNormal = 0;
constexpr int kSearchPoolExhausted = 2;
constexpr int kSearchNoArrays = 60;

// Link kinds between an island and its successor.
constexpr int32_t kLinkGapInY = 0; // contiguous in sequence 1, gap in sequence 2
constexpr int32_t kLinkGapInX = 1; // contiguous in sequence 2, gap in sequence 1
constexpr int32_t kLinkSameDiag = 2;
constexpr int32_t kIslandDead = -1; // linkKind of a dropped island

struct LinkCandidate {
  HitBlock *predecessor, *successor;
  int32_t score, kind, keptMatches, cut, bridgedMatches, span;
};

struct EngineContext {
  Hit region;        // copy of the region record
  Hit *regionRecord; // the caller's record (filled by the first hit)
  int32_t x1, y1, x2, y2;
  int32_t W, H, D, diagBase; // diagBase = H + g - 1
  uint8_t *seq1, *seq2;      // at x1 and y1
  uint8_t *sentinel1, *sentinel2;
  int32_t m, n, g, k, w;
  const ScoreParams *score;
  int32_t sweep, finalLimit;
  uint32_t newHitFlags;
  // Per-search index arrays (Align sweep), each D + 2g + 15 entries.
  HitBlock **startList, **endList, **diagonalList;
  int32_t listEntries;
  HitBlock *resultList;  // accepted chain ends, most recent first
  int32_t abandoned;     // seeds given up because an earlier seed covers them
  int32_t repeatLimit;   // hash mode: words more frequent in sequence 1 are no seeds
  bool spaced;           // hash mode: sensitive, spaced seeds
  int64_t repeatWords;   // words of sequence 2 left out by that limit
  bool seedAbandoned;    // the running seed met a word before it (hash mode)
  int32_t linkedIslands; // islands linked by the last chainForward/chainBackward
  // The region's bases packed, while an Align search with a large maximal
  // gap runs (null otherwise): bounds the link tries over long stretches.
  const class PackedBases *packed;
  // Hash mode with a large maximal gap: the region's islands, once its
  // bounded scans have read more positions (chainScanned) than it holds.
  const class IslandMap *islands;
  int64_t chainScanned;
  // While the Align sweep runs with packed bases that count exact matches:
  // the bounds that pass over islands out of a link's reach (run_bounds.h).
  class RunBounds *runs;
  // Hash mode under "extend" on a sequence against itself: the diagonal
  // (x - y) of the identity, which the chaining of other seeds must not see,
  // or copies beside it would join it or stop at it.
  bool hideIdentity;
  int32_t identityDiagonal;
  bool prepared;
};
extern EngineContext gEngine;
extern LinkCandidate gBest, gTry;
extern int32_t gLinkThreshold;

// Action parameters into the current window's running-action block.
void setActionParams(uint16_t maskingFlags, const ScoreParams &score, const IslandParams &island);

// A search unit is bracketed by these two; the sentinel bits are present in
// the sequences in between.
void prepareRegion(Hit *regionRecord, int32_t xEnd, int32_t yEnd, uint32_t modeFlags);
void releaseRegion();
// Releases the region when it leaves scope, whatever the path out.
struct RegionGuard {
  RegionGuard(Hit *regionRecord, int32_t xEnd, int32_t yEnd, uint32_t modeFlags) {
    prepareRegion(regionRecord, xEnd, yEnd, modeFlags);
  }
  ~RegionGuard() { releaseRegion(); }
  RegionGuard(const RegionGuard &) = delete;
  RegionGuard &operator=(const RegionGuard &) = delete;
};

// Island search. scanDiagonal files its islands in the per-search lists,
// which the Align sweep allocates (false when memory is short).
bool allocateSearchLists();
void scanDiagonal(int32_t x, int32_t y);
HitBlock *scanDiagonalBounded(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit);
int seedByWords(Hit *regionRecord); // whole hash search of one region; search codes
// Bits per bucket number of the word index: 4^result buckets.
int wordIndexBits(int32_t width, int32_t height, int32_t wordSize);
bool extendFrameForward(HitBlock *block, int32_t limit);
bool extendFrameBackward(HitBlock *block, int32_t limit, bool stopOnWord);

// Assembly.
void linkSameDiagonal(HitBlock *a, HitBlock *b);
void linkGapped(HitBlock *a, HitBlock *b, int32_t kind, int32_t d);
void commitLink();
void finalise(HitBlock *island);
HitBlock *chainToBlocks(HitBlock *chainEnd);
int32_t makeHit(Hit *hit, HitBlock *firstBlock);
int chainForward(HitBlock *block);
int chainBackward(HitBlock *block, bool hashMode);
int searchRegion(Hit *regionRecord); // Align search of one region; search codes
int bridgeHits(Hit *a, Hit *b);      // 4 merged, 1 not
// How far apart, in diagonals, two blocks may lie for bridgeHits to link
// them: the larger of the Align maximal gap and the merge distance.
int32_t bridgeReach();
// False when bridgeHits(a, b) has no link to try: it would change nothing.
bool bridgeMayLink(const Hit *a, const Hit *b);
// As bridgeHits, taking the best link there is, whatever it costs, with what
// b keeps after it (two chains that overlap); b's blocks must start after a's.
int joinHits(Hit *a, Hit *b);
// Sensitive Align: each new hit joined to its nearest new hit beyond both of
// its ends (gaps up to maxSide) when the stretch between them aligns
// without the running score falling more than `drop` below either end, as
// a gapped extension would cross a diverged stretch. Returns the joins.
int32_t bridgeDivergedStretches(int32_t maxSide, int32_t drop);
// Its limits for Align: stretches up to 3 kb a side (a direction matrix of
// 36 MB), and a fall of 200 matches' worth. Velk's gaps cost more than a
// typical gapped extender's, so the fall allowed is larger than theirs.
constexpr int32_t kBridgeSide = 3000;
// Indels of a diverged stretch between two hits of one alignment mostly
// cancel out: its path keeps within this many diagonals of the corners'.
constexpr int32_t kBridgeBand = 100;
constexpr int32_t kBridgeDrop = 200;
