#include "core/pool.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/session.h"

BlockPool gGeneralPool;
BlockPool gSeqPool[2];
ReaderBuffers *gBuffers = nullptr;

static SystemAllocFn gSystemAlloc = nullptr;
void setSystemAlloc(SystemAllocFn fn) { gSystemAlloc = fn; }
static void *systemAlloc(size_t n) { return gSystemAlloc ? gSystemAlloc(n) : malloc(n); }
static SystemFreeFn gSystemFree = nullptr;
void setSystemFree(SystemFreeFn fn) { gSystemFree = fn; }
static void systemFree(void *p) { gSystemFree ? gSystemFree(p) : free(p); }

static PoolEntry *newPage() {
  auto *page = static_cast<PoolEntry *>(systemAlloc(sizeof(PoolEntry) * kPoolPageEntries));
  if (page)
    memset(page, 0, sizeof(PoolEntry) * kPoolPageEntries);
  return page;
}

bool poolInit(BlockPool *pool) {
  poolFreeAll(pool);
  PoolEntry *page = newPage();
  if (!page)
    return false;
  page[0].block = page;
  page[0].previous = nullptr;
  pool->firstPage = page;
  pool->cursor = page + 1;
  pool->remaining = kPoolPageEntries - 1;
  pool->active = 1;
  return true;
}

// Takes the entry at the cursor for a new block. When it is the last of its
// page it records the next index page instead, whose entry 0 links back.
static PoolEntry *takeEntry(BlockPool *pool) {
  if (!pool->active)
    return nullptr;
  PoolEntry *e = pool->cursor;
  e->previous = e - 1;
  if (pool->remaining == 1) {
    PoolEntry *page = newPage();
    if (!page) {
      noteOutOfMemory(sizeof(PoolEntry) * kPoolPageEntries);
      return nullptr;
    }
    e->block = page;
    page[0].previous = e;
    pool->remaining = kPoolPageEntries;
    e = page;
  }
  e->block = nullptr;
  pool->cursor = e + 1;
  --pool->remaining;
  return e;
}

void *poolAlloc(BlockPool *pool, size_t size) {
  PoolEntry *e = takeEntry(pool);
  if (!e)
    return nullptr;
  void *block = systemAlloc(size ? size : 1);
  if (!block) {
    noteOutOfMemory(size);
    return nullptr; // the entry stays empty
  }
  memset(block, 0, size);
  e->block = block;
  return block;
}

void poolFreeAll(BlockPool *pool) {
  if (!pool->active)
    return;
  // Newest first; an index page is released when the entry that recorded it
  // is reached, after everything it indexes.
  PoolEntry *e = pool->cursor - 1;
  while (e) {
    void *block = e->block;
    PoolEntry *previous = e->previous;
    if (block)
      systemFree(block);
    e = previous;
  }
  pool->firstPage = pool->cursor = nullptr;
  pool->remaining = 0;
  pool->active = 0;
}

void *poolAllocOrFail(BlockPool *pool, size_t size) {
  void *p = poolAlloc(pool, size);
  if (!p)
    reportOutOfMemory(size, "heap_alloc");
  return p;
}

bool poolAdopt(BlockPool *pool, void *block) {
  PoolEntry *e = takeEntry(pool);
  if (!e)
    return false;
  e->block = block;
  return true;
}

void resetBumps(SequenceBumps *b) { *b = SequenceBumps(); }

static void *bump(BlockPool *pool, BumpArea *area, size_t bytes, size_t minArea) {
  bytes = (bytes + 7) & ~size_t(7);
  if (area->left < bytes) {
    size_t size = bytes > minArea ? bytes : minArea;
    area->next = static_cast<uint8_t *>(poolAllocOrFail(pool, size));
    area->left = size;
  }
  void *p = area->next;
  area->next += bytes;
  area->left -= bytes;
  return p;
}

char *bumpBytes(BlockPool *pool, SequenceBumps *b, size_t n) {
  return static_cast<char *>(bump(pool, &b->bytes, n, 2048));
}

int32_t *bumpCoordinates(BlockPool *pool, SequenceBumps *b, size_t count) {
  return static_cast<int32_t *>(bump(pool, &b->coordinates, count * 4, 512 * 4));
}

Annotation *bumpAnnotation(BlockPool *pool, SequenceBumps *b) {
  return static_cast<Annotation *>(
      bump(pool, &b->annotations, sizeof(Annotation), 256 * sizeof(Annotation)));
}

bool initSessionMemory() {
  if (!poolInit(&gGeneralPool)) {
    gBuffers = nullptr;
    return false;
  }
  gBuffers = static_cast<ReaderBuffers *>(poolAlloc(&gGeneralPool, sizeof(ReaderBuffers)));
  void *seqs = poolAlloc(&gGeneralPool, 2 * sizeof(Sequence));
  if (!gBuffers || !seqs)
    return false;
  gBuffers->residueChunk.data = gBuffers->residueChunk.bytes;
  gBuffers->coordinateChunk.data = gBuffers->coordinateChunk.bytes;
  gSeq1 = static_cast<Sequence *>(seqs);
  gSeq2 = gSeq1 + 1;
  for (int i = 0; i < 2; ++i) {
    Sequence *s = gSeq1 + i;
    s->flags = kSeqInitialFlags;
    s->pool = &gSeqPool[i];
  }
  resetHitStore();
  return true;
}

void releaseSessionMemory() {
  poolFreeAll(&gSeqPool[0]);
  poolFreeAll(&gSeqPool[1]);
  poolFreeAll(&gGeneralPool);
  gBuffers = nullptr;
  gSeq1 = gSeq2 = nullptr;
  resetHitStore();
}
