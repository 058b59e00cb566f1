// Layer 5 of 8, io: reader engine, readers, command language. Uses core to
// output; New and the commands' actions come through hooks set from above.
//
// The reader engine: every text the program reads (command files, sequence
// files, saved alignments, the typed interval) runs through one recursive
// interpreter of constant grammar tables.
//
// Design:
// - A grammar is an array of 4-byte GrammarNodes {symbol, onSuccess,
//   onFailure, action}. A jump j < 50 continues at node i + j + 1 (so 0 is
//   the next node, -1 repeats the node); 50 = the grammar matched, 51 = it
//   did not, 52 and above = a syntax error with that code.
// - Symbols: -127..11 literal texts (kLit*), 12..44 sub-grammars (kGrammar*),
//   45 and above recognisers (kRec*). Nothing consumed before a failure is
//   given back: alternatives must differ in their first symbol.
// - Write grammars with makeGrammar(): jumps may be relative (kNext, kSame,
//   small ints) or absolute node indices through at(NODE); a bad jump is a
//   compile error. Name the nodes with a local enum.
// - Sub-grammars, actions and extra recognisers live in tables indexed by
//   number. Every module owns a range (the sections below) and registers its
//   entries from its own ensure...() function, called before its first read
//   (idempotent). No central table needs editing.
// - Actions are parameterless: they read the value register, the word buffer
//   and the name buffer, and write the session.
// - Errors leave through the C++ exception ReaderError{code}; the function
//   that started the read catches it (runDataRead() does all of this).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct GrammarNode {
  int8_t symbol;
  int8_t onSuccess;
  int8_t onFailure;
  int8_t action; // 0 none, else an index into the action table
};
static_assert(sizeof(GrammarNode) == 4, "grammar nodes are 4 bytes");

// Jump values.
constexpr int kNext = 0;  // the following node
constexpr int kSame = -1; // this node again (zero-or-more repetition)
constexpr int kOk = 50;   // the grammar matched
constexpr int kFail = 51; // the grammar did not match
// 52 and above: error codes of core/errors.h (kErrInternal ...).

// Literal symbols. Texts are in reader_engine.cpp, in the same order.
enum : int {
  kLitEquals = -127,      // "="
  kLitStar,               // "*"
  kLitAt,                 // "@"
  kLitOpenBrace,          // "{"
  kLitComma,              // ","
  kLitQuote,              // the double-quote character
  kLitDotDot,             // ".."
  kLitCloseBrace,         // "}"
  kLitEof,                // the end-of-file mark (byte 0xAD)
  kLitColon,              // ":"
  kLitOpenBracket,        // "["
  kLitCloseBracket,       // "]"
  kLitLess,               // "<"
  kLitMinus,              // "-"
  kLitPlus,               // "+"
  kLitDot,                // "."
  kLitGreater,            // ">"
  kLitOpenParen,          // "("
  kLitCloseParen,         // ")"
  kLitSemicolon,          // ";"
  kLitSlash,              // "/"
  kLitBar,                // "|"
  kLitCaret,              // "^"
  kLitBlank,              // " "
  kLitAccession,          // "ACCESSION"
  kLitAligning,           // "aligning:"
  kLitBase,               // "BASE"
  kLitBlock,              // "Block:"
  kLitCds,                // "CDS"
  kLitCodonStart,         // "codon_start="
  kLitComplement,         // "complement("
  kLitDefinition,         // "DEFINITION"
  kLitDiagonal,           // "diagonal:"
  kLitExon,               // "exon"
  kLitExtending,          // "extending:"
  kLitFeatures,           // "FEATURES"
  kLitFile,               // "File:"
  kLitFlags,              // "Flags:"
  kLitFirst,              // "1st"
  kLitGapElongationColon, // "gap elongation:"
  kLitGapOpenColon,       // "gap open:"
  kLitGene,               // "gene"
  kLitGeneEq,             // "gene="
  kLitGi,                 // "GI:"
  kLitGlobal,             // "Global"
  kLitInvert,             // "Invert"
  kLitJoin,               // "join("
  kLitLocal,              // "Local"
  kLitLocus,              // "LOCUS"
  kLitMatchColon,         // "match:"
  kLitMaxDistance,        // "max distance:"
  kLitMaxGap,             // "max gap:"
  kLitMerging,            // "merging:"
  kLitMismatchColon,      // "mismatch:"
  kLitMrna,               // "mRNA"
  kLitNoteEq,             // "note="
  kLitNumberEq,           // "number="
  kLitOrder,              // "order("
  kLitOrigin,             // "ORIGIN"
  kLitProductEq,          // "product="
  kLitProteinIdEq,        // "protein_id="
  kLitUtr5,               // "5'UTR"
  kLitPValueColon,        // "p-value:"
  kLitRepeatRegion,       // "repeat_region"
  kLitRptFamilyEq,        // "rpt_family="
  kLitSecond,             // "2nd"
  kLitScoreColon,         // "Score:"
  kLitScoreBlank,         // "Score "
  kLitUtr3,               // "3'UTR"
  kLitVersion,            // "VERSION"
  kLitWordsize,           // "wordsize:"
  // command words
  kLitStart,
  kLitExit,
  kLitOpen,
  kLitInput1,
  kLitSequence1,
  kLitInput2,
  kLitSequence2,
  kLitSave,
  kLitAs,
  kLitSummary,
  kLitAlign,
  kLitTrim,
  kLitNotrim,
  kLitHashEq,
  kLitNohash,
  kLitWEq,
  kLitExpand,
  kLitMerge,
  kLitRefine,
  kLitFill,
  kLitCut,
  kLitLooseEnds,
  kLitReconcile,
  kLitResolve,
  kLitGreedy,
  kLitOptimal,
  kLitChain,
  kLitKill,
  kLitFilter,
  kLitCreate,
  kLitUpdate,
  kLitDelete,
  kLitSelect,
  kLitAll,
  kLitOverlapped,
  kLitOffDiagonal,
  kLitUnselect,
  kLitScore,
  kLitM,
  kLitMatch,
  kLitMm,
  kLitMism,
  kLitMismatch,
  kLitGapo,
  kLitGap,
  kLitElongation,
  kLitGapl,
  kLitGapn,
  kLitPDashValue,
  kLitPvalue,
  kLitP,
  kLitMaskInternal,
  kLitMaskAll,
  kLitMaskKnown,
  kLitMask,
  kLitNomask,
  kLitPeriodic,
  kLitInternal,
  kLitWithHigh,
  kLitShortWithLength,
  kLitConflicting,
  kLitConflicts,
  kLitConflict,
  kLitUndo,
  kLitHide,
  kLitShow,
  kLitInvertComplement,
  kLitRem,
};
static_assert(kLitRem == 11, "literal table must end at symbol 11");
const char *literalText(int symbol); // nullptr outside -127..11

// Sub-grammar symbols (12..44), one section per module.
enum : int {
  // command language and shared pieces (reader engine owner)
  kGrammarCommandFile = 12,
  kGrammarCommandLine = 13,
  kGrammarFileName = 14, // blanks, quoted or unquoted name, blanks -> name buffer
  kGrammarInterval = 15, // integer, separator, integer -> gReader.intervalFrom/To
  kGrammarInputRest = 16,
  kGrammarFilterOptions = 17,
  kGrammarActionCommand = 18,
  kGrammarAlignOption = 19,
  kGrammarCommonOption = 20,
  kGrammarPValueOption = 21,
  kGrammarFilterCommand = 22,
  kGrammarSelectCommand = 23,
  kGrammarEditCommand = 24,
  // sequence readers: 25..35
  kGrammarSequenceFirst = 25,
  kGrammarSequenceLast = 35,
  // saved-alignment reader: 36..44
  kGrammarAlignmentFirst = 36,
  kGrammarAlignmentLast = 44,
};
constexpr int kGrammarMin = 12, kGrammarMax = 44;

// Recogniser symbols. 56 (sequence body) is registered by the sequence
// readers; 59 and above are free for modules (sequences 59..69, alignment
// 70..79).
enum : int {
  kRecAnyChar = 45,     // any byte but the end-of-file mark; value: the byte
  kRecLineChar = 46,    // any byte but a newline or the mark; lone CR: error 61
  kRecNameChar = 47,    // letter, "_" or "."
  kRecInteger = 48,     // value.i (blanks around skipped; "-" alone is 0)
  kRecDecimal = 49,     // value.d
  kRecHex = 50,         // value.u (no trailing blanks)
  kRecWord = 51,        // letters, digits, "_", "-", ".", "'" -> word buffer
  kRecToken = 52,       // bytes 33..127 after a word start -> word buffer
  kRecIdentifier = 53,  // letter or "_", then letters, digits, "_", "." -> word buffer
  kRecAlignLetter = 54, // value.b: 0..25 for a letter, '-' for "-"
  kRecAlways = 55,
  kRecSequenceBody = 56,
  kRecEndOfLine = 57, // "\n" or "\r\n"; value.b = '\n'
  // Of the shared interval grammar: never matches; in a command file an
  // interval with its "from" but no "to" is error 63 here.
  kRecHalfInterval = 58,
};
constexpr int kRecMin = 45, kRecMax = 127;
// Command-language words beyond the literal table (80..99).
enum : int {
  kRecRepeatsEq = 80,   // "repeats="
  kRecSensitive = 81,   // "sensitive"
  kRecNoSensitive = 82, // "nosensitive"
  kRecRecordEq = 83,    // "record=" and a name or number (input lines)
  kRecSoftmask = 84,    // "softmask" (input lines)
  kRecPaf = 85,         // "PAF" (save)
  kRecMaf = 86,         // "MAF" (save)
};
constexpr int kRecInterspersed = 88; // "interspersed" (filter option)
constexpr int kRecBoth = 87;         // "both" (Align option)
constexpr int kRecNoBoth = 89;       // "noboth"
constexpr int kRecReverse = 90;      // "reverse" (the command itself)
constexpr int kRecExtend = 91;       // "extend" (Align option)
constexpr int kRecNoExtend = 92;     // "noextend"

// Action indices (1..127), one section per module.
constexpr int kActionCommandFirst = 1, kActionCommandLast = 62;
constexpr int kActionSequenceFirst = 63, kActionSequenceLast = 99;
constexpr int kActionAlignmentFirst = 100, kActionAlignmentLast = 127;
// Actions of the shared grammars (file name, interval), usable by anyone.
enum : int {
  kActNameReset = 1, // empties the name buffer, clears gReader.intervalGiven
  kActNameChar = 2,  // appends value.b to the name buffer (error 64 past a whole path)
  kActIntervalFrom = 3,
  kActIntervalTo = 4, // also sets gReader.intervalGiven
};

using ReaderAction = void (*)();
using Recogniser = bool (*)(); // true = matched; may advance gReader.pos

// Registers the standard recognisers and the shared grammars and actions
// (kGrammarFileName, kGrammarInterval). Idempotent; every read calls it.
void ensureReaderEngine();

// Registration. A grammar's nodes must outlive the program (constant tables).
void registerGrammar(int symbol, const GrammarNode *nodes, int count, const char *name);
void registerAction(int index, ReaderAction fn);
void registerRecogniser(int symbol, Recogniser fn);
// Matches `text` at the input position as a literal would (without case in
// command files) and moves past it: for recognisers of words that have no
// literal symbol.
bool matchKeyword(const char *text);
bool grammarRegistered(int symbol);
// Describes the first dangling reference (unregistered grammar, action or
// recogniser used by a registered grammar), or returns nullptr. For tests.
const char *checkGrammarTables();

// ---- Writing grammars -------------------------------------------------
struct RawNode {
  int symbol, success, failure, action;
};
constexpr int kAbsoluteBase = 1000;
constexpr int at(int node) { return kAbsoluteBase + node; } // absolute jump target

template <size_t N> struct Grammar {
  GrammarNode nodes[N];
  static constexpr int count = static_cast<int>(N);
};

constexpr int8_t grammarJump(int v, int i, int n) {
  int j = v;
  if (v >= kAbsoluteBase) {
    if (v - kAbsoluteBase >= n)
      throw "jump past the end of the grammar";
    j = v - kAbsoluteBase - i - 1;
    if (j >= kOk || j < -128)
      throw "jump too far for a grammar node";
  } else if (v < kOk) {
    if (i + 1 + v < 0 || i + 1 + v >= n)
      throw "jump outside the grammar";
  } else if (v > 127) {
    throw "bad terminal code";
  }
  return static_cast<int8_t>(j);
}

template <size_t N> constexpr Grammar<N> makeGrammar(const RawNode (&raw)[N]) {
  Grammar<N> g{};
  for (size_t i = 0; i < N; ++i) {
    const RawNode &r = raw[i];
    if (r.symbol < -127 || r.symbol > 127 || r.action < 0 || r.action > 127)
      throw "bad symbol or action";
    g.nodes[i].symbol = static_cast<int8_t>(r.symbol);
    g.nodes[i].onSuccess = grammarJump(r.success, static_cast<int>(i), static_cast<int>(N));
    g.nodes[i].onFailure = grammarJump(r.failure, static_cast<int>(i), static_cast<int>(N));
    g.nodes[i].action = static_cast<int8_t>(r.action);
  }
  return g;
}
template <size_t N> void registerGrammar(int symbol, const Grammar<N> &g, const char *name) {
  registerGrammar(symbol, g.nodes, g.count, name);
}

// ---- Reader state -----------------------------------------------------
union ReaderValue {
  uint8_t b;
  int32_t i;
  uint32_t u;
  double d;
};

enum class ReaderMode { Command, Data };

struct ReaderState {
  char *pos = nullptr; // input position in the line buffer
  ReaderValue value{};
  int nameLength = 0;        // characters in the name buffer
  const char *fileName = ""; // the file being read, for messages
  FILE *commandFile = nullptr;
  FILE *dataFile = nullptr;
  long dataSize = 0; // size of the data file, for progress
  int commandLine = 0, dataLine = 0;
  uint32_t passFlags = 0; // command file pass, status and option bits
  ReaderMode mode = ReaderMode::Data;
  // A number past the 32-bit range is this error in data reads (0: its low
  // 32 bits are kept); in command files it is always error 63.
  int numberRangeError = 0;
  // Instead, such a number is not a number at all: the text fails to match.
  bool numberRangeMismatch = false;
  bool atEof = false;   // the line buffer holds the end-of-file mark
  bool midLine = false; // the last piece read did not end its line
  // Interval grammar results.
  int32_t intervalFrom = 0, intervalTo = 0;
  bool intervalGiven = false;
  // Progress of a data read: called before each line when set.
  void *progressWindow = nullptr;
  void (*progress)(void *window, long position, long size) = nullptr;
};
extern ReaderState gReader;

// Buffers (the reader buffers of the general pool, or static ones before
// start-up has made them).
char *readerLine(); // 2 048 bytes, NUL-terminated
char *readerWord(); // 256 bytes: the last word, token or identifier
char *readerName(); // file name collected by kGrammarFileName, NUL-terminated
constexpr int kLineBytes = 2048;
constexpr int kLinePiece = 2046; // longer lines arrive in pieces of this size
constexpr int kWordMax = 255;
constexpr unsigned char kEofMark = 0xAD;
// Stands for a NUL byte of the file in the line buffer (a C string).
constexpr char kNulStandIn = 0x7f;

// Sets the progress window (null: none) with its callback; like every
// setting of the progress window it resets the last error code.
void setProgressWindow(void *window, void (*progress)(void *window, long position, long size));

// Empties the line buffer (the next node reads a new line).
void emptyLineBuffer();
// Puts a text (cut to 2 046 bytes) into the line buffer as the current line,
// e.g. a typed interval followed by "\n"; reading past it meets the end of
// the data file, or end of file when none is open.
void setReaderLine(const char *text);
// Reads the next line of the current file into the line buffer, skipping
// comment lines ("!") and counting lines; at end of file the buffer holds
// the mark. Data reads report progress first. Sets pos to the line start.
void readNextLine();
// True when pos stands on the end-of-file mark.
bool atEndOfFile();

// Runs a grammar with exact literals on gReader.dataFile. Returns 1 or 2;
// errors leave through ReaderError. Keeps the caller's mode and file name.
int readWithDataReader(int grammar);
// Runs a grammar with case-insensitive literals on gReader.commandFile.
int readWithCommandReader(int grammar);

// Formats the syntax error message for `code`, records it, shows it, sets
// the error bit and leaves the read with `code`.
[[noreturn]] void reportSyntaxError(int code);
// Normal end of a read: "Status: Ok." / "Status: ERROR" to the message
// buffer and the information line, then leaves the read with `result`.
[[noreturn]] void finishRead(int result);

// Opens an input file for reading in text mode; null when it cannot be
// opened or is no regular file (a folder, a device, a pipe).
FILE *openInputFile(const char *path);

struct RecordRequest;
// One whole data read: opens `fileName` in text mode (fatal 53 / 59 with
// `place`), measures it, runs `afterOpen` (may be null), empties the line
// buffer, resets the data line counter, reads `grammar` and finishes. Returns
// the read's result (1, 2 or an error code); the file is closed again. A
// gzip-compressed file reads as its text; with a `record` whose choice is
// not empty the read starts at that record (before `afterOpen`, so that an
// unknown record leaves everything as it was).
int runDataRead(const char *fileName, const char *place, int grammar, void (*afterOpen)() = nullptr,
                RecordRequest *record = nullptr);
