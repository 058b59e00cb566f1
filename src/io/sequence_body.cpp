#include "io/sequence_body.h"

#include <cstdio>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "io/input_stream.h"
#include "io/reader_engine.h"
#include "io/sequence_residues.h"

namespace {

constexpr size_t kBlockBytes = size_t(1) << 16;
unsigned char gBlock[kBlockBytes];
size_t gBlockLimit = kBlockBytes;

void reportProgress(BodyProgress progress, bool fasta, long position) {
  if (!progress || !gReader.progressWindow || position < 0)
    return;
  position *= fasta ? 2 : 1;
  long size = gReader.dataSize;
  if (size > 20000000) {
    position /= 100;
    size /= 100;
  }
  progress(gReader.progressWindow, position, size);
}

// Maps the pages the next block will write in one call instead of one fault
// per page; where the system cannot, the faults happen as usual.
void prefault(uint8_t *from, size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
  static bool works = page > 0 && page != uintptr_t(-1);
  if (!works)
    return;
  uintptr_t start = uintptr_t(from) & ~(page - 1);
  uintptr_t end = (uintptr_t(from) + bytes) & ~(page - 1); // whole pages only
  if (end > start && madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE))
    works = false;
#else
  (void)from;
  (void)bytes;
#endif
}

// Translates a run through the table; false when it holds a byte that is
// no residue (the caller then goes over it with care).
bool tableResidues(const unsigned char *p, size_t len, uint8_t *out, const uint8_t *table) {
  uint8_t seen = 0;
  for (size_t i = 0; i < len; ++i) {
    uint8_t k = table[p[i]];
    out[i] = k;
    seen |= k;
  }
  return seen < kBodySkip;
}

#ifdef __SSE2__
// Sixteen letters A, C, G, T in either case at once: the code is
// ((c >> 1) ^ (c >> 2)) & 3 for all eight; soft-masked, a lower-case
// letter's bit 5 becomes the repeat mark (bit 3). False for anything else.
template <bool Soft> bool bases16(const unsigned char *p, uint8_t *out) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
  __m128i u = _mm_and_si128(v, _mm_set1_epi8(char(0xdf)));
  __m128i ok = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(u, _mm_set1_epi8('A')), _mm_cmpeq_epi8(u, _mm_set1_epi8('C'))),
      _mm_or_si128(_mm_cmpeq_epi8(u, _mm_set1_epi8('G')), _mm_cmpeq_epi8(u, _mm_set1_epi8('T'))));
  if (_mm_movemask_epi8(ok) != 0xffff)
    return false;
  __m128i code =
      _mm_and_si128(_mm_xor_si128(_mm_srli_epi16(v, 1), _mm_srli_epi16(v, 2)), _mm_set1_epi8(3));
  if (Soft)
    code = _mm_or_si128(code, _mm_and_si128(_mm_srli_epi16(v, 2), _mm_set1_epi8(8)));
  _mm_storeu_si128(reinterpret_cast<__m128i *>(out), code);
  return true;
}
#endif

template <bool Soft> bool plainResidues(const unsigned char *p, size_t len, uint8_t *out) {
  const uint8_t *table = Soft ? kBodyClassSoft : kBodyClass;
#ifdef __SSE2__
  if (len >= 16) {
    size_t i = 0;
    for (; i + 16 <= len; i += 16)
      if (!bases16<Soft>(p + i, out + i))
        return tableResidues(p, len, out, table);
    // The tail as the last sixteen, overlapping what is done.
    if (i < len && !bases16<Soft>(p + len - 16, out + len - 16))
      return tableResidues(p, len, out, table);
    return true;
  }
#endif
  return tableResidues(p, len, out, table);
}

// The rest of the stopping line becomes the current line, as if the line
// input had just read it, and the file is positioned after it.
void leaveLine(FILE *f, long blockStart, const unsigned char *p, const unsigned char *end) {
  size_t rest = size_t(end - p);
  const void *nl = memchr(p, '\n', rest);
  size_t take = nl ? size_t(static_cast<const unsigned char *>(nl) - p) + 1 : rest;
  if (take > size_t(kLinePiece))
    take = kLinePiece;
  char *line = readerLine();
  memcpy(line, p, take);
  line[take] = 0;
  for (size_t i = 0; i < take; ++i)
    if (!line[i])
      line[i] = kNulStandIn; // as the line input has it
  fseek(f, blockStart + long(p - gBlock) + long(take), SEEK_SET);
  gReader.pos = line;
  gReader.atEof = false;
  gReader.midLine = line[take - 1] != '\n';
  ++gReader.dataLine;
}

} // namespace

void setBodyBlockBytes(size_t bytes) {
  gBlockLimit = bytes == 0 || bytes > kBlockBytes ? kBlockBytes : bytes;
}

void readBodyBlocks(ResidueCollector *c, bool fasta, BodyProgress progress) {
  FILE *f = gReader.dataFile;
  if (!f) {
    readNextLine(); // the end-of-file mark
    return;
  }
  const uint8_t *table = bodyTable(c);
  bool lineStart = !gReader.midLine;
  bool lineBegun = false; // the line being read began in the current block
  bool comment = false;
  const int nextLine = lineStart ? 1 : 0; // the file goes on in a new line
  for (;;) {
    long blockStart = ftell(f);
    reportProgress(progress, fasta, sourcePosition(f));
    size_t n = fread(gBlock, 1, gBlockLimit, f);
    if (n == 0) {
      readNextLine(); // the end-of-file mark
      return;
    }
    const unsigned char *p = gBlock, *end = gBlock + n;
    uint8_t *out = collectorReserve(c, n);
    prefault(out, n);
    int lines = 0;
    while (p < end) {
      if (comment) {
        const void *nl = memchr(p, '\n', size_t(end - p));
        if (!nl)
          break;
        p = static_cast<const unsigned char *>(nl) + 1;
        ++lines;
        comment = false;
        lineStart = true;
        continue;
      }
      lineBegun = lineStart;
      if (lineStart) {
        lineStart = false;
        if (*p == '!') {
          comment = true;
          ++p;
          continue;
        }
      }
      // One line (or the part of it in this block). Most lines are all
      // residues: translate them without a test per byte, and only when a
      // skipped or ending character turns up go over the line again.
      const void *found = memchr(p, '\n', size_t(end - p));
      const unsigned char *nl = static_cast<const unsigned char *>(found);
      const unsigned char *stop = nl ? nl : end;
      size_t len = size_t(stop - p);
      if (c->softmask ? plainResidues<true>(p, len, out) : plainResidues<false>(p, len, out)) {
        out += len;
      } else {
        for (const unsigned char *q = p; q < stop; ++q) {
          uint8_t k = table[*q];
          *out = k;
          out += k < kBodySkip;
          if (k == kBodyStray)
            noteStray(c, gReader.dataLine + lines + nextLine);
          if (k >= kBodyEnd) {
            c->stopAtLineStart = lineBegun && q == p;
            collectorCommit(c, out);
            gReader.dataLine += lines;
            leaveLine(f, blockStart, q, end);
            return;
          }
        }
      }
      if (!nl)
        break; // the line goes on in the next block
      ++lines;
      lineStart = true;
      p = nl + 1;
    }
    collectorCommit(c, out);
    gReader.dataLine += lines;
  }
}
