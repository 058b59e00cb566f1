#include "gui/view_hooks.h"

#include "core/flags.h"
#include "core/session.h"
#include "gui/velk_window.h"

void paintWindow(VelkWindow *window, FXEvent *event) {
  FXDCWindow dc(window->getCanvas(), event);
  dc.setForeground(FXRGB(255, 255, 255));
  dc.fillRectangle(event->rect.x, event->rect.y, event->rect.w, event->rect.h);
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

void openActionDrawing() {}

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
}
