// Body grammar of a saved alignment. After the header's score line comes
// one of three bodies: local ("Score:" lines, each with its three-line
// groups), summary (a title line and rows of figures, which make no hits)
// or global (three-line groups whose middle lines mark the hits).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/session.h"
#include "engine/columns.h"
#include "io/alignment_reader_internal.h"
#include "io/reader_engine.h"
#include "output/alignment_files.h"

bool gBodyMakesHits = false;
BodyGeometry gBodyGeometry;

namespace {
enum : int {
  aLocalHit = kAlignmentBodyActionFirst,
  aLocalPush,
  aEmptyLine,
  aRow1,
  aRow2,
  aLocalGroup,
  aLocalHitEnd,
  aGlobalPos1,
  aMiddle,
  aGlobalPos2,
  aGlobalGroup,
  aGlobalEnd,
  aReverseSection,
};
static_assert(aGlobalEnd <= kActionAlignmentLast, "too many actions");
constexpr int E = kErrBadFormat;

// clang-format off
// A local file whose hits all lie on the other strand begins with the
// line that opens their section.
enum { B_SCAN, B_SKIP, B_REST, B_EOL, B_EMPTY, B_EOF, B_REVERSE, B_REVEOL, B_REVEMPTY,
       B_REVSCORE, B_LOCAL, B_L, B_SUMMARY, B_S, B_GLOBAL };
constexpr auto kBody = makeGrammar({
    {kLitScoreBlank, at(B_REST), kNext, 0},           // B_SCAN
    {kRecAnyChar, at(B_SCAN), kOk, 0},                // B_SKIP
    {kRecLineChar, kSame, kNext, 0},                  // B_REST
    {kRecEndOfLine, kNext, kOk, 0},                   // B_EOL
    {kRecEndOfLine, kSame, kNext, aEmptyLine},        // B_EMPTY
    {kLitEof, kOk, kNext, aGlobalEnd},                // B_EOF
    {kRecReverseSection, kNext, at(B_LOCAL), aReverseSection}, // B_REVERSE
    {kRecEndOfLine, kNext, E, 0},                     // B_REVEOL
    {kRecEndOfLine, kSame, kNext, 0},                 // B_REVEMPTY
    {kLitScoreColon, at(B_L), E, 0},                  // B_REVSCORE
    {kLitScoreColon, kNext, at(B_SUMMARY), 0},        // B_LOCAL
    {kGrammarAlignLocal, kOk, E, 0},                  // B_L
    {kLitFirst, kNext, at(B_GLOBAL), 0},              // B_SUMMARY
    {kGrammarAlignSummary, kOk, E, 0},                // B_S
    {kGrammarAlignGlobal, kOk, E, 0},                 // B_GLOBAL
});

// Entered after "Score:". The coordinates line, then groups of three lines
// up to the next "Score:" or the end of the file. Once, the line that opens
// the other strand's section may stand before a "Score:".
enum { L_SCAN1, L_SKIP1, L_C1, L_F1, L_D1, L_T1, L_SCAN2, L_SKIP2, L_C2, L_F2, L_D2, L_T2,
       L_REST, L_EOL, L_G0, L_R1, L_E1, L_BAR, L_BLANK, L_E2, L_G2, L_R2, L_E3, L_EMPTY, L_EOF, L_NEXT,
       L_REVERSE, L_REVEOL, L_REVEMPTY, L_REVSCORE, L_MORE };
constexpr auto kLocal = makeGrammar({
    {kLitFirst, at(L_C1), kNext, 0},                  // L_SCAN1
    {kRecAnyChar, at(L_SCAN1), E, 0},                 // L_SKIP1
    {kLitColon, kNext, E, 0},                         // L_C1
    {kRecInteger, kNext, E, aLocalPush},              // L_F1
    {kLitDotDot, kNext, E, 0},                        // L_D1
    {kRecInteger, kNext, E, aLocalPush},              // L_T1
    {kLitSecond, at(L_C2), kNext, 0},                 // L_SCAN2
    {kRecLineChar, at(L_SCAN2), E, 0},                // L_SKIP2
    {kLitColon, kNext, E, 0},                         // L_C2
    {kRecInteger, kNext, E, aLocalPush},              // L_F2
    {kLitDotDot, kNext, E, 0},                        // L_D2
    {kRecInteger, kNext, E, aLocalHit},               // L_T2
    {kRecLineChar, kSame, kNext, 0},                  // L_REST
    {kRecEndOfLine, kNext, E, 0},                     // L_EOL
    {kLitBlank, kSame, kNext, 0},                     // L_G0
    {kRecAlignLetter, kSame, kNext, aRow1},           // L_R1
    {kRecEndOfLine, kNext, E, 0},                     // L_E1
    {kLitBar, at(L_BAR), kNext, 0},                   // L_BAR
    {kLitBlank, at(L_BAR), kNext, 0},                 // L_BLANK
    {kRecEndOfLine, kNext, E, 0},                     // L_E2
    {kLitBlank, kSame, kNext, 0},                     // L_G2
    {kRecAlignLetter, kSame, kNext, aRow2},           // L_R2
    {kRecEndOfLine, kNext, E, aLocalGroup},           // L_E3
    {kRecEndOfLine, kSame, kNext, aEmptyLine},        // L_EMPTY
    {kLitEof, kOk, kNext, aLocalHitEnd},              // L_EOF
    {kLitScoreColon, at(L_SCAN1), kNext, aLocalHitEnd}, // L_NEXT
    {kRecReverseSection, kNext, at(L_MORE), aReverseSection}, // L_REVERSE
    {kRecEndOfLine, kNext, E, 0},                     // L_REVEOL
    {kRecEndOfLine, kSame, kNext, 0},                 // L_REVEMPTY
    {kLitScoreColon, at(L_SCAN1), E, 0},              // L_REVSCORE
    {kRecAlways, at(L_G0), E, 0},                     // L_MORE
});

// Entered after "1st": the title line, then rows of four figures each
// followed by ";"; once, the line that opens the other strand's rows.
enum { S_TITLE, S_EOL, S_EMPTY, S_EOF, S_REVERSE, S_REVEOL, S_I1, S_C1, S_I2, S_C2, S_I3, S_C3,
       S_I4, S_C4, S_REST, S_ROWEND, S_EOF2 };
constexpr auto kSummary = makeGrammar({
    {kRecLineChar, kSame, kNext, 0},                  // S_TITLE
    {kRecEndOfLine, kNext, kOk, 0},                   // S_EOL
    {kRecEndOfLine, kSame, kNext, 0},                 // S_EMPTY
    {kLitEof, kOk, kNext, 0},                         // S_EOF
    {kRecReverseSection, kNext, at(S_I1), aReverseSection}, // S_REVERSE
    {kRecEndOfLine, at(S_EMPTY), E, 0},               // S_REVEOL
    {kRecInteger, kNext, E, 0},                       // S_I1
    {kLitSemicolon, kNext, E, 0},                     // S_C1
    {kRecInteger, kNext, E, 0},                       // S_I2
    {kLitSemicolon, kNext, E, 0},                     // S_C2
    {kRecInteger, kNext, E, 0},                       // S_I3
    {kLitSemicolon, kNext, E, 0},                     // S_C3
    {kRecInteger, kNext, E, 0},                       // S_I4
    {kLitSemicolon, kNext, E, 0},                     // S_C4
    {kRecLineChar, kSame, kNext, 0},                  // S_REST
    {kRecEndOfLine, at(S_EMPTY), kNext, 0},           // S_ROWEND
    {kLitEof, kOk, E, 0},                             // S_EOF2
});

// Three-line groups: "pos: letters", the marks, "pos: letters".
enum { R_P1, R_C1, R_B1, R_L1, R_E1, R_M, R_E2, R_P2, R_C2, R_B2, R_L2, R_E3, R_EMPTY, R_EOF };
constexpr auto kGlobal = makeGrammar({
    {kRecInteger, kNext, E, aGlobalPos1},             // R_P1
    {kLitColon, kNext, E, 0},                         // R_C1
    {kLitBlank, kNext, E, 0},                         // R_B1
    {kRecAlignLetter, kSame, kNext, aRow1},           // R_L1
    {kRecEndOfLine, kNext, E, 0},                     // R_E1
    {kRecLineChar, kSame, kNext, aMiddle},            // R_M
    {kRecEndOfLine, kNext, E, 0},                     // R_E2
    {kRecInteger, kNext, E, aGlobalPos2},             // R_P2
    {kLitColon, kNext, E, 0},                         // R_C2
    {kLitBlank, kNext, E, 0},                         // R_B2
    {kRecAlignLetter, kSame, kNext, aRow2},           // R_L2
    {kRecEndOfLine, kNext, E, aGlobalGroup},          // R_E3
    {kRecEndOfLine, kSame, kNext, 0},                 // R_EMPTY
    {kLitEof, kOk, at(R_P1), aGlobalEnd},             // R_EOF
});
// clang-format on

struct Run {
  int32_t x, y, length; // absolute 0-based positions while reading
};

// The group being read: which columns hold a residue in each row.
struct Rows {
  std::vector<bool> has1, has2;
  std::string middle;
  int offset = 0; // column of the rows' first letter in their lines
};

struct BodyState {
  Rows rows;
  int32_t values[4];
  int count = 0;
  int emptyLines = 0; // since the last group
  int groups = 0;     // global: groups read
  // Current hit (local) or open stretch (global).
  bool open = false;
  int32_t x = 0, y = 0;           // next positions, absolute
  int32_t startX = 0, startY = 0; // where the hit's first column stands
  int64_t residues1 = 0, residues2 = 0, expected1 = 0, expected2 = 0;
  std::vector<Run> blocks;
  bool inRun = false;
  bool hitOpen = false; // local: a "Score:" line read, its hit not yet made
  bool reverse = false; // in the other strand's section
} gBody;

// The section's line, without its line end.
bool recReverseSection() { return matchKeyword(kReverseSectionTitle); }

// ---- Hits -----------------------------------------------------------------
[[noreturn]] void badFormat() { reportSyntaxError(E); }

// A line may begin just past either end (with gaps, the next residue to
// come); anything further off is not a position of this sequence.
// The check pass knows only the header: positions must lie in the interval
// it names (one past either end for a line start), so that a file that does
// not fit its sequences is refused before the session is replaced.
void checkInHeaderInterval(int which, int32_t a, int32_t b, int32_t slack) {
  const int32_t from = gSavedHeader.from[which], to = gSavedHeader.to[which];
  if (to <= 0)
    return;
  // Wide: a header may name the ends of the int range.
  const int64_t lo = int64_t(std::min(from, to)) - slack, hi = int64_t(std::max(from, to)) + slack;
  if (std::min(a, b) < lo || std::max(a, b) > hi)
    badFormat();
}

// 0-based index of a 1-based position as the file holds it; a line may
// begin one past either end.
int32_t indexOf(int which, int32_t filePosition) {
  const int32_t length = gBodyGeometry.length[which];
  if (filePosition < 0 || filePosition > length + 1)
    badFormat();
  // The other strand's section counts sequence 2 along that strand.
  const bool inverted = gBodyGeometry.inverted[which] != (which == 1 && gBody.reverse);
  return inverted ? length - filePosition : filePosition - 1;
}

void column(bool has1, bool has2, bool inHit) {
  if (inHit && has1 && has2) {
    const Run *last = gBody.blocks.empty() ? nullptr : &gBody.blocks.back();
    if (gBody.inRun && last->x + last->length == gBody.x && last->y + last->length == gBody.y)
      ++gBody.blocks.back().length;
    else
      gBody.blocks.push_back({gBody.x, gBody.y, 1});
    gBody.inRun = true;
  } else {
    gBody.inRun = false;
  }
  if (has1) {
    ++gBody.x;
    ++gBody.residues1;
  }
  if (has2) {
    ++gBody.y;
    ++gBody.residues2;
  }
}

// Turns the collected blocks into a hit: coordinates from the blocks, links
// and cuts that the column walk reproduces, the fixed-weight score.
void makeHitFromBlocks() {
  std::vector<Run> runs;
  runs.swap(gBody.blocks);
  gBody.inRun = false;
  if (runs.empty())
    return;
  const Run &first = runs.front(), &last = runs.back();
  const int32_t start1 = first.x, start2 = first.y;
  const int32_t end1 = last.x + last.length, end2 = last.y + last.length;
  // A file that does not fit the sequences it names would send the walk
  // beyond their residues: every block must lie inside both, in order
  // (a line may start at position 0, but no residue lies there).
  int32_t reach1 = 0, reach2 = 0;
  for (const Run &r : runs) {
    if (r.x < reach1 || r.y < reach2 || r.x + int64_t(r.length) > gBodyGeometry.length[0] ||
        r.y + int64_t(r.length) > gBodyGeometry.length[1])
      badFormat();
    reach1 = r.x + r.length;
    reach2 = r.y + r.length;
  }
  if (!gBodyMakesHits)
    return;
  try {
    Hit *h = allocateHit();
    if (gBody.reverse)
      h->flags = kHitOtherStrand; // adopted into the second set, scored there
    h->start1 = start1;
    h->start2 = start2;
    h->end1 = end1;
    h->end2 = end2;
    HitBlock *prev = nullptr;
    for (size_t i = 0; i < runs.size(); ++i) {
      HitBlock *b = allocateBlock();
      b->x = runs[i].x - start1;
      b->y = runs[i].y - start2;
      b->length = runs[i].length;
      b->prev = prev;
      (prev ? prev->next : h->firstBlock) = b;
      if (prev) {
        // The gap lies in sequence 2 only (kind 0) or in sequence 1 only
        // (kind 1); either way the cut is the previous block's own end.
        bool gapInSeq1Only = b->y == prev->y + prev->length;
        prev->linkKind = gapInSeq1Only ? 1 : 0;
        prev->cut = gapInSeq1Only ? prev->y + prev->length : prev->x + prev->length;
      }
      prev = b;
    }
    if (!gBody.reverse)
      h->score = CountHitColumns(h, h->firstBlock);
  } catch (const EngineAbort &) {
    reportOutOfMemory(sizeof(Hit), "heap_alloc");
  }
}

// ---- Local ----------------------------------------------------------------
void actEmptyLine() { ++gBody.emptyLines; }
void actLocalPush() {
  if (gBody.count < 4)
    gBody.values[gBody.count++] = gReader.value.i;
}
int64_t span(int32_t from, int32_t to) {
  return (to > from ? int64_t(to) - from : int64_t(from) - to) + 1;
}
void actLocalHit() {
  actLocalPush();
  const int32_t from1 = gBody.values[0], to1 = gBody.values[1];
  const int32_t from2 = gBody.values[2], to2 = gBody.values[3];
  gBody.expected1 = span(from1, to1);
  gBody.expected2 = span(from2, to2);
  gBody.residues1 = gBody.residues2 = 0;
  gBody.blocks.clear();
  gBody.inRun = false;
  gBody.rows = Rows();
  if (!gBodyMakesHits) {
    checkInHeaderInterval(0, from1, to1, 0);
    checkInHeaderInterval(1, from2, to2, 0);
  }
  gBody.x = indexOf(0, from1);
  gBody.y = indexOf(1, from2);
  gBody.count = 0;
  gBody.hitOpen = true;
}
void actRow1() {
  if (gBody.rows.has1.empty()) // where the letters begin, for the marks below
    gBody.rows.offset = static_cast<int>(gReader.pos - 1 - readerLine());
  gBody.rows.has1.push_back(gReader.value.b != '-');
}
void actRow2() { gBody.rows.has2.push_back(gReader.value.b != '-'); }
void actLocalGroup() {
  Rows &r = gBody.rows;
  size_t n = std::max(r.has1.size(), r.has2.size());
  for (size_t i = 0; i < n; ++i)
    column(i < r.has1.size() && r.has1[i], i < r.has2.size() && r.has2[i], true);
  r = Rows();
  gBody.emptyLines = 0;
}
// A complete file ends with one empty line after its last group; more mean
// it was cut just before the next hit's "Score:" line.
void checkFileEnd() {
  if (gReader.atEof && gBody.emptyLines > 1)
    badFormat();
}
void actLocalHitEnd() {
  gBody.hitOpen = false;
  checkFileEnd();
  // The coordinate line says how many residues the rows must hold: fewer
  // means the file was cut off between groups.
  if (gBody.residues1 != gBody.expected1 || gBody.residues2 != gBody.expected2)
    badFormat();
  makeHitFromBlocks();
}

// The hit before the line ends there; a second such line is damage.
void actReverseSection() {
  if (gBody.reverse)
    badFormat();
  if (gBody.hitOpen)
    actLocalHitEnd();
  gBody.reverse = true;
  gBody.emptyLines = 0;
}

// ---- Global ---------------------------------------------------------------
// Each line goes on where the one before ended: a line whose position does
// not would pair residues that were never aligned.
void globalPosition(int which, int32_t &at) {
  int32_t index = indexOf(which, gReader.value.i);
  if (gBody.groups > 0 && index != at)
    badFormat();
  at = index;
  if (!gBodyMakesHits)
    checkInHeaderInterval(which, gReader.value.i, gReader.value.i, 1);
}
void actGlobalPos1() {
  gBody.rows = Rows();
  globalPosition(0, gBody.x);
}
void actMiddle() {
  // Collected from the line start so that column i is middle[offset + i].
  gBody.rows.middle.assign(readerLine(), gReader.pos);
  // Any other character is damage, and would shift a hit.
  if (gBody.rows.middle.find_first_not_of(" |*[{+:}]") != std::string::npos)
    badFormat();
}
void actGlobalPos2() { globalPosition(1, gBody.y); }

// A hit begins at "[" or "{" and ends after "]" or "}". A hit whose first
// or last column is a mismatch carries no bracket there: its marks "|" and
// "*" open it, an interhit mark ":" or "+" closes it.
void actGlobalGroup() {
  Rows &r = gBody.rows;
  size_t n = std::max(r.has1.size(), r.has2.size());
  for (size_t i = 0; i < n; ++i) {
    size_t m = r.offset + i;
    char mark = m < r.middle.size() ? r.middle[m] : ' ';
    bool opens = mark == '[' || mark == '{' ||
                 (!gBody.open && (mark == '|' || mark == '*' || mark == ']' || mark == '}'));
    if ((opens || mark == ':' || mark == '+') && gBody.open) {
      makeHitFromBlocks();
      gBody.open = false;
    }
    if (opens)
      gBody.open = true;
    column(i < r.has1.size() && r.has1[i], i < r.has2.size() && r.has2[i], gBody.open);
    if (mark == ']' || mark == '}') {
      makeHitFromBlocks();
      gBody.open = false;
    }
  }
  r = Rows();
  ++gBody.groups;
  gBody.emptyLines = 0;
}
void actGlobalEnd() {
  checkFileEnd();
  if (gBody.open)
    makeHitFromBlocks();
  gBody.open = false;
}
} // namespace

void ensureAlignmentBodyGrammar() {
  static bool done = false;
  if (done)
    return;
  done = true;
  ensureReaderEngine();
  registerGrammar(kGrammarAlignBody, kBody, "alignment body");
  registerGrammar(kGrammarAlignLocal, kLocal, "local alignment");
  registerGrammar(kGrammarAlignSummary, kSummary, "alignment summary");
  registerGrammar(kGrammarAlignGlobal, kGlobal, "global alignment");
  registerRecogniser(kRecReverseSection, recReverseSection);
  const ReaderAction actions[] = {actLocalHit, actLocalPush,  actEmptyLine,   actRow1,
                                  actRow2,     actLocalGroup, actLocalHitEnd, actGlobalPos1,
                                  actMiddle,   actGlobalPos2, actGlobalGroup, actGlobalEnd};
  int index = aLocalHit;
  for (ReaderAction a : actions)
    registerAction(index++, a);
  registerAction(aReverseSection, actReverseSection);
}

// Forgets what an earlier read left (a read that ended in an error).
void resetAlignmentBody() { gBody = BodyState(); }
