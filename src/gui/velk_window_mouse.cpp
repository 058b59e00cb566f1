// The mouse on the canvas: drags in the dot matrix, clicks in the list, the
// right click that stops a running action.
#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "gui/fonts.h"
#include "gui/velk_window.h"
#include "gui/view_hooks.h"
#include "view/mouse_selection.h"

static CellRect cellRect(const LayoutCell &c) { return {c.x1, c.y1, c.x2, c.y2}; }

// XOR draws the band and draws it again to erase it. The drawing context is
// the handler's own, so an action's drawing context is never taken away.
static void drawRubberBand(FXCanvas *canvas, const WindowRecord *w) {
  int32_t lines[4][4];
  int n = rubberBandLines(w->mouseRect, lines);
  if (n == 0)
    return;
  FXDCWindow dc(canvas);
  dc.setForeground(FXRGB(127, 127, 127));
  dc.setFunction(BLT_SRC_XOR_DST);
  dc.setLineStyle(LINE_SOLID);
  for (int i = 0; i < n; ++i)
    dc.drawLine(lines[i][0], lines[i][1], lines[i][2], lines[i][3]);
}

long VelkWindow::onMouse(FXObject *, FXSelector sel, void *ptr) {
  KeepCurrentSlot keep(gActionStatus & kStatusRunning);
  bindToSlot();
  const FXEvent *event = static_cast<const FXEvent *>(ptr);
  WindowRecord *w = gCurrent;
  switch (FXSELTYPE(sel)) {
  case SEL_LEFTBUTTONPRESS:
  case SEL_RIGHTBUTTONPRESS: {
    bool left = FXSELTYPE(sel) == SEL_LEFTBUTTONPRESS;
    if (mousePress(w, cellRect(w->matrixRect), cellRect(w->listRect),
                   gFonts[0]->getFontHeight() /* the list font */, event->win_x, event->win_y,
                   left))
      canvas->grab(); // motion outside the canvas still moves the band
    else
      ui()->requestRepaint();
    return 1;
  }
  case SEL_LEFTBUTTONRELEASE:
    if (!(w->flagsB & kOptDragging))
      return 0;
    w->flagsB &= ~kOptDragging;
    if (canvas->grabbed())
      canvas->ungrab();
    openActionDrawing();
    finishMouseRectangle(w);
    closeActionDrawing();
    return 1;
  case SEL_MOTION: {
    if (!(w->flagsB & kOptDragging))
      return 0;
    drawRubberBand(canvas, w);
    int32_t x = event->win_x, y = event->win_y;
    clampToMatrix(w->view, &x, &y);
    w->mouseRect[2] = x;
    w->mouseRect[3] = y;
    drawRubberBand(canvas, w);
    return 1;
  }
  }
  return 0;
}
