#include "core/lifecycle.h"

#include "core/flags.h"
#include "core/session.h"
#include "core/session_hooks.h"
#include "core/ui_port.h"

bool selectSlot(WindowRecord *slot, bool keepParameters) {
  if (!slot) {
    for (WindowRecord &w : gSlots)
      if (!w.window) {
        slot = &w;
        break;
      }
    if (!slot)
      return false;
  }
  gCurrent = slot;
  if (!keepParameters)
    resetSlotDefaults(slot);
  rebuildLayoutCells(slot);
  return true;
}

void closeOtherWindows(bool keepParameters) {
  for (WindowRecord &w : gSlots) {
    if (&w == gCurrent || !w.window)
      continue;
    ui()->hideWindow(w.window);
    w.window = nullptr;
  }
  selectSlot(gCurrent, keepParameters);
}

void rememberSelections() {
  for (WindowRecord &w : gSlots) {
    if (!w.window || !w.selectedHit)
      continue;
    w.rememberedPoint[0] = w.selectedHit->start1;
    w.rememberedPoint[1] = w.selectedHit->start2;
  }
}

void restoreSelections() {
  WindowRecord *current = gCurrent;
  for (WindowRecord &w : gSlots) {
    if (!w.window)
      continue;
    gCurrent = &w;
    selectNearestHit(w.rememberedPoint[0], w.rememberedPoint[1]);
  }
  gCurrent = current;
}

// Requested bound -> the loaded interval; 0 stands for the loaded bound.
// Bounds past the sequence would give the engine a region outside the
// residue array, and hits past the interval a file that cannot be read back.
static int32_t requestedBound(int32_t value, int32_t loaded, const Sequence *s) {
  if (value == 0)
    value = loaded;
  int32_t lo = s->from < s->to ? s->from : s->to, hi = s->from < s->to ? s->to : s->from;
  if (lo < 1)
    lo = 1;
  if (hi < 1 || hi > s->length)
    hi = s->length;
  if (value < lo)
    value = lo;
  if (value > hi)
    value = hi;
  return value;
}

static void axisRange(const Sequence *s, int32_t from, int32_t to, int32_t *lo, int32_t *hi) {
  if (s->flags & kSeqInverted) {
    *lo = s->length - to;
    *hi = s->length - from + 1;
  } else {
    *lo = from - 1;
    *hi = to;
  }
}

void setWindowToRequestedIntervals() {
  if (!gSeq1 || !gSeq2 || gSeq1->length == 0 || gSeq2->length == 0)
    return;
  int32_t b[4];
  for (int i = 0; i < 4; ++i) {
    const Sequence *s = sequenceOf(i / 2);
    int32_t loaded = i % 2 ? s->to : s->from;
    b[i] = requestedBound(gRequested[i], loaded, s);
  }
  for (int i = 0; i < 4; i += 2)
    if (b[i] > b[i + 1]) {
      int32_t t = b[i];
      b[i] = b[i + 1];
      b[i + 1] = t;
    }
  WindowRecord *w = gCurrent;
  for (int i = 0; i < 4; ++i)
    w->block[i] = b[i];
  axisRange(gSeq1, b[0], b[1], &w->region[0], &w->region[1]);
  axisRange(gSeq2, b[2], b[3], &w->region[2], &w->region[3]);
  w->flagsA |= 0x1f | kWinSessionPresent;
  refreshWindow(w);
  if (const Hit *h = w->selectedHit)
    selectNearestHit(h->start1, h->start2);
  else
    selectNearestHit(w->region[0], w->region[2]);
}

namespace {
int32_t gSaveStack[kSaveStackSize];
int gSaveCount = 0;
} // namespace

void saveStackPush(int32_t value) {
  if (gSaveCount < kSaveStackSize)
    gSaveStack[gSaveCount++] = value;
}

int32_t saveStackPop() { return gSaveCount ? gSaveStack[--gSaveCount] : 0; }

int saveStackDepth() { return gSaveCount; }
