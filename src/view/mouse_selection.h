// The mouse without the toolkit: pixels of the dot matrix back to sequence
// positions, the hits a released rectangle touches, and the row of the list
// under a point.
#pragma once
#include <cstdint>

#include "core/records.h"

// A point held inside the dot matrix (the rubber band cannot leave it).
void clampToMatrix(const ViewGeometry &g, int32_t *x, int32_t *y);

// A matrix pixel as 1-based positions in the sequence files' orientation.
int32_t pixelToPosition1(const ViewGeometry &g, int32_t px);
int32_t pixelToPosition2(const ViewGeometry &g, int32_t py);

// Whether the diagonal of `h` crosses the rectangle [a1, c1) x [a2, c2)
// within the hit (or its extension crosses a rectangle holding the hit).
bool hitTouchedByRectangle(const Hit *h, int32_t a1, int32_t a2, int32_t c1, int32_t c2);

// Ends a drag: mouseRect holds the anchor and current pixels. Marks the
// touched hits, selects the first, and leaves the window's last mouse
// rectangle in 1-based file-orientation positions (and, when the drag was
// more than 2 pixels each way, the selected area in residue-array order).
void finishMouseRectangle(WindowRecord *w);

// A cell of the window's layout in canvas pixels.
struct CellRect {
  int32_t x1, y1, x2, y2;
  bool contains(int32_t x, int32_t y) const { return x1 <= x && x < x2 && y1 <= y && y < y2; }
};

// The hit of the list row under (x, y), the list being drawn in `list` with
// rows h1 high; null outside every row. `rowShift` receives how many rows
// the point lies below the selected hit's row.
Hit *listHitAt(const WindowRecord *w, const CellRect &list, int h1, int32_t x, int32_t y,
               int *rowShift);

// A button press on the canvas, in the dot-matrix cell `matrix` or the list
// cell `list`: a right press in the matrix asks a running action to stop, a
// left one starts a drag when none runs (true); a press on a list row
// selects its hit. A left press always drops the selected area.
bool mousePress(WindowRecord *w, const CellRect &matrix, const CellRect &list, int listRowHeight,
                int32_t x, int32_t y, bool left);

// The rubber band between the anchor and the current point of a drag: up
// to four lines (x1, y1, x2, y2); none when the points are equal.
int rubberBandLines(const int32_t mouseRect[4], int32_t lines[4][4]);
