#include "gui/velk_window.h"

#include "core/flags.h"
#include "gui/settings_registry.h"
#include "gui/view_hooks.h"
#include "session/exit_question.h"

// clang-format off
FXDEFMAP(VelkWindow) VelkWindowMap[] = {
  FXMAPFUNC(SEL_PAINT, VelkWindow::ID_CANVAS, VelkWindow::onPaint),
  FXMAPFUNC(SEL_COMMAND, VelkWindow::ID_CLOSE, VelkWindow::onCmdClose),
  FXMAPFUNC(SEL_SIGNAL, VelkWindow::ID_CLOSE, VelkWindow::onCmdClose),
  FXMAPFUNC(SEL_CLOSE, 0, VelkWindow::onCmdClose),
};
// clang-format on

FXIMPLEMENT(VelkWindow, FXMainWindow, VelkWindowMap, ARRAYNUMBER(VelkWindowMap))

VelkWindow *gWindows[kSlotCount] = {};

int windowIndex(const VelkWindow *w) {
  for (int i = 0; i < kSlotCount; ++i)
    if (gWindows[i] == w)
      return i;
  return -1;
}

VelkWindow::VelkWindow(FXApp *app)
    : FXMainWindow(app, "Velk v1.4a", nullptr, nullptr, DECOR_ALL, 0, 0, 900, 700, 0, 0, 0, 0, 0,
                   0) {
  canvas = new FXCanvas(this, this, ID_CANVAS,
                        FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y);
}

VelkWindow::~VelkWindow() {}

void VelkWindow::create() { FXMainWindow::create(); }

void VelkWindow::bindToSlot() {
  int i = windowIndex(this);
  if (i < 0) {
    gCurrent = &gSlots[0];
    gCurrent->window = nullptr;
    return;
  }
  gCurrent = &gSlots[i];
  gCurrent->window = this;
  activateSlot(gCurrent);
}

bool VelkWindow::guardRunningAction() {
  if (!(gActionStatus & kStatusRunning))
    return false;
  if (FXMessageBox::question(this, MBOX_YES_NO, "Caution", "Stop current action?") ==
      MBOX_CLICKED_YES)
    gActionStatus |= kStatusStop;
  return true;
}

long VelkWindow::onPaint(FXObject *, FXSelector, void *ptr) {
  bindToSlot();
  paintWindow(this, static_cast<FXEvent *>(ptr));
  return 1;
}

long VelkWindow::onCmdClose(FXObject *, FXSelector, void *) {
  bindToSlot();
  if (guardRunningAction())
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
