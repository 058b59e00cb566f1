#include "ops/journal.h"
#include "output/alignment_files.h"
#include "output_fixture.h"

using LocalWriter = WriterTest;

TEST_F(LocalWriter, GappedHitInLocalAndSummaryFiles) {
  load("ACTTTGTAN", "aCGGGTCN");
  const std::string empty = header(9, 8);
  const std::string titles =
      empty + "1st from; 1st to; 2nd from; 2nd to; Matches; Mismatches; Gaps #; Gaps length\n";
  std::string loc = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_EQ(readFile(loc), empty);
  std::string sum = setOutput("x.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  EXPECT_EQ(readFile(sum), titles);

  // AC, TTT against GG, then GTAN against GTCN.
  makeTestHit(0, 0, {{0, 0, 2}, {5, 4, 4}});
  ASSERT_TRUE(WriteSummaryFile(false));
  EXPECT_EQ(readFile(sum),
            titles + "     1;      9;       1;      8;       4;     2;     1;     5\n");
  setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_EQ(readFile(loc), empty +
                               "\nScore: -5, Matches: 4, Mismatches: 2, Gaps #: 1 Gaps length: 5\n"
                               "     1st: 1 .. 9 (9)   2nd: 1 .. 8 (8)\n"
                               "ACT-T-TGTAN\n"
                               "||     ||  \n"
                               "aC-G-G-GTCN\n\n");
  // A hit outside the window's region is left out with windowOnly only.
  const int32_t away[4] = {20, 30, 20, 30};
  memcpy(gCurrent->region, away, sizeof away);
  ASSERT_TRUE(WriteLocalFile(true));
  EXPECT_EQ(readFile(loc), empty);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LocalWriter, BlocksOfAHundredColumns) {
  std::string p = randomBases(201, 1);
  load(p.c_str(), p.c_str());
  makeDiagonalHit(100, 100, 101);
  makeDiagonalHit(0, 0, 100);
  rebuildLists(0, 0);
  std::string out = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  std::string bars(100, '|'), first = p.substr(0, 100), second = p.substr(100, 100);
  EXPECT_EQ(readFile(out),
            header(201, 201) +
                "\nScore: 100, Matches: 100, Mismatches: 0, Gaps #: 0 Gaps length: 0\n"
                "     1st: 1 .. 100 (100)   2nd: 1 .. 100 (100)\n" +
                first + "\n" + bars + "\n" + first + "\n\n" +
                "\nScore: 101, Matches: 101, Mismatches: 0, Gaps #: 0 Gaps length: 0\n"
                "     1st: 101 .. 201 (101)   2nd: 101 .. 201 (101)\n" +
                second + "\n" + bars + "\n" + second + "\n\n" + p[200] + "\n|\n" + p[200] + "\n\n");
}

TEST_F(LocalWriter, InvertedSequenceTwoCountsDownAndScoresRoundTowardZero) {
  std::string p = randomBases(1000, 2);
  load(p.c_str(), p.c_str());
  invertTestSequence(1);
  makeDiagonalHit(10, 10, 10);
  std::string out = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  std::string text = readFile(out);
  EXPECT_NE(text.find("    1 .. 1000 InvertComplement\n"), std::string::npos);
  EXPECT_NE(text.find("     1st: 11 .. 20 (10)   2nd: 990 .. 981 (10)\n"), std::string::npos);

  // -300 hundredths: 2 matches, 1 mismatch, one gap of 1.
  load("ACGT", "AGA");
  makeTestHit(0, 0, {{0, 0, 1}, {2, 1, 2}});
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_NE(readFile(out).find("Score: -2, Matches: 2, Mismatches: 1, Gaps #: 1 Gaps length: 1\n"),
            std::string::npos);
}

TEST_F(LocalWriter, RefusedTargetIsReportedAndMarksNothingSaved) {
  load("ACGT", "ACGT");
  makeDiagonalHit(0, 0, 4);
  rebuildLists(0, 0);
  JournalAction(65); // New, then Align: changes to save
  JournalAction(73);
  ASSERT_TRUE(journalHasUnsavedChanges());
  snprintf(gPathBuffer, sizeof gPathBuffer, "/dev/full");
  EXPECT_FALSE(WriteLocalFile(false));
  EXPECT_FALSE(WriteSummaryFile(false));
  EXPECT_FALSE(WriteFootnotesHeader("/dev/full"));
  const Box full{"Error", "Cannot save over a folder, device or pipe.\n    File: /dev/full\n"};
  EXPECT_EQ(ui.boxes, std::vector<Box>(3, full));
  EXPECT_TRUE(journalHasUnsavedChanges());
  setOutput("ok.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  EXPECT_FALSE(journalHasUnsavedChanges());
  journalShutdown();
}
