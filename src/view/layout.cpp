#include "view/layout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/flags.h"
#include "core/session.h"

namespace {

// A link names an edge (top two bits: 0 x1, 1 y1, 2 x2, 3 y2) of the canvas
// (1) or of an earlier cell (2 + cell); 0 is no link.
enum Edge : uint32_t { X1 = 0, Y1 = 1, X2 = 2, Y2 = 3 };
constexpr uint32_t kNone = 0;
constexpr uint32_t canvasEdge(Edge e) { return (uint32_t(e) << 30) | 1; }
constexpr uint32_t cellEdge(int cell, Edge e) { return (uint32_t(e) << 30) | uint32_t(2 + cell); }
constexpr uint32_t L = canvasEdge(X1), T = canvasEdge(Y1), R = canvasEdge(X2), B = canvasEdge(Y2);

struct TemplateRow {
  uint32_t x1, y1, x2, y2;
  CellKind kind;
};

// clang-format off
const TemplateRow kTemplate[kCellCount] = {
    {L,                 T,                 kNone,             kNone,             kCellFrom1},
    {cellEdge(0, X2),   T,                 kNone,             kNone,             kCellDots1},
    {L,                 cellEdge(0, Y2),   kNone,             kNone,             kCellFrom2},
    {cellEdge(1, X2),   T,                 kNone,             kNone,             kCellTo1},
    {cellEdge(2, X2),   cellEdge(1, Y2),   kNone,             kNone,             kCellDots2},
    {cellEdge(4, X2),   cellEdge(3, Y2),   kNone,             kNone,             kCellTo2},
    {cellEdge(3, X2),   T,                 kNone,             kNone,             kCellName1},
    {cellEdge(5, X2),   cellEdge(6, Y2),   kNone,             kNone,             kCellName2},
    {cellEdge(6, X2),   T,                 R,                 kNone,             kCellText1},
    {cellEdge(7, X2),   cellEdge(8, Y2),   R,                 kNone,             kCellText2},
    {kNone,             cellEdge(9, Y2),   R,                 kNone,             kCellCornerTop},
    {L,                 kNone,             R,                 B,                 kCellInfo},
    {L,                 kNone,             kNone,             cellEdge(11, Y1),  kCellPaneFirst2},
    {kNone,             kNone,             R,                 cellEdge(11, Y1),  kCellPaneLast2},
    {L,                 kNone,             kNone,             cellEdge(12, Y1),  kCellScrollLeft},
    {kNone,             kNone,             R,                 cellEdge(13, Y1),  kCellScrollRight},
    {cellEdge(12, X2),  kNone,             cellEdge(13, X1),  cellEdge(11, Y1),  kCellPaneRow3},
    {cellEdge(14, X2),  kNone,             cellEdge(15, X1),  cellEdge(16, Y1),  kCellPaneRow2},
    {L,                 kNone,             kNone,             cellEdge(14, Y1),  kCellPaneFirst1},
    {kNone,             kNone,             R,                 cellEdge(15, Y1),  kCellPaneLast1},
    {kNone,             kNone,             R,                 cellEdge(19, Y1),  kCellCornerBottom},
    {cellEdge(18, X2),  kNone,             cellEdge(19, X1),  cellEdge(17, Y1),  kCellPaneRow1},
    {kNone,             cellEdge(9, Y2),   R,                 cellEdge(21, Y1),  kCellList},
    {L,                 cellEdge(9, Y2),   cellEdge(22, X1),  cellEdge(21, Y1),  kCellMatrix},
};
// clang-format on

int32_t linkedValue(uint32_t link, const LayoutCell *cells, const ViewArea &area) {
  const Edge e = Edge(link >> 30);
  const uint32_t target = link & 0x3fffffff;
  if (target == 1)
    return e == X1 ? area.left : e == Y1 ? area.top : e == X2 ? area.right : area.bottom;
  const LayoutCell &c = cells[target - 2];
  return e == X1 ? c.x1 : e == Y1 ? c.y1 : e == X2 ? c.x2 : c.y2;
}

int numberWidth(const FontMetrics &fm, int font, int32_t value) {
  char text[32];
  snprintf(text, sizeof text, " %d ", value);
  return fm.textWidth(font, text);
}

bool isCorner(CellKind kind) { return kind == kCellCornerTop || kind == kCellCornerBottom; }

// A window too small for its cells: a cell keeps inside the canvas and below
// the header, and one sized leftwards stops at its left neighbour, so cells
// shrink to nothing rather than overlap. (The corners are blanks inside the
// list.)
void fitCell(LayoutCell &c, int i, const LayoutCell *cells, const ViewArea &area) {
  c.x1 = std::max(c.x1, area.left);
  c.x2 = std::min(c.x2, area.right);
  c.y1 = std::max(c.y1, area.top);
  c.y2 = std::min(c.y2, area.bottom);
  const CellKind kind = kTemplate[i].kind;
  if (kind > kCellText2)
    c.y1 = std::max(c.y1, cells[9].y2 + 1);
  if (kind == kCellList)
    c.x1 = std::max(c.x1, area.left + 1);
  if (kind == kCellPaneLast1 || kind == kCellPaneLast2 || kind == kCellScrollRight)
    c.x1 = std::max(c.x1, cells[i - 1].x2 + 1);
}

// What the painter and the mouse need from the cells beyond their rectangles.
void remember(WindowRecord *w, const LayoutCell &c, CellKind kind, const FontMetrics &fm) {
  switch (kind) {
  case kCellMatrix:
    w->matrixRect = c;
    break;
  case kCellList: {
    const int h1 = fm.fontHeight(kFontList);
    const int rows = h1 > 0 ? std::max(0, (c.y2 - c.y1 - h1) / (2 * h1)) : 0;
    if (rows < w->listRows)
      w->listCursor = std::max(1, w->listCursor + rows - w->listRows);
    w->listRows = rows;
    w->listRect = c;
    break;
  }
  case kCellPaneFirst1:
    w->paneTopLeft[0] = c.x1;
    w->paneTopLeft[1] = c.y1;
    break;
  case kCellPaneRow1: {
    const int w9 = fm.textWidth(kFontPane, "9");
    w->paneColumnsShown = w9 > 0 ? std::max(0, (c.x2 - c.x1) / w9) : 0;
    break;
  }
  case kCellPaneLast2:
    w->paneBottomRight[0] = c.x2;
    w->paneBottomRight[1] = c.y2;
    break;
  case kCellInfo: {
    // Five characters measured at once: a font whose advance is not a whole
    // pixel (a picture's) would otherwise overflow the line.
    const int five = fm.textWidth(kFontPane, "ERROR");
    w->infoWidth = five > 0 ? std::clamp((c.x2 - c.x1) * 5 / five, 0, 2048) : 0;
    w->infoRect = c;
    break;
  }
  default:
    break;
  }
}

} // namespace

CellKind cellKind(int cell) { return kTemplate[cell].kind; }

const char *sequenceName(const Sequence *s) {
  const char *slash = strrchr(s->fileName, '/');
  return slash ? slash + 1 : s->fileName;
}

int centredBaseline(const FontMetrics &fm, int font, int y1, int y2) {
  return y1 + fm.fontAscent(font) + (y2 - y1 - fm.fontHeight(font)) / 2;
}

void layOutView(WindowRecord *w, const FontMetrics &fm, const ViewArea &area) {
  if ((w->flagsA & (kWinSeq1 | kWinSeq2)) != (kWinSeq1 | kWinSeq2) || !gSeq1 || !gSeq2 ||
      gSeq1->length == 0 || gSeq2->length == 0)
    return;
  const int h3 = fm.fontHeight(kFontPane), h4 = fm.fontHeight(kFontHeader);
  const int paneNumber = fm.textWidth(kFontPane, " 999999 ");
  const int *block = w->block;
  LayoutCell *cells = w->layout;
  for (int i = 0; i < kCellCount; ++i) {
    const TemplateRow &t = kTemplate[i];
    LayoutCell &c = cells[i];
    c = LayoutCell{0, 0, 0, 0};
    if (t.x1)
      c.x1 = linkedValue(t.x1, cells, area) + 1;
    if (t.y1)
      c.y1 = linkedValue(t.y1, cells, area) + 1;
    if (t.x2)
      c.x2 = linkedValue(t.x2, cells, area) - 1;
    if (t.y2)
      c.y2 = linkedValue(t.y2, cells, area) - 1;
    if (t.kind <= kCellText2) // a header line
      c.y2 = c.y1 + h4;
    switch (t.kind) {
    case kCellFrom1:
    case kCellFrom2:
      c.x2 = c.x1 + numberWidth(fm, kFontHeader, std::max(block[0], block[2]));
      break;
    case kCellDots1:
    case kCellDots2:
      c.x2 = c.x1 + fm.textWidth(kFontHeader, " .. ");
      break;
    case kCellTo1:
    case kCellTo2:
      c.x2 = c.x1 + numberWidth(fm, kFontHeader, std::max(block[1], block[3]));
      break;
    case kCellName1:
    case kCellName2:
      c.x2 = c.x1 + std::max(fm.textWidth(kFontHeader, sequenceName(gSeq1)),
                             fm.textWidth(kFontHeader, sequenceName(gSeq2)));
      break;
    case kCellText1:
    case kCellText2:
    case kCellMatrix:
      break;
    case kCellList:
      c.x1 = c.x2 -
             fm.textWidth(kFontList, " 9999  999999 .. 999999 (9999)  999999 .. 999999 (9999) ");
      break;
    case kCellPaneFirst1:
    case kCellPaneFirst2:
    case kCellScrollLeft:
      c.x2 = c.x1 + paneNumber;
      c.y1 = c.y2 - h3;
      break;
    case kCellPaneLast1:
    case kCellPaneLast2:
    case kCellScrollRight:
      c.x1 = c.x2 - paneNumber;
      c.y1 = c.y2 - h3;
      break;
    case kCellPaneRow1:
    case kCellPaneRow2:
    case kCellPaneRow3:
      c.y1 = c.y2 - h3;
      break;
    case kCellInfo:
      c.y1 = c.y2 - h3;
      c.x1 -= 1;
      c.x2 += 1;
      c.y2 += 1;
      break;
    case kCellCornerTop:
      c.x1 = c.x2 - 10;
      c.y2 = c.y1 + 10;
      break;
    case kCellCornerBottom:
      c.x1 = c.x2 - 10;
      c.y1 = c.y2 - 10;
      break;
    }
    if (!isCorner(t.kind))
      fitCell(c, i, cells, area);
    remember(w, c, t.kind, fm);
  }
}
