#include "gui/view_hooks.h"

#include "gui/velk_window.h"

void paintWindow(VelkWindow *window, FXEvent *event) {
  FXDCWindow dc(window->getCanvas(), event);
  dc.setForeground(FXRGB(255, 255, 255));
  dc.fillRectangle(event->rect.x, event->rect.y, event->rect.w, event->rect.h);
}

void activateSlot(WindowRecord *) {}
