// The window's cells at any size, and the header's numbers in them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "view_reading.h"

namespace {

bool showsSomething(const LayoutCell &c) { return c.x1 < c.x2 && c.y1 < c.y2; }

// The two corner cells are blanks inside the list.
bool isCorner(int cell) {
  return cellKind(cell) == kCellCornerTop || cellKind(cell) == kCellCornerBottom;
}

// Each header line reads left to right without one text over another, the
// " .. " of both lines one above the other.
TEST(LayoutTest, HeaderNumbersFitTheirCells) {
  struct Case {
    int32_t from1, to1, from2, to2;
  };
  for (const Case &k :
       {Case{1, 500, 123456, 9999999}, Case{123456, 9999999, 1, 500}, Case{7, 1234567, 12, 99}}) {
    WindowRecord *w = windowOn(k.from1, k.to1, k.to1, k.from2, k.to2, k.to2);
    RecordingSurface s;
    paintAt(w, s, 900, 700);
    const FixedMetrics fm;
    std::map<int, std::vector<RecordingSurface::Text>> lines;
    for (const auto &t : s.texts)
      if (t.font == kFontHeader)
        lines[t.baseline].push_back(t);
    ASSERT_EQ(lines.size(), 2u);
    std::vector<int> dots;
    for (auto &[baseline, texts] : lines) {
      std::sort(texts.begin(), texts.end(), [](auto &a, auto &b) { return a.x < b.x; });
      EXPECT_GE(texts.front().x, 0);
      for (size_t i = 1; i < texts.size(); ++i)
        EXPECT_LE(texts[i - 1].x + fm.textWidth(kFontHeader, texts[i - 1].text), texts[i].x)
            << "'" << texts[i - 1].text << "' runs into '" << texts[i].text << "'";
      for (const auto &t : texts)
        if (t.text == " .. ")
          dots.push_back(t.x);
    }
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_EQ(dots[0], dots[1]);
  }
}

// Down to a canvas of one pixel: cells shrink to nothing, never overlap nor
// leave the canvas, and painting ends.
TEST(LayoutTest, CellsNeverOverlapInSmallWindows) {
  WindowRecord *w = windowOn(1, 16569, 16569, 1, 16499, 16499);
  for (int width = 1; width <= 520; width += 9) {
    for (int height = 1; height <= 400; height += 9) {
      RecordingSurface s;
      paintAt(w, s, width, height);
      const LayoutCell *c = w->layout;
      for (int i = 0; i < kCellCount; ++i) {
        if (isCorner(i) || !showsSomething(c[i]))
          continue;
        EXPECT_TRUE(c[i].x1 >= 0 && c[i].x2 <= width && c[i].y1 >= 0 && c[i].y2 <= height)
            << "cell " << i << " leaves the " << width << "x" << height << " canvas";
        for (int j = 0; j < i; ++j) {
          if (isCorner(j) || !showsSomething(c[j]))
            continue;
          const bool overlap = std::max(c[i].x1, c[j].x1) <= std::min(c[i].x2, c[j].x2) &&
                               std::max(c[i].y1, c[j].y1) <= std::min(c[i].y2, c[j].y2);
          EXPECT_FALSE(overlap) << "cells " << j << " and " << i << " at " << width << "x"
                                << height;
        }
      }
      if (HasFailure())
        return;
    }
  }
  // Very wide: the information line's text stays within its buffer.
  RecordingSurface s;
  paintAt(w, s, 40000, 600);
  EXPECT_EQ(w->infoWidth, 2048);
}

} // namespace
