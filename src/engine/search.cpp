#include "engine/search.h"

#include <cstdlib>
#include <cstring>

#include "core/flags.h"
#include "core/params.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search_internal.h"

EngineContext gEngine;
LinkCandidate gBest, gTry;
int32_t gLinkThreshold;

void setActionParams(uint16_t maskingFlags, const ScoreParams &score, const IslandParams &island) {
  RunningAction &r = gCurrent->running;
  r.flags = maskingFlags;
  // Sets that bypassed the corrections must not reach the engine: a frame
  // that needs no match, or a score that lets sums overflow.
  r.score = clampedScores(score);
  r.island = island;
  clampIslandParams(r.island, true);
  r.flagsC = gCurrent->flagsC;
}

static void freeLists() {
  free(gEngine.startList);
  free(gEngine.endList);
  free(gEngine.diagonalList);
  gEngine.startList = gEngine.endList = gEngine.diagonalList = nullptr;
  gEngine.listEntries = 0;
}

// Stands in for a sequence that has no residues, so that a region over it
// is simply empty.
static uint8_t gNoResidues[2][1];

void prepareRegion(Hit *regionRecord, int32_t xEnd, int32_t yEnd, uint32_t modeFlags) {
  if (gEngine.prepared)
    releaseRegion();
  EngineContext &e = gEngine;
  e.region = *regionRecord;
  e.regionRecord = regionRecord;
  // Ends are kept inside the sequences: the byte after the last residue is
  // the only spare one the buffers have.
  e.x1 = regionRecord->start1 < 0 ? 0 : regionRecord->start1;
  e.y1 = regionRecord->start2 < 0 ? 0 : regionRecord->start2;
  e.x2 = xEnd > gSeq1->length ? gSeq1->length : xEnd;
  e.y2 = yEnd > gSeq2->length ? gSeq2->length : yEnd;
  e.x2 = e.x2 < 0 ? 0 : e.x2;
  e.y2 = e.y2 < 0 ? 0 : e.y2;
  if (e.x1 > e.x2)
    e.x1 = e.x2;
  if (e.y1 > e.y2)
    e.y1 = e.y2;
  uint8_t *r1 = gSeq1->residues ? gSeq1->residues : gNoResidues[0];
  uint8_t *r2 = gSeq2->residues ? gSeq2->residues : gNoResidues[1];
  if (!gSeq1->residues)
    e.x1 = e.x2 = 0;
  if (!gSeq2->residues)
    e.y1 = e.y2 = 0;
  e.seq1 = r1 + e.x1;
  e.seq2 = r2 + e.y1;
  e.sentinel1 = r1 + e.x2;
  e.sentinel2 = r2 + e.y2;
  *e.sentinel1 |= kResSentinel;
  *e.sentinel2 |= kResSentinel;
  const RunningAction &r = gCurrent->running;
  buildIslandMatchTable(r.flags);
  buildScanTable();
  e.W = e.x2 - e.x1;
  e.H = e.y2 - e.y1;
  if (!(modeFlags & kModeNoMinScores))
    computeMinScores(e.W, e.H);
  e.m = r.island.matchesPerFrame;
  e.n = r.island.frameLength;
  e.g = r.island.maxGap;
  e.k = r.island.minTotalMatches;
  e.w = r.island.wordSize;
  e.repeatLimit = r.island.repeatLimit;
  e.spaced = r.island.seedShape != 0;
  e.score = &r.score;
  e.D = e.W + e.H - 1;
  e.diagBase = e.H + e.g - 1;
  e.sweep = e.g;
  e.finalLimit = 0;
  e.newHitFlags = 0;
  e.resultList = nullptr;
  e.abandoned = 0;
  e.repeatWords = 0;
  e.packed = nullptr;
  e.islands = nullptr;
  e.chainScanned = 0;
  gActionStatus = modeFlags | (gActionStatus & (kModeStop | kModePaused));
  gCurrent->flagsA |= kWinRepaint;
  e.prepared = true;
}

void releaseRegion() {
  EngineContext &e = gEngine;
  if (!e.prepared)
    return;
  *e.sentinel1 &= (uint8_t)~kResSentinel;
  *e.sentinel2 &= (uint8_t)~kResSentinel;
  freeLists();
  if (!(gActionStatus & (kModeNoDraw | kModeNoDraw2)))
    ui()->requestRepaint();
  gActionStatus &= ~(kModeAlign | kModeNoDraw | kModeNoDraw2);
  e.prepared = false;
}

uint8_t gScanCode[64 * 64];

void buildScanTable() {
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b)
      gScanCode[(a << 6) | b] =
          ((a | b) & kResSentinel) ? 2 : (uint8_t)IslandMatchTable[a & 31][b & 31];
}

bool scanMatchesBySameBase(bool usable[64]) {
  for (int a = 0; a < 64; ++a) {
    usable[a] = false;
    for (int b = 0; b < 64; ++b)
      usable[a] = usable[a] || gScanCode[(a << 6) | b] == 1;
  }
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b)
      if ((gScanCode[(a << 6) | b] == 1) != ((a & 3) == (b & 3) && usable[a] && usable[b]))
        return false;
  return true;
}

bool drawingAllowed() { return !(gActionStatus & (kModeNoDraw | kModeNoDraw2)) && ui()->canDraw(); }

void drawIsland(const HitBlock *b, bool erase) {
  const int32_t x = gEngine.x1 + b->x, y = gEngine.y1 + b->y;
  ui()->drawSequenceLine(x, y, x + b->length, y + b->length, erase);
}

void drawChain(const HitBlock *end, bool erase) {
  for (const HitBlock *b = end; b; b = b->prev)
    drawIsland(b, erase);
}

void resetSecondCopy(HitBlock *b) {
  b->startX = b->x;
  b->startY = b->y;
  b->usedLength = b->length;
  b->usedMatches = b->identities;
}

void passIsland(int32_t x, int32_t y, int32_t length) {
  ++gCurrent->reportFirst;
  if (drawingAllowed()) {
    HitBlock b{};
    b.x = x;
    b.y = y;
    b.length = length;
    drawIsland(&b, false);
  }
}

HitBlock *newIsland(int32_t x, int32_t y, int32_t length, int32_t matches) {
  HitBlock *b = allocateBlock();
  b->x = x;
  b->y = y;
  b->length = length;
  b->identities = matches;
  resetSecondCopy(b);
  b->blockScore = ownScore(length, matches);
  b->chainScore = b->blockScore;
  b->chainMatches = matches;
  b->chainLength = length;
  ++gCurrent->reportFirst;
  if (drawingAllowed())
    drawIsland(b, false);
  return b;
}

void countNewHit() { ++gCurrent->reportSecond; }
