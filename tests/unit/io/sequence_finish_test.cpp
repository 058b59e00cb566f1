#include "io/sequence_finish.h"
#include "reader_fixture.h"

namespace {

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

} // namespace
