#include "gui/fox_ui.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/flags.h"
#include "core/session.h"
#include "gui/velk_window.h"
#include "gui/view_hooks.h"

FXWindow *FoxUi::messageOwner() const {
  if (owner)
    return owner;
  if (gCurrent && gCurrent->window)
    return gCurrent->window;
  return gWindows[0];
}

Answer FoxUi::messageBox(const char *title, const char *text, Buttons buttons, Answer) {
  FXuint opts = buttons == Buttons::Ok      ? MBOX_OK
                : buttons == Buttons::YesNo ? MBOX_YES_NO
                                            : MBOX_YES_NO_CANCEL;
  FXWindow *w = messageOwner();
  FXuint r;
  if (buttons != Buttons::Ok)
    r = w ? FXMessageBox::question(w, opts, title, "%s", text)
          : FXMessageBox::question(app, opts, title, "%s", text);
  else if (strcmp(title, "Error") == 0)
    r = w ? FXMessageBox::error(w, opts, title, "%s", text)
          : FXMessageBox::error(app, opts, title, "%s", text);
  else
    r = w ? FXMessageBox::warning(w, opts, title, "%s", text)
          : FXMessageBox::warning(app, opts, title, "%s", text);
  switch (r) {
  case MBOX_CLICKED_YES:
    return kAnswerYes;
  case MBOX_CLICKED_NO:
    return kAnswerNo;
  case MBOX_CLICKED_CANCEL:
    // Escape closes a Yes/No box with Cancel; there it means No.
    return buttons == Buttons::YesNo ? kAnswerNo : kAnswerCancel;
  default:
    return kAnswerOk;
  }
}

void FoxUi::setInfoLine(const char *text) {
  snprintf(info, sizeof info, "%s", text);
  // A trace of every line shown, for scripted sessions that check it.
  if (const char *log = getenv("VELK_INFO_LOG"))
    if (FILE *f = *log ? fopen(log, "a") : nullptr) {
      fprintf(f, "%s\n", info);
      fclose(f);
    }
  requestRepaint();
}

void FoxUi::flushDisplay() {
  app->repaint();
  app->flush();
}

void FoxUi::progress(int p) {
  percent = p;
  app->runWhileEvents();
  // Expose events only mark windows; paint them before the action goes on.
  app->repaint();
  app->flush();
}

void FoxUi::requestRepaint() {
  for (WindowRecord &w : gSlots) {
    if (!w.window)
      continue;
    w.flagsA |= kWinRepaint;
    w.window->getCanvas()->update();
  }
}

void FoxUi::hideWindow(VelkWindow *w) { w->hide(); }

void FoxUi::sendToRootWindow(int commandId) {
  if (VelkWindow *root = gWindows[0])
    root->handle(root, FXSEL(SEL_COMMAND, commandId), nullptr);
}

void FoxUi::openActionSurface() { openActionDrawing(); }

void FoxUi::closeActionSurface() { closeActionDrawing(); }

bool FoxUi::canDraw() const { return actionDrawingOpen(); }

void FoxUi::drawSequenceLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool erase) {
  drawActionLine(x1, y1, x2, y2, erase);
}
