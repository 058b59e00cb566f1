// The text form of one hit, shared by the journal's snapshots and the
// footnote file:
//   "/start1..end1 start2..end2[ flags]\n"
//   ":(x,y):length[ linkKind:cut]\n" per block, the link part when a next
//   block follows.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/records.h"

// False when a write failed.
bool writeHitEntry(FILE *f, const Hit *hit, bool withFlags);

struct StagedBlock {
  int32_t x, y, length, linkKind, cut;
};
struct StagedHit {
  int32_t start1, end1, start2, end2;
  uint32_t flags;
  std::vector<StagedBlock> blocks;
};

// Reads a file from a position up to a limit, never beyond it.
class EntryReader {
public:
  EntryReader(FILE *f, long from, long limit);
  int peek(); // EOF at the limit
  int get();
  long position() const { return pos; }
  // Reads one entry starting at "/"; false when it is cut short or malformed.
  // With withFlags false a fifth number on the hit line is still accepted
  // (and kept as the flags, 0 without it).
  bool readHit(StagedHit &hit, bool withFlags);
  // A record header ">index flags previous\n".
  bool readHeader(int32_t &index, uint32_t &flags, long &previous);

private:
  bool expect(char c);
  bool readInt(int64_t &v);
  FILE *file;
  long pos, limit;
  int ahead = -2; // character read but not consumed; -2: none
};

// Builds the blocks of a staged hit onto `hit` (from the block store).
void attachStagedBlocks(Hit *hit, const StagedHit &staged);
