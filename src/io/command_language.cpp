// Actions of the command language. Option actions only note their value and
// bit; command actions act in the execution pass while no status bit is
// set, and every command action clears the option bits afterwards.
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/parameter_rules.h"
#include "core/params.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/command_actions.h"
#include "io/command_file.h"
#include "io/command_language.h"
#include "ops/journal.h"

CommandActions gCommandActions = {};
CommandOptions gCommandOptions;

static bool mayAct() { return (gReader.passFlags & kPassTopBits) == kPassExecute; }
// In batch mode a journal that cannot be written is an error: an undo
// further on would do nothing and a save would keep what it should undo.
static void endCommand() {
  if (mayAct() && journalDisabled() && ui() == &headlessUi())
    gReader.passFlags |= kRunError;
  gReader.passFlags &= ~kPassOptionMask;
}
static bool has(uint32_t bit) { return (gReader.passFlags & bit) != 0; }

// A command's action in which an allocation failed is an error: it is undone
// (its frame has not journaled it) and no later command runs.
template <class Hook> static void guarded(Hook &&hook) {
  clearOutOfMemory();
  try {
    hook();
  } catch (const std::bad_alloc &) {
    noteOutOfMemory();
  } catch (const EngineAbort &) {
    noteOutOfMemory();
  }
  if (UndoActionShortOfMemory())
    gReader.passFlags |= kRunError;
}
static void setOption(uint32_t bit) { gReader.passFlags |= bit; }

// Engine actions may end with an Esc stop: that stops the rest of the file.
static void noteInterruption() {
  if (gActionStatus & kStatusStop)
    gReader.passFlags |= kRunInterrupted;
  gActionStatus = 0;
}

static void prepareReport(int kind) {
  gCurrent->reportFirst = 0;
  gCurrent->reportSecond = 0;
  gCurrent->reportKind = kind;
}

// A score typed in units becomes hundredths, truncated, kept inside int32.
static int32_t toHundredths(double v) {
  double h = std::trunc(v * 100);
  if (!(h > -INT_MAX))
    return h != h ? 0 : -INT_MAX;
  if (h > INT_MAX)
    return INT_MAX;
  return static_cast<int32_t>(h);
}

static void copyName(char *to) {
  memcpy(to, readerName(), static_cast<size_t>(gReader.nameLength));
  to[gReader.nameLength] = 0;
}

// ---- Start, exit, show, hide ------------------------------------------------
static void actStart() {
  gCurrent = &gSlots[0];
  if (gCommandActions.bindWindow0)
    gCommandActions.bindWindow0();
}
static void actExit() { gReader.passFlags |= kRunExitRequested; }

// Whether a line after the present one holds a command: blank, comment and
// "rem" lines hold none.
static bool commandsFollow(FILE *f) {
  const long at = ftell(f);
  char line[kLineBytes];
  bool more = false;
  while (!more && fgets(line, sizeof line, f)) {
    const char *p = line + strspn(line, " \t\r\n");
    more = line[0] != '!' && *p && strncasecmp(line, "rem", 3) != 0;
  }
  fseek(f, at, SEEK_SET);
  return more;
}

// An empty line ends the commands. In batch mode, commands after it would
// be skipped without a word: the check pass says so, and the run ends as
// an error, as nobody may be there to read the caution.
static void actEmptyLine() {
  FILE *f = gReader.commandFile;
  if (ui() != &headlessUi() || !f || !commandsFollow(f))
    return;
  if (gReader.passFlags & kPassExecute) {
    gReader.passFlags |= kRunError;
    return;
  }
  char text[kLineBytes + 160];
  snprintf(text, sizeof text,
           "Line %d of %s is empty and ends the commands; the lines after it are not run.\n",
           gReader.commandLine, gReader.fileName);
  ui()->messageBox("Caution", text, Buttons::Ok, kAnswerOk);
}

static void runSimple(void (*hook)()) {
  if (mayAct() && hook)
    guarded(hook);
  endCommand();
}
static void actShow() { runSimple(gCommandActions.showWindow); }
static void actHide() { runSimple(gCommandActions.hideWindow); }
static void actUndo() { runSimple(gCommandActions.undo); }

// ---- Input, open, save ------------------------------------------------------
static void actInputStart() {
  gCommandOptions.invert = false;
  gCommandOptions.softmask = false;
  gCommandOptions.record[0] = 0;
}
static void actInvert() { gCommandOptions.invert = true; }
// "record=" and what follows up to a blank: a name, digits or "#N".
static bool recRecordEq() {
  char *start = gReader.pos;
  if (!matchKeyword("record="))
    return false;
  size_t n = strcspn(gReader.pos, " \r\n");
  if (n == 0 || n >= sizeof gCommandOptions.record ||
      (gReader.pos[0] == '#' && (n == 1 || strspn(gReader.pos + 1, "0123456789") != n - 1 ||
                                 strtol(gReader.pos + 1, nullptr, 10) < 1))) {
    gReader.pos = start;
    return false;
  }
  memcpy(gCommandOptions.record, gReader.pos, n);
  gCommandOptions.record[n] = 0;
  gReader.pos += n;
  return true;
}
static bool recSoftmask() {
  if (!matchKeyword("softmask"))
    return false;
  gCommandOptions.softmask = true;
  return true;
}

static void applyInputLine(Sequence *s) {
  if (!s)
    return;
  copyName(s->fileName);
  s->flags &= static_cast<uint16_t>(~kSeqInvertRequested);
  // No interval is the whole sequence, whatever an earlier line or file set.
  s->from = gReader.intervalGiven ? gReader.intervalFrom : 0;
  s->to = gReader.intervalGiven ? gReader.intervalTo : 0;
  if (gCommandOptions.invert)
    s->flags |= kSeqInvertRequested;
  snprintf(s->record, sizeof s->record, "%s", gCommandOptions.record);
  if (gCommandOptions.softmask)
    s->flags |= kSeqSoftmask;
  else
    s->flags &= static_cast<uint16_t>(~kSeqSoftmask);
}

static void actInput1Line() {
  if (mayAct())
    applyInputLine(gSeq1);
  endCommand();
}

// The data reads of New and Open share the line buffer: the command reader
// starts its next line afresh.
static void actInput2Line() {
  if (mayAct()) {
    applyInputLine(gSeq2);
    // The window shows what the lines load, not a window an opened file set.
    memset(gRequested, 0, sizeof gRequested);
    const char *file = gReader.fileName;
    guarded([] {
      if (gCommandActions.newSession && gCommandActions.newSession() != 0)
        gReader.passFlags |= kRunError;
    });
    gReader.fileName = file;
    emptyLineBuffer();
  }
  endCommand();
}

static void actOpen() {
  if (mayAct()) {
    copyName(gPathBuffer);
    const char *file = gReader.fileName;
    guarded([] {
      if (gCommandActions.openAlignment && gCommandActions.openAlignment() != 0)
        gReader.passFlags |= kRunError;
    });
    gReader.fileName = file;
    emptyLineBuffer();
  }
  endCommand();
}

static void save(int format) {
  if (mayAct()) {
    copyName(gPathBuffer);
    gSaveFilter = format;
    if (gCommandActions.save)
      guarded([format] { gCommandActions.save(format); });
  }
  endCommand();
}
// "save  as Local" has lost its name: "as" would be read as one.
static void actSaveName() {
  if (gReader.nameLength == 2 && strncasecmp(readerName(), "as", 2) == 0 &&
      strncasecmp(gReader.pos, "as", 2) != 0)
    reportSyntaxError(kErrBadFilename);
}

static void actSaveGlobal() { save(kSaveGlobal); }
static void actSaveLocal() { save(kSaveLocal); }
static void actSaveSummary() { save(kSaveSummary); }
static void actSavePaf() { save(kSavePaf); }
static void actSaveMaf() { save(kSaveMaf); }
static bool recPaf() { return matchKeyword("PAF"); }
static bool recMaf() { return matchKeyword("MAF"); }

// ---- Align and Expand ---------------------------------------------------------
struct IslandBits {
  uint32_t trim, repeats, filter;
};

// The options given, in their fixed order, then the clamps.
static void applyIslandOptions(IslandParams &ip, IslandBits bits, bool align) {
  WindowRecord *w = gCurrent;
  if (align && has(kCmdOptPValue))
    w->pValue = clampedPValue(gCommandOptions.pValue);
  if (has(kCmdOptNomask))
    w->flagsB &= ~(bits.repeats | bits.filter);
  if (has(kCmdOptMaskInternal))
    w->flagsB |= bits.filter;
  if (has(kCmdOptMaskAll))
    w->flagsB |= bits.repeats | bits.filter;
  if (has(kCmdOptMaskKnown))
    w->flagsB |= bits.repeats;
  if (has(kCmdOptNotrim))
    w->flagsB &= ~bits.trim;
  if (has(kCmdOptTrim))
    w->flagsB |= bits.trim;
  if (align && has(kCmdOptNohash))
    w->flagsB &= ~kOptAlignHash;
  if (align && has(kCmdOptHash)) {
    w->flagsB |= kOptAlignHash;
    ip.wordSize = toInt16(gCommandOptions.wordSize);
  }
  if (align && has(kCmdOptRepeats))
    ip.repeatLimit = gCommandOptions.repeatLimit;
  if (align && has(kCmdOptSensitive))
    ip.seedShape = gCommandOptions.seedShape;
  if (align && has(kCmdOptStrands))
    ip.strands = gCommandOptions.strands;
  if (align && has(kCmdOptExtend))
    ip.extend = gCommandOptions.extend;
  if (has(kCmdOptM))
    ip.matchesPerFrame = toInt16(gCommandOptions.m);
  if (has(kCmdOptN))
    ip.frameLength = toInt16(gCommandOptions.n);
  if (has(kCmdOptK))
    ip.minTotalMatches = toInt16(gCommandOptions.k);
  if (has(kCmdOptMerge))
    ip.maxGap = toInt16(gCommandOptions.merge);

  clampIslandParams(ip, align);
}

static void actAlign() {
  if (mayAct()) {
    applyIslandOptions(gCurrent->alignIsland,
                       {kOptAlignTrim, kOptAlignMaskRepeats, kOptAlignMaskFilter}, true);
    if (gCommandActions.align)
      guarded(gCommandActions.align);
    noteInterruption();
  }
  endCommand();
}

static void actExpand() {
  if (mayAct()) {
    applyIslandOptions(gCurrent->expandIsland,
                       {kOptExpandTrim, kOptExpandMaskRepeats, kOptExpandMaskFilter}, false);
    if (gCommandActions.expand)
      guarded(gCommandActions.expand);
    noteInterruption();
  }
  endCommand();
}

// ---- Other construction and conflict commands ------------------------------------
// kind < 0: no report preparation.
static void runAction(void (*hook)(), int kind, bool inspectStatus) {
  if (mayAct()) {
    if (kind >= 0)
      prepareReport(kind);
    if (hook)
      guarded(hook);
    if (inspectStatus)
      noteInterruption();
  }
  endCommand();
}

static void actMerge() {
  if (mayAct()) {
    if (has(kCmdOptMerge))
      gCurrent->mergeMaxDistance = toInt16(gCommandOptions.merge);
    prepareReport(11);
    if (gCommandActions.merge)
      guarded(gCommandActions.merge);
    gCurrent->reportSecond = -gCurrent->reportSecond;
    noteInterruption();
  }
  endCommand();
}
static void actRefine() { runAction(gCommandActions.refine, 8, true); }
static void actFill() { runAction(gCommandActions.fill, -1, true); }
static void actTrim() { runAction(gCommandActions.trim, 4, true); }
static void actGreedy() { runAction(gCommandActions.greedy, 15, true); }
static void actOptimal() { runAction(gCommandActions.optimal, 16, true); }
static void actKill() { runAction(gCommandActions.kill, 17, false); }

static void actReconcile() {
  if (mayAct()) {
    prepareReport(10);
    saveStackPush(gCurrent->score.gapElongation);
    gCurrent->score.gapElongation = 0;
    if (gCommandActions.reconcile)
      guarded(gCommandActions.reconcile);
    gCurrent->score.gapElongation = saveStackPop();
    noteInterruption();
  }
  endCommand();
}

static void actDelete() {
  if (mayAct()) {
    prepareReport(5);
    gCurrent->flagsA &= ~kWinModesFirstFour;
    if (gCommandActions.deleteSelected)
      guarded(gCommandActions.deleteSelected);
  }
  endCommand();
}

// ---- Score --------------------------------------------------------------------
static void setScore(int32_t ScoreParams::*field) {
  if (mayAct()) {
    gCurrent->score.*field = toHundredths(gReader.value.d);
    gCurrent->score = clampedScores(gCurrent->score);
  }
}
static void actScoreMatch() { setScore(&ScoreParams::match); }
static void actScoreMismatch() { setScore(&ScoreParams::mismatch); }
static void actScoreGapOpen() { setScore(&ScoreParams::gapOpen); }
static void actScoreGapElongation() { setScore(&ScoreParams::gapElongation); }
static void actScoreDone() { runSimple(gCommandActions.scoresChanged); }

// ---- Options ---------------------------------------------------------------------
static void actOptM() {
  gCommandOptions.m = gReader.value.i;
  setOption(kCmdOptM);
}
static void actOptN() {
  gCommandOptions.n = gReader.value.i;
  setOption(kCmdOptN);
}
static void actOptK() {
  gCommandOptions.k = gReader.value.i;
  setOption(kCmdOptK);
}
static void actOptHash() {
  gCommandOptions.wordSize = gReader.value.i;
  setOption(kCmdOptHash);
}
static void actOptNohash() { setOption(kCmdOptNohash); }
// Align options without a literal of their own: recognisers that set the
// option as an action would ("repeats=" needs its number).
static bool recRepeatsEq() {
  char *start = gReader.pos;
  if (!matchKeyword("repeats="))
    return false;
  char *end = gReader.pos;
  const long v = strtol(gReader.pos, &end, 10);
  if (end == gReader.pos) {
    gReader.pos = start;
    return false;
  }
  gReader.pos = end;
  while (*gReader.pos == ' ')
    ++gReader.pos;
  gCommandOptions.repeatLimit = correctRepeatLimit(v);
  setOption(kCmdOptRepeats);
  return true;
}
// A word that sets one Align option, held until the command uses it.
static bool wordOption(const char *word, int16_t CommandOptions::*field, int16_t value,
                       uint32_t bit) {
  if (!matchKeyword(word))
    return false;
  gCommandOptions.*field = value;
  setOption(bit);
  return true;
}
static bool seedOption(const char *word, int16_t shape) {
  return wordOption(word, &CommandOptions::seedShape, shape, kCmdOptSensitive);
}
static bool recSensitive() { return seedOption("sensitive", 1); }
static bool recInterspersed() {
  if (!matchKeyword("interspersed"))
    return false;
  setOption(kCmdOptInterspersed);
  return true;
}
static bool recNoSensitive() { return seedOption("nosensitive", 0); }
static bool recBoth() { return wordOption("both", &CommandOptions::strands, 1, kCmdOptStrands); }
static bool recNoBoth() {
  return wordOption("noboth", &CommandOptions::strands, 0, kCmdOptStrands);
}
static bool recExtend() { return wordOption("extend", &CommandOptions::extend, 1, kCmdOptExtend); }
static bool recNoExtend() {
  return wordOption("noextend", &CommandOptions::extend, 0, kCmdOptExtend);
}
// The action table is full: the command's word acts as its action would.
static bool recReverse() {
  if (!matchKeyword("reverse"))
    return false;
  runSimple(gCommandActions.reverse);
  return true;
}
static void actOptPValue() {
  gCommandOptions.pValue = gReader.value.d;
  setOption(kCmdOptPValue);
}
static void actOptTrim() { setOption(kCmdOptTrim); }
static void actOptNotrim() { setOption(kCmdOptNotrim); }
static void actOptMerge() {
  gCommandOptions.merge = gReader.value.i;
  setOption(kCmdOptMerge);
}
static void actOptMaskInternal() { setOption(kCmdOptMaskInternal); }
static void actOptMaskAll() { setOption(kCmdOptMaskAll); }
static void actOptMaskKnown() { setOption(kCmdOptMaskKnown); }
static void actOptNomask() { setOption(kCmdOptNomask); }

// ---- Filter ---------------------------------------------------------------------
static void filter(FilterOp op) {
  if (mayAct()) {
    WindowRecord *w = gCurrent;
    if (op != FilterOp::Delete) {
      w->flagsB &= ~(kOptFilterPeriodic | kOptFilterPiles | kOptFilterInterspersed);
      if (has(kCmdOptPValue)) {
        w->flagsB |= kOptFilterPeriodic;
        w->filter.maxPeriodicP = clampedPValue(gCommandOptions.pValue);
      }
      if (has(kCmdOptM) && has(kCmdOptN)) {
        w->flagsB |= kOptFilterPiles;
        w->filter.minOverlap = gCommandOptions.m;
        w->filter.minPile = gCommandOptions.n;
      }
      if (has(kCmdOptInterspersed))
        w->flagsB |= kOptFilterInterspersed;
    }
    if (gCommandActions.filter)
      guarded([op] { gCommandActions.filter(op); });
  }
  endCommand();
}
static void actFilterCreate() { filter(FilterOp::Create); }
static void actFilterUpdate() { filter(FilterOp::Update); }
static void actFilterDelete() { filter(FilterOp::Delete); }

// ---- Selections -----------------------------------------------------------------
static void setKind(SelectKind k) { gCommandOptions.kind = static_cast<int>(k); }
static void actKindAll() { setKind(SelectKind::All); }
static void actKindOverlapped() { setKind(SelectKind::Overlapped); }
static void actKindHighP() { setKind(SelectKind::HighPValue); }
static void actKindConflicting() { setKind(SelectKind::Conflicting); }
static void actKindOffDiagonal() { setKind(SelectKind::OffDiagonal); }
static void actKindShort() { setKind(SelectKind::Short); }

static uint32_t modeBit(SelectKind k) {
  switch (k) {
  case SelectKind::Overlapped:
    return kWinModeOverlapped;
  case SelectKind::HighPValue:
    return kWinModeHighP;
  case SelectKind::Conflicting:
    return kWinModeConflicting;
  case SelectKind::OffDiagonal:
    return kWinModeOffDiagonal;
  case SelectKind::Short:
    return kWinModeShort;
  case SelectKind::All:
    break;
  }
  return 0;
}

static void actSelect() {
  if (mayAct()) {
    WindowRecord *w = gCurrent;
    auto kind = static_cast<SelectKind>(gCommandOptions.kind);
    if (kind == SelectKind::All)
      w->flagsA &= ~kWinModesFirstFour;
    if (kind == SelectKind::HighPValue)
      w->pValue = clampedPValue(gCommandOptions.pValue);
    if (kind == SelectKind::Short)
      w->shortLength = gCommandOptions.m < 0 ? 0 : gCommandOptions.m;
    w->flagsA |= modeBit(kind);
    if (gCommandActions.select)
      guarded([kind] { gCommandActions.select(kind); });
  }
  endCommand();
}

static void actUnselect() {
  if (mayAct()) {
    auto kind = static_cast<SelectKind>(gCommandOptions.kind);
    gCurrent->flagsA &= ~(kind == SelectKind::All ? kWinModesFirstFour : modeBit(kind));
    if (gCommandActions.unselect)
      guarded([kind] { gCommandActions.unselect(kind); });
  }
  endCommand();
}

void registerCommandActions() {
  static const ReaderAction table[] = {
      actStart,
      actExit,
      actInputStart,
      actInvert,
      actInput1Line,
      actInput2Line,
      actOpen,
      actSaveGlobal,
      actSaveLocal,
      actSaveSummary,
      actAlign,
      actExpand,
      actMerge,
      actRefine,
      actFill,
      actTrim,
      actReconcile,
      actGreedy,
      actOptimal,
      actKill,
      actDelete,
      actUndo,
      actHide,
      actShow,
      actScoreMatch,
      actScoreMismatch,
      actScoreGapOpen,
      actScoreGapElongation,
      actScoreDone,
      actOptM,
      actOptN,
      actOptK,
      actOptHash,
      actOptNohash,
      actOptPValue,
      actOptTrim,
      actOptNotrim,
      actOptMerge,
      actOptMaskInternal,
      actOptMaskAll,
      actOptMaskKnown,
      actOptNomask,
      actKindAll,
      actKindOverlapped,
      actKindHighP,
      actKindConflicting,
      actKindOffDiagonal,
      actKindShort,
      actSelect,
      actUnselect,
      actFilterCreate,
      actFilterUpdate,
      actFilterDelete,
      actSaveName,
      actEmptyLine,
      actSavePaf,
      actSaveMaf,
  };
  static_assert(sizeof table / sizeof table[0] == kActCommandEnd - kActStart,
                "one function per command action, in index order");
  for (int i = kActStart; i < kActCommandEnd; ++i)
    registerAction(i, table[i - kActStart]);
  registerRecogniser(kRecRepeatsEq, recRepeatsEq);
  registerRecogniser(kRecSensitive, recSensitive);
  registerRecogniser(kRecNoSensitive, recNoSensitive);
  registerRecogniser(kRecInterspersed, recInterspersed);
  registerRecogniser(kRecRecordEq, recRecordEq);
  registerRecogniser(kRecSoftmask, recSoftmask);
  registerRecogniser(kRecPaf, recPaf);
  registerRecogniser(kRecMaf, recMaf);
  registerRecogniser(kRecBoth, recBoth);
  registerRecogniser(kRecNoBoth, recNoBoth);
  registerRecogniser(kRecExtend, recExtend);
  registerRecogniser(kRecNoExtend, recNoExtend);
  registerRecogniser(kRecReverse, recReverse);
}

void ensureCommandLanguage() {
  static bool done = false;
  if (done)
    return;
  done = true;
  ensureReaderEngine();
  registerCommandGrammars();
  registerCommandActions();
}
