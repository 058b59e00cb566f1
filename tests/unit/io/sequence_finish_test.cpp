#include <gtest/gtest.h>

#include <string>

#include "core/flags.h"
#include "core/records.h"
#include "core/residue.h"
#include "io/sequence_finish.h"

namespace {

// A sequence record over a local residue array, with repeat annotations.
struct Fixture {
  Sequence s{};
  std::string codes;
  Annotation rep[4];
  int32_t coords[4][2];

  explicit Fixture(const char *letters, uint32_t flags = 0) {
    for (const char *p = letters; *p; ++p)
      codes.push_back(char(residueCode(*p)));
    s.residues = reinterpret_cast<uint8_t *>(&codes[0]);
    s.length = int32_t(codes.size());
    s.flags = flags;
  }
  void addRepeat(int i, int32_t first, int32_t second, uint8_t kind = kAnnRepeat) {
    coords[i][0] = first;
    coords[i][1] = second;
    rep[i] = Annotation();
    rep[i].kind = kind;
    rep[i].coordinates = coords[i];
    rep[i].coordinateCount = 2;
    rep[i].next = s.repeats;
    s.repeats = &rep[i];
  }
  std::string finish() {
    finishSequence(&s);
    std::string out;
    for (int i = 0; i < s.length; ++i)
      out.push_back(residueLetter(s.residues[i]));
    return out;
  }
};

TEST(SequenceFinish, InvertComplementEvenAndOddLengths) {
  EXPECT_EQ(Fixture("AACGTN", kSeqInvertRequested).finish(), "NACGTT");
  EXPECT_EQ(Fixture("G", kSeqInvertRequested).finish(), "C");
  // The middle residue of an odd length is complemented too.
  Fixture odd("ACGTA", kSeqInvertRequested);
  EXPECT_EQ(odd.finish(), "TACGT");
  EXPECT_TRUE(odd.s.flags & kSeqInverted);
  // Withdrawing the request turns the residues back.
  odd.s.flags &= ~kSeqInvertRequested;
  EXPECT_EQ(odd.finish(), "ACGTA");
  EXPECT_FALSE(odd.s.flags & kSeqInverted);
}

TEST(SequenceFinish, RepeatMarkingUsesFirstPairOfRepeatsOnly) {
  Fixture f("ACGTACGTAC", kSeqMarkRepeats);
  f.addRepeat(0, 2, 3, kAnnRepeat | kAnnComplement);
  f.addRepeat(1, 9, 40); // runs past the end
  f.addRepeat(2, 5, 6, kAnnExon);
  f.addRepeat(3, 0, 0);
  f.rep[3].coordinateCount = 0; // left empty by a failed read
  EXPECT_EQ(f.finish(), "AcgTACGTac");
}

TEST(SequenceFinish, IntervalClamping) {
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
    EXPECT_EQ(s.from, c.wantFrom) << c.from << ".." << c.to;
    EXPECT_EQ(s.to, c.wantTo) << c.from << ".." << c.to;
  }
}

} // namespace
