#include "seq_builders.h"

#include <cstring>
#include <random>

#include "core/flags.h"
#include "core/pool.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/scores.h"

namespace {
void fillSequence(Sequence *s, int index, const char *letters) {
  poolInit(&gSeqPool[index]);
  int32_t n = static_cast<int32_t>(strlen(letters));
  s->residues = static_cast<uint8_t *>(poolAlloc(&gSeqPool[index], n + 1));
  for (int32_t i = 0; i < n; ++i) {
    char c = letters[i];
    uint8_t code = residueCode(c);
    if (c >= 'a' && c <= 'z')
      code |= kResRepeat;
    s->residues[i] = code;
  }
  s->length = n;
  s->from = 1;
  s->to = n;
  s->flags = 0;
  s->annotations = nullptr;
  s->repeats = nullptr;
}
} // namespace

void loadTestSequences(const char *seq1, const char *seq2) {
  if (!gBuffers) {
    initSessionMemory();
    buildResidueTables();
  }
  clearHits();
  clearOtherStrand();
  fillSequence(gSeq1, 0, seq1);
  fillSequence(gSeq2, 1, seq2);
}

void invertTestSequence(int which) {
  Sequence *s = sequenceOf(which);
  for (int32_t i = 0, j = s->length - 1; i <= j; ++i, --j) {
    uint8_t a = s->residues[i], b = s->residues[j];
    s->residues[i] = complementResidue(b);
    s->residues[j] = complementResidue(a);
  }
  s->flags |= kSeqInvertRequested | kSeqInverted;
}

Hit *makeTestHit(int32_t start1, int32_t start2, const std::vector<TestBlock> &blocks) {
  Hit *h = allocateHit();
  h->start1 = start1;
  h->start2 = start2;
  HitBlock *prev = nullptr;
  for (const TestBlock &t : blocks) {
    HitBlock *b = allocateBlock();
    b->x = t.x;
    b->y = t.y;
    b->length = t.length;
    b->linkKind = t.linkKind;
    b->cut = t.cut >= 0 ? t.cut : t.x + t.length;
    b->prev = prev;
    (prev ? prev->next : h->firstBlock) = b;
    prev = b;
  }
  if (prev) {
    h->end1 = start1 + prev->x + prev->length;
    h->end2 = start2 + prev->y + prev->length;
  }
  return h;
}

Hit *makeDiagonalHit(int32_t start1, int32_t start2, int32_t length) {
  return makeTestHit(start1, start2, {{0, 0, length}});
}

void clearTestHits() {
  if (gBuffers) {
    clearHits();
    clearOtherStrand();
  }
}

Hit *makeOtherStrandHit(int32_t start1, int32_t start2, int32_t length) {
  Hit *h = makeDiagonalHit(start1, start2, length);
  h->flags |= kHitOtherStrand;
  adoptOtherStrandHits();
  return h;
}

std::string reverseComplementBases(const std::string &bases) {
  std::string r(bases.rbegin(), bases.rend());
  for (char &c : r)
    c = c == 'A' ? 'T' : c == 'C' ? 'G' : c == 'G' ? 'C' : 'A';
  return r;
}

std::string randomBases(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, 'A');
  for (char &ch : s)
    ch = "ACGT"[rng() & 3];
  return s;
}
