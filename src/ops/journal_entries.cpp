#include "ops/journal_entries.h"

#include "core/session.h"

bool writeHitEntry(FILE *f, const Hit *h, bool withFlags) {
  int n = withFlags ? fprintf(f, "/%d..%d %d..%d %d\n", h->start1, h->end1, h->start2, h->end2,
                              static_cast<int>(h->flags))
                    : fprintf(f, "/%d..%d %d..%d\n", h->start1, h->end1, h->start2, h->end2);
  if (n < 0)
    return false;
  for (const HitBlock *b = h->firstBlock; b; b = b->next) {
    n = withFlags ? fprintf(f, ":(%u,%u):%d", unsigned(b->x), unsigned(b->y), b->length)
                  : fprintf(f, ":(%u,%u):%u", unsigned(b->x), unsigned(b->y), unsigned(b->length));
    if (n < 0)
      return false;
    if (b->next && fprintf(f, " %d:%u", b->linkKind, unsigned(b->cut)) < 0)
      return false;
    if (fputc('\n', f) == EOF)
      return false;
  }
  return true;
}

EntryReader::EntryReader(FILE *f, long from, long lim) : file(f), pos(from), limit(lim) {
  if (fseek(file, from, SEEK_SET) != 0)
    limit = from; // nothing can be read
}

int EntryReader::peek() {
  if (ahead == -2) {
    if (pos >= limit)
      return EOF;
    ahead = getc_unlocked(file);
  }
  return ahead;
}

int EntryReader::get() {
  int c = peek();
  if (c != EOF) {
    ahead = -2;
    ++pos;
  }
  return c;
}

bool EntryReader::expect(char c) { return get() == static_cast<unsigned char>(c); }

bool EntryReader::readInt(int64_t &v) {
  bool negative = false;
  if (peek() == '-') {
    negative = true;
    get();
  }
  int digits = 0;
  v = 0;
  while (peek() >= '0' && peek() <= '9') {
    if (++digits > 11)
      return false; // no value of ours is that long
    v = v * 10 + (get() - '0');
  }
  if (negative)
    v = -v;
  return digits > 0;
}

bool EntryReader::readHit(StagedHit &h, bool withFlags) {
  int64_t v[5];
  if (!expect('/') || !readInt(v[0]) || !expect('.') || !expect('.') || !readInt(v[1]) ||
      !expect(' ') || !readInt(v[2]) || !expect('.') || !expect('.') || !readInt(v[3]))
    return false;
  v[4] = 0;
  if (peek() == ' ') {
    get();
    if (!readInt(v[4]))
      return false;
  } else if (withFlags) {
    return false;
  }
  if (!expect('\n'))
    return false;
  h.start1 = int32_t(v[0]);
  h.end1 = int32_t(v[1]);
  h.start2 = int32_t(v[2]);
  h.end2 = int32_t(v[3]);
  h.flags = uint32_t(v[4]);
  h.blocks.clear();
  while (peek() == ':') {
    get();
    StagedBlock b{0, 0, 0, 0, 0};
    int64_t x, y, len;
    if (!expect('(') || !readInt(x) || !expect(',') || !readInt(y) || !expect(')') ||
        !expect(':') || !readInt(len))
      return false;
    b.x = int32_t(x);
    b.y = int32_t(y);
    b.length = int32_t(len);
    if (peek() == ' ') {
      int64_t kind, cut;
      get();
      if (!readInt(kind) || !expect(':') || !readInt(cut))
        return false;
      b.linkKind = int32_t(kind);
      b.cut = int32_t(cut);
    }
    if (!expect('\n'))
      return false;
    h.blocks.push_back(b);
  }
  return true;
}

bool EntryReader::readHeader(int32_t &index, uint32_t &flags, long &previous) {
  int64_t k, f, p;
  if (!expect('>') || !readInt(k) || !expect(' ') || !readInt(f) || !expect(' ') || !readInt(p) ||
      !expect('\n') || p < 0)
    return false;
  index = int32_t(k);
  flags = uint32_t(f);
  previous = long(p);
  return true;
}

void attachStagedBlocks(Hit *hit, const StagedHit &staged) {
  HitBlock *prev = nullptr;
  for (const StagedBlock &s : staged.blocks) {
    HitBlock *b = allocateBlock();
    b->x = s.x;
    b->y = s.y;
    b->length = s.length;
    b->linkKind = s.linkKind;
    b->cut = s.cut;
    b->prev = prev;
    (prev ? prev->next : hit->firstBlock) = b;
    prev = b;
  }
}
