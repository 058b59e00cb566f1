// The conflict commands as a command file runs them.
#include "core/conflicts.h"
#include "engine/columns.h"
#include "io/command_actions.h"
#include "session/resolve_commands.h"
#include "unit/ops/conflict_fixture.h"

// Hits carry the fixed weights they were made with; after the scores change
// the commands must compare them under the window's scores.
TEST_F(ConflictSession, GreedyAndOptimalCommandsJudgeUnderTheWindowsScores) {
  std::string s1 = randomBases(400, 5), s2 = randomBases(400, 6);
  for (int i = 0; i < 40; ++i) // a: 40 columns, 10 of them mismatches
    s2[i] = i % 4 == 3 ? (s1[i] == 'A' ? 'C' : 'A') : s1[i];
  for (int i = 0; i < 15; ++i) // b: 15 matches, crossing a in sequence 1
    s2[100 + i] = s1[30 + i];
  loadTestSequences(s1.c_str(), s2.c_str());
  installConflictCommands();
  for (auto command : {gCommandActions.greedy, gCommandActions.optimal}) {
    clearTestHits();
    for (Hit *h : {makeDiagonalHit(0, 0, 40), makeDiagonalHit(30, 100, 15)})
      h->score = CountHitColumns(h, h->firstBlock); // 2000 and 1500
    rebuild();
    gCurrent->score = ScoreParams{100, -300, -300, -100}; // a now scores 0
    command();
    EXPECT_EQ(starts(), (Starts{30}));
  }
}
