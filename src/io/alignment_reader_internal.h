// State shared by the header and body grammars of the alignment reader.
#pragma once
#include <cstdint>
#include <vector>

#include "core/records.h"

// Grammar symbols of this reader (its range 36..44) and actions (100..127).
enum : int {
  kGrammarAlignHeader = 36,
  kGrammarAlignFileSection = 37,
  kGrammarAlignParams = 38,
  kGrammarAlignDiagonal = 39,
  kGrammarAlignBody = 40,
  kGrammarAlignLocal = 41,
  kGrammarAlignSummary = 42,
  kGrammarAlignGlobal = 43,
};

// Recognisers of the header's optional Align fields, of a sequence's
// optional "record=" and "softmask", and of the line that opens the section
// of the other strand's hits.
enum : int {
  kRecRepeatsField = 70,
  kRecSpacedSeeds = 71,
  kRecRecordField = 72,
  kRecSoftmaskField = 73,
  kRecBothStrands = 74,
  kRecReverseSection = 75,
  kRecExtendedHits = 76
};
// The filter line, written only when the filter holds interspersed repeats.
constexpr int kRecInterspersedLine = 78;

// Actions: the header's from kActionAlignmentFirst, the body's from here.
constexpr int kAlignmentBodyActionFirst = 115;

// Everything the header holds, applied to the session only once the whole
// file has been read without error.
struct SavedHeader {
  char name[2][kPathBytes];
  int32_t from[2], to[2];
  bool invert[2];
  char record[2][256];
  bool softmask[2];
  int32_t block[4];
  uint32_t flags;
  IslandParams align, expand;
  double pValue;
  int32_t mergeMaxDistance;
  ScoreParams score;
  bool interspersed; // the filter held interspersed repeats
};
extern SavedHeader gSavedHeader;

// The body is read twice: first only to check it (before the session is
// replaced), then to make the hits.
extern bool gBodyMakesHits;

// The two sequences the body is read against: lengths, and whether their
// residues are (or will be) invert-complemented.
struct BodyGeometry {
  int32_t length[2];
  bool inverted[2];
};
extern BodyGeometry gBodyGeometry;

void ensureAlignmentHeaderGrammar();
// Forgets what an earlier body read left behind (one that ended in an error).
void resetAlignmentBody();
void ensureAlignmentBodyGrammar();
