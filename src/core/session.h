// Global session state: the two sequences, the hit list shared by all
// windows, the ten window slots and the record store for hits and blocks.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/records.h"

constexpr int kSlotCount = 10;

extern Sequence *gSeq1, *gSeq2;    // in the general pool (reader buffers)
extern Hit *gHitHead1, *gHitTail1; // main list, by start1
extern Hit *gHitHead2, *gHitTail2; // second list, by start2
extern int32_t gHitCount;
extern WindowRecord gSlots[kSlotCount];
extern WindowRecord *gCurrent;
extern uint32_t gActionStatus;       // kStatus*
extern int32_t gRequested[4];        // from1, to1, from2, to2 asked for; 0 = whole
extern char gPathBuffer[kPathBytes]; // working directory, then the last path used
extern int32_t gSaveFilter; // remembered output format: 0 global, 1 local, 2 summary, 4/5 PAF/MAF
extern int32_t gDirFilter;  // file-type filter of the sequence file dialog
extern int16_t gFlanksSetting; // start-up copy of "Flanks_length"

inline Sequence *sequenceOf(int which) { return which ? gSeq2 : gSeq1; }

// The engine's own exit: thrown when a record cannot be obtained, caught at
// the start of every engine unit, which then releases what it holds.
struct EngineAbort {
  int code; // 2 pool exhausted, 60 work arrays not allocated
};

// Records are carved 1 024 at a time from the general pool and recycled
// through free lists; a reused record comes back zeroed.
Hit *allocateHit();        // pushed at the head of the main list
HitBlock *allocateBlock(); // linked nowhere
void freeHit(Hit *hit);    // also frees its blocks; caller unlinks it first
void freeBlock(HitBlock *block);
void resetHitStore(); // forget every record (the pool was released)
void clearHits();     // every hit back to the free list, lists empty

// Unlinks a hit from both lists of its set (the main list alone while lists
// are stale): the session's hits, or the second set (kHitOtherStrand).
void unlinkHit(Hit *hit);

// A set of hits in its two orders: by start1 (then end1 descending) through
// next1, by start2 (then end2 descending) through next2.
struct HitList {
  Hit *head1 = nullptr, *tail1 = nullptr, *head2 = nullptr, *tail2 = nullptr;
  int32_t count = 0;
};
// Links both orders of the hits on the list's next1 chain (stable) and
// counts them; nothing else (no selection, no conflicts).
void sortHitOrders(HitList &list);

// Re-establishes both hit orders, the hit count, the current window's
// selected hit and the conflict flags. (x, y) is the remembered point.
void rebuildLists(int32_t x, int32_t y);

// Stable sort; false (array untouched) when work memory cannot be had.
bool stableSort(void *array, size_t count, size_t size, int (*compare)(const void *, const void *));

void selectNearestHit(int32_t x, int32_t y);

// Defaults of a slot (flag words, parameters, filter).
void resetSlotDefaults(WindowRecord *w);

// A hit lies in an area (x0, x1, y0, y1) unless it is outside or only
// touches it at all four bounds.
bool HitInArea(const Hit *hit, const int32_t area[4]);
// The action's area: the mouse-selected area when active, else the region.
void actionArea(const WindowRecord *w, int32_t area[4]);
