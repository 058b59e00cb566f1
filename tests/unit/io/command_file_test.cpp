// The command file: passes, status bits, commands, options and their clamps.
#include "core/params.h"
#include "reader_fixture.h"

namespace {

using CommandFileTest = ReaderTest;

const std::string kHead = "start\nopen in\n";
const std::string kHeadCalls = "bind bind open:in";
constexpr uint32_t kBadCommand = kErrBadCommand | kRunError;

std::vector<int> island(const IslandParams &p) {
  return {p.matchesPerFrame, p.frameLength, p.minTotalMatches, p.maxGap, p.wordSize};
}

TEST_F(CommandFileTest, RunsStatusCallsAndMessages) {
  // "start" binds in both passes; the other hooks run in the execution pass
  // only, so a failed check leaves just "bind". '@' stands for the path.
  struct Case {
    std::string text;
    uint32_t status;
    std::string calls, message;
  } cases[] = {
      {"START show\nopen a\n", 1, "bind bind show open:a", ""},
      {"LOCUS x\nstart\n", 2, "", ""},
      {"", 2, "", ""},
      {"! a comment first\nstart hide and more text\n!another\nopen a\n", 1,
       "bind bind hide open:a", ""},
      // An empty line ends the file; in batch mode commands it skips make
      // the run an error. Text that is no command is an error, and so is a
      // word that is no kind after "select".
      {"start show\r\nopen a\r\nrefine\r\n\r\nalign\r\n", 1 | kRunError,
       "bind bind show open:a refine", ""},
      {kHead + "refine\n\nalign\nthis is not read\n", 1 | kRunError, kHeadCalls + " refine", ""},
      {kHead + "refine\n  \n", 1, kHeadCalls + " refine", ""},
      {kHead + "refine\nfrobnicate\nalign\n", kBadCommand, "bind",
       "ERROR in line 4: Bad command in file. \nFile: @, line: \nfrobnicate\n \nend: "
       "\nfrobnicate\n\n"},
      {kHead + "select bogus\n", kBadCommand, "bind", ""},
      {kHead + " refine\n", kBadCommand, "bind", ""},
      {kHead + "kill\nEXIT now\nalign w=\n", 1 | kRunExitRequested, kHeadCalls + " kill", ""},
      // An input1 line alone would name a sequence that is never read.
      {kHead + "input1 c.fa\nrefine\n", kErrNoSequenceName | kRunError, "bind", ""},
      // A save whose name is missing reads "as" as none.
      {kHead + "save  as Local\n", kErrBadFilename | kRunError, "bind", ""},
      {kHead + "save as\n", kErrBadFilename | kRunError, "bind", ""},
      {kHead + "align\nrefine\nalign w=\n", kBadCommand, "bind",
       "ERROR in line 5: Bad command in file. \nFile: @, line: \nalign w=\n \nend: \n\n\n"},
      {kHead + "refine\nalign", kBadCommand, "bind",
       "ERROR: Bad command in file. \nFile: @, EOF reached.\n"},
      {"start", kErrInternal | kRunError, "bind",
       "ERROR: Internal error. \nFile: @, EOF reached.\n"},
      {"start\nalign\n", kErrNoSequenceName | kRunError, "bind",
       "ERROR in line 2: Filename for file with sequence is absend. \nFile: @, line: \nalign\n "
       "\nend: \nalign\n\n"},
      {"start\n", kErrNoSequenceName | kRunError, "bind",
       "ERROR: Filename for file with sequence is absend. \nFile: @, EOF reached.\n"},
      // input1 must be followed by input2 on the next line.
      {"start\ninput1 a.fa\nalign\n", kErrNoSequenceName | kRunError, "bind", ""},
      {"start\nopen\n", kErrBadFilename | kRunError, "bind", ""},
      {"start\nopen \"a b\n", kErrBadFilename | kRunError, "bind",
       "ERROR in line 2: Bad filename. \nFile: @, line: \nopen \"a b\n \nend: \n\n\n"},
      {"start\nopen a b\n", kErrInternal | kRunError, "bind", ""},
      // A lone number where an interval may stand eats the line end.
      {"start\ninput1 a.fa 100\ninput2 b.fa\n", kErrInternal | kRunError, "bind",
       "ERROR in line 3: Internal error. \nFile: @, line: \ninput2 b.fa\n \nend: \ninput2 "
       "b.fa\n\n"},
      {kHead + "save\n", kErrBadFilename | kRunError, "bind", ""},
      // A lone CR is fatal, without the error bit.
      {"start\ropen a\r", kErrNonPc, "bind",
       "ERROR: NonPC file format. \nFile: @. \nBreakpoint in Mc\n"},
      {"start\nopen a\nrefine\rkill\n", kErrNonPc, "bind", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(run(c.text), c.status);
    EXPECT_EQ(gHookLog.calls, c.calls);
    std::string want = c.message;
    for (size_t at; (at = want.find('@')) != std::string::npos;)
      want.replace(at, 1, path);
    if (!want.empty()) {
      EXPECT_EQ(message(), want);
    }
    if ((c.status & kRunError) && (c.status & kRunResultMask) != 1) {
      EXPECT_EQ(gLastError, int(c.status & kRunResultMask));
    }
  }
  EXPECT_STREQ(headlessUi().infoLine(), "ERROR: NonPC file format. ");
  gLastError = 0; // an earlier error keeps its message
  run("start\nopen a\n");
  EXPECT_STREQ(headlessUi().infoLine(), "Status: Ok.");

  for (const char *bad : {"align w=", "align 5/8>=12", "align merge 3", "expand w=12",
                          "score gap=1", "select short with length <50", "select with high",
                          "filter create internal 10 2", "save x.txt as html"})
    EXPECT_EQ(run(kHead + bad + "\n"), kBadCommand) << bad;
}

TEST_F(CommandFileTest, FailedNewAndInterruptionStopTheActions) {
  gHookLog.newSessionFailures = 1;
  EXPECT_EQ(run("start\ninput1 a\ninput2 b\nalign\nsave out as local\n"), 1u | kRunError);
  EXPECT_EQ(gHookLog.calls, "bind bind new:a,b");
  // An Esc during Align stops the rest, but the file is still read through.
  gHookLog.stopDuringAlign = true;
  EXPECT_EQ(run(kHead + "align\nrefine\n"), 1u | kRunInterrupted);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " align");
  EXPECT_EQ(gActionStatus, 0u);
}

TEST_F(CommandFileTest, InputLinesAndFileNames) {
  gSeq2->from = 7;
  gSeq2->to = 9;
  gSeq2->flags |= kSeqInvertRequested;
  EXPECT_EQ(run("start\ninput1 \"dir one/a.fa\" 100..250 invertcomplement\n"
                "SEQUENCE2 b.gb\nrefine\n"),
            1u);
  EXPECT_EQ(gHookLog.calls, "bind bind new:dir one/a.fa,b.gb refine");
  EXPECT_EQ(std::vector<int>({gSeq1->from, gSeq1->to, gSeq2->from, gSeq2->to}),
            std::vector<int>({100, 250, 0, 0})); // no interval: the whole sequence
  EXPECT_TRUE(gSeq1->flags & kSeqInvertRequested);
  EXPECT_FALSE(gSeq2->flags & kSeqInvertRequested);

  std::string longName(300, 'n');
  EXPECT_EQ(run("start\nopen " + longName +
                "  \nsave \"x y.sal\" summary\nsave g.gal AS  GLOBAL\nsave l.lal local\nsave as as "
                "Local\n"),
            1u);
  EXPECT_EQ(gHookLog.calls,
            "bind bind open:" + longName + " save2:x y.sal save0:g.gal save1:l.lal save1:as");
  EXPECT_EQ(gSaveFilter, 1);
  // Names are used whole up to the system's limit; past it, refused.
  std::string tooLong(kPathBytes, 'n');
  EXPECT_EQ(run("start\nopen " + tooLong + "\n"), kErrBadFilename | kRunError);
  EXPECT_EQ(run(kHead + "save \"" + tooLong + "\" as Local\n"), kErrBadFilename | kRunError);
  EXPECT_EQ(gHookLog.calls, "bind");
}

// record= and softmask in any order with invertcomplement; each input line
// starts afresh. PAF and MAF are saves like the others.
TEST_F(CommandFileTest, RecordSoftmaskAndStandardFormats) {
  EXPECT_EQ(run("start\ninput1 a.fa.gz 5-9 softmask record=chr2 invertcomplement\n"
                "input2 b.fa RECORD=#12   Softmask \nsave x.paf as PAF\nsave y as maf\n"),
            1u);
  EXPECT_EQ(gHookLog.calls, "bind bind new:a.fa.gz,b.fa save4:x.paf save5:y");
  EXPECT_STREQ(gSeq1->record, "chr2");
  EXPECT_STREQ(gSeq2->record, "#12");
  EXPECT_EQ(gSeq1->flags & (kSeqSoftmask | kSeqInvertRequested),
            kSeqSoftmask | kSeqInvertRequested);
  EXPECT_TRUE(gSeq2->flags & kSeqSoftmask);
  EXPECT_EQ(gSaveFilter, 5);
  EXPECT_EQ(run("start\ninput1 a.fa\ninput2 b.fa record=7\n"), 1u);
  EXPECT_EQ(gSeq1->record[0], 0);
  EXPECT_STREQ(gSeq2->record, "7");
  EXPECT_FALSE((gSeq1->flags | gSeq2->flags) & kSeqSoftmask);
  for (const char *bad : {"record=", "record=#", "record=#0", "record=#2x", "softmaskx"})
    EXPECT_EQ(result(run("start\ninput1 a.fa\ninput2 b.fa " + std::string(bad) + "\n")),
              kErrInternal)
        << bad;
  EXPECT_EQ(run("start\nopen in\nsave x.paf as PAFF\n"), kBadCommand);
}

// A number past the 32-bit range, or an interval with its "from" alone,
// would load or set something else than written: errors with their line.
TEST_F(CommandFileTest, NumbersOutOfRangeAndHalfIntervals) {
  for (const char *bad : {"input1 a 4294967297 - 4294967396", "input1 a 100-", "input1 a 100..",
                          "input1 a 100 invertcomplement", "input1 a 1..12345678901234567890",
                          "input1 a 2147483648,9", "input1 a -2147483649..5"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(run(std::string("start\n") + bad + "\ninput2 b\nrefine\n"), kBadCommand);
    EXPECT_EQ(gHookLog.calls, "bind");
    const std::string head = "ERROR in line 2: Bad command in file. \nFile: " + path;
    EXPECT_EQ(message().substr(0, head.size()), head);
  }
  for (const char *bad : {"align w=4294967312", "align 5/8=99999999999999999999",
                          "merge merge=-99999999999", "select short with length<4294967346"})
    EXPECT_EQ(run(kHead + bad + "\n"), kBadCommand) << bad;
  EXPECT_EQ(run("start\ninput1 a 2147483647..-2147483648\ninput2 b\n"), 1u);
  EXPECT_EQ(std::vector<int>({gSeq1->from, gSeq1->to}), std::vector<int>({INT32_MAX, INT32_MIN}));
}

TEST_F(CommandFileTest, AlignAndExpandOptionsWithClamps) {
  WindowRecord *w = gCurrent;
  const uint32_t allAlign =
      kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptAlignTrim | kOptAlignHash;
  EXPECT_EQ(run(kHead + "align p<1e-10 maskall trim w=12 5/8=12 merge=30\n"), 1u);
  EXPECT_DOUBLE_EQ(w->pValue, 1e-10);
  EXPECT_EQ(w->flagsB & allAlign, allAlign);
  EXPECT_EQ(island(w->alignIsland), std::vector<int>({5, 8, 12, 30, 12}));
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " align");

  run(kHead + "align w=2\n");
  EXPECT_EQ(w->alignIsland.wordSize, 4);
  run(kHead + "align hash=99 nomask notrim\n");
  EXPECT_EQ(w->alignIsland.wordSize, 32);
  EXPECT_EQ(w->flagsB & allAlign, kOptAlignHash);
  run(kHead + "align maskknown\n");
  EXPECT_EQ(w->flagsB & allAlign, kOptAlignHash | kOptAlignMaskRepeats);
  run(kHead + "align nomask maskinternal\n");
  EXPECT_EQ(w->flagsB & allAlign, kOptAlignHash | kOptAlignMaskFilter);
  run(kHead + "align nomask\n");
  run(kHead + "align 2/20=1\n");
  EXPECT_EQ(island(w->alignIsland), std::vector<int>({6, 20, 6, 30, 32}));
  run(kHead + "align 30/0>1 merge=0\n");
  EXPECT_EQ(island(w->alignIsland), std::vector<int>({10, 10, 10, 1, 32}));
  run(kHead + "align p=0\n");
  EXPECT_DOUBLE_EQ(w->pValue, 1e-30);
  EXPECT_EQ(w->alignIsland.repeatLimit, kDefaultRepeatLimit);
  run(kHead + "align Repeats=7 sensitive\n");
  EXPECT_EQ(w->alignIsland.repeatLimit, 7);
  EXPECT_EQ(w->alignIsland.seedShape, 1);
  run(kHead + "align repeats=-3 nosensitive\n");
  EXPECT_EQ(w->alignIsland.repeatLimit, 0);
  EXPECT_EQ(w->alignIsland.seedShape, 0);
  EXPECT_EQ(run(kHead + "align repeats=\n"), kBadCommand);

  // Expand has its own bits and takes neither a word size nor a p-value.
  uint32_t alignBits = w->flagsB & allAlign;
  EXPECT_EQ(run(kHead + "expand maskinternal notrim 3/9=4 merge=7\n"), 1u);
  EXPECT_EQ(w->flagsB & (kOptExpandMaskFilter | kOptExpandTrim), kOptExpandMaskFilter);
  EXPECT_EQ(w->flagsB & allAlign, alignBits);
  EXPECT_EQ(island(w->expandIsland), std::vector<int>({3, 9, 4, 7, 16}));
  EXPECT_EQ(w->alignIsland.maxGap, 1);
  // Short frames would need no match at all: one is the least.
  run(kHead + "expand 0/3=0\nalign -4/2=-9\n");
  EXPECT_EQ(island(w->expandIsland), std::vector<int>({1, 3, 1, 7, 16}));
  EXPECT_EQ(island(w->alignIsland), std::vector<int>({1, 2, 1, 1, 32}));
}

TEST_F(CommandFileTest, ScoreConversions) {
  ScoreParams &s = gCurrent->score;
  auto score = [&] { return std::vector<int>({s.match, s.mismatch, s.gapOpen, s.gapElongation}); };
  EXPECT_EQ(run(kHead + "score m=1.5 mm=2 gapo=-3.0 gapl=1\n"), 1u);
  EXPECT_EQ(score(), std::vector<int>({150, -200, -300, -100}));
  run(kHead + "score m=1.239\n"); // hundredths, truncated
  EXPECT_EQ(s.match, 123);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " scores");
  run(kHead + "score match=-2\nscore mismatch=-2.5\nscore gap open=4 gap elongation=.5\n");
  EXPECT_EQ(score(), std::vector<int>({200, -250, -400, -50}));
  run(kHead + "score open gap=1 elongation=2e0 mism=1 gapn=3\n");
  EXPECT_EQ(score(), std::vector<int>({200, -100, -100, -300}));
  // Huge values are held where no sum of the engine can overflow.
  run(kHead + "score open=7 m=1e30\n");
  EXPECT_EQ(score(), std::vector<int>({kScoreLimit, -100, -700, -300}));
  run(kHead + "score m=30000000 mm=-1e30 gapo=1e30 gapl=-5e9\n");
  EXPECT_EQ(score(), std::vector<int>({kScoreLimit, -kScoreLimit, -kScoreLimit, -kScoreLimit}));
}

TEST_F(CommandFileTest, ActionsReportKindsAndStatus) {
  WindowRecord *w = gCurrent;
  w->reportFirst = 9;
  w->score.gapElongation = -170;
  EXPECT_EQ(run(kHead + "merge merge=44\nreconcile\nfill\ncut loose ends\ngreedy resolve\n"
                        "resolve\noptimal chain\nundo\nhide\nshow\nrem anything at all\n"),
            1u);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " merge reconcile fill trim greedy greedy "
                                         "optimal undo hide show");
  EXPECT_EQ(w->mergeMaxDistance, 44);
  // Reconcile runs with gap elongation 0, restored afterwards.
  EXPECT_EQ(gHookLog.gapElongationSeen, 0);
  EXPECT_EQ(w->score.gapElongation, -170);
  EXPECT_EQ(w->reportKind, 16);
  run(kHead + "merge\n");
  EXPECT_EQ(std::vector<int>({w->reportKind, w->reportFirst, w->reportSecond}),
            std::vector<int>({11, 0, -3}));
  run(kHead + "kill\n");
  EXPECT_EQ(w->reportKind, 17);
}

TEST_F(CommandFileTest, SelectionsAndFilters) {
  WindowRecord *w = gCurrent;
  const uint32_t modes = kWinModesFirstFour | kWinModeConflicting;
  w->flagsA |= modes;
  EXPECT_EQ(run(kHead + "select all\n"), 1u);
  EXPECT_EQ(w->flagsA & modes, kWinModeConflicting);
  EXPECT_EQ(run(kHead + "select short with length<50\nselect with high p<0.5\n"
                        "select off diagonal\nselect overlapped\nunselect conflicts\n"),
            1u);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " select5 select2 select4 select1 unselect3");
  EXPECT_EQ(w->shortLength, 50);
  EXPECT_DOUBLE_EQ(w->pValue, 0.5);
  EXPECT_EQ(w->flagsA & modes, kWinModesFirstFour);
  run(kHead + "select short with length==<-5\nunselect all\n");
  EXPECT_EQ(w->shortLength, 0);
  EXPECT_EQ(w->flagsA & kWinModesFirstFour, 0u);
  // A word after "select" that is no kind starts an edit command.
  w->flagsA |= kWinModesFirstFour;
  EXPECT_EQ(run(kHead + "select delete\n"), 1u);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " delete");
  EXPECT_EQ(w->reportKind, 5);
  EXPECT_EQ(w->flagsA & kWinModesFirstFour, 0u);

  const uint32_t kinds = kOptFilterPeriodic | kOptFilterPiles;
  EXPECT_EQ(run(kHead + "filter create periodic p<1e-4 internal 40 + 3\n"), 1u);
  EXPECT_EQ(w->flagsB & kinds, kinds);
  EXPECT_DOUBLE_EQ(w->filter.maxPeriodicP, 1e-4);
  EXPECT_EQ(std::make_pair(w->filter.minOverlap, w->filter.minPile), std::make_pair(40, 3));
  // Kinds are switched off first and on only with their values.
  EXPECT_EQ(run(kHead + "update filter periodic\nfilter delete\n"), 1u);
  EXPECT_EQ(w->flagsB & kinds, 0u);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " filter1 filter2");
  run(kHead + "create filter internal 10+2\n");
  EXPECT_EQ(w->flagsB & kinds, kOptFilterPiles);
}

TEST_F(CommandFileTest, UnsetHooksDoNothing) {
  gCommandActions = CommandActions();
  EXPECT_EQ(run("start show\ninput1 a\ninput2 b\nalign\nmerge\nsave x local\nselect all\n"
                "filter create\nscore m=2\nundo\nreconcile\ndelete\nexit\n"),
            1u | kRunExitRequested);
  EXPECT_EQ(gCurrent->score.match, 200);
}

} // namespace

TEST_F(CommandFileTest, BothStrandsAndReverse) {
  WindowRecord *w = gCurrent;
  EXPECT_EQ(run(kHead + "align both sensitive\nreverse\nundo\n"), 1u);
  EXPECT_EQ(gHookLog.calls, kHeadCalls + " align reverse undo");
  EXPECT_EQ(w->alignIsland.strands, 1);
  EXPECT_EQ(w->alignIsland.seedShape, 1);
  run(kHead + "align\n");
  EXPECT_EQ(w->alignIsland.strands, 1) << "kept, like the other Align options";
  run(kHead + "align NoBoth\n");
  EXPECT_EQ(w->alignIsland.strands, 0);
  // Checked before anything runs: a typo stops the file at once.
  EXPECT_EQ(run(kHead + "reverse\nreverse strands\n"), kBadCommand);
  EXPECT_EQ(gHookLog.calls.find("reverse"), std::string::npos);
  EXPECT_EQ(run(kHead + "align bothe\n"), kBadCommand);
}
