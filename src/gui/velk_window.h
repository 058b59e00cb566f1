// Layer 8 of 8, gui: the FOX front end, the only folder that includes the
// toolkit. Uses every layer below.
//
// The program's top-level window. Ten of them live for the whole run; an
// open one shows one WindowRecord slot on a single canvas.
#pragma once
#include <fx.h>

#include "core/session.h"

class VelkWindow : public FXMainWindow {
  FXDECLARE(VelkWindow)
protected:
  VelkWindow() {}

public:
  enum {
    ID_CANVAS = FXMainWindow::ID_LAST, // 56
    ID_NEW = 65,
    ID_OPEN = 67,
    ID_SAVE,
    ID_SAVE_WINDOW,
    ID_SAVE_FOOTNOTES,
    ID_PRINT,
    ID_CLOSE, // 72: also the interrupt signal
    ID_ALIGN_NOW,
    ID_EXPAND_NOW,
    ID_MERGE_NOW,
    ID_ALIGN = 77,
    ID_EXPAND,
    ID_MERGE,
    ID_COMPOUND,
    ID_TRIM,
    ID_REFINE,
    ID_FILL,
    ID_GREEDY_NOW,
    ID_RECONCILE,
    ID_OPTIMAL_NOW,
    ID_KILL,
    ID_DELETE,
    ID_MOVE_TO_FOOTNOTES,
    ID_GREEDY,
    ID_OPTIMAL,
    ID_FILTER_CREATE = 93,
    ID_FILTER_UPDATE,
    ID_FILTER_DELETE,
    ID_SELECT_ALL,
    ID_UNSELECT_ALL,
    ID_SELECT_HIGH_PVALUE,
    ID_SELECT_OVERLAPPED,
    ID_SELECT_OFF_DIAGONAL,
    ID_SELECT_CONFLICTING,
    ID_SELECT_SHORT,
    ID_APPROVE,
    ID_DISAPPROVE,
    ID_UNDO,
    ID_REDO,
    ID_SCORES,
    ID_FLANKS,
    ID_NEW_SELECTION,
    ID_NEW_WHOLE,
    ID_NEW_EDIT,
    ID_CURRENT_SELECTION,
    ID_CURRENT_WHOLE,
    ID_CURRENT_EDIT,
    ID_ABOUT,
    ID_HELP,
    ID_NEXT_HIT,
    ID_STOP = 119,
    ID_TOGGLE_MARK,
    ID_SCROLL_LEFT,
    ID_SCROLL_RIGHT,
    ID_PAGE_RIGHT,
    ID_PAGE_LEFT,
    ID_PREVIOUS_HIT,
  };

  explicit VelkWindow(FXApp *app);
  ~VelkWindow() override;
  void create() override;

  long onPaint(FXObject *, FXSelector, void *);
  long onCmdClose(FXObject *, FXSelector, void *);

  // Makes this window's slot current (slot 0 without a window when this
  // window is not in the table) and activates it.
  void bindToSlot();
  // True when an action is running: the command only asks whether to stop it.
  bool guardRunningAction();

  FXCanvas *getCanvas() const { return canvas; }

  FXCanvas *canvas = nullptr;
  // Canvas size at the last layout; -1 forces a new one.
  FXint canvasWidth = -1;
  FXint canvasHeight = -1;
};

static_assert(VelkWindow::ID_CLOSE == 72 && VelkWindow::ID_PREVIOUS_HIT == 125,
              "command identifiers are fixed by the command vocabulary");

extern VelkWindow *gWindows[kSlotCount]; // construction order; 0 is the root

// Slot index of a window in the table, or -1.
int windowIndex(const VelkWindow *w);
