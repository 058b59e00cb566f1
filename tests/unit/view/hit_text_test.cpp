// The list rows and the alignment pane of a hit.
#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "view/hit_text.h"

namespace {

Hit *hitWithIdentities(int32_t start1, int32_t start2, int32_t length, int32_t identities) {
  Hit *h = makeDiagonalHit(start1, start2, length);
  h->firstBlock->identities = identities;
  return h;
}

TEST(ListRow, PlainAndInvertedSequences) {
  loadTestSequences(std::string(100, 'A').c_str(), std::string(100, 'A').c_str());
  Hit *h = hitWithIdentities(9, 19, 50, 40);
  EXPECT_EQ(listRowText(h), " 80%  10 .. 59 (50)  20 .. 69 (50) ");
  // Positions of an invert-complemented sequence count from its file's end.
  gSeq2->flags |= kSeqInvertRequested;
  EXPECT_EQ(listRowText(h), " 80%  10 .. 59 (50)  81 .. 32 (50) ");
  gSeq1->flags |= kSeqInvertRequested;
  EXPECT_EQ(listRowText(h), " 80%  91 .. 42 (50)  81 .. 32 (50) ");
  // Identity rounds to the nearest percent of the longer side.
  Hit *g = makeTestHit(0, 0, {{0, 0, 3}, {5, 3, 2}});
  g->firstBlock->identities = 1;
  g->firstBlock->next->identities = 1;
  gSeq1->flags = gSeq2->flags = 0;
  EXPECT_EQ(listRowText(g), " 29%  1 .. 7 (7)  1 .. 5 (5) ");
}

class PaneTest : public ::testing::Test {
protected:
  void SetUp() override {
    // Two blocks with two unaligned residues of sequence 1 and one of
    // sequence 2 between them; sequence 2 leaves room for one flank residue.
    loadTestSequences("TTACGTGCACGTAAAA", "GACGTCACGTACCC");
    hit = makeTestHit(2, 1, {{0, 0, 4}, {6, 5, 4}});
  }
  Hit *hit = nullptr;
};

TEST_F(PaneTest, GapsAlternateAndTheLeftFlankStopsAtPositionZero) {
  PaneText pane;
  preparePane(hit, 5, 40, pane);
  EXPECT_EQ(hit->leftFlank, -1);
  EXPECT_EQ(hit->rightFlank, 4);
  EXPECT_EQ(hit->paneColumns, 15);
  EXPECT_EQ(hit->paneFirstColumn, -1);
  EXPECT_EQ(pane.rows[0], "TACGTG-CACGTAAAA");
  EXPECT_EQ(pane.rows[1], " ||||   ||||:   ");
  EXPECT_EQ(pane.rows[2], "GACGT-C-ACGTACCC");
  EXPECT_EQ(panePosition(hit, 0, pane.first[0]), 2);
  EXPECT_EQ(panePosition(hit, 1, pane.first[1]), 1);
  EXPECT_EQ(panePosition(hit, 0, pane.last[0]), 16);
  EXPECT_EQ(panePosition(hit, 1, pane.last[1]), 14);
}

TEST_F(PaneTest, ScrollingIsClampedToTheFlankEnds) {
  PaneText pane;
  preparePane(hit, 5, 5, pane);
  hit->paneFirstColumn = 100;
  preparePane(hit, 5, 5, pane);
  EXPECT_EQ(hit->paneFirstColumn, 10);
  EXPECT_EQ(pane.rows[0], "TAAAA");
  EXPECT_EQ(pane.rows[2], "TACCC");
  hit->paneFirstColumn = -100;
  preparePane(hit, 5, 5, pane);
  EXPECT_EQ(hit->paneFirstColumn, -1);
  EXPECT_EQ(pane.rows[0], "TACGT");
  // Scrolled by one: the window starts inside the first block.
  hit->paneFirstColumn = 2;
  preparePane(hit, 5, 5, pane);
  EXPECT_EQ(pane.rows[0], "GTG-C");
  EXPECT_EQ(panePosition(hit, 0, pane.first[0]), 5);
}

TEST_F(PaneTest, WithoutFlanksThePaneShowsTheAlignmentOnly) {
  PaneText pane;
  preparePane(hit, 0, 40, pane);
  EXPECT_EQ(pane.rows[0], "ACGTG-CACGT");
  EXPECT_EQ(pane.rows[2], "ACGT-C-ACGT");
}

TEST_F(PaneTest, PositionsOfAnInvertedSequenceCountFromItsEnd) {
  gSeq1->flags |= kSeqInvertRequested;
  EXPECT_EQ(panePosition(hit, 0, 0), 16 - 2);
  EXPECT_EQ(panePosition(hit, 0, 3), 16 - 5);
  gSeq1->flags = 0;
}

} // namespace
