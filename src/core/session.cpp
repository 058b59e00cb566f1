#include "core/session.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/conflicts.h"
#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/strands.h"

Sequence *gSeq1 = nullptr, *gSeq2 = nullptr;
Hit *gHitHead1 = nullptr, *gHitTail1 = nullptr;
Hit *gHitHead2 = nullptr, *gHitTail2 = nullptr;
int32_t gHitCount = 0;
WindowRecord gSlots[kSlotCount];
WindowRecord *gCurrent = &gSlots[0];
uint32_t gActionStatus = 0;
int32_t gRequested[4] = {0, 0, 0, 0};
char gPathBuffer[kPathBytes] = "";
int32_t gSaveFilter = 1;
int32_t gDirFilter = 0;
int16_t gFlanksSetting = 0;

constexpr int kRecordsPerBlock = 1024;

namespace {
struct RecordStore {
  Hit *freeHits = nullptr;
  HitBlock *freeBlocks = nullptr;
  Hit *hitArea = nullptr; // current record block and records used from it
  int hitsUsed = kRecordsPerBlock;
  HitBlock *blockArea = nullptr;
  int blocksUsed = kRecordsPerBlock;
};
RecordStore gStore;
} // namespace

void resetHitStore() {
  gStore = RecordStore();
  gHitHead1 = gHitTail1 = gHitHead2 = gHitTail2 = nullptr;
  gHitCount = 0;
  gOther = HitList();
  for (WindowRecord &w : gSlots)
    w.selectedHit = nullptr;
}

Hit *allocateHit() {
  Hit *h;
  if (gStore.freeHits) {
    h = gStore.freeHits;
    gStore.freeHits = h->freeNext;
    memset(h, 0, sizeof *h);
  } else {
    if (gStore.hitsUsed == kRecordsPerBlock) {
      void *area = poolAlloc(&gGeneralPool, sizeof(Hit) * kRecordsPerBlock);
      if (!area)
        throw EngineAbort{2};
      gStore.hitArea = static_cast<Hit *>(area);
      gStore.hitsUsed = 0;
    }
    h = gStore.hitArea + gStore.hitsUsed++;
  }
  h->next1 = gHitHead1;
  if (gHitHead1)
    gHitHead1->prev1 = h;
  else
    gHitTail1 = h;
  gHitHead1 = h;
  return h;
}

HitBlock *allocateBlock() {
  HitBlock *b;
  if (gStore.freeBlocks) {
    b = gStore.freeBlocks;
    gStore.freeBlocks = b->freeNext;
    memset(b, 0, sizeof *b);
  } else {
    if (gStore.blocksUsed == kRecordsPerBlock) {
      void *area = poolAlloc(&gGeneralPool, sizeof(HitBlock) * kRecordsPerBlock);
      if (!area)
        throw EngineAbort{2};
      gStore.blockArea = static_cast<HitBlock *>(area);
      gStore.blocksUsed = 0;
    }
    b = gStore.blockArea + gStore.blocksUsed++;
  }
  return b;
}

void freeBlock(HitBlock *block) {
  block->freeNext = gStore.freeBlocks;
  gStore.freeBlocks = block;
}

void freeHit(Hit *hit) {
  for (HitBlock *b = hit->firstBlock, *next; b; b = next) {
    next = b->next;
    freeBlock(b);
  }
  hit->firstBlock = nullptr;
  hit->flags = kHitFree;
  hit->freeNext = gStore.freeHits;
  gStore.freeHits = hit;
}

void unlinkHit(Hit *h) {
  const bool other = (h->flags & kHitOtherStrand) && h->flags != kHitFree;
  Hit *&head1 = other ? gOther.head1 : gHitHead1, *&tail1 = other ? gOther.tail1 : gHitTail1;
  Hit *&head2 = other ? gOther.head2 : gHitHead2, *&tail2 = other ? gOther.tail2 : gHitTail2;
  (h->prev1 ? h->prev1->next1 : head1) = h->next1;
  (h->next1 ? h->next1->prev1 : tail1) = h->prev1;
  if (h->prev2 || h->next2 || head2 == h) {
    (h->prev2 ? h->prev2->next2 : head2) = h->next2;
    (h->next2 ? h->next2->prev2 : tail2) = h->prev2;
  }
  h->next1 = h->prev1 = h->next2 = h->prev2 = nullptr;
  for (WindowRecord &w : gSlots)
    if (w.selectedHit == h)
      w.selectedHit = nullptr;
}

void clearHits() {
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    freeHit(h);
  }
  gHitHead1 = gHitTail1 = gHitHead2 = gHitTail2 = nullptr;
  gHitCount = 0;
  for (WindowRecord &w : gSlots)
    w.selectedHit = nullptr;
}

bool stableSort(void *array, size_t count, size_t size,
                int (*compare)(const void *, const void *)) {
  if (count < 2)
    return true;
  // Bottom-up merge sort: equal elements keep their order.
  auto *work = static_cast<char *>(malloc(count * size));
  if (!work) {
    noteOutOfMemory(count * size);
    return false;
  }
  char *src = static_cast<char *>(array), *dst = work;
  for (size_t width = 1; width < count; width *= 2) {
    for (size_t lo = 0; lo < count; lo += 2 * width) {
      size_t mid = lo + width < count ? lo + width : count;
      size_t hi = lo + 2 * width < count ? lo + 2 * width : count;
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        if (compare(src + j * size, src + i * size) < 0)
          memcpy(dst + k++ * size, src + j++ * size, size);
        else
          memcpy(dst + k++ * size, src + i++ * size, size);
      }
      memcpy(dst + k * size, src + i * size, (mid - i) * size);
      k += mid - i;
      memcpy(dst + k * size, src + j * size, (hi - j) * size);
    }
    char *t = src;
    src = dst;
    dst = t;
  }
  if (src != array)
    memcpy(array, src, count * size);
  free(work);
  return true;
}

static int compareSecond(const void *a, const void *b) {
  const Hit *p = *static_cast<Hit *const *>(a), *q = *static_cast<Hit *const *>(b);
  if (p->start2 != q->start2)
    return p->start2 < q->start2 ? -1 : 1;
  if (p->end2 != q->end2)
    return p->end2 > q->end2 ? -1 : 1;
  return 0;
}

static int compareMain(const void *a, const void *b) {
  const Hit *p = *static_cast<Hit *const *>(a), *q = *static_cast<Hit *const *>(b);
  if (p->start1 != q->start1)
    return p->start1 < q->start1 ? -1 : 1;
  if (p->end1 != q->end1)
    return p->end1 > q->end1 ? -1 : 1;
  return 0;
}

void sortHitOrders(HitList &list) {
  int32_t count = 0;
  for (Hit *h = list.head1; h; h = h->next1) {
    for (HitBlock *b = h->firstBlock; b; b = b->next) {
      b->freeNext = nullptr;
      b->startX = b->x;
      b->startY = b->y;
      b->usedLength = b->length;
      b->usedMatches = b->identities;
    }
    ++count;
  }
  list.count = count;
  if (count <= 1) {
    Hit *h = list.head1;
    list.tail1 = list.head2 = list.tail2 = h;
    if (h)
      h->next1 = h->prev1 = h->next2 = h->prev2 = nullptr;
    return;
  }
  std::vector<Hit *> order;
  order.reserve(count);
  for (Hit *h = list.head1; h; h = h->next1)
    order.push_back(h);
  // A failed sort leaves the present order, which is still a valid list.
  stableSort(order.data(), order.size(), sizeof(Hit *), compareSecond);
  for (int32_t i = 0; i < count; ++i) {
    order[i]->prev2 = i ? order[i - 1] : nullptr;
    order[i]->next2 = i + 1 < count ? order[i + 1] : nullptr;
  }
  list.head2 = order.front();
  list.tail2 = order.back();
  stableSort(order.data(), order.size(), sizeof(Hit *), compareMain);
  for (int32_t i = 0; i < count; ++i) {
    order[i]->prev1 = i ? order[i - 1] : nullptr;
    order[i]->next1 = i + 1 < count ? order[i + 1] : nullptr;
  }
  list.head1 = order.front();
  list.tail1 = order.back();
}

void rebuildLists(int32_t x, int32_t y) {
  gCurrent->flagsA |= kWinRecount;
  HitList list;
  list.head1 = gHitHead1;
  sortHitOrders(list);
  gHitHead1 = list.head1;
  gHitTail1 = list.tail1;
  gHitHead2 = list.head2;
  gHitTail2 = list.tail2;
  gHitCount = list.count;
  if (list.count == 0) {
    gCurrent->selectedHit = nullptr;
    return;
  }
  if (list.count == 1) {
    gHitHead1->flags &= ~kHitConflict;
    gCurrent->selectedHit = gHitHead1;
    return;
  }
  selectNearestHit(x, y);
  MarkConflicts();
}

void selectNearestHit(int32_t x, int32_t y) {
  WindowRecord *w = gCurrent;
  if (x < w->region[0])
    x = w->region[0];
  if (x > w->region[1])
    x = w->region[1] - 1;
  if (y < w->region[2])
    y = w->region[2];
  if (y > w->region[3])
    y = w->region[3] - 1;
  Hit *best = nullptr;
  int64_t bestDistance = 0;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    int64_t d = llabs(int64_t(x) - h->start1) + llabs(int64_t(y) - h->start2);
    if (!best || d < bestDistance) {
      best = h;
      bestDistance = d;
    }
  }
  w->selectedHit = best ? best : gHitHead1;
}

void resetSlotDefaults(WindowRecord *w) {
  w->flagsA &= kWinKeptOnReset;
  w->flagsB = kOptDefaults;
  w->flagsC = 0;
  w->pValue = 1e-8;
  w->alignIsland = IslandParams();
  w->expandIsland = IslandParams();
  w->flanksLength = gFlanksSetting;
  w->reserved1 = 8;
  w->mergeMaxDistance = 20;
  w->reserved2 = 12;
  w->reserved3 = 16;
  w->score = ScoreParams();
  w->filter = FilterParams();
}

bool HitInArea(const Hit *h, const int32_t a[4]) {
  if (h->end1 < a[0] || h->start1 > a[1] || h->end2 < a[2] || h->start2 > a[3])
    return false;
  return !(h->end1 == a[0] && h->start1 == a[1] && h->end2 == a[2] && h->start2 == a[3]);
}

void actionArea(const WindowRecord *w, int32_t a[4]) {
  if (w->flagsB & kOptAreaActive) {
    a[0] = w->selectedArea[0];
    a[1] = w->selectedArea[2];
    a[2] = w->selectedArea[1];
    a[3] = w->selectedArea[3];
  } else {
    memcpy(a, w->region, sizeof w->region);
  }
}
