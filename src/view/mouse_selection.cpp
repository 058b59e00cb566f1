#include "view/mouse_selection.h"

#include <algorithm>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "view/selection_walk.h"

void clampToMatrix(const ViewGeometry &g, int32_t *x, int32_t *y) {
  if (*x <= g.x0)
    *x = g.x0 + 1;
  if (*x >= g.x0 + g.w)
    *x = g.x0 + g.w + 1;
  if (*y < g.y0 + g.negH)
    *y = g.y0 + g.negH;
  if (*y > g.y0)
    *y = g.y0;
}

int32_t pixelToPosition1(const ViewGeometry &g, int32_t px) {
  int64_t w = g.w ? g.w : 1;
  return int32_t(int64_t(px - g.x0 - 1) * g.span1 / w + g.first1);
}

int32_t pixelToPosition2(const ViewGeometry &g, int32_t py) {
  int64_t h = g.negH ? g.negH : -1;
  return int32_t(int64_t(py - g.y0 + 1) * g.span2 / h + g.first2);
}

bool hitTouchedByRectangle(const Hit *h, int32_t a1, int32_t a2, int32_t c1, int32_t c2) {
  int64_t len1 = h->end1 - h->start1, len2 = h->end2 - h->start2;
  if (len1 == 0)
    len1 = 1;
  if (len2 == 0)
    len2 = 1;
  bool crossed = false;
  // Each edge: where the diagonal meets it, whether that is on the edge's
  // span, and whether it lies on the hit's side of the crossing.
  auto edge = [&](int64_t at, int64_t lo, int64_t hi, bool within) {
    if (at < lo || at >= hi)
      return true;
    crossed = true;
    return within;
  };
  int64_t x = (int64_t(a2) - h->start2) * len1 / len2 + h->start1;
  if (!edge(x, a1, c1, x < h->end1 && a2 < h->end2))
    return false;
  x = (int64_t(c2) - h->start2) * len1 / len2 + h->start1;
  if (!edge(x, a1, c1, h->start1 <= x && h->start2 <= c2))
    return false;
  int64_t y = (int64_t(a1) - h->start1) * len2 / len1 + h->start2;
  if (!edge(y, a2, c2, y < h->end2 && a1 < h->end1))
    return false;
  y = (int64_t(c1) - h->start1) * len2 / len1 + h->start2;
  if (!edge(y, a2, c2, h->start2 <= y && h->start1 <= c1))
    return false;
  return crossed;
}

static int32_t clampToLoaded(const Sequence *s, int32_t p) {
  int32_t from = s->from > 0 ? s->from : 1;
  int32_t to = s->to > 0 ? s->to : s->length;
  return std::max(from, std::min(to, p));
}

// Between the files' orientation and residue-array order along an axis
// whose residues are currently invert-complemented.
static void mirrorAxis(const Sequence *s, int32_t *a, int32_t *c) {
  if (!(s->flags & kSeqInverted))
    return;
  *a = s->length - *a + 1;
  *c = s->length - *c + 1;
}

static void orderCorners(int32_t r[4]) {
  if (r[0] > r[2])
    std::swap(r[0], r[2]);
  if (r[1] > r[3])
    std::swap(r[1], r[3]);
}

void finishMouseRectangle(WindowRecord *w) {
  int32_t *r = w->mouseRect; // anchor x, y; current x, y
  w->flagsB |= kOptRectDone;
  if (std::abs(r[0] - r[2]) > 2 && std::abs(r[1] - r[3]) > 2)
    w->flagsB |= kOptAreaActive;
  const ViewGeometry &g = w->view;
  for (int i = 0; i < 4; i += 2) {
    r[i] = clampToLoaded(gSeq1, pixelToPosition1(g, r[i]));
    r[i + 1] = clampToLoaded(gSeq2, pixelToPosition2(g, r[i + 1]));
  }
  mirrorAxis(gSeq1, &r[0], &r[2]);
  mirrorAxis(gSeq2, &r[1], &r[3]);
  orderCorners(r);
  r[0] -= 1;
  r[1] -= 1;
  for (int i = 0; i < 4; ++i)
    w->selectedArea[i] = r[i];

  int32_t area[4];
  actionArea(w, area);
  Hit *first = nullptr;
  auto touch = [&](Hit *h, int32_t a2, int32_t c2) {
    h->flags &= ~kHitSelMouse;
    if (h->firstBlock && anyHitInArea(h, area) && hitTouchedByRectangle(h, r[0], a2, r[2], c2)) {
      h->flags |= kHitSelMouse;
      if (!first)
        first = h;
    }
  };
  for (Hit *h = gHitHead1; h; h = h->next1)
    touch(h, r[1], r[3]);
  // The other strand's hits meet the rectangle mirrored along sequence 2.
  for (Hit *h = gOther.head1; h; h = h->next1)
    touch(h, gSeq2->length - r[3], gSeq2->length - r[1]);
  if (first) {
    w->selectedHit = first;
    moveSelection(w, 0);
  }

  r[0] += 1;
  r[1] += 1;
  mirrorAxis(gSeq1, &r[0], &r[2]);
  mirrorAxis(gSeq2, &r[1], &r[3]);
  orderCorners(r);
}

Hit *listHitAt(const WindowRecord *w, const CellRect &list, int h1, int32_t x, int32_t y,
               int *rowShift) {
  if (!w->selectedHit || h1 <= 0 || x < list.x1 || x >= list.x2)
    return nullptr;
  Hit *top = w->selectedHit;
  int above = 0;
  for (; above < w->listCursor; ++above) {
    Hit *p = previousListed(w, top);
    if (!p)
      break;
    top = p;
  }
  int32_t rowTop = (list.y2 - (2 * w->listRows - 1) * h1 - list.y1) / 2 + list.y1;
  Hit *h = shownInWindow(top, w) ? top : nextListed(w, top);
  for (int row = 0; h && row < w->listRows; ++row, rowTop += 2 * h1, h = nextListed(w, h)) {
    if (y >= rowTop && y < rowTop + h1) {
      *rowShift = row - above;
      return h;
    }
  }
  return nullptr;
}

// Action-state bits that do not count as an action running.
constexpr uint32_t kIdleStatusBits = kStatusStop | 0x8;

bool mousePress(WindowRecord *w, const CellRect &matrix, const CellRect &list, int listRowHeight,
                int32_t x, int32_t y, bool left) {
  if ((w->flagsA & (kWinSeq1 | kWinSeq2)) != (kWinSeq1 | kWinSeq2))
    return false;
  if (left)
    w->flagsB &= ~(kOptAreaActive | kOptRectDone);
  bool running = (gActionStatus & ~kIdleStatusBits) != 0;
  bool drag = false;
  if (matrix.contains(x, y)) {
    if (!left && running) {
      gActionStatus |= kStatusStop;
    } else if (left && !running) {
      const ViewGeometry &g = w->view;
      clampToMatrix(g, &x, &y);
      w->flagsB |= kOptDragging;
      drag = true;
    }
    int32_t *r = w->mouseRect;
    if (drag)
      r[0] = r[2] = x, r[1] = r[3] = y;
  }
  if (list.contains(x, y)) {
    int32_t *r = w->mouseRect;
    r[0] = r[2] = x;
    r[1] = r[3] = y;
    int shift = 0;
    if (Hit *h = listHitAt(w, list, listRowHeight, x, y, &shift)) {
      w->selectedHit = h;
      w->listCursor += shift;
    }
  }
  return drag;
}

int rubberBandLines(const int32_t r[4], int32_t lines[4][4]) {
  auto put = [&](int i, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    lines[i][0] = x1, lines[i][1] = y1, lines[i][2] = x2, lines[i][3] = y2;
  };
  if (r[0] == r[2] && r[1] == r[3])
    return 0;
  if (r[0] == r[2] || r[1] == r[3]) {
    put(0, r[0], r[1], r[2], r[3]);
    return 1;
  }
  put(0, r[0], r[1], r[2], r[1]);
  put(1, r[2], r[1], r[2], r[3]);
  put(2, r[2], r[3], r[0], r[3]);
  put(3, r[0], r[3], r[0], r[1]);
  return 4;
}
