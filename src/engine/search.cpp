#include "engine/search.h"

#include <cstdlib>
#include <cstring>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/progress.h"
#include "engine/scores.h"

EngineContext gEngine;
LinkCandidate gBest, gTry;
int32_t gLinkThreshold;

void setActionParams(uint16_t maskingFlags, const ScoreParams &score, const IslandParams &island) {
  RunningAction &r = gCurrent->running;
  r.flags = maskingFlags;
  r.score = score;
  r.island = island;
  r.flagsC = gCurrent->flagsC;
}

static void freeLists() {
  free(gEngine.startList);
  free(gEngine.endList);
  free(gEngine.diagonalList);
  gEngine.startList = gEngine.endList = gEngine.diagonalList = nullptr;
  gEngine.listEntries = 0;
}

void prepareRegion(Hit *regionRecord, int32_t xEnd, int32_t yEnd, uint32_t modeFlags) {
  if (gEngine.prepared)
    releaseRegion();
  EngineContext &e = gEngine;
  e.region = *regionRecord;
  e.regionRecord = regionRecord;
  // Ends are kept inside the sequences: the byte after the last residue is
  // the only spare one the buffers have.
  e.x1 = regionRecord->start1;
  e.y1 = regionRecord->start2;
  e.x2 = xEnd > gSeq1->length ? gSeq1->length : xEnd;
  e.y2 = yEnd > gSeq2->length ? gSeq2->length : yEnd;
  if (e.x1 > e.x2)
    e.x1 = e.x2;
  if (e.y1 > e.y2)
    e.y1 = e.y2;
  e.seq1 = gSeq1->residues + e.x1;
  e.seq2 = gSeq2->residues + e.y1;
  e.sentinel1 = gSeq1->residues + e.x2;
  e.sentinel2 = gSeq2->residues + e.y2;
  *e.sentinel1 |= kResSentinel;
  *e.sentinel2 |= kResSentinel;
  const RunningAction &r = gCurrent->running;
  buildIslandMatchTable(r.flags);
  e.W = e.x2 - e.x1;
  e.H = e.y2 - e.y1;
  if (!(modeFlags & kModeNoMinScores))
    computeMinScores(e.W, e.H);
  e.m = r.island.matchesPerFrame;
  e.n = r.island.frameLength;
  e.g = r.island.maxGap;
  e.k = r.island.minTotalMatches;
  e.w = r.island.wordSize;
  e.score = &r.score;
  e.D = e.W + e.H - 1;
  e.diagBase = e.H + e.g - 1;
  e.sweep = e.g;
  e.finalLimit = 0;
  e.newHitFlags = 0;
  e.resultList = nullptr;
  e.abandoned = 0;
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
