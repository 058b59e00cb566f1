// Layer 1 of 8, core: records, pools, errors, residue tables, the hit store,
// window slots, the user-interface port. Uses no other folder of src/.
//
// The plain records every action works on. Positions are 0-based, ends
// exclusive inside the program; 1-based inclusive in files and dialogs.
#pragma once
#include <cstdint>

struct BlockPool;
class VelkWindow;
struct DrawSurface;

struct Annotation {
  uint8_t kind = 0; // kAnn* | kAnnComplement
  uint8_t reserved = 0;
  uint16_t number = 0; // /number= or /codon_start=
  uint16_t geneLength = 0;
  char *gene = nullptr;
  uint16_t noteLength = 0; // /note= or /rpt_family=, the later wins
  char *note = nullptr;
  uint16_t productLength = 0;
  char *product = nullptr;
  uint16_t proteinIdLength = 0;
  char *proteinId = nullptr;
  int16_t coordinateCount = 0;    // i32 values, two per range
  int32_t *coordinates = nullptr; // (from, to) pairs, 1-based inclusive
  Annotation *next = nullptr;
};

// A whole path, up to the system's limit (PATH_MAX, terminating NUL included).
constexpr int kPathBytes = 4096;

struct Sequence {
  char fileName[kPathBytes];
  uint16_t flags; // kSeq*
  char repeatSourceName[kPathBytes];
  BlockPool *pool;
  char accession[16];
  int32_t gi;
  char *definition;
  int32_t length;    // 0 = no sequence
  uint8_t *residues; // length codes, then a 0 byte
  Annotation *annotations;
  int32_t from; // 1-based; 0 = from the start
  int32_t to;   // 1-based inclusive; 0 = to the end
  Annotation *repeats;
  // Which record of a many-record file: "" the first, a name, or "#N" (the
  // Nth). After a read it names the record read, as Open will find it.
  char record[256];
  char recordName[256]; // FASTA: first word of the header; GenBank: VERSION, else LOCUS
};

// One gapless piece of a hit. During a search the same record is an island
// of the engine, with the chain fields below; outside the engine only the
// first block of fields, linkKind/cut and the two links matter.
struct HitBlock {
  int32_t x; // relative to the hit's start1 (absolute while an island)
  int32_t y; // relative to the hit's start2 (absolute while an island)
  int32_t length;
  int32_t identities; // matching columns ("matches" of an island)
  // engine copies: the island as it enters the chain
  int32_t startX, startY, usedLength, usedMatches;
  int32_t blockScore; // (2 * identities - length) * 100
  int32_t chainScore, chainMatches, chainLength;
  HitBlock *next;           // next block of the hit; successor of an island
  int32_t linkKind;         // 1: next block's start cuts this one in sequence 2; else in sequence 1
  int32_t cut;              // cut position, relative
  HitBlock *prev;           // previous block; predecessor of an island
  HitBlock *sameStart;      // engine: next island with the same start x + y
  HitBlock *sameEnd;        // engine: next island with the same end x + y
  HitBlock *freeNext;       // free list; engine: previous island on the diagonal / result list
  int32_t engineA, engineB; // spare engine words
  int32_t runAfter, runBefore; // engine: an island's link bounds once known, plus 1
};

struct Hit {
  int32_t start1, end1, start2, end2;
  HitBlock *firstBlock;     // none: a temporary region record of the engine
  int32_t engineA, engineB; // zero outside the engine
  Hit *freeNext;
  int32_t leftFlank;   // -min(flanks, start1, start2); 0 = not computed
  int32_t rightFlank;  // min(flanks, length1 - end1, length2 - end2)
  int32_t paneColumns; // 0 = not computed
  int32_t paneFirstColumn;
  int32_t score;      // hundredths
  uint32_t flags;     // kHit*
  Hit *next1, *prev1; // main list, by start1
  Hit *next2, *prev2; // second list, by start2
};

constexpr int32_t kDefaultRepeatLimit = 400;

struct IslandParams {
  int16_t matchesPerFrame = 5; // m
  int16_t frameLength = 8;     // n
  int16_t maxGap = 20;
  int16_t minTotalMatches = 12; // k
  int16_t wordSize = 16;
  // Align only. Words more frequent than this in sequence 1 seed nothing
  // (0: no limit); the default leaves ordinary pairs untouched.
  int32_t repeatLimit = kDefaultRepeatLimit;
  int16_t seedShape = 0; // 0 successive matches, 1 spaced (sensitive)
  int16_t strands = 0;   // 0 sequence 2 as it stands, 1 its other strand too
  int16_t extend = 0;    // 1: new hits grown past their ends by gapped alignment
};

struct ScoreParams { // hundredths; penalties stored negative
  int32_t match = 100;
  int32_t mismatch = -100;
  int32_t gapOpen = -300;
  int32_t gapElongation = -100;
};

struct FilterParams {
  int32_t minOverlap = 30;
  int32_t minPile = 2;
  double maxPeriodicP = 1e-6;
};

// Parameters and flags of the action running in a window.
struct RunningAction {
  uint16_t flags;
  IslandParams island;
  ScoreParams score;
  uint32_t flagsC;
};

// A rectangle of the window's canvas in pixels, edges inclusive.
struct LayoutCell {
  int32_t x1, y1, x2, y2;
};

// The dot matrix as laid out by its axes: pixels of the origin (left,
// bottom), width and negative height, and per axis the first value and span.
struct ViewGeometry {
  int32_t x0, y0, w, negH;
  int32_t first1, span1, first2, span2;
};

struct WindowRecord {
  int32_t block[4];  // from1, to1, from2, to2, 1-based inclusive
  int32_t region[4]; // x0, x1, y0, y1, 0-based, ends exclusive
  RunningAction running;
  ViewGeometry view; // dot-matrix geometry in pixels and axis values
  IslandParams alignIsland;
  IslandParams expandIsland;
  int16_t flanksLength;
  int16_t reserved1;            // 8
  int16_t mergeMaxDistance;     // 20
  int16_t reserved2, reserved3; // 12, 16
  ScoreParams score;
  Hit *selectedHit;
  VelkWindow *window; // none: slot free
  DrawSurface *dc;    // drawing surface while painting, printing or acting
  uint32_t flagsA;    // kWin*
  uint32_t flagsB;    // kOpt*
  uint32_t flagsC;
  int32_t shortLength;
  double pValue; // Align's maximal P-value; high-P selection threshold
  int32_t mouseRect[4];
  int32_t selectedArea[4]; // x0, y0, x1, y1, 0-based
  LayoutCell layout[24];
  LayoutCell matrixRect, listRect, infoRect;
  int32_t paneTopLeft[2], paneBottomRight[2];
  int32_t listCursor, listRows, paneColumnsShown;
  int32_t hitCount, conflictCount;
  int32_t reverseCount; // hits of the second set (other strand) in the window
  int32_t reportFirst, reportSecond;
  int32_t reportKind;
  int32_t reportRepeats; // seed words the repeat limit left out (Align)
  int32_t reportPiled;   // Align: hits piled on repeat copies, when they swamp the rest
  int32_t infoWidth;
  int32_t arrow[2];
  int32_t rememberedPoint[2];
  FilterParams filter;
};
