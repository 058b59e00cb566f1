// Layer 8 of 8, gui: the FOX front end, the only folder that includes the
// toolkit. Uses every layer below.
//
// The program's top-level window. Ten of them live for the whole run; an
// open one shows one WindowRecord slot on a single canvas.
//
// The class is split by concern: construction, menus and binding
// (velk_window.cpp), navigation, stop and close (velk_window_nav.cpp), the
// actions that run at once (velk_window_actions.cpp), painting
// (velk_window_paint.cpp), the entries that open a dialog
// (velk_window_dialogs.cpp), the mouse (velk_window_mouse.cpp) and the
// window, print and help commands (velk_window_commands.cpp).
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
    ID_REVERSE, // 126: the session turned to the other strand of sequence 2
  };

  explicit VelkWindow(FXApp *app);
  ~VelkWindow() override;
  void create() override;

  // Painting (velk_window_paint.cpp).
  long onPaint(FXObject *, FXSelector, void *);

  // Mouse on the canvas (velk_window_mouse.cpp); 0 for what it ignores.
  long onMouse(FXObject *, FXSelector, void *);

  // Navigation, stop, close, Select-mode check marks (velk_window_nav.cpp).
  long onCmdClose(FXObject *, FXSelector, void *);
  long onCmdNavigate(FXObject *, FXSelector, void *); // next, previous, toggle mark
  long onCmdScroll(FXObject *, FXSelector, void *);
  long onCmdStop(FXObject *, FXSelector, void *);
  long onUpdSelectMode(FXObject *, FXSelector, void *);

  // Actions that run at once with the slot's parameters
  // (velk_window_actions.cpp).
  // Align, Expand, Merge, Greedy and Optimal now, Trim, Refine, Fill,
  // Reconcile, Kill, Delete, Move to footnotes, Filter Delete, Select and
  // Unselect All, Approve, Disapprove, Undo, Redo, Reverse strand.
  long onCmdAction(FXObject *, FXSelector, void *);
  long onCmdSelectMode(FXObject *, FXSelector, void *);

  // Entries that open a dialog first (velk_window_dialogs.cpp).
  long onCmdNew(FXObject *, FXSelector, void *);
  long onCmdOpen(FXObject *, FXSelector, void *);
  long onCmdSave(FXObject *, FXSelector, void *); // Save, Save window
  long onCmdSaveFootnotes(FXObject *, FXSelector, void *);
  long onCmdAlign(FXObject *, FXSelector, void *);
  long onCmdExpand(FXObject *, FXSelector, void *);
  long onCmdMerge(FXObject *, FXSelector, void *);
  long onCmdCompound(FXObject *, FXSelector, void *);
  long onCmdGreedy(FXObject *, FXSelector, void *);
  long onCmdOptimal(FXObject *, FXSelector, void *);
  long onCmdFilterDialog(FXObject *, FXSelector, void *); // Filter create, update
  long onCmdScores(FXObject *, FXSelector, void *);
  long onCmdFlanks(FXObject *, FXSelector, void *);
  // Switching the high P-value or short mode on asks for its parameter
  // first; false when the user cancelled.
  bool askSelectParameter(FXSelector id);

  // Window commands, print, About, Help (velk_window_commands.cpp).
  long onCmdWindow(FXObject *, FXSelector, void *); // New/Current => ...
  long onCmdPrint(FXObject *, FXSelector, void *);
  long onCmdAbout(FXObject *, FXSelector, void *);
  long onCmdHelp(FXObject *, FXSelector, void *);

  // Makes this window's slot current (slot 0 without a window when this
  // window is not in the table) and activates it. A hidden window binds
  // nothing: its slot may have been freed.
  void bindToSlot();
  // True when an action is running: the command only asks whether to stop it.
  bool guardRunningAction();
  // Binding, then the guard: false when the command must not run.
  bool beginCommand();

  FXCanvas *getCanvas() const { return canvas; }

  FXCanvas *canvas = nullptr;
  // Canvas size at the last layout; -1 forces a new one.
  FXint canvasWidth = -1;
  FXint canvasHeight = -1;

private:
  void buildMenus();
  void installAccelerators();

  FXMenuBar *menubar = nullptr;
  FXMenuPane *filemenu = nullptr, *constructmenu = nullptr, *conflictmenu = nullptr,
             *filtermenu = nullptr, *selectmenu = nullptr, *editmenu = nullptr,
             *windowmenu = nullptr, *helpmenu = nullptr;
  FXGIFIcon *bigicon = nullptr, *smallicon = nullptr;
};

// Puts the current slot back when a handler ends, for the handlers that must
// not move it: a paint, and whatever arrives while an action runs (the
// action began on its window and must end there).
class KeepCurrentSlot {
public:
  explicit KeepCurrentSlot(bool keep = true) : saved(gCurrent), keep(keep) {}
  ~KeepCurrentSlot() {
    if (keep)
      gCurrent = saved;
  }
  KeepCurrentSlot(const KeepCurrentSlot &) = delete;
  KeepCurrentSlot &operator=(const KeepCurrentSlot &) = delete;

private:
  WindowRecord *saved;
  bool keep;
};

static_assert(VelkWindow::ID_CLOSE == 72 && VelkWindow::ID_PREVIOUS_HIT == 125,
              "command identifiers are fixed by the command vocabulary");

extern VelkWindow *gWindows[kSlotCount]; // construction order; 0 is the root

// Slot index of a window in the table, or -1.
int windowIndex(const VelkWindow *w);
