// The painter: draws a window's view (header, dot matrix with axes, shading
// and hits, list of hit locations, alignment pane, information line)
// through a drawing surface, so screen, printer and picture file share it.
#pragma once
#include "core/records.h"
#include "view/layout.h"
#include "view/surface.h"

// Paints the current window `w` (laid out for `area`) on `s`. `background`
// fills the information line. Nothing is drawn without two loaded,
// non-empty sequences.
void paintView(WindowRecord *w, DrawingSurface &s, const ViewArea &area, Rgb background);

// Both sequences are loaded and non-empty: the view has something to show.
bool viewHasSequences(const WindowRecord *w);

// Pixels of a line between two sequence positions (0-based, residue-array
// order) in the window's dot matrix, mirrored along a mirrored axis; a line
// within one pixel is one pixel long.
struct PixelLine {
  int x1, y1, x2, y2;
};
// `otherStrand`: positions of sequence 2 along its other strand (a hit of
// the second set), drawn mirrored once more.
PixelLine sequenceLinePixels(const WindowRecord *w, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                             bool otherStrand = false);

// Draws a line between two sequence positions (0-based, residue-array
// order) in the window's dot matrix, as the engine's progress drawing does.
void drawSequenceLine(const WindowRecord *w, DrawingSurface &s, int64_t x1, int64_t y1, int64_t x2,
                      int64_t y2);

// View colours.
constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kGreen{207, 255, 207}, kPink{255, 207, 207},
    kMarkGrey{191, 191, 191}, kHitGrey{127, 127, 127};
// Hits of the other strand of sequence 2 (the second set).
constexpr Rgb kReverseBlue{0, 0, 255};
