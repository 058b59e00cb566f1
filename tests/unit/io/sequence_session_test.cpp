#include "core/new_session.h"
#include "ops/journal.h"
#include "reader_fixture.h"

namespace {

using TypedInterval = ReaderTest;

TEST_F(TypedInterval, SeparatorsAndFailures) {
  struct Case {
    const char *text;
    int result, from, to;
  } cases[] = {
      {"100..250", 1, 100, 250}, {"250-100", 1, 250, 100}, {" 1 - 100", 1, 1, 100},
      {"5,7", 1, 5, 7},          {"5.7", 1, 5, 7},         {"5 7", 1, 5, 7},
      {"0 - 0", 1, 0, 0},        {"100", 2, -1, -1},       {"", 2, -1, -1},
      {"abc", 2, -1, -1},        {"5..x", 2, -1, -1},      {"5..7 junk", 2, -1, -1},
  };
  for (const Case &c : cases) {
    gSeq1->from = gSeq1->to = -1;
    EXPECT_EQ(parseIntervalText(gSeq1, c.text), c.result) << c.text;
    EXPECT_EQ(std::make_pair(gSeq1->from, gSeq1->to), std::make_pair(c.from, c.to)) << c.text;
  }
}

class NewSession : public ReaderTest {
protected:
  void SetUp() override {
    ReaderTest::SetUp();
    for (WindowRecord &w : gSlots)
      w.window = nullptr;
    gRequested[0] = gRequested[1] = gRequested[2] = gRequested[3] = 0;
    setName(gSeq1, writeFile(">a\nAACCGGTTAC\n", "a.fa"));
    setName(gSeq2, writeFile(">b\nGGGGGCCCCCAAAAATTTTT\n", "b.fa"));
  }
  void TearDown() override {
    journalShutdown();
    ReaderTest::TearDown();
  }
};

TEST_F(NewSession, ReadsFinishesAndSetsTheWindowUp) {
  gSeq1->from = 3;
  gSeq1->to = 0;
  gSeq2->from = 0;
  gSeq2->to = 15;
  gSeq2->flags |= kSeqInvertRequested;
  gCurrent->flagsA = 0;
  ASSERT_EQ(newSession(), 0);
  EXPECT_EQ(gSeq1->length, 10);
  EXPECT_FALSE(gSeq1->flags & (kSeqNotRead | kSeqRepeatsNotRead));
  EXPECT_TRUE(gSeq1->flags & kSeqMarkRepeats);
  EXPECT_TRUE(gSeq2->flags & kSeqInverted);
  EXPECT_EQ(letters(gSeq2), "AAAAATTTTTGGGGGCCCCC");
  EXPECT_EQ(gCurrent->flagsA & 0xC000000f, 0xC000000fu);
  // Intervals clamped, the second one mirrored into residue order.
  EXPECT_EQ(std::make_pair(gSeq1->from, gSeq1->to), std::make_pair(3, 10));
  EXPECT_EQ(std::vector<int>(gCurrent->region, gCurrent->region + 4),
            std::vector<int>({2, 10, 20 - 15, 20}));
}

TEST_F(NewSession, FailedReadsAreCountedAndLeaveNoSession) {
  setName(gSeq2, dir + "/missing.fa");
  gCurrent->region[1] = 777;
  int errors = headlessUi().errors();
  EXPECT_EQ(newSession(), 2); // the missing sequence and its repeats
  EXPECT_EQ(headlessUi().errors(), errors + 1);
  EXPECT_EQ(gSeq2->length, 0);
  EXPECT_TRUE(gSeq2->flags & kSeqNotRead);
  EXPECT_EQ(gCurrent->region[1], 777); // the engine was not set up
  EXPECT_TRUE(gCurrent->flagsA & kWinSessionPresent);
}

} // namespace
