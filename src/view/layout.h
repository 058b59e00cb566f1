// The window's 24 cells: a fixed template of links between cell edges and
// the canvas, sized from the four fonts whenever the canvas size changes.
#pragma once
#include <cstdint>

#include "core/records.h"
#include "view/surface.h"

constexpr int kCellCount = 24;

// What a cell shows.
enum CellKind : int32_t {
  kCellFrom1 = 0,
  kCellDots1 = 1,
  kCellTo1 = 2,
  kCellName1 = 3,
  kCellText1 = 4,
  kCellFrom2 = 5,
  kCellDots2 = 6,
  kCellTo2 = 7,
  kCellName2 = 8,
  kCellText2 = 9,
  kCellMatrix = 10,
  kCellList = 11,
  kCellPaneFirst1 = 12,
  kCellPaneRow1 = 13,
  kCellPaneLast1 = 14,
  kCellPaneRow2 = 15,
  kCellPaneFirst2 = 16,
  kCellPaneRow3 = 17,
  kCellPaneLast2 = 18,
  kCellScrollLeft = 19,
  kCellScrollRight = 20,
  kCellInfo = 21,
  kCellCornerTop = 22,
  kCellCornerBottom = 23,
};

// Kind of each cell of the template, in cell order.
CellKind cellKind(int cell);

// The painting rectangle: the canvas, or a printer's printable area.
struct ViewArea {
  int32_t left, top, right, bottom;
};

// Base name of a sequence's file: the name the header shows.
const char *sequenceName(const Sequence *s);

// Sizes the window's cells for `area` from the fonts' metrics; also the
// rectangles of the matrix, list, pane and information line, the list's
// rows (keeping the cursor on screen), the pane's columns and the
// information line's capacity. Nothing happens without two loaded
// sequences.
void layOutView(WindowRecord *w, const FontMetrics &fm, const ViewArea &area);

// Baseline that centres a line of `font` vertically in y1 .. y2.
int centredBaseline(const FontMetrics &fm, int font, int y1, int y2);
