#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "view/mouse_selection.h"
#include "view/selection_walk.h"

namespace {

class MouseTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(1000, 'A').c_str());
    resetSlotDefaults(gCurrent);
    const int32_t region[4] = {0, 1000, 0, 1000};
    std::copy(region, region + 4, gCurrent->region);
    gCurrent->listCursor = 0;
    gCurrent->listRows = 4;
  }
  void TearDown() override { clearTestHits(); }
  // Hits every 100 residues on the main diagonal, selection on the first.
  std::vector<Hit *> diagonal(int n) {
    std::vector<Hit *> hits;
    for (int i = n - 1; i >= 0; --i)
      hits.insert(hits.begin(), makeDiagonalHit(i * 100, i * 100, 50));
    rebuildLists(0, 0);
    gCurrent->selectedHit = hits[0];
    return hits;
  }
};

TEST_F(MouseTest, WalkStopsAtBothEndsAndKeepsOneRowOfContext) {
  std::vector<Hit *> hits = diagonal(8);
  moveSelection(gCurrent, -1);
  EXPECT_EQ(gCurrent->selectedHit, hits[0]) << "Up on the first hit";
  EXPECT_EQ(gCurrent->listCursor, 0);

  for (int i = 1; i < 8; ++i) {
    moveSelection(gCurrent, 1);
    ASSERT_EQ(gCurrent->selectedHit, hits[i]);
    // The row below the selection stays visible until the last hit.
    if (i < 7) {
      EXPECT_LE(gCurrent->listCursor, gCurrent->listRows - 2) << i;
    }
    EXPECT_GE(gCurrent->listCursor, 1) << "one row of context above, step " << i;
  }
  EXPECT_EQ(gCurrent->listCursor, gCurrent->listRows - 1) << "the last hit may sit on the last row";
  moveSelection(gCurrent, 1);
  EXPECT_EQ(gCurrent->selectedHit, hits[7]) << "Down on the last hit";
  EXPECT_EQ(gCurrent->listCursor, gCurrent->listRows - 1);

  moveSelection(gCurrent, -3);
  EXPECT_EQ(gCurrent->selectedHit, hits[4]);
  EXPECT_FALSE(gCurrent->flagsB & kOptNoHit);
}

TEST_F(MouseTest, WalkSkipsHitsOutsideTheRegionAndFlagsAnEmptyOne) {
  std::vector<Hit *> hits = diagonal(5);
  const int32_t region[4] = {160, 1000, 160, 1000}; // drops hits 0 and 1
  std::copy(region, region + 4, gCurrent->region);
  moveSelection(gCurrent, 0);
  EXPECT_EQ(gCurrent->selectedHit, hits[2]) << "a selection outside the region moves in";
  moveSelection(gCurrent, -1);
  EXPECT_EQ(gCurrent->selectedHit, hits[2]);

  const int32_t empty[4] = {0, 40, 900, 1000};
  std::copy(empty, empty + 4, gCurrent->region);
  moveSelection(gCurrent, 1);
  EXPECT_TRUE(gCurrent->flagsB & kOptNoHit);
}

TEST_F(MouseTest, TouchedHitsByDiagonalCrossings) {
  // Rectangle [100, 200) x [100, 200); hits as (start1, start2, length).
  struct Case {
    int32_t s1, s2, length;
    bool touched;
    const char *why;
  } cases[] = {
      {120, 120, 30, true, "wholly inside, its diagonal's extension crosses the edges"},
      {50, 50, 100, true, "enters through the lower left corner"},
      {150, 50, 100, true, "enters through the lower edge"},
      {300, 310, 50, false, "further along a diagonal that crosses the rectangle"},
      {0, 10, 50, false, "before the rectangle on such a diagonal"},
      {120, 10, 40, false, "below the rectangle"},
      {10, 150, 40, false, "left of the rectangle"},
      {100, 190, 30, true, "crosses the upper edge"},
  };
  for (const Case &c : cases) {
    Hit *h = makeDiagonalHit(c.s1, c.s2, c.length);
    EXPECT_EQ(hitTouchedByRectangle(h, 100, 100, 200, 200), c.touched) << c.why;
  }
  clearTestHits();
}

// A 101 x 101 pixel matrix over positions 0..1000 on both axes: one pixel
// for ten residues, sequence 2 running upwards from pixel 200.
void setGeometry(WindowRecord *w) { w->view = {10, 200, 100, -100, 0, 1000, 0, 1000}; }

TEST_F(MouseTest, RectangleBecomesAreaAndSelectsFirstTouchedHit) {
  std::vector<Hit *> hits = diagonal(8);
  setGeometry(gCurrent);
  const ViewGeometry &g = gCurrent->view;
  EXPECT_EQ(pixelToPosition1(g, 11), 0);
  EXPECT_EQ(pixelToPosition1(g, 61), 500);
  EXPECT_EQ(pixelToPosition2(g, 199), 0);
  EXPECT_EQ(pixelToPosition2(g, 149), 500);

  // Drag from (31, 179) to (71, 141): positions 200..600 x 200..580.
  const int32_t drag[4] = {71, 141, 31, 179};
  std::copy(drag, drag + 4, gCurrent->mouseRect);
  finishMouseRectangle(gCurrent);
  EXPECT_TRUE(gCurrent->flagsB & kOptAreaActive);
  EXPECT_TRUE(gCurrent->flagsB & kOptRectDone);
  const int32_t area[4] = {199, 199, 600, 580};
  EXPECT_TRUE(std::equal(area, area + 4, gCurrent->selectedArea));
  const int32_t rect[4] = {200, 200, 600, 580};
  EXPECT_TRUE(std::equal(rect, rect + 4, gCurrent->mouseRect));
  EXPECT_EQ(gCurrent->selectedHit, hits[2]);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ((hits[i]->flags & kHitSelMouse) != 0, i >= 2 && i <= 5) << i;
}

// An area needs more than two pixels each way: a click, a flat or a thin
// drag only select.
TEST_F(MouseTest, SmallOrFlatDragSelectsAHitButNoArea) {
  std::vector<Hit *> hits = diagonal(8);
  setGeometry(gCurrent);
  const int32_t click[4] = {41, 169, 43, 167}; // 2 pixels each way, around position 300
  std::copy(click, click + 4, gCurrent->mouseRect);
  finishMouseRectangle(gCurrent);
  EXPECT_FALSE(gCurrent->flagsB & kOptAreaActive);
  EXPECT_EQ(gCurrent->selectedHit, hits[3]);
  struct Drag {
    int32_t rect[4];
    bool area;
  } drags[] = {
      {{21, 169, 61, 167}, false}, {{41, 189, 43, 149}, false}, {{41, 169, 44, 166}, true}};
  for (const Drag &d : drags) {
    gCurrent->flagsB &= ~kOptAreaActive; // as the press that starts a drag
    std::copy(d.rect, d.rect + 4, gCurrent->mouseRect);
    finishMouseRectangle(gCurrent);
    EXPECT_EQ((gCurrent->flagsB & kOptAreaActive) != 0, d.area) << d.rect[0] << "," << d.rect[1];
  }
}

TEST_F(MouseTest, MirroredAxisMapsThroughResidueOrder) {
  invertTestSequence(1);
  // Residue-array hit at 200..250 on both axes; in sequence 2's file
  // orientation it lies at 750..800.
  Hit *h = makeDiagonalHit(200, 200, 50);
  Hit *other = makeDiagonalHit(200, 700, 50);
  rebuildLists(0, 0);
  setGeometry(gCurrent);
  // Pixels for positions 150..300 along x, 700..850 along y (file order).
  const int32_t drag[4] = {26, 129, 41, 114};
  std::copy(drag, drag + 4, gCurrent->mouseRect);
  finishMouseRectangle(gCurrent);
  const int32_t rect[4] = {150, 700, 300, 850};
  EXPECT_TRUE(std::equal(rect, rect + 4, gCurrent->mouseRect)) << "kept in file orientation";
  const int32_t area[4] = {149, 150, 300, 301};
  EXPECT_TRUE(std::equal(area, area + 4, gCurrent->selectedArea)) << "area in residue order";
  EXPECT_TRUE(h->flags & kHitSelMouse);
  EXPECT_FALSE(other->flags & kHitSelMouse);
  EXPECT_EQ(gCurrent->selectedHit, h);
}

TEST_F(MouseTest, ListRowUnderThePoint) {
  std::vector<Hit *> hits = diagonal(8);
  gCurrent->selectedHit = hits[3];
  gCurrent->listCursor = 1; // rows show hits 2, 3, 4, 5
  // 4 rows of 10 pixels, 20 apart, centred in 0..100: tops 15, 35, 55, 75.
  CellRect list{0, 0, 200, 100};
  int shift = 0;
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 5, 15, &shift), hits[2]);
  EXPECT_EQ(shift, -1);
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 5, 84, &shift), hits[5]);
  EXPECT_EQ(shift, 2);
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 5, 24, &shift), hits[2]);
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 5, 25, &shift), nullptr) << "just below a row";
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 5, 14, &shift), nullptr) << "just above a row";
  EXPECT_EQ(listHitAt(gCurrent, list, 10, 200, 15, &shift), nullptr) << "right of the list";
}

} // namespace

namespace {

TEST_F(MouseTest, PressesByButtonCellAndActionState) {
  std::vector<Hit *> hits = diagonal(8);
  setGeometry(gCurrent);
  gCurrent->flagsA |= kWinSeq1 | kWinSeq2;
  CellRect matrix{0, 90, 120, 210}, list{300, 0, 500, 100};
  gCurrent->flagsB |= kOptAreaActive | kOptRectDone;

  gActionStatus = kStatusRunning;
  EXPECT_FALSE(mousePress(gCurrent, matrix, list, 10, 50, 150, true)) << "no drag during an action";
  EXPECT_FALSE(gCurrent->flagsB & (kOptAreaActive | kOptRectDone)) << "a left press drops the area";
  EXPECT_FALSE(gActionStatus & kStatusStop);
  mousePress(gCurrent, matrix, list, 10, 50, 150, false);
  EXPECT_TRUE(gActionStatus & kStatusStop) << "a right click stops the action";
  gActionStatus = 0;
  mousePress(gCurrent, matrix, list, 10, 50, 150, false);
  EXPECT_EQ(gActionStatus, 0u) << "without an action a right click does nothing";

  EXPECT_TRUE(mousePress(gCurrent, matrix, list, 10, 5, 150, true));
  EXPECT_TRUE(gCurrent->flagsB & kOptDragging);
  EXPECT_EQ(gCurrent->mouseRect[0], 11) << "the anchor is clamped to the matrix";
  gCurrent->flagsB &= ~kOptDragging;

  gCurrent->listCursor = 0; // rows show hits 0 .. 3
  EXPECT_FALSE(mousePress(gCurrent, matrix, list, 10, 310, 55, true));
  EXPECT_EQ(gCurrent->selectedHit, hits[2]);
  EXPECT_EQ(gCurrent->listCursor, 2);

  gCurrent->flagsA &= ~kWinSeq2;
  EXPECT_FALSE(mousePress(gCurrent, matrix, list, 10, 50, 150, true)) << "one sequence only";
}

} // namespace
