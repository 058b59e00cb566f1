// Compound runs the chosen steps in order and reports their sums.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "engine/drivers.h"
#include "fasta_pair.h"
#include "ops/merge.h"
#include "seq_builders.h"
#include "session/report.h"

namespace {

class CompoundTest : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string dir = std::string(VELK_TEST_DATA) + "/small/";
    loadTestSequences(readFastaRecord(dir + "human_577-2576.fa").c_str(),
                      readFastaRecord(dir + "orang_1-2000.fa").c_str());
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "seq1.fa");
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "seq2.fa");
    resetSlotDefaults(gCurrent);
    gCurrent->flagsA = 0;
    ASSERT_TRUE(resetEngine(1, gSeq1->length, 1, gSeq2->length));
  }
  void TearDown() override { clearTestHits(); }
  static int hits() {
    int n = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      n += h->firstBlock != nullptr;
    return n;
  }
};

TEST_F(CompoundTest, NoStepChosenChangesNothingAndReportsZeros) {
  gCurrent->flagsB &= ~(kOptCompoundAlign | kOptCompoundExpand | kOptCompoundMerge |
                        kOptCompoundTrim | kOptCompoundReconcile);
  gCurrent->reportFirst = 7;
  CompoundAction();
  EXPECT_EQ(hits(), 0);
  EXPECT_EQ(gCurrent->reportKind, kReportCompound);
  EXPECT_EQ(gCurrent->reportFirst, 0);
  EXPECT_EQ(gCurrent->reportSecond, 0);
}

TEST_F(CompoundTest, AllStepsBuildHitsAndSumTheirCounters) {
  CompoundAction();
  EXPECT_GT(hits(), 0);
  EXPECT_EQ(gCurrent->reportKind, kReportCompound);
  EXPECT_GT(gCurrent->reportFirst, 0) << "Align viewed islands";
  EXPECT_GT(gCurrent->reportSecond, 0) << "Align added hits";
  // A Compound with only Align on the same area adds nothing more: the
  // first run already covered the free space.
  const int before = hits();
  gCurrent->flagsB &=
      ~(kOptCompoundExpand | kOptCompoundMerge | kOptCompoundTrim | kOptCompoundReconcile);
  CompoundAction();
  EXPECT_EQ(hits(), before);
}

} // namespace
