#include "ops/selections.h"

#include <cmath>
#include <cstdint>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "engine/scores.h"

double gDiagonalIntercept = 0, gDiagonalSlope = 0, gDiagonalThreshold = 0;

void SelectAll(bool on) {
  for (int set = 0; set < 2; ++set)
    for (Hit *h = set ? gOther.head1 : gHitHead1; h; h = h->next1) {
      if (!anyHitInArea(h, gCurrent->region))
        continue;
      h->flags &= ~kHitSelected;
      if (on)
        h->flags |= kHitSelAll;
    }
}

static int32_t intervalLength(const Sequence *s) { return s->to - s->from + 1; }

void SelectHighPValue() {
  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags &= ~kHitSelHighP;
  if (!(gCurrent->flagsA & kWinModeHighP) || !gSeq1 || !gSeq2)
    return;
  computeMinScoresFor(gCurrent->pValue, intervalLength(gSeq1), intervalLength(gSeq2));
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (!h->firstBlock || globalMargin(h) < 0)
      h->flags |= kHitSelHighP;
}

void SelectShort() {
  const int32_t L = gCurrent->shortLength;
  if (L < 1)
    return;
  const bool on = gCurrent->flagsA & kWinModeShort;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    h->flags &= ~kHitSelShort;
    if (on && (h->end1 - h->start1 < L || h->end2 - h->start2 < L))
      h->flags |= kHitSelShort;
  }
}

void SelectOverlapped() {
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags &= ~kHitSelOverlapped;
  if (!(gCurrent->flagsA & kWinModeOverlapped))
    return;
  for (Hit *h = gHitHead1; h && h->next1; h = h->next1)
    if (HitInArea(h, area) && h->end1 > h->next1->start1) {
      h->flags |= kHitSelOverlapped;
      h->next1->flags |= kHitSelOverlapped;
    }
  for (Hit *h = gHitHead2; h && h->next2; h = h->next2)
    if (HitInArea(h, area) && h->end2 > h->next2->start2) {
      h->flags |= kHitSelOverlapped;
      h->next2->flags |= kHitSelOverlapped;
    }
}

void SelectOffDiagonal() {
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags &= ~kHitSelOffDiagonal;
  if (!(gCurrent->flagsA & kWinModeOffDiagonal))
    return;
  double sw = 0, swx = 0, swy = 0, swxx = 0, swxy = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!HitInArea(h, area))
      continue;
    const double w = h->score / 2;
    const double px[2] = {double(h->start1), double(h->end1)};
    const double py[2] = {double(h->start2), double(h->end2)};
    for (int i = 0; i < 2; ++i) {
      sw += w;
      swx += w * px[i];
      swy += w * py[i];
      swxx += w * px[i] * px[i];
      swxy += w * px[i] * py[i];
    }
  }
  const double D = sw * swxx - swx * swx;
  if (D == 0)
    return;
  const double b = (swy * swxx - swxy * swx) / D;
  const double a = (swxy * sw - swy * swx) / D;
  double squares = 0;
  int64_t points = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!HitInArea(h, area))
      continue;
    const double d1 = h->start2 - a * h->start1 - b, d2 = h->end2 - a * h->end1 - b;
    squares += d1 * d1 + d2 * d2;
    points += 2;
  }
  const double t = 1.5 * std::sqrt(squares / double(points));
  gDiagonalIntercept = b;
  gDiagonalSlope = a;
  gDiagonalThreshold = t;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!HitInArea(h, area))
      continue;
    if (std::fabs(h->start2 - a * h->start1 - b) > t && std::fabs(h->end2 - a * h->end1 - b) > t)
      h->flags |= kHitSelOffDiagonal;
  }
}

void SelectConflicting(bool on) {
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1; h; h = h->next1) {
    h->flags &= ~kHitSelConflict;
    if (on && (h->flags & kHitConflict) && HitInArea(h, area))
      h->flags |= kHitSelConflict;
  }
  rebuildLists(gCurrent->rememberedPoint[0], gCurrent->rememberedPoint[1]);
}

void recomputeSelections() {
  const uint32_t modes = gCurrent->flagsA;
  if (modes & kWinModeShort)
    SelectShort();
  if (modes & kWinModeHighP)
    SelectHighPValue();
  if (modes & kWinModeOverlapped)
    SelectOverlapped();
  if (modes & kWinModeOffDiagonal)
    SelectOffDiagonal();
  if (modes & kWinModeConflicting)
    SelectConflicting(true);
}

static void afterApproval() {
  for (WindowRecord &w : gSlots)
    if (w.window)
      w.flagsA |= kWinRecount;
  gCurrent->flagsA |= kWinRecount;
  ui()->requestRepaint();
}

bool Approve() {
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area) && (h->flags & kHitConflict)) {
      ui()->messageBox("Caution", "ERROR: There are conflicts.\n    Please resolve them.\n",
                       Buttons::Ok, kAnswerOk);
      return false;
    }
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags |= kHitApproved;
  afterApproval();
  return true;
}

void Disapprove() {
  int32_t area[4];
  actionArea(gCurrent, area);
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (HitInArea(h, area))
      h->flags &= ~kHitApproved;
  afterApproval();
}
