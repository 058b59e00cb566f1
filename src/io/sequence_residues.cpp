#include "io/sequence_residues.h"

#include <cstdlib>
#include <cstring>

#include "core/errors.h"
#include "core/pool.h"
#include "core/residue.h"

namespace {
struct BodyTable {
  uint8_t v[256];
  // soft: lower-case letters carry the annotated-repeat mark.
  constexpr explicit BodyTable(bool soft) : v() {
    for (int i = 0; i < 256; ++i)
      v[i] = kBodyBad;
    v[int('>')] = v[int('/')] = kBodyEnd;
    const char strays[] = "\t\v\f-.*";
    for (int i = 0; strays[i]; ++i)
      v[int(strays[i])] = kBodyStray;
    for (int c = 'A'; c <= 'Z'; ++c)
      v[c] = v[c + 32] = kResN;
    const char bases[] = "ACGT";
    for (int b = 0; b < 4; ++b)
      v[int(bases[b])] = v[int(bases[b]) + 32] = uint8_t(b);
    if (soft)
      for (int c = 'a'; c <= 'z'; ++c)
        v[c] |= kResRepeat;
    for (int c = '0'; c <= '9'; ++c)
      v[c] = kBodySkip;
    v[int(' ')] = v[int('@')] = v[int('\r')] = kBodySkip;
    v[int('\n')] = kBodyNewline;
  }
};
constexpr BodyTable kTable(false), kSoftTable(true);
} // namespace

#define R(t, i) t.v[i], t.v[i + 1], t.v[i + 2], t.v[i + 3]
#define R16(t, i) R(t, i), R(t, i + 4), R(t, i + 8), R(t, i + 12)
#define R256(t)                                                                                    \
  R16(t, 0), R16(t, 16), R16(t, 32), R16(t, 48), R16(t, 64), R16(t, 80), R16(t, 96), R16(t, 112),  \
      R16(t, 128), R16(t, 144), R16(t, 160), R16(t, 176), R16(t, 192), R16(t, 208), R16(t, 224),   \
      R16(t, 240)
const uint8_t kBodyClass[256] = {R256(kTable)};
const uint8_t kBodyClassSoft[256] = {R256(kSoftTable)};
#undef R256
#undef R16
#undef R

void collectorDiscard(ResidueCollector *c) {
  free(c->data);
  *c = ResidueCollector();
}

void collectorStart(ResidueCollector *c, size_t expected, bool softmask) {
  collectorDiscard(c);
  c->softmask = softmask;
  // A guess from the file size; a multi-record file reads less, so the
  // guess is capped and untouched pages cost nothing.
  size_t cap = expected + 64;
  if (cap > (size_t(1) << 26))
    cap = size_t(1) << 26;
  c->data = static_cast<uint8_t *>(malloc(cap));
  if (!c->data)
    reportOutOfMemory(cap, "heap_alloc");
  c->capacity = cap;
}

static void grow(ResidueCollector *c, size_t need) {
  if (need > kMaxResidues + 1)
    reportOutOfMemory(need, "heap_alloc");
  size_t cap = c->capacity ? c->capacity : 4096;
  while (cap < need)
    cap *= 2;
  if (cap > kMaxResidues + 1)
    cap = kMaxResidues + 1;
  void *p = realloc(c->data, cap);
  if (!p)
    reportOutOfMemory(cap, "heap_alloc");
  c->data = static_cast<uint8_t *>(p);
  c->capacity = cap;
}

uint8_t *collectorReserve(ResidueCollector *c, size_t extra) {
  if (c->count + extra + 1 > c->capacity)
    grow(c, c->count + extra + 1);
  return c->data + c->count;
}

const char *collectResidues(ResidueCollector *c, const char *p, int line, bool lineStart) {
  size_t n = strlen(p);
  uint8_t *out = collectorReserve(c, n);
  const auto *s = reinterpret_cast<const unsigned char *>(p);
  const unsigned char *end = s + n;
  const uint8_t *table = bodyTable(c);
  for (; s < end; ++s) {
    uint8_t k = table[*s];
    if (k < kBodySkip) {
      *out++ = k;
    } else if (k == kBodyStray) {
      noteStray(c, line);
    } else if (k >= kBodyEnd) {
      c->stopAtLineStart = lineStart && s == reinterpret_cast<const unsigned char *>(p);
      break;
    }
  }
  c->count = out - c->data;
  return reinterpret_cast<const char *>(s);
}

uint8_t *collectorFinish(ResidueCollector *c, BlockPool *pool, int32_t *length) {
  if (c->count + 1 > c->capacity)
    grow(c, c->count + 1);
  c->data[c->count] = 0;
  // Give back the unused tail before the pool takes the block.
  void *shrunk = realloc(c->data, c->count + 1);
  if (shrunk)
    c->data = static_cast<uint8_t *>(shrunk);
  if (!poolAdopt(pool, c->data))
    reportOutOfMemory(c->count + 1, "heap_alloc");
  uint8_t *residues = c->data;
  *length = int32_t(c->count);
  *c = ResidueCollector();
  return residues;
}
