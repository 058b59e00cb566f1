// Header grammar of a saved alignment: the two "File:" sections, the
// "Block:" line with the option flags, then the parameter lines up to the
// first line without a keyword.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/errors.h"
#include "io/alignment_reader_internal.h"
#include "io/reader_engine.h"

SavedHeader gSavedHeader;

namespace {
enum : int {
  aStackReset = kActionAlignmentFirst,
  aPush,
  aPushDecimal,
  aFirst,
  aSecond,
  aNameStart,
  aNameChar,
  aInterval,
  aInvert,
  aBlockLine,
  aAligning,
  aExtending,
  aMerging,
  aScore,
  aCommitLine,
};
constexpr int E = kErrBadFormat;

// clang-format off
enum { H_SCAN1, H_SKIP1, H_FILE1, H_SCAN2, H_SKIP2, H_FILE2, H_SCANB, H_SKIPB, H_B1, H_B2, H_B3,
       H_B4, H_B5, H_B6, H_B7, H_B8, H_B9, H_B10, H_B11, H_B12, H_B13, H_PARAMS };
constexpr auto kHeader = makeGrammar({
    {kLitFirst, at(H_FILE1), kNext, aFirst},          // H_SCAN1
    {kRecAnyChar, at(H_SCAN1), E, 0},                 // H_SKIP1
    {kGrammarAlignFileSection, kNext, E, 0},          // H_FILE1
    {kLitSecond, at(H_FILE2), kNext, aSecond},        // H_SCAN2
    {kRecAnyChar, at(H_SCAN2), E, 0},                 // H_SKIP2
    {kGrammarAlignFileSection, kNext, E, 0},          // H_FILE2
    {kLitBlock, at(H_B1), kNext, aStackReset},        // H_SCANB
    {kRecAnyChar, at(H_SCANB), E, 0},                 // H_SKIPB
    {kRecInteger, kNext, E, aPush},                   // H_B1 from1
    {kLitDotDot, kNext, E, 0},                        // H_B2
    {kRecInteger, kNext, E, aPush},                   // H_B3 to1
    {kLitComma, kNext, E, 0},                         // H_B4
    {kRecInteger, kNext, E, aPush},                   // H_B5 from2
    {kLitDotDot, kNext, E, 0},                        // H_B6
    {kRecInteger, kNext, E, aPush},                   // H_B7 to2
    {kLitComma, kNext, E, 0},                         // H_B8
    {kLitBlank, kSame, kNext, 0},                     // H_B9
    {kLitFlags, kNext, E, 0},                         // H_B10
    {kRecHex, kNext, E, aBlockLine},                  // H_B11
    {kLitBlank, kSame, kNext, 0},                     // H_B12
    {kRecEndOfLine, kNext, E, 0},                     // H_B13
    {kGrammarAlignParams, kOk, kFail, 0},             // H_PARAMS
});

// "File:" anywhere ahead, the rest of its line as the name, then the
// interval line with an optional word beginning with "Invert", then
// optionally "record=NAME" and "softmask"; the rest of the line is ignored.
enum { F_SCAN, F_SKIP, F_BLANKS, F_NAME, F_EOL, F_INTERVAL, F_BLANKS2, F_INVERT, F_INVWORD,
       F_OPTBLANKS, F_RECORD, F_SOFTMASK, F_REST, F_END };
constexpr auto kFileSection = makeGrammar({
    {kLitFile, at(F_BLANKS), kNext, aNameStart},      // F_SCAN
    {kRecAnyChar, at(F_SCAN), E, 0},                  // F_SKIP
    {kLitBlank, kSame, kNext, 0},                     // F_BLANKS
    {kRecLineChar, kSame, kNext, aNameChar},          // F_NAME
    {kRecEndOfLine, kNext, E, 0},                     // F_EOL
    {kGrammarInterval, kNext, E, aInterval},          // F_INTERVAL
    {kLitBlank, kSame, kNext, 0},                     // F_BLANKS2
    {kLitInvert, kNext, at(F_RECORD), aInvert},       // F_INVERT
    {kRecNameChar, kSame, kNext, 0},                  // F_INVWORD
    {kLitBlank, kSame, kNext, 0},                     // F_OPTBLANKS
    {kRecRecordField, at(F_OPTBLANKS), kNext, 0},     // F_RECORD
    {kRecSoftmaskField, at(F_OPTBLANKS), kNext, 0},   // F_SOFTMASK
    {kRecLineChar, kSame, kNext, 0},                  // F_REST
    {kRecEndOfLine, kOk, E, 0},                       // F_END
});

// Line by line: a keyword somewhere in the line and what follows it; a line
// without one ends the header. The end of the file inside the header is an
// error: a cut-off file must not pass for a complete one.
enum { P_ALIGN, P_EXTEND, P_MERGE, P_SCORE, P_FILTER, P_EOL, P_SKIP,
       P_A, P_A1, P_A2, P_A3, P_A4, P_A5, P_A6, P_A7, P_A8, P_A9, P_A10, P_A11, P_A12, P_A13, P_A14,
       P_E,
       P_M, P_M1, P_M2,
       P_S, P_S1, P_S2, P_S3, P_S4, P_S5, P_S6, P_S7, P_S8, P_S9, P_S10, P_S11, P_S12, P_S13,
       P_S14, P_S15, P_S16,
       P_END, P_END1 };
constexpr auto kParams = makeGrammar({
    {kLitAligning, at(P_A), kNext, aAligning},        // P_ALIGN
    {kLitExtending, at(P_E), kNext, aExtending},      // P_EXTEND
    {kLitMerging, at(P_M), kNext, aMerging},          // P_MERGE
    {kLitScoreBlank, at(P_S), kNext, aScore},         // P_SCORE
    {kRecInterspersedLine, at(P_END), kNext, 0},      // P_FILTER
    {kRecEndOfLine, kOk, kNext, 0},                   // P_EOL
    {kRecAnyChar, at(P_ALIGN), E, 0},                 // P_SKIP
    {kGrammarAlignDiagonal, kNext, E, 0},             // P_A
    {kLitComma, kNext, E, 0},                         // P_A1
    {kLitBlank, kSame, kNext, 0},                     // P_A2
    {kLitWordsize, kNext, E, 0},                      // P_A3
    {kRecInteger, kNext, E, aPush},                   // P_A4
    {kLitComma, kNext, E, 0},                         // P_A5
    {kLitBlank, kSame, kNext, 0},                     // P_A6
    {kLitPValueColon, kNext, E, 0},                   // P_A7
    {kRecDecimal, kNext, E, aPushDecimal},            // P_A8
    {kLitComma, kNext, at(P_END), 0},                 // P_A9 Align options beyond the
    {kLitBlank, kSame, kNext, 0},                     // P_A10 defaults, when used
    {kRecRepeatsField, at(P_A9), kNext, 0},           // P_A11
    {kRecSpacedSeeds, at(P_A9), kNext, 0},            // P_A12
    {kRecBothStrands, at(P_A9), kNext, 0},            // P_A13
    {kRecExtendedHits, at(P_A9), E, 0},               // P_A14
    {kGrammarAlignDiagonal, at(P_END), E, 0},         // P_E
    {kLitBlank, kSame, kNext, 0},                     // P_M
    {kLitMaxDistance, kNext, E, 0},                   // P_M1
    {kRecInteger, at(P_END), E, aPush},               // P_M2
    {kLitColon, at(P_S2), kNext, 0},                  // P_S
    {kRecLineChar, at(P_S), E, 0},                    // P_S1
    {kLitBlank, kSame, kNext, 0},                     // P_S2
    {kLitMatchColon, kNext, E, 0},                    // P_S3
    {kRecInteger, kNext, E, aPush},                   // P_S4
    {kLitComma, kNext, E, 0},                         // P_S5
    {kLitBlank, kSame, kNext, 0},                     // P_S6
    {kLitMismatchColon, kNext, E, 0},                 // P_S7
    {kRecInteger, kNext, E, aPush},                   // P_S8
    {kLitComma, kNext, E, 0},                         // P_S9
    {kLitBlank, kSame, kNext, 0},                     // P_S10
    {kLitGapOpenColon, kNext, E, 0},                  // P_S11
    {kRecInteger, kNext, E, aPush},                   // P_S12
    {kLitComma, kNext, E, 0},                         // P_S13
    {kLitBlank, kSame, kNext, 0},                     // P_S14
    {kLitGapElongationColon, kNext, E, 0},            // P_S15
    {kRecInteger, at(P_END), E, aPush},               // P_S16
    {kLitBlank, kSame, kNext, 0},                     // P_END
    {kRecEndOfLine, at(P_ALIGN), E, aCommitLine},     // P_END1
});

// "diagonal: m/n = k, max gap: g"
enum { D_BLANKS, D_WORD, D_M, D_B1, D_SLASH, D_N, D_B2, D_EQ, D_K, D_COMMA, D_B3, D_GAPW, D_GAP };
constexpr auto kDiagonal = makeGrammar({
    {kLitBlank, kSame, kNext, 0},                     // D_BLANKS
    {kLitDiagonal, kNext, E, 0},                      // D_WORD
    {kRecInteger, kNext, E, aPush},                   // D_M
    {kLitBlank, kSame, kNext, 0},                     // D_B1
    {kLitSlash, kNext, E, 0},                         // D_SLASH
    {kRecInteger, kNext, E, aPush},                   // D_N
    {kLitBlank, kSame, kNext, 0},                     // D_B2
    {kLitEquals, kNext, E, 0},                        // D_EQ
    {kRecInteger, kNext, E, aPush},                   // D_K
    {kLitComma, kNext, E, 0},                         // D_COMMA
    {kLitBlank, kSame, kNext, 0},                     // D_B3
    {kLitMaxGap, kNext, E, 0},                        // D_GAPW
    {kRecInteger, kOk, E, aPush},                     // D_GAP
});
// clang-format on

// Numbers of the line being read, in their order, and its keyword.
enum class LineKind { None, Align, Extend, Merge, Score };
struct LineState {
  int32_t values[8];
  int count = 0;
  double decimal = 0;
  LineKind kind = LineKind::None;
  int sequence = 0; // 0 for "1st", 1 for "2nd"
  int nameLength = 0;
  int32_t repeatLimit = kDefaultRepeatLimit;
  int16_t seedShape = 0;
  int16_t strands = 0;
  int16_t extend = 0;
} gLine;

// "repeats:" and a number; "seeds: spaced"; "strands: both"; "hits:
// extended". Written only when not the defaults, so their absence means the
// defaults.
bool recRepeatsField() {
  char *start = gReader.pos;
  if (!matchKeyword("repeats:"))
    return false;
  char *p = gReader.pos, *end = p;
  while (*p == ' ')
    ++p;
  const long v = strtol(p, &end, 10);
  if (end == p || v < 0 || v > INT32_MAX) {
    gReader.pos = start;
    return false;
  }
  gLine.repeatLimit = (int32_t)v;
  gReader.pos = end;
  return true;
}
bool recInterspersedLine() {
  char *start = gReader.pos;
  if (!matchKeyword("Filter:"))
    return false;
  while (*gReader.pos == ' ')
    ++gReader.pos;
  if (!matchKeyword("interspersed repeats")) {
    gReader.pos = start;
    return false;
  }
  gSavedHeader.interspersed = true;
  return true;
}
bool recSpacedSeeds() {
  if (!matchKeyword("seeds: spaced"))
    return false;
  gLine.seedShape = 1;
  return true;
}
bool recRecordField() {
  char *start = gReader.pos;
  if (!matchKeyword("record="))
    return false;
  size_t n = strcspn(gReader.pos, " \r\n");
  char *record = gSavedHeader.record[gLine.sequence];
  if (n == 0 || n >= sizeof gSavedHeader.record[0]) {
    gReader.pos = start;
    return false;
  }
  memcpy(record, gReader.pos, n);
  record[n] = 0;
  gReader.pos += n;
  return true;
}
bool recSoftmaskField() {
  if (!matchKeyword("softmask"))
    return false;
  gSavedHeader.softmask[gLine.sequence] = true;
  return true;
}
bool recBothStrands() {
  if (!matchKeyword("strands: both"))
    return false;
  gLine.strands = 1;
  return true;
}
bool recExtendedHits() {
  if (!matchKeyword("hits: extended"))
    return false;
  gLine.extend = 1;
  return true;
}

void actStackReset() { gLine.count = 0; }
void actPush() {
  if (gLine.count < 8)
    gLine.values[gLine.count++] = gReader.value.i;
}
void actPushDecimal() { gLine.decimal = gReader.value.d; }
void actFirst() { gLine.sequence = 0; }
void actSecond() { gLine.sequence = 1; }
void actNameStart() {
  gLine.nameLength = 0;
  gSavedHeader.name[gLine.sequence][0] = 0;
}
void actNameChar() {
  if (gLine.nameLength >= kPathBytes - 1)
    reportSyntaxError(E); // no path is that long: not a name Velk wrote
  char *name = gSavedHeader.name[gLine.sequence];
  name[gLine.nameLength++] = static_cast<char>(gReader.value.b);
  name[gLine.nameLength] = 0;
}
void actInterval() {
  // Velk never writes a negative position; 0 stands for a whole sequence.
  if (gReader.intervalFrom < 0 || gReader.intervalTo < 0)
    reportSyntaxError(E);
  gSavedHeader.from[gLine.sequence] = gReader.intervalFrom;
  gSavedHeader.to[gLine.sequence] = gReader.intervalTo;
}
void actInvert() { gSavedHeader.invert[gLine.sequence] = true; }
void actBlockLine() {
  memcpy(gSavedHeader.block, gLine.values, sizeof gSavedHeader.block);
  gSavedHeader.flags = gReader.value.u;
}
void keyword(LineKind kind) {
  gLine.kind = kind;
  gLine.count = 0;
}
void actAligning() {
  keyword(LineKind::Align);
  gLine.repeatLimit = kDefaultRepeatLimit;
  gLine.seedShape = 0;
  gLine.strands = 0;
  gLine.extend = 0;
}
void actExtending() { keyword(LineKind::Extend); }
void actMerging() { keyword(LineKind::Merge); }
void actScore() { keyword(LineKind::Score); }

void setIsland(IslandParams &p) {
  p.matchesPerFrame = static_cast<int16_t>(gLine.values[0]);
  p.frameLength = static_cast<int16_t>(gLine.values[1]);
  p.minTotalMatches = static_cast<int16_t>(gLine.values[2]);
  p.maxGap = static_cast<int16_t>(gLine.values[3]);
}

void actCommitLine() {
  SavedHeader &h = gSavedHeader;
  switch (gLine.kind) {
  case LineKind::Align:
    setIsland(h.align);
    h.align.wordSize = static_cast<int16_t>(gLine.values[4]);
    h.align.repeatLimit = gLine.repeatLimit;
    h.align.seedShape = gLine.seedShape;
    h.align.strands = gLine.strands;
    h.align.extend = gLine.extend;
    h.pValue = gLine.decimal;
    break;
  case LineKind::Extend:
    setIsland(h.expand);
    break;
  case LineKind::Merge:
    h.mergeMaxDistance = gLine.values[0];
    break;
  case LineKind::Score:
    h.score = ScoreParams{gLine.values[0], gLine.values[1], gLine.values[2], gLine.values[3]};
    break;
  case LineKind::None:
    break;
  }
  gLine.kind = LineKind::None;
}
} // namespace

void ensureAlignmentHeaderGrammar() {
  static bool done = false;
  if (done)
    return;
  done = true;
  ensureReaderEngine();
  registerGrammar(kGrammarAlignHeader, kHeader, "alignment header");
  registerGrammar(kGrammarAlignFileSection, kFileSection, "alignment file section");
  registerGrammar(kGrammarAlignParams, kParams, "alignment parameters");
  registerGrammar(kGrammarAlignDiagonal, kDiagonal, "alignment diagonal");
  registerRecogniser(kRecRepeatsField, recRepeatsField);
  registerRecogniser(kRecSpacedSeeds, recSpacedSeeds);
  registerRecogniser(kRecInterspersedLine, recInterspersedLine);
  registerRecogniser(kRecRecordField, recRecordField);
  registerRecogniser(kRecSoftmaskField, recSoftmaskField);
  registerRecogniser(kRecBothStrands, recBothStrands);
  registerRecogniser(kRecExtendedHits, recExtendedHits);
  const ReaderAction actions[] = {actStackReset, actPush,      actPushDecimal, actFirst,
                                  actSecond,     actNameStart, actNameChar,    actInterval,
                                  actInvert,     actBlockLine, actAligning,    actExtending,
                                  actMerging,    actScore,     actCommitLine};
  int index = aStackReset;
  for (ReaderAction a : actions)
    registerAction(index++, a);
}

static_assert(aCommitLine < kAlignmentBodyActionFirst, "header and body actions overlap");
