#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/session.h"
#include "output/alignment_files.h"
#include "output_fixture.h"

namespace {
std::string pattern(int n) {
  std::string s;
  for (int i = 0; i < n; ++i)
    s += "ACGTTGCA"[i % 8];
  return s;
}

// Hit of the gapped case: AC, TTT against GG, then GTAN against GTCN.
void gappedHit() { makeTestHit(0, 0, {{0, 0, 2}, {5, 4, 4}}); }
const char kGappedSeq1[] = "ACTTTGTAN";
const char kGappedSeq2[] = "aCGGGTCN";
} // namespace

using LocalWriter = WriterTest;

TEST_F(LocalWriter, WholeFileWithGapRegionLowerCaseAndN) {
  load(kGappedSeq1, kGappedSeq2);
  gappedHit();
  std::string out = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_EQ(readFile(out), sequenceHeader(9, 8) + parameterHeader(9, 8) +
                               "\nScore: -5, Matches: 4, Mismatches: 2, Gaps #: 1 Gaps length: 5\n"
                               "     1st: 1 .. 9 (9)   2nd: 1 .. 8 (8)\n"
                               "ACT-T-TGTAN\n"
                               "||     ||  \n"
                               "aC-G-G-GTCN\n\n");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LocalWriter, BlocksOfAHundredColumns) {
  std::string p = pattern(201);
  load(p.c_str(), p.c_str());
  makeDiagonalHit(100, 100, 101);
  makeDiagonalHit(0, 0, 100);
  rebuildLists(0, 0);
  std::string out = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  std::string bars(100, '|');
  std::string first = p.substr(0, 100), second = p.substr(100, 100), last = p.substr(200);
  EXPECT_EQ(readFile(out),
            sequenceHeader(201, 201) + parameterHeader(201, 201) +
                "\nScore: 100, Matches: 100, Mismatches: 0, Gaps #: 0 Gaps length: 0\n"
                "     1st: 1 .. 100 (100)   2nd: 1 .. 100 (100)\n" +
                first + "\n" + bars + "\n" + first + "\n\n" +
                "\nScore: 101, Matches: 101, Mismatches: 0, Gaps #: 0 Gaps length: 0\n"
                "     1st: 101 .. 201 (101)   2nd: 101 .. 201 (101)\n" +
                second + "\n" + bars + "\n" + second + "\n\n" + last + "\n|\n" + last + "\n\n");
}

TEST_F(LocalWriter, InvertedSequenceTwoCountsDownAndScoresRoundTowardZero) {
  std::string p = pattern(1000);
  load(p.c_str(), p.c_str());
  invertTestSequence(1);
  // 10 columns of which the walk decides matches; the coordinates are the
  // point here.
  makeDiagonalHit(10, 10, 10);
  std::string out = setOutput("x.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  std::string text = readFile(out);
  EXPECT_NE(text.find("    1 .. 1000 InvertComplement\n"), std::string::npos);
  EXPECT_NE(text.find("     1st: 11 .. 20 (10)   2nd: 990 .. 981 (10)\n"), std::string::npos);

  // Score -300 hundredths: 2 matches, 1 mismatch, one gap of 1.
  load("ACGT", "AGA");
  makeTestHit(0, 0, {{0, 0, 1}, {2, 1, 2}});
  setOutput("y.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  text = readFile(dir + "/y.loc_align");
  EXPECT_NE(text.find("Score: -2, Matches: 2, Mismatches: 1, Gaps #: 1 Gaps length: 1\n"),
            std::string::npos)
      << text;
}

TEST_F(LocalWriter, EmptyAndWindowOnlyGiveHeadersAlone) {
  load(kGappedSeq1, kGappedSeq2);
  std::string loc = setOutput("e.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_EQ(readFile(loc), sequenceHeader(9, 8) + parameterHeader(9, 8));
  std::string sum = setOutput("e.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  const std::string titles =
      "1st from; 1st to; 2nd from; 2nd to; Matches; Mismatches; Gaps #; Gaps length\n";
  EXPECT_EQ(readFile(sum), sequenceHeader(9, 8) + parameterHeader(9, 8) + titles);

  // A hit outside the window's region is left out with windowOnly only.
  gappedHit();
  int32_t away[4] = {20, 30, 20, 30};
  memcpy(gCurrent->region, away, sizeof away);
  ASSERT_TRUE(WriteSummaryFile(true));
  EXPECT_EQ(readFile(sum), sequenceHeader(9, 8) + parameterHeader(9, 8) + titles);
  ASSERT_TRUE(WriteSummaryFile(false));
  EXPECT_EQ(readFile(sum), sequenceHeader(9, 8) + parameterHeader(9, 8) + titles +
                               "     1;      9;       1;      8;       4;     2;     1;     5\n");
}

TEST_F(LocalWriter, FootnotesFileHasNoParameterHeader) {
  load(kGappedSeq1, kGappedSeq2);
  Hit *h = makeDiagonalHit(7, 6, 2);
  std::string out = dir + "/f.ftn_align";
  ASSERT_TRUE(WriteFootnotesHeader(out.c_str()));
  WriteHitLocal(h, h->firstBlock);
  WriteHitLocal(h, h->firstBlock->next); // no blocks: nothing
  ASSERT_TRUE(CloseFootnotesFile());
  EXPECT_EQ(readFile(out), "Footnotes\n\n" + sequenceHeader(9, 8) +
                               "\nScore: -1, Matches: 0, Mismatches: 2, Gaps #: 0 Gaps length: 0\n"
                               "     1st: 8 .. 9 (2)   2nd: 7 .. 8 (2)\n"
                               "AN\n"
                               "  \n"
                               "CN\n\n");
}

TEST_F(LocalWriter, FailuresAreReportedAndLeaveNoFile) {
  load(kGappedSeq1, kGappedSeq2);
  gappedHit();
  std::string missing = setOutput("no/such/folder/x.loc_align");
  EXPECT_FALSE(WriteLocalFile(false));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Error");
  EXPECT_EQ(ui.boxes[0].text, "Cannot open file for save.\n    File: " + missing + "\n");

  // A full disk: every write fails once the buffer is flushed.
  snprintf(gPathBuffer, sizeof gPathBuffer, "/dev/full");
  EXPECT_FALSE(WriteLocalFile(false));
  EXPECT_FALSE(WriteSummaryFile(false));
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[1].text, "Cannot write file for save.\n    File: /dev/full\n");
  ASSERT_TRUE(WriteFootnotesHeader("/dev/full"));
  EXPECT_FALSE(CloseFootnotesFile());
  EXPECT_EQ(ui.boxes.size(), 4u);
}
