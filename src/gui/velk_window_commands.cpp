// Window commands (New/Current => selection, whole region, edit), printing,
// and the About and Help windows.
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/session_hooks.h"
#include "gui/info_windows.h"
#include "gui/new_window.h"
#include "gui/print_job.h"
#include "gui/velk_window.h"

static const char kTooManyWindows[] =
    "ERROR: The maximal number of window is 10.\n    Cannot create new window.\n";

// Opens the next free window on gRequested as a copy of the current one.
static void openNewWindow(VelkWindow *receiver) {
  WindowRecord *old = gCurrent;
  if (!selectSlot(nullptr, false)) {
    FXMessageBox::warning(old->window ? old->window : receiver, MBOX_OK, "Caution",
                          kTooManyWindows);
    return;
  }
  WindowRecord *slot = gCurrent;
  *slot = *old;
  slot->dc = nullptr; // the old window's drawing context stays its own
  slot->reportKind = 0;
  rebuildLayoutCells(slot);
  VelkWindow *window = gWindows[slot - gSlots];
  slot->window = window;
  window->canvasWidth = window->canvasHeight = -1;
  window->show(PLACEMENT_DEFAULT);
  window->setFocus();
  setWindowToRequestedIntervals();
  window->bindToSlot();
}

long VelkWindow::onCmdWindow(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  WindowRecord *w = gCurrent;
  int id = FXSELID(sel);
  bool fresh = id <= ID_NEW_EDIT;
  switch ((id - ID_NEW_SELECTION) % 3) {
  case 0: { // the last mouse rectangle, when it became an area
    if (!(w->flagsB & kOptAreaActive))
      return 1;
    const int32_t *r = w->mouseRect;
    gRequested[0] = r[0], gRequested[1] = r[2], gRequested[2] = r[1], gRequested[3] = r[3];
    break;
  }
  case 1:
    gRequested[0] = gSeq1->from, gRequested[1] = gSeq1->to;
    gRequested[2] = gSeq2->from, gRequested[3] = gSeq2->to;
    break;
  default:
    // Accepted, the dialog stores its four numbers as the requested intervals.
    if (NewWindow::ask(this, DIALOG_WINDOW_COORDINATES) == kDialogCancelled)
      return 1;
  }
  w->flagsB &= ~(kOptAreaActive | kOptRectDone);
  if (fresh) {
    openNewWindow(this);
  } else {
    setWindowToRequestedIntervals();
    bindToSlot();
  }
  gActionStatus = 0;
  update();
  return 1;
}

long VelkWindow::onCmdPrint(FXObject *, FXSelector, void *) {
  if (!beginCommand())
    return 1;
  FXPrintDialog dialog(this, "Print");
  FXPrinter printer;
  dialog.getPrinter(printer);
  if (dialog.execute()) {
    dialog.getPrinter(printer);
    if (!printWindow(gCurrent, printer))
      FXMessageBox::error(this, MBOX_OK, "Printer Error", "Unable to print");
  }
  // The page layout replaced the screen's: lay out and paint again.
  gCurrent->flagsB &= ~(kOptAreaActive | kOptRectDone);
  gCurrent->flagsA |= kWinRelayout | kWinRepaint;
  gActionStatus = 0;
  bindToSlot();
  return 1;
}

long VelkWindow::onCmdAbout(FXObject *, FXSelector, void *) {
  KeepCurrentSlot keep(gActionStatus & kStatusRunning);
  bindToSlot();
  showAboutBox(this, getIcon());
  return 1;
}

long VelkWindow::onCmdHelp(FXObject *, FXSelector, void *) {
  KeepCurrentSlot keep(gActionStatus & kStatusRunning);
  bindToSlot();
  showHelpWindow(this);
  return 1;
}
