#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "ops/report.h"
#include "seq_builders.h"

namespace {

class ReportTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(500, 'A').c_str(), std::string(500, 'A').c_str());
    resetSlotDefaults(gCurrent);
    int32_t region[4] = {0, 500, 0, 500};
    memcpy(gCurrent->region, region, sizeof region);
    gCurrent->infoWidth = 80;
  }
  void TearDown() override { clearTestHits(); }
  void report(int32_t kind, int32_t first, int32_t second) {
    gCurrent->reportKind = kind;
    gCurrent->reportFirst = first;
    gCurrent->reportSecond = second;
  }
  std::string left() {
    char text[256];
    reportActionText(gCurrent, text, sizeof text, "", -1);
    return text;
  }
};

TEST_F(ReportTest, EachKindHasItsWordsAndCountersShowAbsoluteValues) {
  report(kReportAlign, 120, 3);
  EXPECT_EQ(left(), " Action: Align    Viewed: 120    Added: 3");
  report(kReportExpand, 4, 2);
  EXPECT_EQ(left(), " Action: Expand    Viewed: 4    Added: 2");
  report(kReportFill, 9, 5);
  EXPECT_EQ(left(), " Action: Fill    Added: 5");
  report(kReportTrim, 7, 6);
  EXPECT_EQ(left(), " Action: Trim    Tried: 7    Trimmed: 6");
  report(kReportMerge, 10, -4);
  EXPECT_EQ(left(), " Action: Merge    Tried: 10    Merged: 4");
  report(kReportRefine, 2, 1);
  EXPECT_EQ(left(), " Action: Refine    Tried: 2    Refined: 1");
  report(kReportKill, 0, 3);
  EXPECT_EQ(left(), " Action: Kill    Deleted: 3");
  report(kReportSave, 5, 5);
  EXPECT_EQ(left(), " Saved");
  for (int32_t kind : {0, 12, 13, 14, 19, 40}) {
    report(kind, 1, 1);
    EXPECT_EQ(left(), "") << kind;
  }
}

TEST_F(ReportTest, ProgressFormsAddTheTextAndThePercentage) {
  char text[256];
  report(kReportAlign, 1, 2);
  reportActionText(gCurrent, text, sizeof text, "", 42);
  EXPECT_STREQ(text, " Action: Align    Viewed: 1    Added: 2      (42)%");
  report(kReportFill, 0, 2);
  reportActionText(gCurrent, text, sizeof text, "x", 7);
  EXPECT_STREQ(text, " Action: Fill    Added: 2    x (7)%");
  report(kReportSave, 0, 0);
  reportActionText(gCurrent, text, sizeof text, "", 7);
  EXPECT_STREQ(text, " Saved");
}

TEST_F(ReportTest, TotalsEndAtTheLastColumnAndAreCutOnANarrowLine) {
  makeDiagonalHit(10, 10, 50);
  makeDiagonalHit(100, 100, 50);
  rebuildLists(0, 0);
  report(kReportGreedy, 0, 12);
  std::string line = ReportLine();
  EXPECT_EQ(line.size(), 80u);
  EXPECT_EQ(line.substr(0, 30), " Action: Greedy    Deleted: 12");
  EXPECT_EQ(line.substr(80 - 26), "Total: 2   Conflicting: 0 ");
  EXPECT_EQ(gCurrent->flagsA & kWinRecount, 0u);

  gCurrent->infoWidth = 30;
  line = ReportLine();
  EXPECT_EQ(line, " Action: GreedyTotal: 2   Conf");
}

} // namespace
