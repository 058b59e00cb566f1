#include "view/geometry.h"

#include <algorithm>
#include <cstdio>

namespace {
int labelWidthFor(const FontMetrics &fm, int32_t to) {
  char text[32];
  snprintf(text, sizeof text, "%d0", to);
  return fm.textWidth(kFontAxis, text);
}

// Values and step of an axis over `available` pixels.
void scale(Axis &a, int32_t from, int32_t to, int64_t available) {
  a.step = axisStep(from, to);
  a.first = (from / a.step) * a.step;
  a.last = ((to + a.step - 1) / a.step) * a.step;
  if (a.last <= a.first)
    a.last = a.first + a.step;
  a.pixelsPerStep = std::max<int64_t>(0, a.step * available / (a.last - a.first));
}

// The ticks stand at every step from first to last, `direction` pixels per
// step apart from the origin; a label is drawn where it does not overlap the
// previous one.
void placeTicks(Axis &a, int32_t origin, int direction, int labelSpan) {
  a.origin = origin;
  const int64_t steps = (a.last - a.first) / a.step;
  int64_t lastLabel = 0;
  for (int64_t k = 0; k <= steps; ++k) {
    const int64_t at = origin + direction * k * a.pixelsPerStep;
    const bool labelled = k == 0 || (at - lastLabel) * direction >= labelSpan;
    if (labelled)
      lastLabel = at;
    a.ticks.push_back(AxisTick{int32_t(at), int32_t(a.first + k * a.step), labelled});
  }
  a.end = int32_t(origin + direction * (steps * a.pixelsPerStep + 1));
}
} // namespace

int64_t axisStep(int64_t from, int64_t to) {
  int64_t n = (to - from) / 10 + 1, m = 1;
  while (n > 10) {
    n = (n + 4) / 10;
    m *= 10;
  }
  return m * n;
}

Axis verticalAxis(const LayoutCell &c, int32_t from, int32_t to, const FontMetrics &fm) {
  Axis a;
  const int h2 = fm.fontHeight(kFontAxis);
  a.labelWidth = labelWidthFor(fm, to);
  scale(a, from, to, int64_t(c.y2) - 2 * h2 - c.y1 - 1);
  placeTicks(a, c.y2 - h2 / 2 - h2 - 1, -1, h2);
  return a;
}

Axis horizontalAxis(const LayoutCell &c, int32_t from, int32_t to, int verticalLabelWidth,
                    const FontMetrics &fm) {
  Axis a;
  const int w9 = fm.textWidth(kFontAxis, "9");
  const int lw = a.labelWidth = labelWidthFor(fm, to);
  const int32_t origin = c.x1 + verticalLabelWidth + w9 / 2 + 1;
  // Room for the last label within the cell, also when the vertical axis's
  // numbers are the wider ones.
  const int64_t room = int64_t(c.x2) - lw + lw / 2 - origin;
  scale(a, from, to, std::min(int64_t(c.x2) - (lw + w9) / 2 - c.x1 - lw - 1, room));
  placeTicks(a, origin, 1, lw);
  return a;
}

// The mapping spans the ticks: first at the origin, last at the last tick.
ViewGeometry geometryFromAxes(const Axis &v, const Axis &h) {
  ViewGeometry g;
  g.x0 = h.origin;
  g.y0 = v.origin;
  g.w = std::max(1, h.end - h.origin - 1);
  g.negH = std::min(-1, v.end - v.origin + 1);
  g.first1 = int32_t(h.first);
  g.span1 = int32_t(h.last - h.first);
  g.first2 = int32_t(v.first);
  g.span2 = int32_t(v.last - v.first);
  return g;
}

PixelBox plotBox(const ViewGeometry &g) {
  return PixelBox{g.x0 + 1, g.y0 + g.negH - 1, g.w + 1, 1 - g.negH};
}

int32_t pixelX(const ViewGeometry &g, int64_t p) {
  return int32_t((p - g.first1) * g.w / g.span1 + g.x0 + 1);
}

int32_t pixelY(const ViewGeometry &g, int64_t q) {
  return int32_t((q - g.first2) * g.negH / g.span2 + g.y0 - 1);
}

int32_t pixelXf(const ViewGeometry &g, double p) {
  return int32_t((p - g.first1) * g.w / g.span1 + g.x0 + 1);
}

int32_t pixelYf(const ViewGeometry &g, double q) {
  return int32_t((q - g.first2) * g.negH / g.span2 + g.y0 - 1);
}

bool shadeBox(const ViewGeometry &g, const int32_t block[4], int64_t a1, int64_t a2, int64_t b1,
              int64_t b2, PixelBox &box) {
  const int64_t lo1 = block[0] - 1, hi1 = block[1], lo2 = block[2] - 1, hi2 = block[3];
  if (a2 < lo1 || a1 > hi1 || b2 < lo2 || b1 > hi2)
    return false;
  a1 = std::max(a1, lo1), a2 = std::min(a2, hi1);
  b1 = std::max(b1, lo2), b2 = std::min(b2, hi2);
  const int32_t left = pixelXf(g, double(a1));
  const int32_t right = pixelXf(g, double(a2)) + 1;
  const int32_t top = pixelYf(g, double(b2));
  const int32_t bottom = pixelYf(g, double(b1)) + 1;
  box = PixelBox{left, top, right - left, bottom - top};
  return true;
}
