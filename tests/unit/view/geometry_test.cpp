// Axes and the mapping of positions to pixels, with fixed font metrics.
#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "test_surface.h"
#include "view/geometry.h"
#include "view/painter.h"

namespace {

TEST(AxisStep, OneToTenTimesAPowerOfTenGivingAboutTenSteps) {
  EXPECT_EQ(axisStep(0, 1), 1);
  EXPECT_EQ(axisStep(0, 100), 10);
  EXPECT_EQ(axisStep(0, 16569), 2000);
  EXPECT_EQ(axisStep(0, 1000000), 100000);
  for (int64_t range = 1; range < 20000000; range = range * 7 / 5 + 1) {
    for (int64_t from : {int64_t(0), range / 3, int64_t(1234567)}) {
      const int64_t step = axisStep(from, from + range);
      int64_t power = 1;
      while (step / power > 10)
        power *= 10;
      EXPECT_EQ(step % power, 0) << range;
      const int64_t first = from / step * step, last = (from + range + step - 1) / step * step;
      const int64_t steps = (last - first) / step;
      EXPECT_GE(steps, 1) << range;
      EXPECT_LE(steps, 16) << range;
      if (range >= 20) {
        EXPECT_GE(steps, 5) << range;
      }
    }
  }
}

TEST(Axis, LabelsNeverOverlapAndTheAxisSpansTheTicks) {
  FixedMetrics fm;
  const int h2 = fm.fontHeight(kFontAxis);
  // Roomy, cramped and wide cells.
  for (LayoutCell c : {LayoutCell{10, 40, 700, 600}, LayoutCell{10, 40, 1700, 110},
                       LayoutCell{10, 40, 120, 500}}) {
    const Axis v = verticalAxis(c, 0, 16569, fm);
    const Axis h = horizontalAxis(c, 0, 16499, v.labelWidth, fm);
    ASSERT_FALSE(v.ticks.empty());
    ASSERT_FALSE(h.ticks.empty());
    EXPECT_TRUE(v.ticks[0].labelled && h.ticks[0].labelled);
    int lastV = v.ticks[0].pixel, lastH = h.ticks[0].pixel;
    for (size_t i = 1; i < v.ticks.size(); ++i) {
      EXPECT_EQ(v.ticks[i].pixel, v.ticks[0].pixel - int(i * v.pixelsPerStep));
      EXPECT_EQ(v.ticks[i].value, v.ticks[0].value + int(i * v.step));
      EXPECT_GE(v.ticks[i].pixel, c.y1);
      if (v.ticks[i].labelled) {
        EXPECT_GE(lastV - v.ticks[i].pixel, h2);
        lastV = v.ticks[i].pixel;
      }
    }
    for (size_t i = 1; i < h.ticks.size(); ++i) {
      EXPECT_LE(h.ticks[i].pixel - h.labelWidth / 2, c.x2 - h.labelWidth);
      if (h.ticks[i].labelled) {
        EXPECT_GE(h.ticks[i].pixel - lastH, h.labelWidth);
        lastH = h.ticks[i].pixel;
      }
    }
    // The horizontal axis starts at the vertical one.
    EXPECT_EQ(h.origin, c.x1 + v.labelWidth + fm.textWidth(kFontAxis, "9") / 2 + 1);
    const ViewGeometry g = geometryFromAxes(v, h);
    EXPECT_EQ(g.w, int(h.pixelsPerStep * (h.ticks.size() - 1) + 1));
    EXPECT_EQ(-g.negH, int(v.pixelsPerStep * (v.ticks.size() - 1) + 1));
    EXPECT_EQ(g.first1, 0);
    EXPECT_EQ(g.span1 % h.step, 0);
  }
  // In the cramped cell some vertical labels must give way.
  const Axis cramped = verticalAxis(LayoutCell{10, 40, 700, 140}, 0, 16569, fm);
  int labelled = 0;
  for (const AxisTick &t : cramped.ticks)
    labelled += t.labelled;
  EXPECT_LT(labelled, int(cramped.ticks.size()));
}

TEST(Axis, AMatrixSmallerThanOnePixelPerStepStillEnds) {
  FixedMetrics fm;
  const LayoutCell tiny{10, 40, 30, 70};
  const Axis v = verticalAxis(tiny, 0, 1000000, fm);
  const Axis h = horizontalAxis(tiny, 0, 1000000, v.labelWidth, fm);
  EXPECT_EQ(v.pixelsPerStep, 0);
  EXPECT_EQ(v.ticks.size(), 1u);
  EXPECT_EQ(h.ticks.size(), 1u);
  const ViewGeometry g = geometryFromAxes(v, h);
  EXPECT_GE(g.w, 1);
  EXPECT_LE(g.negH, -1);
  EXPECT_GT(g.span1, 0);
  EXPECT_GT(g.span2, 0);
}

class MappingTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(400, 'C').c_str());
    w.view = ViewGeometry{100, 500, 1000, -400, 0, 1000, 0, 400};
  }
  WindowRecord w{};
};

TEST_F(MappingTest, PositionsMapLeftToRightAndBottomToTop) {
  EXPECT_EQ(pixelX(w.view, 0), 101);
  EXPECT_EQ(pixelX(w.view, 1000), 1101);
  EXPECT_EQ(pixelY(w.view, 0), 499);
  EXPECT_EQ(pixelY(w.view, 400), 99);
  RecordingSurface s;
  drawSequenceLine(&w, s, 10, 20, 60, 70);
  ASSERT_EQ(s.lines.size(), 1u);
  const auto &l = s.lines[0];
  EXPECT_EQ(l.x1, 111);
  EXPECT_EQ(l.y1, 479);
  EXPECT_EQ(l.x2, 161);
  EXPECT_EQ(l.y2, 429);
}

TEST_F(MappingTest, AMirroredAxisTurnsTheLineAround) {
  gSeq1->flags |= kSeqInverted;
  RecordingSurface s;
  drawSequenceLine(&w, s, 10, 20, 60, 70);
  ASSERT_EQ(s.lines.size(), 1u);
  const auto &l = s.lines[0];
  EXPECT_EQ(l.x1, 1000 - 10 - 1 + 101);
  EXPECT_EQ(l.x2, 1000 - 60 - 1 + 101);
  EXPECT_EQ(l.y1, 479);
  EXPECT_EQ(l.y2, 429);
  gSeq1->flags &= ~kSeqInverted;
  gSeq2->flags |= kSeqInverted;
  s.lines.clear();
  drawSequenceLine(&w, s, 10, 20, 60, 70);
  EXPECT_EQ(s.lines[0].y1, 499 - (400 - 20 - 1));
  EXPECT_EQ(s.lines[0].y2, 499 - (400 - 70 - 1));
  gSeq2->flags &= ~kSeqInverted;
}

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
