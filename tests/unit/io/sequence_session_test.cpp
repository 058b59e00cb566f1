#include "io/sequence_finish.h"
#include "ops/journal.h"
#include "reader_fixture.h"
#include "seq_builders.h"
#include "session/new_session.h"

namespace {

using TypedInterval = ReaderTest;

TEST_F(TypedInterval, SeparatorsAndFailures) {
  struct Case {
    const char *text;
    int result, from, to;
  } cases[] = {
      {"100..250", 1, 100, 250},
      {"250-100", 1, 250, 100},
      {" 1 - 100", 1, 1, 100},
      {"5,7", 1, 5, 7},
      {"5.7", 1, 5, 7},
      {"5 7", 1, 5, 7},
      {"0 - 0", 1, 0, 0},
      {"100", 2, -1, -1},
      {"", 2, -1, -1},
      {"abc", 2, -1, -1},
      {"5..x", 2, -1, -1},
      {"5..7 junk", 2, -1, -1},
      // Past the 32-bit range: no wrapping into a small interval.
      {"4294967297 - 4294967396", 2, -1, -1},
      {"1 - 99999999999999999999", 2, -1, -1},
      {"2147483647 - 1", 1, INT32_MAX, 1},
  };
  for (const Case &c : cases) {
    gSeq1->from = gSeq1->to = -1;
    EXPECT_EQ(parseIntervalText(gSeq1, c.text), c.result) << c.text;
    EXPECT_EQ(std::make_pair(gSeq1->from, gSeq1->to), std::make_pair(c.from, c.to)) << c.text;
  }
}

using SequenceFinish = ReaderTest;

TEST_F(SequenceFinish, InvertComplementEvenAndOddLengths) {
  // The middle residue of an odd length is complemented too.
  for (auto [in, out] : {std::pair{"AACGTN", "NACGTT"}, {"G", "C"}, {"ACGTA", "TACGT"}}) {
    ASSERT_EQ(load(std::string(">s\n") + in + "\n"), 1);
    gSeq1->flags |= kSeqInvertRequested;
    finishSequence(gSeq1);
    EXPECT_EQ(letters(gSeq1), out);
    EXPECT_TRUE(gSeq1->flags & kSeqInverted);
  }
  // Withdrawing the request turns the residues back.
  gSeq1->flags &= ~kSeqInvertRequested;
  finishSequence(gSeq1);
  EXPECT_EQ(letters(gSeq1), "ACGTA");
  EXPECT_FALSE(gSeq1->flags & kSeqInverted);
}

TEST(SequenceInterval, Clamping) {
  struct Case {
    int32_t from, to, wantFrom, wantTo;
  } cases[] = {
      {0, 0, 1, 100},    {10, 0, 10, 100},     {250, 100, 100, 100}, {40, 20, 20, 40},
      {-5, 500, 1, 100}, {200, 300, 100, 100}, {0, -3, 1, 1},
  };
  for (const Case &c : cases) {
    Sequence s{};
    s.length = 100;
    s.from = c.from;
    s.to = c.to;
    clampInterval(&s);
    EXPECT_EQ(std::make_pair(s.from, s.to), std::make_pair(c.wantFrom, c.wantTo))
        << c.from << ".." << c.to;
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

// A session with a hit and its journal, then a New whose second file is
// missing: nothing is left that points into the sequence that is gone.
TEST_F(NewSession, FailedNewLeavesNoHitOverTheEmptiedSequence) {
  ASSERT_EQ(newSession(), 0);
  JournalAction(65);
  makeDiagonalHit(0, 0, 10);
  rebuildLists(0, 0);
  ASSERT_TRUE(journalActive());
  setName(gSeq2, dir + "/missing.fa");
  EXPECT_EQ(newSession(), 2);
  EXPECT_EQ(gSeq2->length, 0);
  EXPECT_EQ(gHitHead1, nullptr);
  EXPECT_FALSE(journalActive());
}

} // namespace
