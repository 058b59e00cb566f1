// Tiny hand-made sessions for unit tests: two sequences from letters and
// hits from block lists.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/records.h"

// Sets up the session memory (once) and replaces both sequences. Upper-case
// letters give plain codes, lower-case ones carry the repeat mark, anything
// other than ACGT is N. Both sequences get the whole interval 1..length.
void loadTestSequences(const char *seq1, const char *seq2);

// Invert-complements sequence 2 (or 1) in place and sets its flags, as a
// reader would after loading.
void invertTestSequence(int which);

struct TestBlock {
  int32_t x, y, length;
  int32_t linkKind = 0; // for the walk: 1 cuts this block in sequence 2
  int32_t cut = -1;     // -1: no cut (the block's own end in sequence 1)
};

// A hit at (start1, start2) with the given blocks (relative offsets), pushed
// at the head of the main list; the ends follow from the last block.
Hit *makeTestHit(int32_t start1, int32_t start2, const std::vector<TestBlock> &blocks);
inline Hit *makeTestHit(int32_t start1, int32_t start2, std::initializer_list<TestBlock> blocks) {
  return makeTestHit(start1, start2, std::vector<TestBlock>(blocks));
}

// A one-block hit over [start1, start1 + length) and [start2, ...).
Hit *makeDiagonalHit(int32_t start1, int32_t start2, int32_t length);

// A one-block hit of the second set (sequence 2's other strand, positions
// along that strand); the second set is sorted again.
Hit *makeOtherStrandHit(int32_t start1, int32_t start2, int32_t length);

// Drops every hit of both sets (lists empty); sequences stay.
void clearTestHits();

// The reverse complement of plain bases.
std::string reverseComplementBases(const std::string &bases);

// n random plain bases, the same for the same seed.
std::string randomBases(size_t n, unsigned seed);
