// Collectors for the pieces of a sequence file that arrive a character or a
// number at a time: texts (definition, qualifier values) and the coordinates
// of a location. Both fill the chunk lists of the reader buffers; further
// chunks come from the general pool and stay in the list for later reads.
#pragma once
#include <cstddef>
#include <cstdint>

struct Chunk;
struct SequenceBumps;
struct BlockPool;

// Longest text stored: its length must fit the 16-bit length fields.
constexpr size_t kMaxTextLength = 65535;
// Most coordinate values of one location (the count is a signed 16-bit value).
constexpr size_t kMaxCoordinates = 32766;

struct TextCollector {
  Chunk *chunk = nullptr; // chunk being filled
  size_t used = 0;        // bytes used in it
  size_t count = 0;       // characters collected
  size_t limit = kMaxTextLength;
  bool pendingBlank = false; // a run of blanks or a line break awaits a letter
  bool trim = true;          // no blank before the first or after the last letter
};

void textStart(TextCollector *t, bool trim, size_t limit = kMaxTextLength);
// Appends one character; characters beyond the limit are dropped.
void textPut(TextCollector *t, char c);
// A blank or line break: collapses with its neighbours into one blank.
void textBlank(TextCollector *t);
// One NUL-terminated string from the pool's byte area; its length in *length.
char *textJoin(TextCollector *t, BlockPool *pool, SequenceBumps *bumps, size_t *length);

struct CoordinateCollector {
  Chunk *chunk = nullptr;
  size_t used = 0; // values used in the chunk
  size_t count = 0;
};

void coordinatesStart(CoordinateCollector *c);
void coordinatesPut(CoordinateCollector *c, int32_t value);
// The values as one array from the pool's coordinate area (none when empty).
int32_t *coordinatesJoin(CoordinateCollector *c, BlockPool *pool, SequenceBumps *bumps,
                         int16_t *count);
