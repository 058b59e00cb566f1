// Residue letters as they stand in sequence files, and the growing array a
// sequence body is collected in.
//
// The body is collected in one array that grows outside the pool and is
// handed to the sequence's pool once complete: collecting in small chunks and
// joining them would hold every residue twice at the end of a long read.
#pragma once
#include <cstddef>
#include <cstdint>

struct BlockPool;

// Class of each byte inside a sequence body: a residue code (0..4), or one of
// the marks below. Collection stops at a class of kBodyEnd or above.
constexpr uint8_t kBodySkip = 0x40;    // digits, blanks, "@", carriage returns
constexpr uint8_t kBodyNewline = 0x41; // skipped too, but starts a line
constexpr uint8_t kBodyStray = 0x42;   // tabs and gap marks: skipped, but counted
constexpr uint8_t kBodyEnd = 0x80;     // ">" or "/": the next record or the end
constexpr uint8_t kBodyBad = 0x81;     // anything else: the file is damaged
extern const uint8_t kBodyClass[256];
// The same, with lower-case letters marked as annotated repeats (kResRepeat).
extern const uint8_t kBodyClassSoft[256];

struct ResidueCollector {
  uint8_t *data = nullptr; // malloc'd until handed to the pool
  size_t count = 0;
  size_t capacity = 0;
  size_t strays = 0; // kBodyStray bytes skipped
  int firstStrayLine = 0;
  bool stopAtLineStart = false; // the stopping byte began its line
  bool softmask = false;        // lower case marks repeats
};
inline const uint8_t *bodyTable(const ResidueCollector *c) {
  return c->softmask ? kBodyClassSoft : kBodyClass;
}

// Largest sequence a record can hold (its length is a signed 32-bit value).
constexpr size_t kMaxResidues = 0x7ffffff0;

// Forgets anything collected; `expected` sizes the first allocation.
void collectorStart(ResidueCollector *c, size_t expected, bool softmask = false);
// Appends the residues of the NUL-terminated text at p (line `line`, p at its
// start when `lineStart`) and returns where the sequence ends: at the NUL
// when the whole text was residues or skipped bytes. Out of memory is
// reported through the running read.
const char *collectResidues(ResidueCollector *c, const char *p, int line, bool lineStart);
inline void noteStray(ResidueCollector *c, int line) {
  if (c->strays++ == 0)
    c->firstStrayLine = line;
}
// Room for `extra` more residues: the place to write them. Commit the new
// count when they are written.
uint8_t *collectorReserve(ResidueCollector *c, size_t extra);
inline void collectorCommit(ResidueCollector *c, uint8_t *end) { c->count = end - c->data; }
// Hands the residues, followed by a 0 byte, to the pool; the collector is
// left empty.
uint8_t *collectorFinish(ResidueCollector *c, BlockPool *pool, int32_t *length);
void collectorDiscard(ResidueCollector *c);
