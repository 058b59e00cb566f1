#include <random>

#include "conflict_fixture.h"
#include "ops/conflicts.h"

namespace {
// Pairwise definition, for comparison with the two-pass marking.
bool collinear(const Hit *a, const Hit *b) { return hitPrecedes(a, b) || hitPrecedes(b, a); }
} // namespace

TEST_F(ConflictSession, TouchingEndsAreCollinearOverlapsAreNot) {
  Hit *a = box(0, 10, 0, 10), *b = box(10, 20, 10, 20), *c = box(20, 30, 20, 30);
  rebuild();
  EXPECT_FALSE(conflicting(a) || conflicting(b) || conflicting(c));

  clearTestHits();
  a = box(0, 10, 0, 10);
  b = box(9, 20, 10, 20); // one residue of overlap in sequence 1
  rebuild();
  EXPECT_TRUE(conflicting(a));
  EXPECT_TRUE(conflicting(b));

  clearTestHits();
  a = box(0, 10, 0, 10);
  b = box(10, 20, 9, 20); // and in sequence 2
  rebuild();
  EXPECT_TRUE(conflicting(a));
  EXPECT_TRUE(conflicting(b));
}

TEST_F(ConflictSession, SameRangeInOneSequenceAndCrossingHitsConflict) {
  Hit *a = box(0, 10, 0, 10), *b = box(0, 10, 50, 60);
  rebuild();
  EXPECT_TRUE(conflicting(a));
  EXPECT_TRUE(conflicting(b));

  clearTestHits();
  a = box(0, 10, 50, 60); // first in sequence 1, second in sequence 2
  b = box(20, 30, 0, 10);
  Hit *c = box(100, 110, 100, 110);
  rebuild();
  EXPECT_TRUE(conflicting(a));
  EXPECT_TRUE(conflicting(b));
  EXPECT_FALSE(conflicting(c));
}

TEST_F(ConflictSession, LongHitOverNonNeighboursIsCaughtByTheOtherOrder) {
  // b lies inside a's sequence-1 range but is not a's neighbour there.
  Hit *a = box(0, 100, 0, 10), *b = box(10, 20, 20, 30), *c = box(50, 60, 40, 50);
  rebuild();
  EXPECT_TRUE(conflicting(a));
  EXPECT_TRUE(conflicting(b));
  EXPECT_TRUE(conflicting(c));
}

TEST_F(ConflictSession, MarkingAgreesWithPairwiseDefinitionOnRandomSets) {
  std::mt19937 rng(7);
  for (int round = 0; round < 60; ++round) {
    clearTestHits();
    std::vector<Hit *> hits;
    int n = 2 + round % 12;
    for (int i = 0; i < n; ++i) {
      int32_t s1 = rng() % 60, s2 = rng() % 60;
      hits.push_back(box(s1, s1 + 1 + rng() % 15, s2, s2 + 1 + rng() % 15));
    }
    rebuild();
    for (Hit *h : hits) {
      bool expected = false;
      for (Hit *g : hits)
        if (g != h && !collinear(g, h))
          expected = true;
      ASSERT_EQ(conflicting(h), expected) << "round " << round << " hit " << h->start1 << ".."
                                          << h->end1 << " " << h->start2 << ".." << h->end2;
    }
  }
}

TEST_F(ConflictSession, CountsOnlyHitsOfTheRegionAndOnlyWhenAsked) {
  box(0, 10, 0, 10);
  box(5, 15, 20, 30);      // conflicts with the first
  box(300, 310, 300, 310); // outside the region below
  rebuild();
  WindowRecord *w = gCurrent;
  int32_t region[4] = {0, 200, 0, 200};
  memcpy(w->region, region, sizeof region);
  w->flagsA |= kWinRecount;
  CountWindowHits();
  EXPECT_EQ(w->hitCount, 2);
  EXPECT_EQ(w->conflictCount, 2);
  EXPECT_FALSE(w->flagsA & kWinRecount);
  box(20, 30, 40, 50);
  rebuild(); // sets the recount bit again
  w->flagsA &= ~kWinRecount;
  CountWindowHits();
  EXPECT_EQ(w->hitCount, 2) << "no recount without the bit";
}

TEST_F(ConflictSession, LimitQuestionFromTheLimitOn) {
  class Answering : public HeadlessUi {
  public:
    Answer messageBox(const char *title, const char *text, Buttons, Answer) override {
      ++asked;
      lastTitle = title;
      lastText = text;
      return kAnswerNo;
    }
    int asked = 0;
    std::string lastTitle, lastText;
  } port;
  setUi(&port);
  box(0, 10, 0, 10);
  box(5, 15, 20, 30);
  rebuild();
  EXPECT_TRUE(ConfirmConflictLimit(3, "Greedy algorithm"));
  EXPECT_EQ(port.asked, 0);
  EXPECT_FALSE(ConfirmConflictLimit(2, "Greedy algorithm"));
  EXPECT_EQ(port.lastTitle, "Sorry");
  EXPECT_EQ(port.lastText, "Number of conflicts exceed 2.\nGreedy algorithm can take a while.\n"
                           "Do you still want to continue?");
  setUi(nullptr);
}
