// The command file: passes, status bits, commands, options and their clamps.
#include "core/flags.h"
#include "reader_fixture.h"

using CommandFileTest = ReaderTest;

const char *kHead = "start\nopen in.loc_align\n";

TEST_F(CommandFileTest, StartLineAndNotACommandFile) {
  EXPECT_EQ(run("START show\nopen a\n"), 1u);
  // "start" binds in both passes; "show" acts in the execution pass only.
  EXPECT_EQ(gHookLog.joined(), "bind bind show open:a");

  EXPECT_EQ(run("LOCUS x\nstart\n"), 2u);
  EXPECT_EQ(gHookLog.joined(), "");
  EXPECT_EQ(run(""), 2u);

  EXPECT_EQ(run("! a comment first\nstart hide and more text\n!another\nopen a\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind hide open:a");
  EXPECT_STREQ(headlessUi().infoLine(), "Status: Ok.");
}

TEST_F(CommandFileTest, OneSyntaxErrorRunsNothing) {
  uint32_t s = run(std::string(kHead) + "align\nrefine\nalign w=\n");
  EXPECT_EQ(result(s), kErrBadCommand);
  EXPECT_TRUE(s & kRunError);
  EXPECT_EQ(gHookLog.joined(), "bind"); // only the check pass's start
  EXPECT_EQ(message(), "ERROR in line 5: Bad command in file. \nFile: " + path +
                           ", line: \nalign w=\n \nend: \n\n\n");
  EXPECT_STREQ(headlessUi().infoLine(), "ERROR in line 5: Bad command in file. ");
  EXPECT_EQ(gLastError, kErrBadCommand);
}

TEST_F(CommandFileTest, EmptyLineOrUnknownTextEndsTheFile) {
  EXPECT_EQ(run(std::string(kHead) + "refine\n\nalign\nthis is not read\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align refine");
  EXPECT_EQ(run(std::string(kHead) + " refine\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align");
  EXPECT_EQ(run(std::string(kHead) + "refine\nfrobnicate\nalign\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align refine");
}

TEST_F(CommandFileTest, ExitSetsItsBitAndStopsReading) {
  uint32_t s = run(std::string(kHead) + "kill\nEXIT now\nalign w=\n");
  EXPECT_EQ(s, 1u | kRunExitRequested);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align kill");
}

TEST_F(CommandFileTest, MissingFinalLineEndIsReportedAtEof) {
  uint32_t s = run(std::string(kHead) + "refine\nalign");
  EXPECT_EQ(s, static_cast<uint32_t>(kErrBadCommand) | kRunError);
  EXPECT_EQ(message(), "ERROR: Bad command in file. \nFile: " + path + ", EOF reached.\n");
  EXPECT_EQ(gHookLog.joined(), "bind");

  s = run("start");
  EXPECT_EQ(s, static_cast<uint32_t>(kErrInternal) | kRunError);
  EXPECT_EQ(message(), "ERROR: Internal error. \nFile: " + path + ", EOF reached.\n");
}

TEST_F(CommandFileTest, ErrorsOfTheInputLines) {
  EXPECT_EQ(result(run("start\nalign\n")), kErrNoSequenceName);
  EXPECT_EQ(message(), "ERROR in line 2: Filename for file with sequence is absend. \nFile: " +
                           path + ", line: \nalign\n \nend: \nalign\n\n");
  EXPECT_EQ(result(run("start\n")), kErrNoSequenceName);
  EXPECT_EQ(message(), "ERROR: Filename for file with sequence is absend. \nFile: " + path +
                           ", EOF reached.\n");
  // input1 must be followed by input2 on the second line.
  EXPECT_EQ(result(run("start\ninput1 a.fa\nalign\n")), kErrNoSequenceName);
  EXPECT_EQ(result(run("start\nopen\n")), kErrBadFilename);
  EXPECT_EQ(result(run("start\nopen \"a b\n")), kErrBadFilename);
  EXPECT_EQ(result(run("start\nopen \"\"\n")), kErrBadFilename);
  EXPECT_EQ(result(run("start\nopen a b\n")), kErrInternal);
  // A lone number where an interval may stand eats the line end.
  uint32_t s = run("start\ninput1 a.fa 100\ninput2 b.fa\n");
  EXPECT_EQ(result(s), kErrInternal);
  EXPECT_EQ(message(), "ERROR in line 3: Internal error. \nFile: " + path +
                           ", line: \ninput2 b.fa\n \nend: \ninput2 b.fa\n\n");
  EXPECT_EQ(result(run(std::string(kHead) + "save x.txt as html\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "save\n")), kErrBadFilename);
}

TEST_F(CommandFileTest, InputLinesFillTheSequenceRecordsThenNew) {
  gSeq2->from = 7;
  gSeq2->to = 9;
  gSeq2->flags |= kSeqInvertRequested;
  uint32_t s = run("start\ninput1 \"dir one/a.fa\" 100..250 invertcomplement\n"
                   "SEQUENCE2 b.gb\nrefine\n");
  EXPECT_EQ(s, 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind new:dir one/a.fa,b.gb refine");
  EXPECT_EQ(gSeq1->from, 100);
  EXPECT_EQ(gSeq1->to, 250);
  EXPECT_TRUE(gSeq1->flags & kSeqInvertRequested);
  EXPECT_EQ(gSeq2->from, 7); // no interval: kept
  EXPECT_EQ(gSeq2->to, 9);
  EXPECT_FALSE(gSeq2->flags & kSeqInvertRequested);

  const char *separators[] = {"250-100", "250,100", "250 100", "250.100", "250 ..100"};
  for (const char *sep : separators) {
    run(std::string("start\ninput1 a ") + sep + "\ninput2 b\n");
    EXPECT_EQ(gSeq1->from, 250) << sep;
    EXPECT_EQ(gSeq1->to, 100) << sep;
  }
}

TEST_F(CommandFileTest, FailingNewSetsTheErrorBitAndStopsTheActions) {
  gHookLog.newSessionFailures = 1;
  uint32_t s = run("start\ninput1 a\ninput2 b\nalign\nsave out as local\n");
  EXPECT_EQ(s, 1u | kRunError);
  EXPECT_EQ(gHookLog.joined(), "bind bind new:a,b");
}

TEST_F(CommandFileTest, Input1WithoutInput2LaterReadsOn) {
  EXPECT_EQ(run(std::string(kHead) + "input1 c.fa\nrefine\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align refine");
  EXPECT_STREQ(gSeq1->fileName, "c.fa");
}

TEST_F(CommandFileTest, FileNames) {
  std::string longName(300, 'n');
  EXPECT_EQ(run("start\nopen " + longName +
                "  \nsave \"x y.sal\" summary\nsave g.gal AS  GLOBAL\n"
                "save l.lal local\n"),
            1u);
  EXPECT_EQ(gHookLog.joined(),
            "bind bind open:" + longName.substr(0, 255) + " save2:x y.sal save0:g.gal save1:l.lal");
  EXPECT_EQ(gSaveFilter, 1);
}

TEST_F(CommandFileTest, AlignOptionsAndClamps) {
  EXPECT_EQ(run(std::string(kHead) + "align p<1e-10 maskall trim w=12 5/8=12 merge=30\n"), 1u);
  WindowRecord *w = gCurrent;
  EXPECT_DOUBLE_EQ(w->pValue, 1e-10);
  EXPECT_EQ(w->flagsB &
                (kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptAlignTrim | kOptAlignHash),
            kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptAlignTrim | kOptAlignHash);
  EXPECT_EQ(w->alignIsland.wordSize, 12);
  EXPECT_EQ(w->alignIsland.matchesPerFrame, 5);
  EXPECT_EQ(w->alignIsland.frameLength, 8);
  EXPECT_EQ(w->alignIsland.minTotalMatches, 12);
  EXPECT_EQ(w->alignIsland.maxGap, 30);

  run(std::string(kHead) + "align w=2\n");
  EXPECT_EQ(w->alignIsland.wordSize, 4);
  run(std::string(kHead) + "align hash=99 nomask notrim\n");
  EXPECT_EQ(w->alignIsland.wordSize, 32);
  EXPECT_EQ(w->flagsB & (kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptAlignTrim), 0u);
  run(std::string(kHead) + "align nohash maskknown\n");
  EXPECT_EQ(w->flagsB & (kOptAlignMaskRepeats | kOptAlignMaskFilter | kOptAlignHash),
            kOptAlignMaskRepeats);
  run(std::string(kHead) + "align 2/20=1\n");
  EXPECT_EQ(w->alignIsland.matchesPerFrame, 6);
  EXPECT_EQ(w->alignIsland.frameLength, 20);
  EXPECT_EQ(w->alignIsland.minTotalMatches, 6);
  run(std::string(kHead) + "align 30/0>1 merge=0\n");
  EXPECT_EQ(w->alignIsland.frameLength, 10);
  EXPECT_EQ(w->alignIsland.matchesPerFrame, 10);
  EXPECT_EQ(w->alignIsland.minTotalMatches, 10);
  EXPECT_EQ(w->alignIsland.maxGap, 1);
  run(std::string(kHead) + "align p=0\n");
  EXPECT_DOUBLE_EQ(w->pValue, 1e-30);
  run(std::string(kHead) + "align pvalue>5\n");
  EXPECT_DOUBLE_EQ(w->pValue, 1);
  EXPECT_EQ(gHookLog.calls.back(), "align");

  EXPECT_EQ(result(run(std::string(kHead) + "align 5/8>=12\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "align merge 3\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "align p 0.1\n")), kErrBadCommand);
}

TEST_F(CommandFileTest, ExpandHasItsOwnBitsAndNoHashOrPValue) {
  uint32_t before = gCurrent->flagsB;
  EXPECT_EQ(run(std::string(kHead) + "expand maskinternal notrim 3/9=4 merge=7\n"), 1u);
  WindowRecord *w = gCurrent;
  EXPECT_EQ(w->flagsB & kOptExpandMaskFilter, kOptExpandMaskFilter);
  EXPECT_EQ(w->flagsB & kOptExpandTrim, 0u);
  EXPECT_EQ(w->flagsB & (kOptAlignMaskFilter | kOptAlignTrim),
            before & (kOptAlignMaskFilter | kOptAlignTrim));
  EXPECT_EQ(w->expandIsland.matchesPerFrame, 3);
  EXPECT_EQ(w->expandIsland.frameLength, 9);
  EXPECT_EQ(w->expandIsland.minTotalMatches, 4);
  EXPECT_EQ(w->expandIsland.maxGap, 7);
  EXPECT_EQ(w->alignIsland.maxGap, 20);
  EXPECT_EQ(result(run(std::string(kHead) + "expand w=12\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "expand p<0.1\n")), kErrBadCommand);
}

TEST_F(CommandFileTest, ScoreConversions) {
  EXPECT_EQ(run(std::string(kHead) + "score m=1.5 mm=2 gapo=-3.0 gapl=1\n"), 1u);
  ScoreParams &s = gCurrent->score;
  EXPECT_EQ(s.match, 150);
  EXPECT_EQ(s.mismatch, -200);
  EXPECT_EQ(s.gapOpen, -300);
  EXPECT_EQ(s.gapElongation, -100);
  EXPECT_EQ(gHookLog.calls.back(), "scores");

  run(std::string(kHead) + "score match=-2\nscore mismatch=-2.5\n");
  EXPECT_EQ(s.match, 200);
  EXPECT_EQ(s.mismatch, -250);
  run(std::string(kHead) + "score gap open=4 gap elongation=.5\n");
  EXPECT_EQ(s.gapOpen, -400);
  EXPECT_EQ(s.gapElongation, -50);
  run(std::string(kHead) + "score open gap=1 elongation=2e0 mism=1 gapn=3\n");
  EXPECT_EQ(s.gapOpen, -100);
  EXPECT_EQ(s.gapElongation, -300);
  EXPECT_EQ(s.mismatch, -100);
  run(std::string(kHead) + "score open=7 m=1e30\n"); // huge values stay in range
  EXPECT_EQ(s.gapOpen, -700);
  EXPECT_EQ(s.match, 2147483647);
  EXPECT_EQ(result(run(std::string(kHead) + "score gap=1\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "score m 1\n")), kErrBadCommand);
}

TEST_F(CommandFileTest, ActionsReportKindsAndStatus) {
  gCurrent->reportFirst = 9;
  gCurrent->score.gapElongation = -170;
  EXPECT_EQ(run(std::string(kHead) +
                "merge merge=44\nreconcile\nfill\ncut loose ends\n"
                "greedy resolve\nresolve\noptimal chain\nundo\nhide\nshow\nrem anything at all\n"),
            1u);
  EXPECT_EQ(gHookLog.joined(),
            "bind bind open:in.loc_align merge reconcile fill trim greedy greedy "
            "optimal undo hide show");
  EXPECT_EQ(gCurrent->mergeMaxDistance, 44);
  EXPECT_EQ(gHookLog.gapElongationSeen, 0);
  EXPECT_EQ(gCurrent->score.gapElongation, -170);
  EXPECT_EQ(gCurrent->reportKind, 16);

  run(std::string(kHead) + "merge\n");
  EXPECT_EQ(gCurrent->reportKind, 11);
  EXPECT_EQ(gCurrent->reportFirst, 0);
  EXPECT_EQ(gCurrent->reportSecond, -3);
  run(std::string(kHead) + "kill\n");
  EXPECT_EQ(gCurrent->reportKind, 17);
}

TEST_F(CommandFileTest, InterruptionStopsTheRestButNotTheReading) {
  gHookLog.stopDuringAlign = true;
  uint32_t s = run(std::string(kHead) + "align\nrefine\n");
  EXPECT_EQ(s, 1u | kRunInterrupted);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align align");
  EXPECT_EQ(gActionStatus, 0u);
}

TEST_F(CommandFileTest, Selections) {
  WindowRecord *w = gCurrent;
  w->flagsA |= kWinModesFirstFour | kWinModeConflicting;
  EXPECT_EQ(run(std::string(kHead) + "select all\n"), 1u);
  EXPECT_EQ(w->flagsA & (kWinModesFirstFour | kWinModeConflicting), kWinModeConflicting);
  EXPECT_EQ(run(std::string(kHead) +
                "select short with length<50\nselect with high p<0.5\n"
                "select off diagonal\nselect overlapped\nunselect conflicts\n"),
            1u);
  EXPECT_EQ(gHookLog.joined(),
            "bind bind open:in.loc_align select5 select2 select4 select1 unselect3");
  EXPECT_EQ(w->shortLength, 50);
  EXPECT_DOUBLE_EQ(w->pValue, 0.5);
  EXPECT_EQ(w->flagsA & (kWinModesFirstFour | kWinModeConflicting), kWinModesFirstFour);
  run(std::string(kHead) + "select short with length==<-5\nunselect all\n");
  EXPECT_EQ(w->shortLength, 0);
  EXPECT_EQ(w->flagsA & kWinModesFirstFour, 0u);
  EXPECT_EQ(result(run(std::string(kHead) + "select short with length <50\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "select with high\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "unselect everything\n")), kErrBadCommand);

  // A word after "select" that is no kind starts an edit command.
  w->flagsA |= kWinModesFirstFour;
  EXPECT_EQ(run(std::string(kHead) + "select delete\n"), 1u);
  EXPECT_EQ(gHookLog.calls.back(), "delete");
  EXPECT_EQ(w->reportKind, 5);
  EXPECT_EQ(w->flagsA & kWinModesFirstFour, 0u);
}

TEST_F(CommandFileTest, FilterCommands) {
  WindowRecord *w = gCurrent;
  EXPECT_EQ(run(std::string(kHead) + "filter create periodic p<1e-4 internal 40 + 3\n"), 1u);
  EXPECT_EQ(w->flagsB & (kOptFilterPeriodic | kOptFilterPiles),
            kOptFilterPeriodic | kOptFilterPiles);
  EXPECT_DOUBLE_EQ(w->filter.maxPeriodicP, 1e-4);
  EXPECT_EQ(w->filter.minOverlap, 40);
  EXPECT_EQ(w->filter.minPile, 3);
  // Kinds are switched off first and on only with their values.
  EXPECT_EQ(run(std::string(kHead) + "update filter periodic\nfilter delete\n"), 1u);
  EXPECT_EQ(w->flagsB & (kOptFilterPeriodic | kOptFilterPiles), 0u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:in.loc_align filter1 filter2");
  run(std::string(kHead) + "create filter internal 10+2\n");
  EXPECT_EQ(w->flagsB & (kOptFilterPeriodic | kOptFilterPiles), kOptFilterPiles);
  EXPECT_EQ(result(run(std::string(kHead) + "filter make\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "create something\n")), kErrBadCommand);
  EXPECT_EQ(result(run(std::string(kHead) + "filter create internal 10 2\n")), kErrBadCommand);
}

TEST_F(CommandFileTest, UnsetHooksDoNothing) {
  gCommandActions = CommandActions();
  EXPECT_EQ(run("start show\ninput1 a\ninput2 b\nalign\nmerge\nsave x local\nselect all\n"
                "filter create\nscore m=2\nundo\nreconcile\ndelete\nexit\n"),
            1u | kRunExitRequested);
  EXPECT_EQ(gCurrent->score.match, 200);
}
