// The sensitive mode's joins on pairs built around one 60 x 60 stretch
// between two 300-residue hits: the join is made when the stretch is only
// diverged, and refused at each of its limits.
#include <gtest/gtest.h>

#include <string>

#include "core/session.h"
#include "engine/columns.h"
#include "search_fixture.h"

namespace {

class StretchJoin : public SearchTest {
protected:
  // Sequence 1: a, a 60-residue middle, b, then `tail1` residues; sequence 2
  // the same with `middle2` in the middle and `tail2` residues after.
  void pair(const std::string &middle2, size_t tail1 = 0, size_t tail2 = 0) {
    const std::string a = randomBases(300, 1), b = randomBases(300, 2);
    load(a + middle + b + randomBases(tail1, 4), a + middle2 + b + randomBases(tail2, 5));
  }
  Hit *hit(int32_t x, int32_t y, int32_t length, bool isNew = true) {
    Hit *h = makeDiagonalHit(x, y, length);
    h->score = CountHitColumns(h, h->firstBlock);
    if (isNew)
      h->flags |= kHitNewFlag;
    return h;
  }
  // The two hits around the middle; the number of joins made.
  int32_t join(int32_t maxSide = 3000, int32_t drop = 15000, int32_t afterScore = 0) {
    hit(0, 0, 300);
    Hit *s = hit(360, int32_t(gSeq2->length - 300 - tail2), 300);
    if (afterScore)
      s->score = afterScore;
    rebuildLists(0, 0);
    return bridgeDivergedStretches(maxSide, drop);
  }
  // The middle with its first (or last) `n` residues changed.
  std::string changed(int n, bool atEnd = false) const {
    std::string m = middle;
    for (int i = 0; i < n; ++i) {
      char &c = m[atEnd ? m.size() - 1 - i : i];
      c = "CATG"[std::string("ACGT").find(c)]; // a transversion: a full mismatch
    }
    return m;
  }
  static int hits() {
    int n = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      n += h->firstBlock != nullptr;
    return n;
  }
  const std::string middle = randomBases(60, 3);
  size_t tail2 = 0;
};

// Five mismatches open the stretch: its score falls by 500 before it rises.
TEST_F(StretchJoin, JoinsUpToTheFallAllowed) {
  pair(changed(5));
  EXPECT_EQ(join(3000, 500), 1);
  ASSERT_EQ(hits(), 1);
  EXPECT_EQ(gHitHead1->end1, 660);
  EXPECT_EQ(gHitHead1->end2, 660);
  EXPECT_EQ(gHitHead1->score, (660 - 5 - 5) * 100);

  pair(changed(6));
  EXPECT_EQ(join(3000, 500), 0);
  EXPECT_EQ(hits(), 2);
}

// Five mismatches close it: the hit after must bring more than the 500 the
// stretch's end loses.
TEST_F(StretchJoin, TheHitAfterMustPayForTheStretchsEnd) {
  for (int32_t after : {500, 600}) {
    pair(changed(5, true));
    EXPECT_EQ(join(3000, 15000, after), after > 500 ? 1 : 0) << after;
  }
}

// The stretch of sequence 2 is 120 long: beyond a side of 100, a gap that
// long is no diverged stretch.
TEST_F(StretchJoin, NotAcrossASideLongerThanAllowed) {
  for (int32_t side : {100, 150}) {
    pair(middle + randomBases(60, 6));
    EXPECT_EQ(join(side), side > 120 ? 1 : 0) << side;
  }
}

// A second hit ends as near the hit after, or starts as near the hit
// before (ahead of it in sequence 1 or behind): no pair is each other's one
// nearest.
TEST_F(StretchJoin, NotBetweenTiedNeighbours) {
  pair(middle);
  hit(200, 220, 90, false); // ends at (290, 310): 70 + 50 from (360, 360)
  EXPECT_EQ(join(), 0);
  EXPECT_EQ(hits(), 3);
  for (int32_t x : {330, 390}) { // 30 + 90 or 90 + 30 from (300, 300)
    pair(middle);
    hit(x, 720 - x, 20, false);
    EXPECT_EQ(join(), 0) << x;
    EXPECT_EQ(hits(), 3) << x;
  }
}

// Copies of the first hit's stretch elsewhere in the other sequence: with
// eight it is still one hit among few and joins, with nine it is a repeat.
TEST_F(StretchJoin, RepeatCopiesAreNotJoined) {
  for (int side = 0; side < 2; ++side)
    for (int copies : {8, 9}) {
      SCOPED_TRACE(testing::Message() << "sequence " << side + 1 << ", " << copies << " copies");
      tail2 = side ? 0 : 300 * copies;
      pair(middle, side ? 300 * copies : 0, tail2);
      for (int k = 0; k < copies; ++k) {
        const int32_t at = 660 + 300 * k;
        hit(side ? at : 0, side ? 0 : at, 300, false);
      }
      EXPECT_EQ(join(), copies == 8 ? 1 : 0);
    }
}

} // namespace
