// What points at something in the dot matrix: the selected hit's arrow and
// the pointer beside an area too small to see, drawn with either sequence
// invert-complemented, checked against the axis labels a user reads.
#include <gtest/gtest.h>

#include <string>

#include "view_reading.h"

namespace {

class PointersTest : public ::testing::Test {
protected:
  WindowRecord *load(size_t length, bool invert1, bool invert2) {
    const std::string bases = randomBases(length, 9);
    WindowRecord *w =
        windowOn(1, int32_t(length), int32_t(length), 1, int32_t(length), int32_t(length));
    loadTestSequences(bases.c_str(), bases.c_str());
    if (invert1)
      invertTestSequence(0);
    if (invert2)
      invertTestSequence(1);
    return w;
  }
  void TearDown() override { clearTestHits(); }
};

long long labelNearest(const std::vector<AxisLabel> &labels, int pixel) {
  const AxisLabel *best = &labels.at(0);
  for (const AxisLabel &l : labels)
    if (std::abs(l.tick - pixel) < std::abs(best->tick - pixel))
      best = &l;
  return best->value;
}

// Nine residues a side, one labelled tick each, some 50 pixels apart. The
// arrow's tip lies on the ticks of the hit's middle residue as its files
// number it, and the arrow hangs away from the hit's line: above a rising
// line, below a falling one.
TEST_F(PointersTest, ArrowTipOnTheMiddleResiduesTicks) {
  struct Case {
    bool invert1, invert2;
    int x, y; // the middle residues, index 3 of 1..6 and index 6 of 4..9, as numbered
  } cases[] = {{false, false, 4, 7}, {true, false, 6, 7}, {false, true, 4, 3}, {true, true, 6, 3}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "inverted " << c.invert1 << c.invert2);
    WindowRecord *w = load(9, c.invert1, c.invert2);
    makeTestHit(1, 4, {{0, 0, 5}});
    rebuildLists(0, 0);
    RecordingSurface s;
    paintAt(w, s, 900, 650);
    const auto arrow = s.linesIn(kBlack);
    ASSERT_GE(arrow.size(), 7u);
    const auto &tip = arrow[arrow.size() - 7]; // painted last: seven strokes from the tip
    const AxisReading axes = readAxes(s);
    EXPECT_EQ(labelNearest(axes.horizontal, tip.x1), c.x);
    EXPECT_EQ(labelNearest(axes.vertical, tip.y1), c.y);
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
    WindowRecord *w = load(2000, invert1, invert2);
    makeDiagonalHit(100, 100, 1000);
    makeDiagonalHit(1500, 1500, 1);
    rebuildLists(0, 0);
    for (Hit *h = gHitHead1; h; h = h->next1)
      h->flags = h->end1 - h->start1 == 1 ? kHitConflict : 0;
    RecordingSurface s;
    paintAt(w, s, 900, 650);
    const RecordingSurface::Fill *box = nullptr;
    for (const auto &f : s.fills)
      if (f.colour == kPink)
        box = &f;
    const RecordingSurface::Text *word = nullptr;
    for (const auto &t : s.texts)
      if (t.text == "Conflict")
        word = &t;
    ASSERT_TRUE(box && word);
    ASSERT_LT(box->h, 10);
    if (invert1 != invert2)
      EXPECT_LT(word->baseline, box->y);
    else
      EXPECT_GT(word->baseline - FixedMetrics().fontAscent(kFontAxis), box->y + box->h);
    EXPECT_GT(word->x, box->x + box->w);
  }
}

} // namespace
