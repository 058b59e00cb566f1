// The window's layout and the painter, drawn on a recording surface.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "test_surface.h"
#include "view/layout.h"
#include "view/painter.h"
#include "view/selection_walk.h"

namespace {

class ViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string bases = randomBases(2000, 7);
    loadTestSequences(bases.c_str(), bases.c_str());
    gCurrent = &gSlots[0];
    w = gCurrent;
    *w = WindowRecord{};
    w->flagsA = kWinSeq1 | kWinSeq2;
    w->block[0] = 1, w->block[1] = 2000, w->block[2] = 1, w->block[3] = 2000;
    w->region[0] = 0, w->region[1] = 2000, w->region[2] = 0, w->region[3] = 2000;
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "/data/human.fa");
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "orang.fa");
  }
  void addDiagonalHits(int count) {
    for (int i = 0; i < count; ++i) {
      Hit *h = makeDiagonalHit(i * 2000 / count, i * 2000 / count, 2000 / count - 5);
      h->firstBlock->identities = h->firstBlock->length;
    }
    rebuildLists(0, 0);
  }
  WindowRecord *w = nullptr;
  FixedMetrics fm;
};

// A picture's Courier advances 8.8 pixels: the line must still fit its cell.
TEST_F(ViewTest, InformationLineFitsWithFractionalAdvances) {
  struct Fractional : FixedMetrics {
    int textWidth(int font, std::string_view text) const override {
      return font == kFontPane ? int(text.size() * 44 / 5) : FixedMetrics::textWidth(font, text);
    }
  } frac;
  layOutView(w, frac, ViewArea{0, 0, 900, 700});
  const LayoutCell &info = w->layout[11];
  EXPECT_EQ(w->infoWidth, 102);
  EXPECT_LE(frac.textWidth(kFontPane, std::string(w->infoWidth, 'x')), info.x2 - info.x1);
}

TEST_F(ViewTest, FewerRowsKeepTheSelectedHitInTheList) {
  addDiagonalHits(40);
  layOutView(w, fm, ViewArea{0, 0, 900, 650});
  const int rows = w->listRows;
  ASSERT_GT(rows, 8);
  for (int i = 0; i < rows - 3; ++i)
    moveSelection(w, 1);
  EXPECT_EQ(w->listCursor, rows - 3);
  layOutView(w, fm, ViewArea{0, 0, 900, 300});
  EXPECT_LT(w->listRows, rows);
  EXPECT_GE(w->listCursor, 1);
  EXPECT_LT(w->listCursor, w->listRows);
}

TEST_F(ViewTest, HitsListAndPaneArePainted) {
  addDiagonalHits(10);
  w->flanksLength = 3;
  layOutView(w, fm, ViewArea{0, 0, 900, 650});
  RecordingSurface s;
  paintView(w, s, ViewArea{0, 0, 900, 650}, Rgb{212, 208, 200});
  // One grey line per hit, rising from bottom left to top right.
  const auto lines = s.linesIn(kHitGrey);
  ASSERT_EQ(lines.size(), 10u);
  for (const auto &l : lines) {
    EXPECT_GT(l.x2, l.x1);
    EXPECT_LT(l.y2, l.y1);
  }
  // One row per hit, the selected one on grey.
  int rows = 0, selectedRows = 0;
  for (const auto &t : s.texts)
    rows += t.font == kFontList;
  for (const auto &f : s.fills)
    selectedRows += f.colour == kHitGrey && f.h == fm.fontHeight(kFontList);
  EXPECT_EQ(rows, 10);
  EXPECT_EQ(selectedRows, 1);
  const auto header = std::find_if(s.texts.begin(), s.texts.end(),
                                   [](const auto &t) { return t.text == "human.fa"; });
  EXPECT_NE(header, s.texts.end());
  EXPECT_NE(
      std::find_if(s.texts.begin(), s.texts.end(), [](const auto &t) { return t.text == ">>>"; }),
      s.texts.end());
  // Fonts are set only when they change.
  EXPECT_LT(s.fontChanges, 40);
}

TEST_F(ViewTest, NeighbouringConflictsAndApprovedHitsAreShadedAsOneArea) {
  addDiagonalHits(10);
  Hit *a = gHitHead1->next1, *b = a->next1;
  a->flags |= kHitConflict;
  b->flags |= kHitConflict;
  gHitTail1->flags |= kHitApproved;
  layOutView(w, fm, ViewArea{0, 0, 900, 650});
  RecordingSurface s;
  paintView(w, s, ViewArea{0, 0, 900, 650}, Rgb{212, 208, 200});
  int pink = 0, green = 0;
  for (const auto &f : s.fills) {
    pink += f.colour == kPink;
    green += f.colour == kGreen;
  }
  EXPECT_EQ(pink, 1); // two neighbours make one area
  EXPECT_EQ(green, 1);
}

} // namespace
