// The grammar interpreter, its line input and its terminal recognisers.
#include "io/reader_engine.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/errors.h"
#include "core/pool.h"
#include "core/ui_port.h"
#include "io/command_file.h"
#include "io/input_stream.h"

ReaderState gReader;

static const char *const kLiteralTexts[] = {
    "=", "*", "@", "{", ",", "\"", "..", "}", "\xAD", ":", "[", "]", "<", "-", "+", ".", ">", "(",
    ")", ";", "/", "|", "^", " ", "ACCESSION", "aligning:", "BASE", "Block:", "CDS",
    "codon_start=", "complement(", "DEFINITION", "diagonal:", "exon", "extending:", "FEATURES",
    "File:", "Flags:", "1st", "gap elongation:", "gap open:", "gene", "gene=", "GI:", "Global",
    "Invert", "join(", "Local", "LOCUS",
    "match:", "max distance:", "max gap:", "merging:", "mismatch:", "mRNA",
    "note=", "number=", "order(", "ORIGIN", "product=", "protein_id=", "5'UTR",
    "p-value:", "repeat_region", "rpt_family=", "2nd", "Score:", "Score ", "3'UTR", "VERSION",
    "wordsize:",
    // command words
    "start", "exit", "open", "input1", "sequence1", "input2", "sequence2", "save", "as", "summary",
    "align", "trim", "notrim", "hash=", "nohash", "w=", "expand", "merge", "refine", "fill", "cut",
    "loose ends", "reconcile", "resolve", "greedy", "optimal", "chain", "kill", "filter", "create",
    "update", "delete", "select", "all", "overlapped", "off diagonal", "unselect", "score", "m",
    "match", "mm", "mism", "mismatch", "gapo", "gap", "elongation", "gapl", "gapn", "p-value",
    "pvalue", "p", "maskinternal", "maskall", "maskknown", "mask", "nomask", "periodic", "internal",
    "with high", "short with length", "conflicting", "conflicts", "conflict", "undo", "hide",
    "show", "invertcomplement", "rem"};
static_assert(sizeof kLiteralTexts / sizeof kLiteralTexts[0] == 139, "one text per literal");

const char *literalText(int symbol) {
  if (symbol < kLitEquals || symbol > kLitRem)
    return nullptr;
  return kLiteralTexts[symbol - kLitEquals];
}

// ---- Tables -------------------------------------------------------------
struct GrammarEntry {
  const GrammarNode *nodes;
  int count;
  const char *name;
};
static GrammarEntry gGrammars[kGrammarMax + 1];
static ReaderAction gActions[128];
static Recogniser gRecognisers[128];

void registerGrammar(int symbol, const GrammarNode *nodes, int count, const char *name) {
  if (symbol < kGrammarMin || symbol > kGrammarMax)
    abort(); // a table index out of range is a build mistake
  gGrammars[symbol] = {nodes, count, name};
}

bool grammarRegistered(int symbol) {
  return symbol >= kGrammarMin && symbol <= kGrammarMax && gGrammars[symbol].nodes;
}

void registerAction(int index, ReaderAction fn) {
  if (index < 1 || index > 127)
    abort();
  gActions[index] = fn;
}

void registerRecogniser(int symbol, Recogniser fn) {
  if (symbol < kRecMin || symbol > kRecMax)
    abort();
  gRecognisers[symbol] = fn;
}

const char *checkGrammarTables() {
  ensureReaderEngine();
  static char text[160];
  for (int g = kGrammarMin; g <= kGrammarMax; ++g) {
    const GrammarEntry &e = gGrammars[g];
    for (int i = 0; i < e.count; ++i) {
      const GrammarNode &n = e.nodes[i];
      const char *what = nullptr;
      if (n.symbol >= kGrammarMin && n.symbol <= kGrammarMax && !gGrammars[n.symbol].nodes)
        what = "grammar";
      else if (n.symbol >= kRecMin && !gRecognisers[n.symbol])
        what = "recogniser";
      else if (n.action > 0 && !gActions[n.action])
        what = "action";
      if (what) {
        snprintf(text, sizeof text, "%s node %d: unregistered %s", e.name, i, what);
        return text;
      }
    }
  }
  return nullptr;
}

// ---- Buffers and line input -----------------------------------------------
static char gFallbackLine[kLineBytes], gFallbackWord[256], gFallbackName[kNameBytes];

char *readerLine() { return gBuffers ? gBuffers->line : gFallbackLine; }
char *readerWord() { return gBuffers ? gBuffers->word : gFallbackWord; }
char *readerName() { return gBuffers ? gBuffers->name : gFallbackName; }

static bool commandMode() { return gReader.mode == ReaderMode::Command; }
static FILE *currentFile() { return commandMode() ? gReader.commandFile : gReader.dataFile; }
static int &lineCounter() { return commandMode() ? gReader.commandLine : gReader.dataLine; }

void setProgressWindow(void *window, void (*progress)(void *, long, long)) {
  gReader.progressWindow = window;
  gReader.progress = progress;
  gLastError = 0;
}

void emptyLineBuffer() {
  char *line = readerLine();
  line[0] = 0;
  gReader.pos = line;
  gReader.atEof = false;
  gReader.midLine = false;
}

void setReaderLine(const char *text) {
  char *line = readerLine();
  snprintf(line, kLinePiece + 1, "%s", text);
  gReader.pos = line;
  gReader.atEof = false;
  gReader.midLine = false;
}

static void setEofMark(char *line) {
  line[0] = static_cast<char>(kEofMark);
  line[1] = 0;
  gReader.atEof = true;
  gReader.midLine = false;
}

// One piece of at most 2 046 bytes, in text mode: CR LF becomes LF, a lone
// CR stays, a NUL byte becomes kNulStandIn (the line is a C string and must
// not end early). Returns the bytes stored (0 at end of file).
static size_t readPiece(FILE *f, char *line) {
  size_t n = 0;
  int c = 0;
  while (n < size_t(kLinePiece) && (c = getc_unlocked(f)) != EOF) {
    line[n++] = c ? char(c) : kNulStandIn;
    if (c == '\n')
      break;
  }
  line[n] = 0;
  if (n == 0)
    return 0;
  if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
    line[n - 2] = '\n';
    line[--n] = 0;
  } else if (n && line[n - 1] == '\r') {
    int c = getc(f); // the LF of a CR LF may be the first byte of the next piece
    if (c == '\n')
      line[n - 1] = '\n';
    else if (c != EOF)
      ungetc(c, f);
  }
  return n;
}

void readNextLine() {
  char *line = readerLine();
  bool skipping = false; // inside a comment line longer than one piece
  for (;;) {
    FILE *f = currentFile();
    if (!f) {
      setEofMark(line);
      break;
    }
    if (!commandMode() && gReader.progressWindow && gReader.progress)
      gReader.progress(gReader.progressWindow, sourcePosition(f), gReader.dataSize);
    size_t n = readPiece(f, line);
    // A byte-order mark, as some editors write, is no part of the text.
    if (lineCounter() == 0 && !gReader.midLine && n >= 3 && memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
      n -= 3;
      memmove(line, line + 3, n + 1);
      if (n == 0)
        continue;
    }
    if (n == 0) {
      checkStreamDamage(f);
      setEofMark(line);
      break;
    }
    ++lineCounter();
    bool lineStart = !gReader.midLine;
    gReader.midLine = line[n - 1] != '\n';
    if ((lineStart && line[0] == '!') || (skipping && !lineStart)) {
      skipping = gReader.midLine;
      continue;
    }
    gReader.atEof = false;
    break;
  }
  gReader.pos = line;
}

bool atEndOfFile() { return gReader.atEof && static_cast<unsigned char>(*gReader.pos) == kEofMark; }

// ---- Recognisers --------------------------------------------------------------
static bool isDigit(char c) { return c >= '0' && c <= '9'; }
static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
static bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
static const char *skipBlanks(const char *p) {
  while (*p == ' ')
    ++p;
  return p;
}

// A CR that ends its line: before LF, or at the very end of the file.
static bool crEndsLine(const char *p) {
  if (p[1] == '\n')
    return true;
  if (p[1] != 0)
    return false;
  FILE *f = currentFile();
  if (!f)
    return true;
  int c = getc(f);
  if (c == EOF)
    return true;
  ungetc(c, f);
  return false;
}

[[noreturn]] static void loneCarriageReturn() { reportFatal(kErrNonPc, gReader.fileName, "Mc"); }

static bool recAnyChar() {
  if (atEndOfFile())
    return false;
  gReader.value.b = static_cast<uint8_t>(*gReader.pos++);
  return true;
}

static bool recLineChar() {
  char c = *gReader.pos;
  if (c == '\n' || atEndOfFile())
    return false;
  if (c == '\r') {
    if (!crEndsLine(gReader.pos))
      loneCarriageReturn();
    ++gReader.pos; // skipped, and the line ends here
    return false;
  }
  gReader.value.b = static_cast<uint8_t>(c);
  ++gReader.pos;
  return true;
}

static bool recNameChar() {
  char c = *gReader.pos;
  if (!isLetter(c) && c != '_' && c != '.')
    return false;
  gReader.value.b = static_cast<uint8_t>(c);
  ++gReader.pos;
  return true;
}

static bool recInteger() {
  const char *p = skipBlanks(gReader.pos);
  if (!isDigit(*p) && *p != '-')
    return false;
  bool negative = *p == '-';
  if (negative)
    ++p;
  uint32_t v = 0;     // the low 32 bits, as the register has always kept them
  uint64_t whole = 0; // enough to tell a number past the range
  for (; isDigit(*p); ++p) {
    const uint32_t digit = static_cast<uint32_t>(*p - '0');
    v = v * 10u + digit;
    if (whole <= UINT32_MAX)
      whole = whole * 10u + digit;
  }
  if (whole > (negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX))) {
    // A wrapped number would pass for another, valid one.
    if (gReader.numberRangeMismatch)
      return false;
    if (gReader.mode == ReaderMode::Command)
      reportSyntaxError(kErrBadCommand);
    if (gReader.numberRangeError)
      reportSyntaxError(gReader.numberRangeError);
  }
  gReader.value.i = static_cast<int32_t>(negative ? 0u - v : v);
  gReader.pos = const_cast<char *>(skipBlanks(p));
  return true;
}

// Where an interval's "to" should stand after its "from".
static bool recHalfInterval() {
  if (gReader.mode == ReaderMode::Command)
    reportSyntaxError(kErrBadCommand);
  return false;
}

static bool recDecimal() {
  const char *p = skipBlanks(gReader.pos);
  if (!isDigit(*p) && *p != '-' && *p != '.')
    return false;
  const char *start = p;
  if (*p == '-')
    ++p;
  while (isDigit(*p))
    ++p;
  if (*p == '.') {
    ++p;
    while (isDigit(*p))
      ++p;
  }
  if (*p == 'e' || *p == 'E') {
    ++p;
    if (*p == '-')
      ++p;
    while (isDigit(*p))
      ++p;
  }
  char text[kLineBytes];
  size_t n = static_cast<size_t>(p - start);
  memcpy(text, start, n);
  text[n] = 0;
  gReader.value.d = strtod(text, nullptr);
  gReader.pos = const_cast<char *>(skipBlanks(p));
  return true;
}

static bool recHex() {
  const char *p = skipBlanks(gReader.pos);
  if (!isHexDigit(*p))
    return false;
  uint32_t v = 0;
  for (; isHexDigit(*p); ++p) {
    char c = *p;
    uint32_t d = isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
    v = v * 16u + d;
  }
  gReader.value.u = v;
  gReader.pos = const_cast<char *>(p);
  return true;
}

// Word-like recognisers: a first character, then a run of followers kept
// in the word buffer up to 255 characters; the rest is consumed and dropped.
template <class First, class Follow> static bool recWordLike(First first, Follow follow) {
  const char *p = skipBlanks(gReader.pos);
  if (!first(*p))
    return false;
  char *w = readerWord();
  int n = 0;
  w[n++] = *p++;
  for (; follow(*p); ++p)
    if (n < kWordMax)
      w[n++] = *p;
  w[n] = 0;
  gReader.pos = const_cast<char *>(skipBlanks(p));
  return true;
}
static bool wordStart(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '-'; }
// Feature keys: "misc_feature", "-10_signal", and the old "3'clip".
static bool recWord() {
  return recWordLike(wordStart, [](char c) { return wordStart(c) || c == '.' || c == '\''; });
}
static bool recToken() {
  return recWordLike(wordStart, [](char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 33 && u <= 127;
  });
}
static bool recIdentifier() {
  return recWordLike([](char c) { return isLetter(c) || c == '_'; },
                     [](char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '.'; });
}

static bool recAlignLetter() {
  char c = *gReader.pos;
  if (isLetter(c))
    gReader.value.b = static_cast<uint8_t>((c | 0x20) - 'a');
  else if (c == '-')
    gReader.value.b = '-';
  else
    return false;
  ++gReader.pos;
  return true;
}

static bool recAlways() { return true; }

static bool recEndOfLine() {
  char c = *gReader.pos;
  if (c == '\n') {
    ++gReader.pos;
    gReader.value.b = '\n';
    return true;
  }
  if (c != '\r')
    return false;
  if (gReader.pos[1] == '\n') {
    gReader.pos += 2;
    gReader.value.b = '\n';
    return true;
  }
  if (!crEndsLine(gReader.pos))
    loneCarriageReturn();
  ++gReader.pos; // a CR at the end of the file: the file ends here
  return false;
}

void registerSharedGrammars(); // shared_grammars.cpp

void ensureReaderEngine() {
  static bool done = false;
  if (done)
    return;
  done = true;
  registerSharedGrammars();
  registerRecogniser(kRecAnyChar, recAnyChar);
  registerRecogniser(kRecLineChar, recLineChar);
  registerRecogniser(kRecNameChar, recNameChar);
  registerRecogniser(kRecInteger, recInteger);
  registerRecogniser(kRecHalfInterval, recHalfInterval);
  registerRecogniser(kRecDecimal, recDecimal);
  registerRecogniser(kRecHex, recHex);
  registerRecogniser(kRecWord, recWord);
  registerRecogniser(kRecToken, recToken);
  registerRecogniser(kRecIdentifier, recIdentifier);
  registerRecogniser(kRecAlignLetter, recAlignLetter);
  registerRecogniser(kRecAlways, recAlways);
  registerRecogniser(kRecEndOfLine, recEndOfLine);
}

// ---- Interpreter ----------------------------------------------------------
static bool matchLiteral(int symbol) {
  if (symbol == kLitEof) {
    if (!atEndOfFile())
      return false;
    ++gReader.pos;
    return true;
  }
  return matchKeyword(kLiteralTexts[symbol - kLitEquals]);
}

bool matchKeyword(const char *lit) {
  const char *p = gReader.pos;
  if (commandMode()) {
    for (; *lit; ++lit, ++p) {
      char a = *p, b = *lit;
      if (a >= 'A' && a <= 'Z')
        a = static_cast<char>(a | 0x20);
      if (b >= 'A' && b <= 'Z')
        b = static_cast<char>(b | 0x20);
      if (a != b)
        return false;
    }
  } else {
    for (; *lit; ++lit, ++p)
      if (*p != *lit)
        return false;
  }
  gReader.pos = const_cast<char *>(p);
  return true;
}

static bool runGrammar(int symbol);

static bool matchSymbol(int symbol) {
  if (symbol <= kLitRem)
    return matchLiteral(symbol);
  if (symbol <= kGrammarMax)
    return runGrammar(symbol);
  Recogniser r = gRecognisers[symbol];
  if (!r)
    abandonRead(kErrInternal);
  return r();
}

static bool runGrammar(int symbol) {
  const GrammarEntry &g = gGrammars[symbol];
  if (!g.nodes)
    abandonRead(kErrInternal);
  int i = 0;
  for (;;) {
    const GrammarNode &n = g.nodes[i];
    if (*gReader.pos == 0)
      readNextLine();
    bool matched = matchSymbol(n.symbol);
    if (matched && n.action > 0 && gActions[n.action])
      gActions[n.action]();
    int j = matched ? n.onSuccess : n.onFailure;
    if (j >= kErrInternal)
      reportSyntaxError(j);
    if (j == kOk)
      return true;
    if (j == kFail)
      return false;
    i += j + 1;
  }
}

// Restores the caller's reader mode when a read ends or leaves by an error.
struct ModeScope {
  ReaderMode saved = gReader.mode;
  explicit ModeScope(ReaderMode m) { gReader.mode = m; }
  ~ModeScope() { gReader.mode = saved; }
};

static int readWith(ReaderMode mode, int grammar) {
  ensureReaderEngine();
  ModeScope scope(mode);
  if (!gReader.pos)
    emptyLineBuffer();
  return runGrammar(grammar) ? 1 : 2;
}

int readWithDataReader(int grammar) { return readWith(ReaderMode::Data, grammar); }
int readWithCommandReader(int grammar) { return readWith(ReaderMode::Command, grammar); }

// ---- Reports --------------------------------------------------------------
void reportSyntaxError(int code) {
  gLastError = code;
  const char *text = errorText(code);
  if (!text)
    text = errorText(kErrInternal);
  char *m = messageBuffer();
  const char *file = gReader.fileName ? gReader.fileName : "";
  if (gReader.atEof) // also when a grammar has just matched the mark
    snprintf(m, kMessageBytes, "ERROR: %s. \nFile: %s, EOF reached.\n", text, file);
  else {
    // A line of up to 2 KB cannot fit: the message is cut at the buffer's end on purpose.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
    snprintf(m, kMessageBytes, "ERROR in line %d: %s. \nFile: %s, line: \n%s \nend: \n%s\n",
             lineCounter(), text, file, readerLine(), gReader.pos);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  }
  ui()->messageBox("Error", m, Buttons::Ok, kAnswerOk);
  gReader.passFlags |= kRunError;
  copyStatusToInfoLine();
  throw ReaderError{code};
}

void finishRead(int result) {
  if (gLastError == 0)
    snprintf(messageBuffer(), kMessageBytes, "%s", result == 1 ? "Status: Ok." : "Status: ERROR");
  copyStatusToInfoLine();
  throw ReaderError{result};
}

FILE *openInputFile(const char *path) {
  // Not blocking on a pipe that nobody writes: it is refused anyway, as are
  // devices, which may never end (/dev/zero).
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return nullptr;
  struct stat st;
  FILE *f = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
    f = fdopen(fd, "r");
  if (!f)
    close(fd);
  return f;
}

int runDataRead(const char *fileName, const char *place, int grammar, void (*afterOpen)(),
                RecordRequest *record) {
  const char *savedName = gReader.fileName;
  FILE *savedFile = gReader.dataFile;
  long savedSize = gReader.dataSize;
  FILE *f = nullptr;
  int result = kErrInternal;
  gReader.fileName = fileName ? fileName : "";
  try {
    if (!*gReader.fileName || !(f = openInputFile(gReader.fileName)))
      reportFatal(kErrCannotOpen, gReader.fileName, place);
    long size = -1;
    if (fseek(f, 0, SEEK_END) == 0)
      size = ftell(f);
    if (size < 0 || fseek(f, 0, SEEK_SET) != 0)
      reportFatal(kErrSeek, gReader.fileName, place);
    f = openDecompressed(f, gReader.fileName, place);
    gReader.dataFile = f;
    gReader.dataSize = size;
    const bool chosen = record && record->choice && *record->choice;
    if (chosen)
      seekRecord(f, record->choice, record->found, gReader.fileName, place);
    if (afterOpen)
      afterOpen();
    emptyLineBuffer();
    gReader.dataLine = chosen ? int(record->found.line) : 0;
    finishRead(readWithDataReader(grammar));
  } catch (const ReaderError &e) {
    result = e.code;
  }
  // A compressed file must be sound to its end, also past the part read.
  if (result == 1 && f && (!record || record->checkWhole)) {
    try {
      checkWholeStream(f);
    } catch (const ReaderError &e) {
      result = e.code;
    }
  }
  if (f)
    fclose(f);
  gReader.fileName = savedName;
  gReader.dataFile = savedFile;
  gReader.dataSize = savedSize;
  return result;
}
