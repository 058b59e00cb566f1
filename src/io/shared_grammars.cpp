// Grammars used by more than one reader: a file name and an interval.
#include "core/errors.h"
#include "core/pool.h"
#include "io/reader_engine.h"

// clang-format off
// Blanks, then a quoted name (which may hold blanks) or a name running up
// to the next blank or the line end, then blanks. Fails when no name stands
// there; a line end inside the quotes is error 64.
enum { F_RESET, F_BLANKS, F_QUOTE, F_QFIRST, F_QEND, F_QCHAR, F_UFIRST, F_UEND, F_UCHAR, F_TRAIL };
constexpr auto kFileName = makeGrammar({
    {kRecAlways, kNext, kNext, kActNameReset},                 // F_RESET
    {kLitBlank, kSame, kNext, 0},                              // F_BLANKS
    {kLitQuote, kNext, at(F_UFIRST), 0},                       // F_QUOTE
    {kRecLineChar, kNext, kErrBadFilename, kActNameChar},      // F_QFIRST
    {kLitQuote, at(F_TRAIL), kNext, 0},                        // F_QEND
    {kRecLineChar, at(F_QEND), kErrBadFilename, kActNameChar}, // F_QCHAR
    {kRecLineChar, kNext, kFail, kActNameChar},                // F_UFIRST
    {kLitBlank, at(F_TRAIL), kNext, 0},                        // F_UEND
    {kRecLineChar, at(F_UEND), kNext, kActNameChar},           // F_UCHAR
    {kLitBlank, kSame, kOk, 0},                                // F_TRAIL
});

// "from", one separator out of "-", ",", "..", " " or ".", "to". A blank
// separator has already gone with the blanks after "from"; a line end right
// after "from" is consumed and the interval fails. Any other "from" without
// its "to" is an error in a command file.
enum { I_FROM, I_MINUS, I_COMMA, I_DOTS, I_BLANK, I_DOT, I_EOL, I_TO, I_HALF };
constexpr auto kInterval = makeGrammar({
    {kRecInteger, kNext, kFail, kActIntervalFrom}, // I_FROM
    {kLitMinus, at(I_TO), kNext, 0},               // I_MINUS
    {kLitComma, at(I_TO), kNext, 0},               // I_COMMA
    {kLitDotDot, at(I_TO), kNext, 0},              // I_DOTS
    {kLitBlank, at(I_TO), kNext, 0},               // I_BLANK
    {kLitDot, at(I_TO), kNext, 0},                 // I_DOT
    {kRecEndOfLine, kFail, kNext, 0},              // I_EOL
    {kRecInteger, kOk, kNext, kActIntervalTo},     // I_TO
    {kRecHalfInterval, kFail, kFail, 0},           // I_HALF
});

// clang-format on

static void actNameReset() {
  gReader.nameLength = 0;
  readerName()[0] = 0;
  gReader.intervalGiven = false;
}

// A name past the system's limit could only be used cut: another file.
static void actNameChar() {
  if (gReader.nameLength >= kNameBytes - 1)
    reportSyntaxError(kErrBadFilename);
  char *name = readerName();
  name[gReader.nameLength++] = static_cast<char>(gReader.value.b);
  name[gReader.nameLength] = 0;
}

static void actIntervalFrom() { gReader.intervalFrom = gReader.value.i; }
static void actIntervalTo() {
  gReader.intervalTo = gReader.value.i;
  gReader.intervalGiven = true;
}

void registerSharedGrammars() {
  registerGrammar(kGrammarFileName, kFileName, "file name");
  registerGrammar(kGrammarInterval, kInterval, "interval");
  registerAction(kActNameReset, actNameReset);
  registerAction(kActNameChar, actNameChar);
  registerAction(kActIntervalFrom, actIntervalFrom);
  registerAction(kActIntervalTo, actIntervalTo);
}
