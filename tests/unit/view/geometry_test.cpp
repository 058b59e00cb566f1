// The dot matrix's axes as a user reads them, and where positions are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "view/geometry.h"
#include "view_reading.h"

namespace {

// Where a hit's end at the file position v (the orientation the labels
// use) is drawn along each axis.
int drawnX(const WindowRecord *w, int64_t v) {
  const int64_t p = (gSeq1->flags & kSeqInverted) ? gSeq1->length - v : v;
  return sequenceLinePixels(w, p, 0, p, 0).x1;
}
int drawnY(const WindowRecord *w, int64_t v) {
  const int64_t q = (gSeq2->flags & kSeqInverted) ? gSeq2->length - v : v;
  return sequenceLinePixels(w, 0, q, 0, q).y1;
}

void mirror(int which, bool on) {
  Sequence *s = sequenceOf(which);
  s->flags &= ~(kSeqInverted | kSeqInvertRequested);
  if (on)
    s->flags |= kSeqInverted | kSeqInvertRequested;
}

void expectNoOverlap(std::vector<AxisLabel> labels, const char *axis) {
  std::sort(labels.begin(), labels.end(),
            [](const AxisLabel &a, const AxisLabel &b) { return a.lo < b.lo; });
  for (size_t i = 1; i < labels.size(); ++i)
    EXPECT_LE(labels[i - 1].hi, labels[i].lo)
        << axis << " labels " << labels[i - 1].value << " and " << labels[i].value;
}

// Intervals from 1 bp to 100 Mb at odd starts, in windows of many sizes, either
// axis mirrored, and either axis with the wider numbers.
TEST(AxisReadingTest, EveryLabelledPositionIsDrawnAtItsTick) {
  std::mt19937 rng(21);
  auto uniform = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  auto length = [&] {
    return int32_t(std::exp(std::uniform_real_distribution<double>(0, std::log(1e8))(rng)));
  };
  for (int round = 0; round < 300; ++round) {
    int32_t from[2], to[2], total[2];
    for (int k = 0; k < 2; ++k) {
      const int32_t n = std::max(1, length());
      from[k] = int32_t(1 + 2 * uniform(0, round % 3 ? 50000000 : 50));
      to[k] = from[k] + n - 1;
      total[k] = int32_t(to[k] + uniform(0, 1000));
    }
    WindowRecord *w = windowOn(from[0], to[0], total[0], from[1], to[1], total[1]);
    mirror(0, round % 4 == 1 || round % 4 == 3);
    mirror(1, round % 4 >= 2);
    const int width = int(uniform(500, 2400)), height = int(uniform(330, 1600));
    RecordingSurface s;
    paintAt(w, s, width, height);
    const AxisReading r = readAxes(s);
    const std::string where = "interval " + std::to_string(from[0]) + ".." + std::to_string(to[0]) +
                              " x " + std::to_string(from[1]) + ".." + std::to_string(to[1]) +
                              " in " + std::to_string(width) + "x" + std::to_string(height) +
                              " round " + std::to_string(round);
    SCOPED_TRACE(where);
    ASSERT_GE(r.horizontal.size(), 1u);
    ASSERT_GE(r.vertical.size(), 1u);
    for (const AxisLabel &l : r.horizontal)
      EXPECT_NEAR(l.tick, drawnX(w, l.value), 1) << "across, label " << l.value;
    for (const AxisLabel &l : r.vertical)
      EXPECT_NEAR(l.tick, drawnY(w, l.value), 1) << "up, label " << l.value;
    for (const AxisLabel &l : r.horizontal) {
      EXPECT_GE(l.lo, 0) << l.value;
      EXPECT_LE(l.hi, width) << l.value;
    }
    expectNoOverlap(r.horizontal, "across");
    expectNoOverlap(r.vertical, "up");
    // The first and last residue of the interval lie inside the frame.
    const LayoutCell &c = w->matrixRect;
    for (int64_t v : {int64_t(from[0]) - 1, int64_t(to[0])}) {
      EXPECT_GE(drawnX(w, v), c.x1) << v;
      EXPECT_LT(drawnX(w, v), c.x2) << v;
    }
    for (int64_t v : {int64_t(from[1]) - 1, int64_t(to[1])}) {
      EXPECT_GT(drawnY(w, v), c.y1) << v;
      EXPECT_LT(drawnY(w, v), c.y2) << v;
    }
    if (HasFailure())
      break;
  }
  mirror(0, false);
  mirror(1, false);
}

// The numbers along the axes at a few lengths, in a 900 x 700 window.
TEST(AxisReadingTest, LabelsReadAsAUserExpects) {
  struct Case {
    int32_t from1, to1, from2, to2;
    std::vector<long long> across, up;
  };
  const Case cases[] = {
      // Mitochondria: labels a round step apart, the last one past the end.
      {1,
       16569,
       1,
       16499,
       {0, 2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000},
       {0, 2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000}},
      // The first interval's numbers much shorter than the second's: its
      // end is labelled too.
      {1,
       800,
       1,
       16000000,
       {0, 80, 160, 240, 320, 400, 480, 560, 640, 720, 800},
       {0, 2000000, 4000000, 6000000, 8000000, 10000000, 12000000, 14000000, 16000000}},
      // Fifteen steps of ten read better than eight of twenty.
      {1,
       145,
       1,
       145,
       {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150},
       {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}},
      // One residue: its two ends.
      {12345, 12345, 777, 778, {12344, 12345}, {776, 777, 778}},
      // 100 Mb: wide numbers give way to each other.
      {1,
       100000000,
       1,
       100000000,
       {0, 20000000, 40000000, 60000000, 80000000, 100000000},
       {0, 10000000, 20000000, 30000000, 40000000, 50000000, 60000000, 70000000, 80000000, 90000000,
        100000000}},
  };
  for (const Case &k : cases) {
    WindowRecord *w = windowOn(k.from1, k.to1, k.to1 + 10, k.from2, k.to2, k.to2 + 10);
    RecordingSurface s;
    paintAt(w, s, 900, 700);
    const AxisReading r = readAxes(s);
    EXPECT_EQ(values(r.horizontal), k.across) << k.from1 << ".." << k.to1;
    EXPECT_EQ(values(r.vertical), k.up) << k.from2 << ".." << k.to2;
  }
}

class MappingTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(400, 'C').c_str());
    w.view = ViewGeometry{100, 500, 1000, -400, 0, 1000, 0, 400};
  }
  WindowRecord w{};
};

TEST_F(MappingTest, ALineWithinOnePixelStaysVisible) {
  w.view = ViewGeometry{100, 500, 10, -10, 0, 1000, 0, 400};
  RecordingSurface s;
  drawSequenceLine(&w, s, 10, 10, 12, 12);
  ASSERT_EQ(s.lines.size(), 1u);
  EXPECT_EQ(s.lines[0].x2, s.lines[0].x1 + 1);
}

TEST_F(MappingTest, ShadedAreasAreClampedToTheWindowBlock) {
  const int32_t block[4] = {101, 600, 1, 400};
  PixelBox box;
  EXPECT_FALSE(shadeBox(w.view, block, 0, 50, 0, 400, box));
  EXPECT_FALSE(shadeBox(w.view, block, 700, 800, 0, 400, box));
  ASSERT_TRUE(shadeBox(w.view, block, 0, 300, 100, 200, box));
  EXPECT_EQ(box.x, pixelX(w.view, 100)); // clamped to from1 - 1
  EXPECT_EQ(box.x + box.w, pixelX(w.view, 300) + 1);
  EXPECT_EQ(box.y, pixelY(w.view, 200));
  EXPECT_EQ(box.y + box.h, pixelY(w.view, 100) + 1);
}

} // namespace
