#include "view/painter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/progress.h"
#include "engine/search.h"
#include "ops/selections.h"
#include "session/report.h"
#include "view/geometry.h"
#include "view/hit_text.h"
#include "view/selection_walk.h"

namespace {

constexpr uint32_t kBothSequences = kWinSeq1 | kWinSeq2;

bool mirrored1() { return (gSeq1->flags & kSeqInverted) != 0; }
bool mirrored2() { return (gSeq2->flags & kSeqInverted) != 0; }
// Exactly one axis mirrored: markers and the arrow hang the other way.
bool upsideDown() { return mirrored1() != mirrored2(); }

// An action that has not finished yet: the bits other than stop and the two
// no-drawing bits.
bool actionInProgress() { return (gActionStatus & ~uint32_t(0x2 | 0x8 | 0x10)) != 0; }

// While an action runs the line shows how far it has got.
const char *infoLineText() {
  if (actionInProgress() && actionCanvasOpen())
    return ReportLineProgress("", progressPercent());
  return ReportLine();
}

enum class Align { Left, Centre, Right };

// The box of a run of neighbouring hits, widened hit by hit.
struct RunBox {
  bool open = false;
  int64_t a1 = 0, a2 = 0, b1 = 0, b2 = 0;
  void widen(const Hit *h) {
    if (!open) {
      a1 = h->start1, a2 = h->end1, b1 = h->start2, b2 = h->end2;
      open = true;
      return;
    }
    a1 = std::min<int64_t>(a1, h->start1), a2 = std::max<int64_t>(a2, h->end1);
    b1 = std::min<int64_t>(b1, h->start2), b2 = std::max<int64_t>(b2, h->end2);
  }
};

struct Painter {
  Painter(WindowRecord *w, DrawingSurface &s, const ViewArea &area, Rgb background)
      : w(w), s(s), area(area), background(background) {}
  WindowRecord *w;
  DrawingSurface &s;
  ViewArea area;
  Rgb background;
  int font = 0;
  bool anyHit = false;
  bool plotted = false; // the dot matrix had room and is drawn
  PaneText pane;
  bool paneReady = false;

  void setFont(int f) {
    if (f != font) {
      s.setFont(f);
      font = f;
    }
  }

  void text(const LayoutCell &c, int f, const std::string &t, Align a) {
    setFont(f);
    const int width = s.textWidth(f, t);
    const int x = a == Align::Left    ? c.x1
                  : a == Align::Right ? c.x2 - width
                                      : c.x1 + (c.x2 - c.x1 - width) / 2;
    s.drawText(x, centredBaseline(s, f, c.y1, c.y2), t);
  }

  static std::string number(int64_t v) {
    char t[32];
    snprintf(t, sizeof t, " %lld ", (long long)v);
    return t;
  }

  void cell(int i);
  void header(const LayoutCell &c, CellKind kind);
  void matrix(const LayoutCell &c);
  void areas(uint32_t flag, Rgb colour, const char *word);
  void shadeRun(int64_t a1, int64_t a2, int64_t b1, int64_t b2, const char *word,
                bool other = false);
  void selectionShading();
  void hitLines();
  void actionWork();
  void list(const LayoutCell &c);
  void paneCell(const LayoutCell &c, CellKind kind);
  void offDiagonal();
  void arrow();
};

// When `outside`, moves the end (p, q) of the segment (pa, qa)-(pb, qb) to
// p = to, with q in proportion.
void clipEnd(int64_t pa, int64_t qa, int64_t pb, int64_t qb, bool outside, int64_t to, int64_t &p,
             int64_t &q) {
  if (!outside)
    return;
  if (pb != pa)
    q = qa + (qb - qa) * (to - pa) / (pb - pa);
  p = to;
}

// Box of a run in residue-array order, drawn in the files' orientation;
// `other`: positions along the other strand.
void orient(int64_t &a, int64_t &b, const Sequence *s, bool other = false) {
  if (bool(s->flags & kSeqInverted) != other) {
    const int64_t na = s->length - b, nb = s->length - a;
    a = na, b = nb;
  }
}

void Painter::cell(int i) {
  const LayoutCell &c = w->layout[i];
  const CellKind kind = cellKind(i);
  if (c.x2 < area.left || c.x1 > area.right || c.y2 < area.top || c.y1 > area.bottom ||
      c.x1 >= c.x2 || c.y1 >= c.y2)
    return; // outside, or shrunk to nothing in a small window
  switch (kind) {
  case kCellMatrix:
    matrix(c);
    break;
  case kCellList:
    list(c);
    break;
  case kCellInfo:
    setFont(kFontPane);
    s.setForeground(background);
    s.fillRectangle(c.x1, c.y1, c.x2 - c.x1, c.y2 - c.y1);
    s.setForeground(kBlack);
    text(c, kFontPane, infoLineText(), Align::Left);
    break;
  case kCellCornerTop:
  case kCellCornerBottom:
    break;
  default:
    if (kind <= kCellText2)
      header(c, kind);
    else
      paneCell(c, kind);
    break;
  }
  s.setForeground(kBlack);
}

void Painter::header(const LayoutCell &c, CellKind kind) {
  switch (kind) {
  case kCellFrom1:
  case kCellTo1:
  case kCellFrom2:
  case kCellTo2: {
    const int index = kind == kCellFrom1 ? 0 : kind == kCellTo1 ? 1 : kind == kCellFrom2 ? 2 : 3;
    text(c, kFontHeader, number(w->block[index]), Align::Right);
    break;
  }
  case kCellDots1:
  case kCellDots2:
    text(c, kFontHeader, " .. ", Align::Centre);
    break;
  case kCellName1:
  case kCellName2:
    text(c, kFontHeader, sequenceName(kind == kCellName1 ? gSeq1 : gSeq2), Align::Left);
    break;
  default: {
    if (kind == kCellText2) {
      const LayoutCell &first = w->layout[0];
      const int x = first.x1 - 1, top = first.y1 - 1;
      s.drawLine(x, c.y2, x, top);
      s.drawLine(x, top, c.x2, top);
      s.drawLine(c.x2, top, c.x2, c.y2 + 1);
    }
    // A blank keeps the description off the name before it.
    const Sequence *seq = kind == kCellText1 ? gSeq1 : gSeq2;
    text(c, kFontHeader, std::string(" ") + (seq->definition ? seq->definition : ""), Align::Left);
    break;
  }
  }
}

void Painter::matrix(const LayoutCell &c) {
  plotted = true;
  // Axes squeezed into a small cell stay out of their neighbours.
  s.setClip(c.x1 - 1, c.y1, c.x2 - c.x1 + 2, c.y2 - c.y1 + 1);
  s.drawLine(c.x1 - 1, c.y1, c.x2, c.y1);
  s.drawLine(c.x2, c.y1, c.x2, c.y2);
  s.drawLine(c.x2, c.y2, c.x1 - 1, c.y2);
  s.drawLine(c.x1 - 1, c.y2, c.x1 - 1, c.y1);
  setFont(kFontAxis);
  const int h2 = s.fontHeight(kFontAxis), w9 = s.textWidth(kFontAxis, "9");
  const Axis v = verticalAxis(c, w->block[2] - 1, w->block[3], s);
  for (const AxisTick &t : v.ticks) {
    char label[24];
    snprintf(label, sizeof label, "%d", t.value);
    if (t.labelled) {
      const int x = c.x1 + v.labelWidth - s.textWidth(kFontAxis, label);
      const int top = t.pixel - (h2 + 1) / 2;
      s.drawText(x, centredBaseline(s, kFontAxis, top, top + h2), label);
    }
    const int x = c.x1 + v.labelWidth + 1;
    s.drawLine(x, t.pixel, x + w9 / 2, t.pixel);
  }
  const int axisX = c.x1 + v.labelWidth + w9 / 2 + 1;
  s.drawLine(axisX, v.origin, axisX, v.end);
  const Axis h = horizontalAxis(c, w->block[0] - 1, w->block[1], v.labelWidth, s);
  for (const AxisTick &t : h.ticks) {
    char label[24];
    snprintf(label, sizeof label, "%d", t.value);
    if (t.labelled) {
      const int slot = t.pixel - h.labelWidth / 2;
      const int x = slot + (h.labelWidth - s.textWidth(kFontAxis, label)) / 2;
      s.drawText(x, centredBaseline(s, kFontAxis, c.y2 - h2, c.y2), label);
    }
    s.drawLine(t.pixel, c.y2 - h2 - 1, t.pixel, c.y2 - h2 - 1 - h2 / 2);
  }
  const int axisY = c.y2 - h2 / 2 - h2 - 1;
  s.drawLine(h.origin, axisY, h.end, axisY);
  w->view = geometryFromAxes(v, h);
  const ViewGeometry &g = w->view;

  s.setForeground(kGreen);
  const PixelBox plot = plotBox(g);
  s.setClip(plot.x, plot.y, plot.w, plot.h);
  PixelBox box;
  for (int which = 0; which < 2; ++which) {
    const Sequence *seq = which ? gSeq2 : gSeq1;
    for (const Annotation *a = seq->annotations; a; a = a->next) {
      if ((a->kind & 0x7f) < kAnnExon || !a->coordinates)
        continue;
      for (int k = 0; k + 1 < a->coordinateCount; k += 2) {
        const int64_t lo = a->coordinates[k], hi = a->coordinates[k + 1];
        const bool shown = which ? shadeBox(g, w->block, 0, gSeq1->length, lo, hi, box)
                                 : shadeBox(g, w->block, lo, hi, 0, gSeq2->length, box);
        if (shown)
          s.fillRectangle(box.x, box.y, box.w, box.h);
      }
    }
  }
  areas(kHitConflict, kPink, "Conflict");
  areas(kHitApproved, kGreen, "Approved");
  selectionShading();
  hitLines();
  if (actionInProgress())
    actionWork();
  s.setClip(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void Painter::shadeRun(int64_t a1, int64_t a2, int64_t b1, int64_t b2, const char *word,
                       bool other) {
  orient(a1, a2, gSeq1);
  orient(b1, b2, gSeq2, other);
  PixelBox box;
  if (!shadeBox(w->view, w->block, a1, a2, b1, b2, box))
    return;
  s.fillRectangle(box.x, box.y, box.w, box.h);
  if (!word || (box.w >= 10 && box.h >= 10))
    return;
  // Too small to see: a short pointer with the area's word beside it.
  s.setForeground(kBlack);
  setFont(kFontAxis);
  const int X = box.x + box.w, Y = box.y + box.h, T = box.y;
  if (!upsideDown()) {
    s.drawLine(X + 1, Y + 1, X + 6, Y + 6);
    s.drawLine(X + 6, Y + 6, X + 6, Y + 9);
    s.drawLine(X + 6, Y + 6, X + 9, Y + 6);
    s.drawText(X + 6, Y + 6 + s.fontAscent(kFontAxis), word);
  } else {
    s.drawLine(X + 1, T - 1, X + 6, T - 6);
    s.drawLine(X + 6, T - 6, X + 6, T - 9);
    s.drawLine(X + 6, T - 6, X + 9, T - 6);
    s.drawText(X + 6, T - 6 - s.fontHeight(kFontAxis) + s.fontAscent(kFontAxis), word);
  }
}

// Runs of neighbouring hits in list order that carry `flag` are shaded as
// one area.
void Painter::areas(uint32_t flag, Rgb colour, const char *word) {
  s.setForeground(colour);
  setFont(kFontAxis);
  RunBox run;
  auto close = [&] {
    if (run.open) {
      shadeRun(run.a1, run.a2, run.b1, run.b2, word);
      s.setForeground(colour);
    }
    run.open = false;
  };
  for (const Hit *h = gHitHead1; h; h = h->next1) {
    if (!HitInArea(h, w->region))
      continue;
    if (h->flags & flag)
      run.widen(h);
    else
      close();
  }
  close();
}

void Painter::selectionShading() {
  s.setForeground(kMarkGrey);
  // Each order of each set: the other strand's runs are boxes along it.
  for (int order = 0; order < 4; ++order) {
    const bool other = order >= 2, second = order % 2;
    RunBox run;
    auto close = [&] {
      if (run.open)
        shadeRun(run.a1, run.a2, run.b1, run.b2, nullptr, other);
      run.open = false;
    };
    const Hit *head = other    ? (second ? gOther.head2 : gOther.head1)
                      : second ? gHitHead2
                               : gHitHead1;
    for (const Hit *h = head; h; h = second ? h->next2 : h->next1) {
      if (!shownInWindow(h, w))
        continue;
      if (h->flags & kHitSelected)
        run.widen(h);
      else
        close();
    }
    close();
  }
  s.setForeground(kHitGrey);
  if ((w->flagsB & (kOptRectDone | kOptAreaActive)) == (kOptRectDone | kOptAreaActive)) {
    PixelBox box;
    if (shadeBox(w->view, w->block, w->mouseRect[0], w->mouseRect[2], w->mouseRect[1],
                 w->mouseRect[3], box))
      s.fillRectangle(box.x, box.y, box.w, box.h);
  }
}

void Painter::hitLines() {
  // While Align searches the other strand the two sets have changed places.
  const bool exchanged = gStrandPassRunning;
  for (int set = 0; set < 2; ++set) {
    const bool other = set == 1;
    s.setForeground(other != exchanged ? kReverseBlue : kHitGrey);
    for (const Hit *h = other ? gOther.head1 : gHitHead1; h; h = h->next1) {
      if (!shownInWindow(h, w))
        continue;
      for (const HitBlock *b = h->firstBlock; b; b = b->next) {
        const PixelLine l = sequenceLinePixels(
            w, int64_t(h->start1) + b->x, int64_t(h->start2) + b->y,
            int64_t(h->start1) + b->x + b->length, int64_t(h->start2) + b->y + b->length, other);
        s.drawLine(l.x1, l.y1, l.x2, l.y2);
      }
    }
  }
}

// What a running action has found so far, over the finished view.
void Painter::actionWork() {
  const EngineContext &e = gEngine;
  if (!e.prepared || (gActionStatus & (kModeNoDraw | kModeNoDraw2)))
    return;
  s.setForeground(kBlack);
  // Islands are many and mostly shorter than a pixel: each pixel is drawn once.
  const ViewGeometry &g = w->view;
  const PixelBox plot = plotBox(g);
  const int64_t width = plot.w, height = plot.h;
  std::vector<bool> drawn(size_t(std::max<int64_t>(0, width * height)));
  auto island = [&](const HitBlock *b) {
    const PixelLine l =
        sequenceLinePixels(w, int64_t(e.x1) + b->x, int64_t(e.y1) + b->y,
                           int64_t(e.x1) + b->x + b->length, int64_t(e.y1) + b->y + b->length);
    const int64_t cx = l.x1 - plot.x, cy = l.y1 - plot.y;
    if (std::abs(l.x2 - l.x1) <= 1 && std::abs(l.y2 - l.y1) <= 1 && cx >= 0 && cx < width &&
        cy >= 0 && cy < height) {
      if (drawn[size_t(cy * width + cx)])
        return;
      drawn[size_t(cy * width + cx)] = true;
    }
    s.drawLine(l.x1, l.y1, l.x2, l.y2);
  };
  if (e.diagonalList)
    for (int32_t i = 0; i < e.listEntries; ++i)
      for (const HitBlock *b = e.diagonalList[i]; b; b = b->freeNext)
        island(b);
  for (const HitBlock *end = e.resultList; end; end = end->freeNext)
    for (const HitBlock *b = end; b; b = b->prev)
      island(b);
}

void Painter::list(const LayoutCell &c) {
  s.drawLine(c.x1 - 1, c.y1, c.x2, c.y1);
  s.drawLine(c.x2, c.y1, c.x2, c.y2);
  s.drawLine(c.x2, c.y2, c.x1 - 1, c.y2);
  if (!anyHit || !w->selectedHit)
    return;
  setFont(kFontList);
  moveSelection(w, 0);
  if (w->flagsB & kOptNoHit)
    return;
  const Hit *row = w->selectedHit;
  for (int k = w->listCursor; k > 0; --k) {
    const Hit *p = previousListed(w, row);
    if (!p)
      break;
    row = p;
  }
  const int h1 = s.fontHeight(kFontList);
  int top = (c.y2 - (2 * w->listRows - 1) * h1 - c.y1) / 2 + c.y1;
  for (int n = 0; row && n < w->listRows; row = nextListed(w, row)) {
    if (!shownInWindow(row, w))
      continue;
    s.setForeground(row == w->selectedHit ? kHitGrey : kWhite);
    s.fillRectangle(c.x1, top, c.x2 - c.x1, h1);
    s.setForeground((row->flags & kHitSelected) ? kMarkGrey : kBlack);
    text(LayoutCell{c.x1, top, c.x2, top + h1}, kFontList, listRowText(row), Align::Left);
    top += 2 * h1;
    ++n;
  }
}

void Painter::paneCell(const LayoutCell &c, CellKind kind) {
  if (kind == kCellPaneLast2) {
    const int L = w->paneTopLeft[0], T = w->paneTopLeft[1];
    s.drawLine(L - 1, T, L - 1, c.y2);
    s.drawLine(L - 1, c.y2, c.x2, c.y2);
    s.drawLine(c.x2, c.y2, c.x2, T - 1);
  }
  const Hit *hit = w->selectedHit;
  if (!paneReady || !hit)
    return;
  switch (kind) {
  case kCellPaneFirst1:
    text(c, kFontPane, number(panePosition(hit, 0, pane.first[0])), Align::Right);
    break;
  case kCellPaneLast1:
    text(c, kFontPane, number(panePosition(hit, 0, pane.last[0])), Align::Right);
    break;
  case kCellPaneFirst2:
    text(c, kFontPane, number(panePosition(hit, 1, pane.first[1])), Align::Right);
    break;
  case kCellPaneLast2:
    text(c, kFontPane, number(panePosition(hit, 1, pane.last[1])), Align::Right);
    break;
  case kCellPaneRow1:
  case kCellPaneRow2:
  case kCellPaneRow3:
    text(c, kFontPane,
         pane.rows[kind == kCellPaneRow1   ? 0
                   : kind == kCellPaneRow2 ? 1
                                           : 2],
         Align::Centre);
    break;
  case kCellScrollLeft:
    if (hit->paneFirstColumn != hit->leftFlank)
      text(c, kFontPane, "<<<", Align::Centre);
    break;
  case kCellScrollRight:
    if (hit->paneFirstColumn + w->paneColumnsShown < hit->paneColumns)
      text(c, kFontPane, ">>>", Align::Centre);
    break;
  default:
    break;
  }
}

void Painter::offDiagonal() {
  const ViewGeometry &g = w->view;
  const PixelBox plot = plotBox(g);
  s.setClip(plot.x, plot.y, plot.w, plot.h);
  s.setForeground(kHitGrey);
  s.setFunction(DrawFunction::Xor);
  const double a = gDiagonalSlope, b0 = gDiagonalIntercept, d = gDiagonalThreshold;
  const double x0 = w->region[0], x1 = w->region[1], y0 = w->region[2], y1 = w->region[3];
  for (int k = 0; k < 3; ++k) {
    const double b = k == 0 ? b0 : k == 1 ? b0 + d : b0 - d;
    if (k == 1)
      s.setLineStyle(LineStyle::Dash);
    double px1, py1, px2, py2;
    if (std::abs(a) < 1) {
      px1 = x0, py1 = a * x0 + b, px2 = x1, py2 = a * x1 + b;
    } else {
      py1 = y0, px1 = (y0 - b) / a, py2 = y1, px2 = (y1 - b) / a;
    }
    if (mirrored1())
      px1 = gSeq1->length - px1, px2 = gSeq1->length - px2;
    if (mirrored2())
      py1 = gSeq2->length - py1, py2 = gSeq2->length - py2;
    s.drawLine(pixelXf(g, px1), pixelYf(g, py1), pixelXf(g, px2), pixelYf(g, py2));
  }
  s.setLineStyle(LineStyle::Solid);
  s.setFunction(DrawFunction::Copy);
  s.setClip(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void Painter::arrow() {
  const Hit *hit = w->selectedHit;
  if (!hit || !hit->firstBlock || !anyHit)
    return;
  int64_t xa = hit->start1, ya = hit->start2, xb = hit->end1, yb = hit->end2;
  const int64_t rx0 = w->region[0], rx1 = w->region[1], ry0 = w->region[2], ry1 = w->region[3];
  // Clip the diagonal to the region, moving the other coordinate in proportion.
  clipEnd(xa, ya, xb, yb, xa < rx0, rx0, xa, ya);
  clipEnd(xa, ya, xb, yb, xb > rx1, rx1, xb, yb);
  clipEnd(ya, xa, yb, xb, ya < ry0, ry0, ya, xa);
  clipEnd(ya, xa, yb, xb, yb > ry1, ry1, yb, xb);
  const int64_t mid1 = (xa + xb) / 2, mid2 = (ya + yb) / 2;
  // A hit of the other strand counts sequence 2 from the other end, and
  // runs down: its arrow hangs the other way.
  const bool other = onOtherStrand(hit);
  const bool fromEnd2 = bool(gSeq2->flags & kSeqInvertRequested) != other;
  const int64_t m1 = (gSeq1->flags & kSeqInvertRequested) ? gSeq1->length - mid1 : mid1 + 1;
  const int64_t m2 = fromEnd2 ? gSeq2->length - mid2 : mid2 + 1;
  const ViewGeometry &g = w->view;
  const int X = pixelX(g, m1), Y = pixelY(g, m2);
  w->arrow[0] = X, w->arrow[1] = Y;
  static const int kShape[8][2] = {{1, 0},  {11, 10}, {7, 10}, {10, 17},
                                   {8, 19}, {4, 11},  {1, 14}, {1, 0}};
  SurfacePoint points[8];
  const bool down = upsideDown() != other;
  for (int i = 0; i < 8; ++i)
    points[i] =
        SurfacePoint{X - 1 - kShape[i][0], down ? Y + 1 + kShape[i][1] : Y - 1 - kShape[i][1]};
  s.setForeground(kBlack);
  s.drawLines(points, 8);
}

} // namespace

bool viewHasSequences(const WindowRecord *w) {
  return (w->flagsA & kBothSequences) == kBothSequences && gSeq1 && gSeq2 && gSeq1->length &&
         gSeq2->length;
}

PixelLine sequenceLinePixels(const WindowRecord *w, int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                             bool otherStrand) {
  if (mirrored1())
    x1 = mirrorPoint(x1, gSeq1->length), x2 = mirrorPoint(x2, gSeq1->length);
  if (mirrored2() != otherStrand)
    y1 = mirrorPoint(y1, gSeq2->length), y2 = mirrorPoint(y2, gSeq2->length);
  const ViewGeometry &g = w->view;
  PixelLine l{pixelX(g, x1), pixelY(g, y1), pixelX(g, x2), pixelY(g, y2)};
  if (l.x1 == l.x2 && l.y1 == l.y2)
    ++l.x2;
  return l;
}

void drawSequenceLine(const WindowRecord *w, DrawingSurface &s, int64_t x1, int64_t y1, int64_t x2,
                      int64_t y2) {
  const PixelLine l = sequenceLinePixels(w, x1, y1, x2, y2);
  s.drawLine(l.x1, l.y1, l.x2, l.y2);
}

void paintView(WindowRecord *w, DrawingSurface &s, const ViewArea &area, Rgb background) {
  if (!viewHasSequences(w))
    return;
  // An action may free the selected hit before the lists are rebuilt.
  if (w->selectedHit && w->selectedHit->flags == kHitFree)
    w->selectedHit = nullptr;
  Painter p(w, s, area, background);
  p.setFont(kFontAxis);
  s.setForeground(kBlack);
  p.anyHit = firstListed(w) != nullptr;
  if (Hit *h = w->selectedHit; h && h->firstBlock && p.anyHit) {
    p.setFont(kFontPane);
    preparePane(h, w->flanksLength, w->paneColumnsShown, p.pane);
    p.paneReady = true;
  }
  // Without a drawn matrix no position maps to a pixel.
  w->view = ViewGeometry{};
  for (int i = 0; i < kCellCount; ++i)
    p.cell(i);
  if (!p.plotted)
    return;
  if (w->flagsA & kWinModeOffDiagonal)
    p.offDiagonal();
  p.arrow();
}
