#include <random>

#include "conflict_fixture.h"
#include "core/conflicts.h"

TEST_F(ConflictSession, OverlapsCrossingsAndSharedRangesConflictTouchingEndsDoNot) {
  struct Case {
    int32_t s1, e1, s2, e2;
    bool conflict;
  } cases[] = {
      {30, 40, 30, 40, false}, // touching ends
      {29, 40, 30, 40, true},  // one residue of overlap in sequence 1
      {30, 40, 29, 40, true},  // and in sequence 2
      {20, 30, 50, 60, true},  // same range in sequence 1
      {40, 50, 0, 10, true},   // crossing
      {0, 10, 0, 10, false},
  };
  for (const Case &c : cases) {
    clearTestHits();
    Hit *a = box(20, 30, 20, 30), *b = box(c.s1, c.e1, c.s2, c.e2);
    Hit *far = box(100, 110, 100, 110);
    rebuild();
    EXPECT_EQ(conflicting(a), c.conflict) << c.s1 << " " << c.s2;
    EXPECT_EQ(conflicting(b), c.conflict) << c.s1 << " " << c.s2;
    EXPECT_FALSE(conflicting(far));
  }
}

// Also catches a long hit over non-neighbours in one of the two orders.
TEST_F(ConflictSession, MarkingAgreesWithPairwiseDefinitionOnRandomSets) {
  std::mt19937 rng(7);
  for (int round = 0; round < 60; ++round) {
    clearTestHits();
    std::vector<Hit *> hits;
    for (int i = 0; i < 2 + round % 12; ++i) {
      int32_t s1 = rng() % 60, s2 = rng() % 60;
      hits.push_back(box(s1, s1 + 1 + rng() % 15, s2, s2 + 1 + rng() % 15));
    }
    rebuild();
    for (Hit *h : hits) {
      bool expected = false;
      for (Hit *g : hits)
        expected = expected || (g != h && !hitPrecedes(g, h) && !hitPrecedes(h, g));
      ASSERT_EQ(conflicting(h), expected) << "round " << round << " hit " << h->start1;
    }
  }
}

TEST_F(ConflictSession, LimitQuestionFromTheLimitOn) {
  box(0, 10, 0, 10);
  box(5, 15, 20, 30);
  rebuild();
  RecordingUi port;
  port.answer = kAnswerNo;
  setUi(&port);
  EXPECT_TRUE(ConfirmConflictLimit(3, "Greedy algorithm"));
  EXPECT_TRUE(port.titles.empty());
  EXPECT_FALSE(ConfirmConflictLimit(2, "Greedy algorithm"));
  setUi(nullptr);
  ASSERT_EQ(port.titles, std::vector<std::string>{"Sorry"});
  EXPECT_EQ(port.texts[0], "Number of conflicts exceed 2.\nGreedy algorithm can take a while.\n"
                           "Do you still want to continue?");
}
