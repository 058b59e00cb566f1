#include "io/sequence_collect.h"

#include <cstring>

#include "core/errors.h"
#include "core/pool.h"

constexpr size_t kValuesPerChunk = kChunkBytes / sizeof(int32_t);

// The next chunk of a list, taken from the general pool the first time.
static Chunk *nextChunk(Chunk *c) {
  if (!c->next) {
    auto *n = static_cast<Chunk *>(poolAllocOrFail(&gGeneralPool, sizeof(Chunk)));
    n->data = n->bytes;
    c->next = n;
  }
  return c->next;
}

void textStart(TextCollector *t, bool trim, size_t limit) {
  *t = TextCollector();
  t->trim = trim;
  t->chunk = &gBuffers->residueChunk;
  t->limit = limit;
}

static void append(TextCollector *t, char c) {
  if (t->count >= t->limit)
    return;
  if (t->used == kChunkBytes) {
    t->chunk = nextChunk(t->chunk);
    t->used = 0;
  }
  t->chunk->data[t->used++] = uint8_t(c);
  ++t->count;
}

void textPut(TextCollector *t, char c) {
  if (t->pendingBlank) {
    t->pendingBlank = false;
    append(t, ' ');
  }
  append(t, c);
}

void textBlank(TextCollector *t) {
  if (t->count || !t->trim)
    t->pendingBlank = true;
}

char *textJoin(TextCollector *t, BlockPool *pool, SequenceBumps *bumps, size_t *length) {
  if (t->pendingBlank && !t->trim)
    append(t, ' ');
  t->pendingBlank = false;
  char *out = bumpBytes(pool, bumps, t->count + 1);
  size_t copied = 0;
  for (Chunk *c = &gBuffers->residueChunk; copied < t->count; c = c->next) {
    if (!c)
      abandonRead(kErrInternal);
    size_t n = t->count - copied < kChunkBytes ? t->count - copied : kChunkBytes;
    memcpy(out + copied, c->data, n);
    copied += n;
  }
  out[t->count] = 0;
  *length = t->count;
  return out;
}

void coordinatesStart(CoordinateCollector *c) {
  *c = CoordinateCollector();
  c->chunk = &gBuffers->coordinateChunk;
}

void coordinatesPut(CoordinateCollector *c, int32_t value) {
  if (c->count >= kMaxCoordinates)
    return;
  if (c->used == kValuesPerChunk) {
    c->chunk = nextChunk(c->chunk);
    c->used = 0;
  }
  memcpy(c->chunk->data + c->used * sizeof(int32_t), &value, sizeof value);
  ++c->used;
  ++c->count;
}

int32_t *coordinatesJoin(CoordinateCollector *c, BlockPool *pool, SequenceBumps *bumps,
                         int16_t *count) {
  *count = int16_t(c->count);
  if (!c->count)
    return nullptr;
  int32_t *out = bumpCoordinates(pool, bumps, c->count);
  size_t copied = 0;
  for (Chunk *k = &gBuffers->coordinateChunk; copied < c->count; k = k->next) {
    if (!k)
      abandonRead(kErrInternal);
    size_t n = c->count - copied < kValuesPerChunk ? c->count - copied : kValuesPerChunk;
    memcpy(out + copied, k->data, n * sizeof(int32_t));
    copied += n;
  }
  return out;
}
