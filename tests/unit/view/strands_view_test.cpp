// The other strand's hits in the window: anti-diagonals in their own
// colour, rows after the session's hits marked "-", the pane against the
// reverse complement, and reached by the keys and the mouse.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "seq_builders.h"
#include "test_surface.h"
#include "view/hit_text.h"
#include "view/layout.h"
#include "view/mouse_selection.h"
#include "view/painter.h"
#include "view/selection_walk.h"

namespace {

class StrandsView : public ::testing::Test {
protected:
  void SetUp() override {
    // 1000..1400 of sequence 1 lies turned round at 1000..1400 of sequence 2.
    a = randomBases(2000, 3);
    const std::string b =
        a.substr(0, 1000) + reverseComplementBases(a.substr(1000, 400)) + a.substr(1400);
    loadTestSequences(a.c_str(), b.c_str());
    gCurrent = &gSlots[0];
    w = gCurrent;
    *w = WindowRecord{};
    w->flagsA = kWinSeq1 | kWinSeq2;
    const int32_t block[4] = {1, 2000, 1, 2000}, region[4] = {0, 2000, 0, 2000};
    std::copy(block, block + 4, w->block);
    std::copy(region, region + 4, w->region);
    w->listRows = 6;
    for (int i = 0; i < 3; ++i)
      forward.push_back(makeDiagonalHit(i * 300, i * 300, 200));
    rebuildLists(0, 0);
    // Along the other strand the inversion is 1000..1400 against 600..1000.
    other = makeOtherStrandHit(1000, 600, 400);
    other->firstBlock->identities = 400;
    late = makeOtherStrandHit(1700, 10, 50);
    w->selectedHit = forward[0];
  }
  void TearDown() override { clearTestHits(); }
  std::string a;
  WindowRecord *w = nullptr;
  std::vector<Hit *> forward;
  Hit *other = nullptr, *late = nullptr;
  FixedMetrics fm;
};

TEST_F(StrandsView, RowAndPaneReadTheOtherStrand) {
  EXPECT_EQ(listRowText(other), " -100%  1001 .. 1400 (400)  1400 .. 1001 (400) ");
  PaneText pane;
  preparePane(other, 2, 30, pane);
  EXPECT_EQ(other->leftFlank, -2);
  // Flanks of two residues that do not match, then the inversion.
  EXPECT_EQ(pane.rows[1], "  " + std::string(28, '|'));
  EXPECT_EQ(pane.rows[0], a.substr(998, 30));
  EXPECT_EQ(pane.rows[2].substr(2), a.substr(1000, 28)) << "the reverse complement matches";
  EXPECT_EQ(panePosition(other, 0, pane.first[0]), 999);
  EXPECT_EQ(panePosition(other, 1, pane.first[1]), 1402) << "counting down sequence 2";
  EXPECT_EQ(panePosition(other, 1, pane.last[1]), 1373);
  // Sequence 2 itself is left as it was.
  EXPECT_FALSE(gSeq2->flags & kSeqInverted);
}

TEST_F(StrandsView, KeysWalkOnFromTheSessionsHitsToTheOtherStrand) {
  moveSelection(w, 2);
  EXPECT_EQ(w->selectedHit, forward[2]);
  moveSelection(w, 1);
  EXPECT_EQ(w->selectedHit, other);
  moveSelection(w, 5);
  EXPECT_EQ(w->selectedHit, late) << "Down on the last stays";
  moveSelection(w, -2);
  EXPECT_EQ(w->selectedHit, forward[2]);
  // Outside the region along sequence 2 as it stands (1940..1990): skipped.
  w->region[3] = 1900;
  w->selectedHit = other;
  moveSelection(w, 1);
  EXPECT_EQ(w->selectedHit, other);
  // Only hits of the other strand: the list still has rows.
  clearHits();
  w->selectedHit = nullptr;
  EXPECT_EQ(firstListed(w), other);
}

TEST_F(StrandsView, DrawnAsAntiDiagonalsInTheirColourAndListedLast) {
  layOutView(w, fm, ViewArea{0, 0, 900, 650});
  RecordingSurface s;
  paintView(w, s, ViewArea{0, 0, 900, 650}, Rgb{212, 208, 200});
  const auto grey = s.linesIn(kHitGrey), blue = s.linesIn(kReverseBlue);
  EXPECT_EQ(grey.size(), 3u);
  for (const auto &l : grey)
    EXPECT_LT(l.y2, l.y1) << "the session's hits rise";
  ASSERT_EQ(blue.size(), 2u);
  for (const auto &l : blue) {
    EXPECT_GT(l.x2, l.x1);
    EXPECT_GT(l.y2, l.y1) << "the other strand's fall";
  }
  // The inversion runs from (1000, 1400) down to (1400, 1000): its ends lie
  // where those of a rising line over 1000..1400 lie, up and down swapped.
  const auto &inversion = blue[0].x2 - blue[0].x1 > blue[1].x2 - blue[1].x1 ? blue[0] : blue[1];
  const PixelLine rising = sequenceLinePixels(w, 1000, 1000, 1400, 1400);
  EXPECT_EQ(inversion.x1, rising.x1);
  EXPECT_EQ(inversion.x2, rising.x2);
  EXPECT_NEAR(inversion.y1, rising.y2, 1);
  EXPECT_NEAR(inversion.y2, rising.y1, 1);
  std::vector<std::string> rows;
  for (const auto &t : s.texts)
    if (t.font == kFontList)
      rows.push_back(t.text);
  ASSERT_EQ(rows.size(), 5u);
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i][1] == '-', i >= 3) << rows[i];
}

TEST_F(StrandsView, ARectangleAcrossTheAntiDiagonalTouchesIt) {
  // One pixel for twenty residues, sequence 2 running upwards from pixel 200.
  w->view = {10, 200, 100, -100, 0, 2000, 0, 2000};
  // Positions 1100..1300 of both sequences: the inversion passes through
  // (1200, 1200), no session hit does.
  const int32_t drag[4] = {66, 146, 76, 136};
  std::copy(drag, drag + 4, w->mouseRect);
  finishMouseRectangle(w);
  EXPECT_EQ(w->selectedHit, other);
  EXPECT_TRUE(other->flags & kHitSelMouse);
  EXPECT_FALSE(late->flags & kHitSelMouse);
  for (const Hit *h : forward)
    EXPECT_FALSE(h->flags & kHitSelMouse);
}

} // namespace
