#include "gui/view_hooks.h"

#include "core/flags.h"
#include "core/session.h"
#include "engine/scores.h"
#include "gui/fox_surface.h"
#include "gui/velk_window.h"
#include "view/geometry.h"
#include "view/layout.h"
#include "view/painter.h"

namespace {
// The action drawing context: open on the current window's canvas while an
// action shows its progress.
struct ActionDrawing {
  FXDCWindow *dc = nullptr;
  FoxSurface *surface = nullptr;
  WindowRecord *slot = nullptr;
};
ActionDrawing gAction;

void dropActionDrawing() {
  delete gAction.surface;
  delete gAction.dc;
  gAction = ActionDrawing{};
}
} // namespace

void paintWindow(VelkWindow *window, FXEvent *event) {
  WindowRecord *w = gCurrent;
  FXCanvas *canvas = window->getCanvas();
  const FXint cw = canvas->getWidth(), ch = canvas->getHeight();
  if (!viewHasSequences(w) || cw <= 0 || ch <= 0) {
    FXDCWindow dc(canvas, event);
    dc.setForeground(FXRGB(255, 255, 255));
    dc.fillRectangle(0, 0, cw, ch);
    return;
  }
  rescoreIfParamsChanged(w->score, w->region);
  const ViewArea area{0, 0, cw, ch};
  if (window->canvasWidth != cw || window->canvasHeight != ch) {
    window->canvasWidth = cw;
    window->canvasHeight = ch;
    layOutView(w, FoxMetrics(), area);
  }
  // Composed off screen and copied in one operation: no flicker.
  FXImage image(window->getApp(), nullptr, 0, cw, ch);
  image.create();
  {
    FXDCWindow idc(&image);
    idc.setForeground(FXRGB(255, 255, 255));
    idc.fillRectangle(0, 0, cw, ch);
    idc.setForeground(FXRGB(0, 0, 0));
    FoxSurface surface(idc);
    const FXColor back = window->getBackColor();
    paintView(w, surface, area,
              Rgb{FXuchar(FXREDVAL(back)), FXuchar(FXGREENVAL(back)), FXuchar(FXBLUEVAL(back))});
  }
  FXDCWindow dc(canvas, event);
  dc.setClipRectangle(0, 0, cw, ch);
  dc.drawImage(&image, 0, 0);
}

void activateSlot(WindowRecord *w) {
  if (!w->selectedHit)
    selectNearestHit(w->region[0], w->region[2]);
  VelkWindow *window = w->window;
  if (w->flagsA & kWinRelayout) {
    w->flagsA &= ~kWinRelayout;
    if (window)
      window->canvasWidth = window->canvasHeight = -1;
  }
  if (w->flagsA & kWinRepaint) {
    w->flagsA &= ~kWinRepaint;
    if (window)
      window->getCanvas()->update();
  }
}

void openActionDrawing() {
  dropActionDrawing();
  WindowRecord *w = gCurrent;
  if (!w || !w->window || !w->window->shown() || !viewHasSequences(w) || w->view.span1 <= 0 ||
      w->view.span2 <= 0)
    return;
  gAction.slot = w;
  gAction.dc = new FXDCWindow(w->window->getCanvas());
  gAction.surface = new FoxSurface(*gAction.dc);
  const PixelBox plot = plotBox(w->view);
  gAction.dc->setClipRectangle(plot.x, plot.y, plot.w, plot.h);
}

void closeActionDrawing() {
  WindowRecord *current = gCurrent;
  for (WindowRecord &w : gSlots) {
    if (!w.window)
      continue;
    w.flagsA |= kWinRecount | kWinRepaint;
    gCurrent = &w;
    activateSlot(&w);
  }
  gCurrent = current;
  dropActionDrawing();
}

bool actionDrawingOpen() { return gAction.dc != nullptr; }

void drawActionLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool erase) {
  if (!gAction.dc)
    return;
  gAction.surface->setForeground(erase ? kWhite : kBlack);
  drawSequenceLine(gAction.slot, *gAction.surface, x1, y1, x2, y2);
}
