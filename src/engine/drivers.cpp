#include "engine/drivers.h"
#include "engine/drivers_internal.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "engine/columns.h"
#include "engine/extend.h"
#include "engine/nw.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/strands.h"
#include "engine/trim.h"

namespace {

void rebuildAround(const Hit *selected, int32_t x, int32_t y) {
  if (selected)
    rebuildLists(selected->start1, selected->start2);
  else
    rebuildLists(x, y);
}

void resortAroundSelected() {
  rebuildAround(gCurrent->selectedHit, gCurrent->region[0], gCurrent->region[2]);
}

// Hits without blocks are region records or placeholders.
void deleteBlocklessHits() {
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock)
      deleteNow(h);
  }
}

bool sequencesPresent() { return gSeq1 && gSeq2 && gSeq1->length > 0 && gSeq2->length > 0; }

// The answer to the hash question of the latest Align, which its search of
// the other strand keeps rather than asking again.
double gWidthLimit = INFINITY;

// `preset`: no question; regions at least this wide are left out.
int regionDriver(bool fill, bool quiet, const double *preset);

} // namespace

int alignOrFill(bool fill, bool quiet) { return regionDriver(fill, quiet, nullptr); }

namespace {
int regionDriver(bool fill, bool quiet, const double *preset) {
  WindowRecord *w = gCurrent;
  resortAroundSelected();
  resetProgress();
  w->reportFirst = 0;
  w->reportSecond = 0;
  w->reportRepeats = 0;
  w->reportPiled = 0;
  w->reportKind = fill ? kReportKindFill : kReportKindAlign;
  if (!sequencesPresent())
    return 1;
  if (!gHitHead1)
    resetEngine(gSeq1->from, gSeq1->to, gSeq2->from, gSeq2->to);

  uint32_t opt = w->flagsB;
  uint16_t masking = kMaskBase;
  if (opt & kOptAlignMaskRepeats)
    masking |= kMaskRepeats;
  if (opt & kOptAlignMaskFilter)
    masking |= kMaskFilter;
  setActionParams(masking, gSlots[0].score, w->alignIsland);

  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags &= ~kHitNewFlag;
  deleteBlocklessHits();
  resortAroundSelected();

  int32_t largest = 0;
  try {
    largest = buildAlignRegions();
  } catch (const EngineAbort &) {
    // The regions made so far are still worth searching.
  }
  w->flagsB &= ~kOptClearedAfterAction;
  resortAroundSelected();

  bool hash = !fill && (opt & kOptAlignHash);
  int wordSize = w->alignIsland.wordSize;
  double widthLimit = preset ? *preset : INFINITY;
  bool cancelled = false;
  if (!quiet && !preset) {
    if (fill && largest > kFillMaxSide) {
      Answer a = ui()->messageBox("Caution",
                                  "One or more regions are longer than 5Kb.\n\nSuch regions "
                                  "will be skipped.\n\nDo you want to continue?",
                                  Buttons::YesNo, kAnswerYes);
      cancelled = a != kAnswerYes;
    } else if (hash && largest > 0 && std::log(largest * 0.1) / std::log(4.0) > wordSize) {
      Answer a = ui()->messageBox(
          "Caution",
          "One or more regions are too big for the wordsize\nparameter (align with hash).\n\nThe "
          "aligning will take a while.\n\nDo you want to exclude huge regions from\ncurrent "
          "aligning?",
          Buttons::YesNoCancel, kAnswerNo);
      if (a == kAnswerYes)
        widthLimit = std::trunc(10.0 * std::pow(4.0, wordSize));
      else if (a != kAnswerNo)
        cancelled = true;
    }
  }

  if (!fill)
    gWidthLimit = widthLimit;
  const bool extend = !fill && w->alignIsland.extend != 0;
  // The search's looser P-value must not outlive it, however it ends: the
  // window's own is saved with the hits and judges them.
  struct PValueScope {
    double &value;
    const double saved;
    ~PValueScope() { value = saved; }
  } searchPValue{w->pValue, w->pValue};
  if (extend)
    w->pValue = std::min(1.0, searchPValue.saved * kExtendSearchLoosening);
  if (!cancelled) {
    openActionCanvas();
    gActionStatus = (gActionStatus & (kModeStop | kModePaused)) | kModeAlign;
    while (!(gActionStatus & kModeStop)) {
      Hit *region = gHitHead1;
      while (region && !(region->flags & kHitRegionMark))
        region = region->next1;
      if (!region)
        break;
      region->flags &= ~kHitRegionMark;
      int64_t area = int64_t(region->end1 - region->start1) * (region->end2 - region->start2);
      try {
        if (fill)
          alignRegionNW(region, kNwMakeHit);
        else if (!hash)
          searchRegion(region);
        else if (region->end1 - region->start1 < widthLimit)
          seedByWords(region);
      } catch (const EngineAbort &) {
        // Like a stop of this region only; the loop goes on.
      }
      gProgress.areaDone += area;
      gProgress.scanned = 0;
    }
    closeActionCanvas();
  }
  w->pValue = searchPValue.saved;

  // Regions that produced nothing are left without blocks.
  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags &= ~kHitSelected;
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock)
      deleteNow(h);
  }
  resortAroundSelected();
  if (hash && !(gSeq1->fileName[0] == '!' && gSeq2->fileName[0] == '!')) {
    int32_t islands = w->reportFirst;
    removeDuplicateHits();
    joinOverlappingChains();
    // Interspersed repeats masked inside a homology cut it into pieces that
    // the bridge across a diverged stretch joins again.
    const bool maskedCopies =
        (opt & kOptAlignMaskFilter) && ((gSeq1->flags | gSeq2->flags) & kSeqInterspersed);
    if (w->alignIsland.seedShape != 0 || maskedCopies)
      bridgeDivergedStretches(kBridgeSide, kBridgeDrop * w->score.match);
    w->reportFirst = islands;
  }
  if (extend && gHitHead1 && !(gActionStatus & kStatusStop)) {
    extendNewHits(kExtendDrop, kExtendBand);
    resortAroundSelected();
    removeExtendedFragments();
    removeExtendedDuplicates();
  }
  if (!gHitHead1)
    resetEngine(w->block[0], w->block[1], w->block[2], w->block[3]);
  else
    resortAroundSelected();
  ui()->requestRepaint();
  return cancelled ? 1 : 0;
}

// One strand: the search, the advice on piled repeats, then the automatic
// trimming.
int alignPass(bool quiet, const double *preset) {
  WindowRecord *w = gCurrent;
  const int result = regionDriver(false, quiet, preset);
  // Copies already masked need no advice to mask them.
  const bool masked = (w->flagsB & kOptAlignMaskFilter) && sequencesPresent() &&
                      ((gSeq1->flags | gSeq2->flags) & kSeqInterspersed);
  if (!masked) {
    const RepeatPile pile = measureRepeatPile();
    if (repeatsSwamp(pile))
      w->reportPiled = pile.piled;
  }
  // Extended hits cross stretches the fixed scores count as losses: trimming
  // by them would undo the extension.
  if ((w->flagsB & kOptAlignTrim) && w->alignIsland.extend == 0) {
    int32_t first = w->reportFirst, second = w->reportSecond;
    trimAction(false);
    w->reportFirst = first;
    w->reportSecond = second;
  }
  return result;
}

// The same search on the other strand of sequence 2, in the same area and
// with the answer given for the first: the sets are exchanged for it and
// back, so its hits end in the second set and the session's stay as they
// were. The report adds its counts to the first search's.
void alignOtherStrand(uint32_t areaBits) {
  WindowRecord *w = gCurrent;
  const int32_t first = w->reportFirst, second = w->reportSecond, repeats = w->reportRepeats,
                piled = w->reportPiled;
  const double limit = gWidthLimit;
  Hit *selected[kSlotCount];
  for (int i = 0; i < kSlotCount; ++i)
    selected[i] = gSlots[i].selectedHit;
  reverseStrands();
  w->flagsB |= areaBits;
  gStrandPassRunning = true;
  alignPass(true, &limit);
  gStrandPassRunning = false;
  reverseStrands();
  // Each window keeps the selection the first search left, as after an
  // Align of one strand; a record freed meanwhile gives way to the nearest.
  for (int i = 0; i < kSlotCount; ++i) {
    Hit *h = selected[i];
    const bool kept = h && h->flags != kHitFree && !onOtherStrand(h);
    gSlots[i].selectedHit = kept ? h : nullptr;
  }
  if (!w->selectedHit)
    selectNearestHit(w->region[0], w->region[2]);
  w->reportFirst += first;
  w->reportSecond += second;
  w->reportRepeats += repeats;
  w->reportPiled += piled;
  w->reportKind = kReportKindAlign;
}
} // namespace

int alignAction(bool quiet) {
  WindowRecord *w = gCurrent;
  const uint32_t areaBits = w->flagsB & kOptClearedAfterAction;
  ui()->requestRepaint();
  const int cancelled = alignPass(quiet, nullptr);
  w->flagsB &= ~kOptClearedAfterAction;
  if (w->alignIsland.strands != 0 && !cancelled && !(gActionStatus & kStatusStop) &&
      sequencesPresent()) {
    alignOtherStrand(areaBits);
    w->flagsB &= ~kOptClearedAfterAction;
    ui()->requestRepaint();
  }
  return 0;
}

namespace {

constexpr int kMaxExpandSteps = 100000;

// A hit's blocks, rebased to the region's corner, become a chain of islands
// that the greedy chaining can extend at either end.
void blocksToChain(Hit *hit, int32_t dx, int32_t dy, const ScoreParams &sp) {
  HitBlock *prev = nullptr;
  int32_t chainScore = 0, chainMatches = 0;
  for (HitBlock *b = hit->firstBlock; b; b = b->next) {
    b->x += dx;
    b->y += dy;
    if (b->next)
      b->cut += b->linkKind == kLinkGapInX ? dy : dx;
    else
      b->linkKind = b->cut = 0;
    b->startX = b->x;
    b->startY = b->y;
    b->usedLength = b->length;
    b->usedMatches = b->identities;
    b->blockScore = b->identities * sp.match + (b->length - b->identities) * sp.mismatch;
    if (prev) {
      int32_t shift = (b->x - b->y) - (prev->x - prev->y);
      if (shift)
        chainScore += sp.gapOpen + (shift < 0 ? -shift : shift) * sp.gapElongation;
    }
    chainScore += b->blockScore;
    chainMatches += b->identities;
    b->chainScore = chainScore;
    b->chainMatches = chainMatches;
    b->chainLength = b->x + b->length - hit->firstBlock->x;
    b->prev = prev;
    b->sameStart = b->sameEnd = b->freeNext = nullptr;
    prev = b;
  }
}

} // namespace

int expandHit(Hit *hit) {
  if (!sequencesPresent() || !hit->firstBlock)
    return 2;
  WindowRecord *w = gCurrent;
  int32_t area[4];
  actionArea(w, area);

  int32_t xEnd = area[1], yEnd = area[3], xStart = area[0], yStart = area[2];
  // Blockless records (a placeholder, regions) bound nothing.
  const Hit *n1 = hit->next1, *n2 = hit->next2, *p1 = hit->prev1, *p2 = hit->prev2;
  while (n1 && !n1->firstBlock)
    n1 = n1->next1;
  while (n2 && !n2->firstBlock)
    n2 = n2->next2;
  while (p1 && !p1->firstBlock)
    p1 = p1->prev1;
  while (p2 && !p2->firstBlock)
    p2 = p2->prev2;
  if (n1 && n1->start1 < xEnd)
    xEnd = n1->start1;
  if (n2 && n2->start2 < yEnd)
    yEnd = n2->start2;
  if (p1 && p1->end1 > xStart)
    xStart = p1->end1;
  if (p2 && p2->end2 > yStart)
    yStart = p2->end2;
  if (xEnd < hit->end1)
    xEnd = hit->end1;
  if (yEnd < hit->end2)
    yEnd = hit->end2;
  if (xStart > hit->start1)
    xStart = hit->start1;
  if (yStart > hit->start2)
    yStart = hit->start2;

  uint16_t masking = kMaskBase;
  if (w->flagsB & kOptExpandMaskRepeats)
    masking |= kMaskRepeats;
  if (w->flagsB & kOptExpandMaskFilter)
    masking |= kMaskFilter;
  setActionParams(masking, w->score, w->expandIsland);
  const ScoreParams &sp = w->running.score;
  int32_t n = w->running.island.frameLength;

  int32_t scoreBefore = hit->score;
  int32_t box[4] = {hit->start1, hit->end1, hit->start2, hit->end2};
  blocksToChain(hit, hit->start1 - xStart, hit->start2 - yStart, sp);
  hit->start1 = xStart;
  hit->end1 = xEnd;
  hit->start2 = yStart;
  hit->end2 = yEnd;

  HitBlock *first = hit->firstBlock, *last = first;
  while (last->next)
    last = last->next;
  int32_t roomX = (xEnd - xStart) - (last->x + last->length);
  int32_t roomY = (yEnd - yStart) - (last->y + last->length);
  {
    RegionGuard guard(hit, xEnd, yEnd, 0);
    try {
      gEngine.linkedIslands = 0;
      if (roomX >= n && roomY >= n)
        chainForward(last);
      int32_t linked = gEngine.linkedIslands;
      if (!linked)
        extendFrameForward(last, roomX < roomY ? roomX : roomY);
      w->reportSecond += linked;
      gEngine.linkedIslands = 0;
      if (first->x >= n && first->y >= n)
        chainBackward(first, false);
      linked = gEngine.linkedIslands;
      if (!linked)
        extendFrameBackward(first, first->x < first->y ? first->x : first->y, false);
      w->reportSecond += linked;
    } catch (const EngineAbort &) {
      // Pool exhausted: keep what was linked.
    }
    // The chain's links stay consistent after every commit, so what was
    // linked before an abort is kept.
    HitBlock *start = first;
    while (start->prev)
      start = start->prev;
    HitBlock *blocks = chainToBlocks(start);
    if (blocks) {
      makeHit(hit, blocks);
    } else {
      // Nothing left to convert; keep the box the hit had.
      hit->start1 = box[0];
      hit->end1 = box[1];
      hit->start2 = box[2];
      hit->end2 = box[3];
    }
  }
  if (hit->flags == kHitFree)
    return 2;
  if ((w->flagsB & kOptExpandTrim) && w->reportFirst != 0 && hit->firstBlock) {
    trimHit(hit);
    if (hit->flags == kHitFree)
      return 2;
    hit->score = CountHitColumns(hit, hit->firstBlock);
  }
  return hit->score != scoreBefore ? 1 : 2;
}

void expandAction() {
  if (!sequencesPresent())
    return;
  WindowRecord *w = gCurrent;
  gTrimWeights = &w->score;
  w->reportFirst = 0;
  w->reportSecond = 0;
  w->reportKind = kReportKindExpand;
  openActionCanvas();
  int32_t area[4];
  actionArea(w, area);
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock || (h->flags & kHitApproved) || !HitInArea(h, area))
      continue;
    // A step that trims can undo what the previous one gained; a score seen
    // two steps before means the hit oscillates, and the loop would not end.
    int32_t before2 = INT32_MIN, before1 = h->score;
    for (int steps = 0; steps < kMaxExpandSteps; ++steps) {
      if (expandHit(h) != 1 || h->flags == kHitFree || h->score == before2)
        break;
      before2 = before1;
      before1 = h->score;
    }
  }
  rebuildAround(w->selectedHit, area[0], area[2]);
  closeActionCanvas();
  ui()->requestRepaint();
  w->flagsB &= ~kOptClearedAfterAction;
}
