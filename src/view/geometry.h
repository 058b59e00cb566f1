// The dot matrix's axes and the mapping of sequence positions to pixels.
// Sequence 1 runs left to right, sequence 2 bottom to top.
#pragma once
#include <cstdint>
#include <vector>

#include "core/records.h"
#include "view/surface.h"

// One to ten times a power of ten, giving about ten steps over from .. to.
int64_t axisStep(int64_t from, int64_t to);

struct AxisTick {
  int32_t pixel; // y (vertical axis) or x (horizontal axis) of the tick mark
  int32_t value;
  bool labelled; // false where the label would overlap the previous one
};

struct Axis {
  int64_t step = 1, first = 0, last = 1;
  int64_t pixelsPerStep = 0;
  int labelWidth = 0;
  std::vector<AxisTick> ticks; // first to last, one per step
  // Ends of the axis line: y0 and yTop (vertical), x0 and xRight (horizontal).
  int32_t origin = 0, end = 0;
};

// The axis of sequence 2 along the left of the matrix cell, for axis values
// from .. to (0-based start, exclusive end).
Axis verticalAxis(const LayoutCell &cell, int32_t from, int32_t to, const FontMetrics &fm);
// The axis of sequence 1 along the bottom; it starts at the vertical axis,
// whose label width is given.
Axis horizontalAxis(const LayoutCell &cell, int32_t from, int32_t to, int verticalLabelWidth,
                    const FontMetrics &fm);

// The geometry the two axes make.
ViewGeometry geometryFromAxes(const Axis &vertical, const Axis &horizontal);

// Pixel rectangle of a shaded area; also the pixels the plot covers.
struct PixelBox {
  int32_t x, y, w, h;
};
// Every pixel a position of the axes' range maps to, and no axis line.
PixelBox plotBox(const ViewGeometry &g);

// Integer mapping of hit and block positions.
int32_t pixelX(const ViewGeometry &g, int64_t p);
int32_t pixelY(const ViewGeometry &g, int64_t q);
// Floating-point mapping of the Off-diagonal band's end points.
int32_t pixelXf(const ViewGeometry &g, double p);
int32_t pixelYf(const ViewGeometry &g, double q);

// A point between residues along an invert-complemented axis, in the
// orientation of the sequence file.
inline int64_t mirrorPoint(int64_t p, int32_t length) { return length - p; }

// Rectangle of the area a1..a2 (sequence 1) x b1..b2 (sequence 2), clamped
// to the window's block; false when it lies outside.
bool shadeBox(const ViewGeometry &g, const int32_t block[4], int64_t a1, int64_t a2, int64_t b1,
              int64_t b2, PixelBox &box);
