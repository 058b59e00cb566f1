// State of the one write in progress, shared by the writers of this folder.
#pragma once
#include <cstdint>
#include <cstdio>

#include "core/records.h"
#include "core/replace_file.h"
#include "core/strands.h"
#include "engine/columns.h"

constexpr int kLineColumns = 100;

struct AlignmentWriter {
  FILE *file = nullptr;    // replacement.file while a write is open
  Replacement replacement; // written first, put in place when complete
  char name[4096] = "";    // the whole name, for messages
  bool failed = false;     // a write did not reach the file
  char line1[128], middle[128], line2[128];
  int columns = 0;
  int32_t p1 = 0, p2 = 0;                 // next residues of the two sequences
  int32_t lineStart1 = 0, lineStart2 = 0; // global format: where the line began
};
extern AlignmentWriter gWriter;

// Opens the file (reporting "Cannot open file for save."); false on failure.
// The text goes to a new file beside it that replaces it only when complete,
// so that a full disk or a killed save leaves the old file as it was. A
// target the guard refuses (a sequence of the session, a read-only file, a
// pipe...) is reported and left alone.
bool writerOpen(const char *name);
void writerPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Closes the file and puts it in place. A failed write or close is
// reported, the new file removed and false returned; on success the session
// is marked saved when asked.
bool writerClose(bool markSaved);
// Drops the write in progress; the old file stays.
void writerDiscard();

void writeSequenceHeaders(const char *outputName);
void writeParameterHeader();

// Position of a 0-based index as the sequence's file holds it (1-based,
// mirrored when invert-complemented).
int32_t filePosition(const Sequence *s, int32_t index);

// The hits of the second set that `wanted` keeps, in its order, written
// with sequence 2 turned to their strand; `opening` runs once before the
// first. Nothing at all (and no turn) when none is kept.
template <typename Wanted, typename Opening, typename Write>
void writeOtherStrandHits(Wanted wanted, Opening opening, Write write) {
  Hit *h = gOther.head1;
  while (h && !wanted(h))
    h = h->next1;
  if (!h)
    return;
  OtherStrandResidues turned;
  opening();
  for (; h; h = h->next1)
    if (wanted(h))
      write(h);
}

// Whether the two residues show a match mark: both present, neither N,
// same base. Marks above the base bits do not matter.
inline bool basesEqual(uint8_t r1, uint8_t r2) {
  return r1 != kGapCode && r2 != kGapCode && !((r1 | r2) & 4) && ((r1 ^ r2) & 3) == 0;
}
inline char columnLetter(uint8_t r) {
  extern const char kResidueLetters[];
  return r == kGapCode ? '-' : kResidueLetters[r & 31];
}
