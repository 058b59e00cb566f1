// What points at something in the dot matrix: the selected hit's arrow and
// the pointer beside an area too small to see, drawn with either sequence
// invert-complemented, checked against the axis labels a user reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "test_surface.h"
#include "view/layout.h"
#include "view/painter.h"

namespace {

const ViewArea kCanvas{0, 0, 900, 650};

class PointersTest : public ::testing::Test {
protected:
  void load(size_t length, bool invert1, bool invert2) {
    const std::string bases = randomBases(length, 9);
    loadTestSequences(bases.c_str(), bases.c_str());
    if (invert1)
      invertTestSequence(0);
    if (invert2)
      invertTestSequence(1);
    gCurrent = &gSlots[0];
    *gCurrent = WindowRecord{};
    gCurrent->flagsA = kWinSeq1 | kWinSeq2;
    const int32_t n = int32_t(length);
    const int32_t block[4] = {1, n, 1, n}, region[4] = {0, n, 0, n};
    std::copy(block, block + 4, gCurrent->block);
    std::copy(region, region + 4, gCurrent->region);
  }
  RecordingSurface paint() {
    layOutView(gCurrent, FixedMetrics(), kCanvas);
    RecordingSurface s;
    paintView(gCurrent, s, kCanvas, Rgb{212, 208, 200});
    return s;
  }
  void TearDown() override { clearTestHits(); }
};

// Labelled ticks of one axis as (value, pixel): the horizontal axis's labels
// share the lowest baseline and are centred on their tick; the vertical
// axis's are centred on theirs from above.
std::vector<std::pair<int, int>> labelledTicks(const RecordingSurface &s, bool horizontal) {
  const FixedMetrics fm;
  int bottom = 0;
  for (const auto &t : s.texts)
    if (t.font == kFontAxis)
      bottom = std::max(bottom, t.baseline);
  std::vector<std::pair<int, int>> ticks;
  for (const auto &t : s.texts) {
    if (t.font != kFontAxis || (t.baseline == bottom) != horizontal)
      continue;
    const int pixel = horizontal
                          ? t.x + fm.textWidth(kFontAxis, t.text) / 2
                          : t.baseline - fm.fontAscent(kFontAxis) + fm.fontHeight(kFontAxis) / 2;
    ticks.emplace_back(atoi(t.text.c_str()), pixel);
  }
  return ticks;
}

int nearestLabel(const std::vector<std::pair<int, int>> &ticks, int pixel) {
  int best = -1, distance = 1 << 30;
  for (const auto &[value, at] : ticks)
    if (std::abs(at - pixel) < distance) {
      distance = std::abs(at - pixel);
      best = value;
    }
  return best;
}

// Nine residues a side, one tick each, some 50 pixels apart. The arrow's tip
// lies on the ticks of the hit's middle residue, as its files number it,
// and the arrow hangs on the side away from the hit's line: above a rising
// line, below a falling one.
TEST_F(PointersTest, ArrowTipOnTheMiddleResiduesTicks) {
  struct Case {
    bool invert1, invert2;
    int x, y; // the middle residue (index 3 of 1..6, index 6 of 4..9) as the files number it
  } cases[] = {{false, false, 4, 7}, {true, false, 6, 7}, {false, true, 4, 3}, {true, true, 6, 3}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "inverted " << c.invert1 << c.invert2);
    load(9, c.invert1, c.invert2);
    makeTestHit(1, 4, {{0, 0, 5}}); // 1..6 x 4..9
    rebuildLists(0, 0);
    const RecordingSurface s = paint();
    const auto arrow = s.linesIn(kBlack);
    ASSERT_GE(arrow.size(), 7u);
    const auto &tip = arrow[arrow.size() - 7]; // painted last: seven strokes from the tip
    EXPECT_EQ(nearestLabel(labelledTicks(s, true), tip.x1), c.x);
    EXPECT_EQ(nearestLabel(labelledTicks(s, false), tip.y1), c.y);
    const bool falling = c.invert1 != c.invert2;
    for (size_t i = arrow.size() - 7; i < arrow.size(); ++i)
      EXPECT_TRUE(falling ? arrow[i].y2 >= tip.y1 : arrow[i].y2 <= tip.y1) << i;
  }
}

// A one-residue conflict is a box of a pixel or two: its word hangs below
// it on a rising diagonal and above it on a falling one.
TEST_F(PointersTest, SmallAreaPointerFollowsTheDiagonal) {
  for (int inverted = 0; inverted < 4; ++inverted) {
    const bool invert1 = inverted & 1, invert2 = inverted & 2;
    SCOPED_TRACE(testing::Message() << "inverted " << invert1 << invert2);
    load(2000, invert1, invert2);
    makeDiagonalHit(100, 100, 1000);
    makeDiagonalHit(1500, 1500, 1);
    rebuildLists(0, 0);
    for (Hit *h = gHitHead1; h; h = h->next1)
      h->flags = h->end1 - h->start1 == 1 ? kHitConflict : 0;
    const RecordingSurface s = paint();
    const RecordingSurface::Fill *box = nullptr;
    for (const auto &f : s.fills)
      if (f.colour == kPink)
        box = &f;
    ASSERT_NE(box, nullptr);
    ASSERT_LT(box->h, 10);
    const RecordingSurface::Text *word = nullptr;
    for (const auto &t : s.texts)
      if (t.text == "Conflict")
        word = &t;
    ASSERT_NE(word, nullptr);
    const int top = word->baseline - FixedMetrics().fontAscent(kFontAxis);
    if (invert1 != invert2)
      EXPECT_LT(word->baseline, box->y);
    else
      EXPECT_GT(top, box->y + box->h);
    EXPECT_GT(word->x, box->x + box->w);
  }
}

} // namespace
