#include <cstring>

#include "core/new_session.h"
#include "io/command_actions.h"
#include "io/command_file.h"
#include "io/sequence_commands.h"
#include "ops/journal.h"
#include "sequence_test_fixture.h"

namespace {

using TypedInterval = SequenceFileTest;

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
    EXPECT_EQ(gSeq1->from, c.from) << c.text;
    EXPECT_EQ(gSeq1->to, c.to) << c.text;
  }
}

class NewSession : public SequenceFileTest {
protected:
  void SetUp() override {
    SequenceFileTest::SetUp();
    for (WindowRecord &w : gSlots)
      w.window = nullptr;
    gRequested[0] = gRequested[1] = gRequested[2] = gRequested[3] = 0;
    a = writeFile(">a\nAACCGGTTAC\n", "a.fa");
    b = writeFile(">b\nGGGGGCCCCCAAAAATTTTT\n", "b.fa");
  }
  void TearDown() override {
    journalShutdown();
    gCommandActions = CommandActions();
    SequenceFileTest::TearDown();
  }
  std::string a, b;
};

TEST_F(NewSession, ReadsFinishesAndSetsTheWindowUp) {
  setName(gSeq1, a);
  setName(gSeq2, b);
  gSeq1->from = 3;
  gSeq1->to = 0;
  gSeq2->from = 0;
  gSeq2->to = 15;
  gSeq2->flags |= kSeqInvertRequested;
  gCurrent->flagsA = 0;
  ASSERT_EQ(newSession(), 0);
  EXPECT_EQ(gSeq1->length, 10);
  EXPECT_EQ(gSeq2->length, 20);
  EXPECT_FALSE(gSeq1->flags & (kSeqNotRead | kSeqRepeatsNotRead));
  EXPECT_TRUE(gSeq1->flags & kSeqMarkRepeats);
  EXPECT_EQ(gSeq2->flags & (kSeqInvertRequested | kSeqInverted),
            kSeqInvertRequested | kSeqInverted);
  EXPECT_EQ(letters(gSeq2), "AAAAATTTTTGGGGGCCCCC");
  EXPECT_EQ(gCurrent->flagsA & 0xC000000f, 0xC000000fu);
  // Intervals clamped, the second one mirrored into residue order.
  EXPECT_EQ(gSeq1->from, 3);
  EXPECT_EQ(gSeq1->to, 10);
  EXPECT_EQ(gCurrent->region[0], 2);
  EXPECT_EQ(gCurrent->region[1], 10);
  EXPECT_EQ(gCurrent->region[2], 20 - 15);
  EXPECT_EQ(gCurrent->region[3], 20 - 1 + 1);
  EXPECT_STREQ(gSeq1->repeatSourceName, gSeq1->fileName);
}

TEST_F(NewSession, FailedReadsAreCountedAndLeaveNoSession) {
  setName(gSeq1, a);
  setName(gSeq2, dir + "/missing.fa");
  gCurrent->region[1] = 777;
  int errors = headlessUi().errors();
  // The missing sequence and its repeats.
  EXPECT_EQ(newSession(), 2);
  EXPECT_EQ(headlessUi().errors(), errors + 1);
  EXPECT_EQ(gSeq2->length, 0);
  EXPECT_TRUE(gSeq2->flags & kSeqNotRead);
  EXPECT_EQ(gCurrent->region[1], 777); // the engine was not set up
  EXPECT_TRUE(gCurrent->flagsA & kWinSessionPresent);
}

TEST_F(NewSession, CommandFileInputLines) {
  installSequenceCommands();
  std::string cmd = "start\ninput1 " + a + " 2-9\ninput2 " + b + " invertcomplement\nexit\n";
  uint32_t status = runCommandFile(writeFile(cmd, "run.cmd").c_str());
  EXPECT_EQ(status & kRunResultMask, 1u);
  EXPECT_FALSE(status & kRunError);
  EXPECT_EQ(gSeq1->length, 10);
  EXPECT_EQ(gSeq1->from, 2);
  EXPECT_EQ(gSeq1->to, 9);
  EXPECT_TRUE(gSeq2->flags & kSeqInverted);
  EXPECT_EQ(gSeq2->from, 1);
  EXPECT_EQ(gSeq2->to, 20);

  // A bad sequence file is the reader's error and stops the command file.
  std::string bad = writeFile("LOCUS x\n", "bad.gb");
  cmd = "start\ninput1 " + a + "\ninput2 " + bad + "\nexit\n";
  status = runCommandFile(writeFile(cmd, "run.cmd").c_str());
  EXPECT_TRUE(status & kRunError);
  EXPECT_EQ(std::string(messageBuffer()).substr(0, 50),
            "ERROR in line 1: Bad LOCUS field in genbank file. ");
}

} // namespace
