// Keys that move through the hits and the alignment pane, the stop request,
// the Select-mode check marks and closing a window.
#include "core/flags.h"
#include "gui/settings_registry.h"
#include "gui/velk_window.h"
#include "gui/view_hooks.h"
#include "session/exit_question.h"
#include "session/window_commands.h"
#include "view/selection_walk.h"

long VelkWindow::onCmdNavigate(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const FXSelector id = FXSELID(sel);
  if (id == ID_TOGGLE_MARK) {
    openActionDrawing();
    if (Hit *h = gCurrent->selectedHit) {
      if (h->flags & kHitSelected)
        h->flags &= ~kHitSelected;
      else
        h->flags |= kHitSelAll;
    }
    closeActionDrawing();
  }
  moveSelection(gCurrent, id == ID_PREVIOUS_HIT ? -1 : 1);
  gCurrent->flagsA |= kWinRepaint;
  bindToSlot();
  return 1;
}

long VelkWindow::onCmdScroll(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  if (Hit *h = gCurrent->selectedHit) {
    switch (FXSELID(sel)) {
    case ID_SCROLL_LEFT:
      h->paneFirstColumn -= 1;
      break;
    case ID_SCROLL_RIGHT:
      h->paneFirstColumn += 1;
      break;
    case ID_PAGE_RIGHT:
      h->paneFirstColumn += 10;
      break;
    default:
      h->paneFirstColumn -= 10;
      break;
    }
    gCurrent->flagsA |= kWinRepaint;
    bindToSlot();
  }
  return 1;
}

long VelkWindow::onCmdStop(FXObject *, FXSelector, void *) {
  if (beginCommand() && (gActionStatus & ~uint32_t(0x2 | 0x8)))
    gActionStatus |= kStatusStop;
  return 1;
}

long VelkWindow::onUpdSelectMode(FXObject *sender, FXSelector sel, void *) {
  const bool on = gCurrent && selectionModeOn(int32_t(FXSELID(sel)));
  sender->handle(this, FXSEL(SEL_COMMAND, on ? ID_CHECK : ID_UNCHECK), nullptr);
  return 1;
}

long VelkWindow::onCmdClose(FXObject *, FXSelector, void *) {
  if (!beginCommand())
    return 1;
  if (this != gWindows[0]) {
    hide();
    gCurrent->window = nullptr;
    return 1;
  }
  gActionStatus = 0;
  if (exitQuestion()) {
    hide();
    gCurrent->window = nullptr;
  }
  // Written even when the user stays, so a later crash keeps them.
  writeSettings(getApp());
  if (!gCurrent->window)
    getApp()->stop(0);
  return 1;
}
