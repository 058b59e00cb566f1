#include <gtest/gtest.h>

#include "core/session.h"
#include "engine/drivers.h"
#include "seq_builders.h"

// Copies of one repeat aligned to copies elsewhere stack on the same
// residues; the pieces of a homology follow one another.
TEST(RepeatPile, StackedCopiesPileAndAChainDoesNot) {
  loadTestSequences(randomBases(6000, 1).c_str(), randomBases(6000, 2).c_str());
  clearTestHits();
  for (int i = 0; i < 5; ++i)
    makeDiagonalHit(300 * i, 300 * i, 250);
  rebuildLists(0, 0);
  RepeatPile p = measureRepeatPile();
  EXPECT_EQ(p.hits, 5);
  EXPECT_EQ(p.piled, 0);
  EXPECT_EQ(p.pileResidues, 0);

  // One copy in sequence 1 against three in sequence 2, and one copy in
  // sequence 2 against three in sequence 1: each stack is three deep.
  for (int i = 0; i < 3; ++i) {
    makeDiagonalHit(3000, 3500 + 400 * i, 200);
    makeDiagonalHit(4000 + 400 * i, 2000, 150);
  }
  rebuildLists(0, 0);
  p = measureRepeatPile();
  EXPECT_EQ(p.hits, 11);
  EXPECT_EQ(p.piled, 6);
  EXPECT_EQ(p.pileResidues, 200);
  clearTestHits();
}
