#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "session/report.h"

TEST(ReportTest, LineFormsOfEachKindWithProgressTotalsAndANarrowLine) {
  loadTestSequences(std::string(500, 'A').c_str(), std::string(500, 'A').c_str());
  resetSlotDefaults(gCurrent);
  int32_t region[4] = {0, 500, 0, 500};
  memcpy(gCurrent->region, region, sizeof region);
  gCurrent->infoWidth = 80;
  struct Case {
    int32_t kind, first, second;
    const char *extra;
    int percent;
    const char *text;
  } cases[] = {
      {kReportAlign, 120, 3, "", -1, " Action: Align    Viewed: 120    Added: 3"},
      {kReportExpand, 4, 2, "", -1, " Action: Expand    Viewed: 4    Added: 2"},
      {kReportFill, 9, 5, "", -1, " Action: Fill    Added: 5"},
      {kReportTrim, 7, 6, "", -1, " Action: Trim    Tried: 7    Trimmed: 6"},
      {kReportMerge, 10, -4, "", -1, " Action: Merge    Tried: 10    Merged: 4"},
      {kReportRefine, 2, 1, "", -1, " Action: Refine    Tried: 2    Refined: 1"},
      {kReportKill, 0, 3, "", -1, " Action: Kill    Deleted: 3"},
      {kReportSave, 5, 5, "", -1, " Saved"},
      {kReportAlign, 1, 2, "", 42, " Action: Align    Viewed: 1    Added: 2      (42)%"},
      {kReportFill, 0, 2, "x", 7, " Action: Fill    Added: 2    x (7)%"},
      {kReportSave, 0, 0, "", 7, " Saved"},
      {kReportSaveFailed, 0, 0, "", -1, " Not saved"},
      {0, 1, 1, "", -1, ""},
      {12, 1, 1, "", -1, ""},
      {kReportReverse, 1, 1, "", -1, " Action: Reverse"},
      {21, 1, 1, "", -1, ""},
      {40, 1, 1, "", -1, ""},
  };
  for (const Case &c : cases) {
    gCurrent->reportKind = c.kind;
    gCurrent->reportFirst = c.first;
    gCurrent->reportSecond = c.second;
    char text[256];
    reportActionText(gCurrent, text, sizeof text, c.extra, c.percent);
    EXPECT_STREQ(text, c.text) << c.kind;
  }

  // Totals end at the last column and are cut on a narrow line.
  makeDiagonalHit(10, 10, 50);
  makeDiagonalHit(100, 100, 50);
  rebuildLists(0, 0);
  gCurrent->reportKind = kReportGreedy;
  gCurrent->reportSecond = 12;
  std::string line = ReportLine();
  EXPECT_EQ(line,
            " Action: Greedy    Deleted: 12" + std::string(24, ' ') + "Total: 2   Conflicting: 0 ");
  EXPECT_EQ(gCurrent->flagsA & kWinRecount, 0u);
  gCurrent->infoWidth = 30;
  EXPECT_EQ(std::string(ReportLine()), " Action: GreedyTotal: 2   Conf");
  // A repeat count is never cut: the line grows to hold it and the totals.
  gCurrent->reportKind = kReportAlign;
  gCurrent->reportFirst = 120;
  gCurrent->reportSecond = 3;
  gCurrent->reportRepeats = 7;
  EXPECT_EQ(std::string(ReportLine()), " Action: Align    Viewed: 120    Added: 3    Repeats: 7 "
                                       "Total: 2   Conflicting: 0 ");
  gCurrent->reportRepeats = 0;
  // Printed in batch mode, the line is never cut: it grows.
  gCurrent->infoWidth = 0;
  gCurrent->reportFirst = 402113;
  gCurrent->reportSecond = 39949;
  gCurrent->hitCount = 39949;
  gCurrent->conflictCount = 39213;
  EXPECT_EQ(std::string(ReportLineWhole()), " Action: Align    Viewed: 402113    Added: 39949 "
                                            "Total: 39949   Conflicting: 39213 ");
  gCurrent->reportFirst = 120;
  gCurrent->reportSecond = 3;
  EXPECT_EQ(std::string(ReportLineWhole()), std::string(ReportLine()));
  clearTestHits();
}
