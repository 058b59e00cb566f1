#include "gui/velk_window.h"

#include <fxkeys.h>

#include <initializer_list>

#include "core/flags.h"
#include "gui/icons.h"
#include "gui/view_hooks.h"

using W = VelkWindow;

// clang-format off
FXDEFMAP(VelkWindow) VelkWindowMap[] = {
  FXMAPFUNC(SEL_PAINT, W::ID_CANVAS, W::onPaint),
  FXMAPFUNC(SEL_LEFTBUTTONPRESS, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_LEFTBUTTONRELEASE, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_MIDDLEBUTTONPRESS, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_MIDDLEBUTTONRELEASE, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_RIGHTBUTTONPRESS, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_RIGHTBUTTONRELEASE, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_MOTION, W::ID_CANVAS, W::onMouse),
  FXMAPFUNC(SEL_COMMAND, W::ID_NEW, W::onCmdNew),
  FXMAPFUNC(SEL_COMMAND, W::ID_OPEN, W::onCmdOpen),
  FXMAPFUNCS(SEL_COMMAND, W::ID_SAVE, W::ID_SAVE_WINDOW, W::onCmdSave),
  FXMAPFUNC(SEL_COMMAND, W::ID_SAVE_FOOTNOTES, W::onCmdSaveFootnotes),
  FXMAPFUNC(SEL_COMMAND, W::ID_PRINT, W::onCmdPrint),
  FXMAPFUNC(SEL_COMMAND, W::ID_CLOSE, W::onCmdClose),
  FXMAPFUNC(SEL_SIGNAL, W::ID_CLOSE, W::onCmdClose),
  FXMAPFUNC(SEL_CLOSE, 0, W::onCmdClose),
  FXMAPFUNC(SEL_COMMAND, W::ID_ALIGN_NOW, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_EXPAND_NOW, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_MERGE_NOW, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_ALIGN, W::onCmdAlign),
  FXMAPFUNC(SEL_COMMAND, W::ID_EXPAND, W::onCmdExpand),
  FXMAPFUNC(SEL_COMMAND, W::ID_MERGE, W::onCmdMerge),
  FXMAPFUNC(SEL_COMMAND, W::ID_COMPOUND, W::onCmdCompound),
  FXMAPFUNC(SEL_COMMAND, W::ID_TRIM, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_REFINE, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_FILL, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_GREEDY_NOW, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_RECONCILE, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_OPTIMAL_NOW, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_KILL, W::onCmdAction),
  FXMAPFUNCS(SEL_COMMAND, W::ID_DELETE, W::ID_MOVE_TO_FOOTNOTES, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_GREEDY, W::onCmdGreedy),
  FXMAPFUNC(SEL_COMMAND, W::ID_OPTIMAL, W::onCmdOptimal),
  FXMAPFUNCS(SEL_COMMAND, W::ID_FILTER_CREATE, W::ID_FILTER_UPDATE, W::onCmdFilterDialog),
  FXMAPFUNC(SEL_COMMAND, W::ID_FILTER_DELETE, W::onCmdAction),
  FXMAPFUNCS(SEL_COMMAND, W::ID_SELECT_ALL, W::ID_UNSELECT_ALL, W::onCmdAction),
  FXMAPFUNCS(SEL_COMMAND, W::ID_SELECT_HIGH_PVALUE, W::ID_SELECT_SHORT, W::onCmdSelectMode),
  FXMAPFUNCS(SEL_UPDATE, W::ID_SELECT_HIGH_PVALUE, W::ID_SELECT_SHORT, W::onUpdSelectMode),
  FXMAPFUNCS(SEL_COMMAND, W::ID_APPROVE, W::ID_DISAPPROVE, W::onCmdAction),
  FXMAPFUNCS(SEL_COMMAND, W::ID_UNDO, W::ID_REDO, W::onCmdAction),
  FXMAPFUNC(SEL_COMMAND, W::ID_SCORES, W::onCmdScores),
  FXMAPFUNC(SEL_COMMAND, W::ID_FLANKS, W::onCmdFlanks),
  FXMAPFUNCS(SEL_COMMAND, W::ID_NEW_SELECTION, W::ID_CURRENT_EDIT, W::onCmdWindow),
  FXMAPFUNC(SEL_COMMAND, W::ID_ABOUT, W::onCmdAbout),
  FXMAPFUNC(SEL_COMMAND, W::ID_HELP, W::onCmdHelp),
  FXMAPFUNC(SEL_COMMAND, W::ID_NEXT_HIT, W::onCmdNavigate),
  FXMAPFUNC(SEL_COMMAND, W::ID_PREVIOUS_HIT, W::onCmdNavigate),
  FXMAPFUNC(SEL_COMMAND, W::ID_TOGGLE_MARK, W::onCmdNavigate),
  FXMAPFUNCS(SEL_COMMAND, W::ID_SCROLL_LEFT, W::ID_PAGE_LEFT, W::onCmdScroll),
  FXMAPFUNC(SEL_COMMAND, W::ID_STOP, W::onCmdStop),
  FXMAPFUNC(SEL_COMMAND, W::ID_REVERSE, W::onCmdAction),
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
  menubar = new FXMenuBar(this, LAYOUT_FILL_X, 0, 0, 0, 0, 3, 3, 2, 2, 4, 4);
  buildMenus();
  bigicon = new FXGIFIcon(app, kIconLarge, FXRGB(192, 192, 192), IMAGE_ALPHACOLOR);
  smallicon = new FXGIFIcon(app, kIconSmall, FXRGB(192, 192, 192), IMAGE_ALPHACOLOR);
  setIcon(bigicon);
  setMiniIcon(smallicon);
  installAccelerators();
  canvasWidth = canvasHeight = -1;
  canvas = new FXCanvas(this, this, ID_CANVAS,
                        FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y);
}

namespace {
struct Entry {
  const char *label; // null: separator
  FXSelector id;
  bool check = false; // shows the state of a Select mode
};

FXMenuPane *addMenu(VelkWindow *w, FXMenuBar *bar, const char *title,
                    std::initializer_list<Entry> entries) {
  FXMenuPane *pane = new FXMenuPane(w);
  for (const Entry &e : entries) {
    if (e.label && e.check)
      new FXMenuCheck(pane, e.label, w, e.id); // the toolkit's commands show no mark
    else if (e.label)
      new FXMenuCommand(pane, e.label, nullptr, w, e.id);
    else
      new FXMenuSeparator(pane);
  }
  new FXMenuTitle(bar, title, nullptr, pane);
  return pane;
}

const Entry kSeparator = {nullptr, 0};
} // namespace

void VelkWindow::buildMenus() {
  filemenu = addMenu(this, menubar, "&File",
                     {{"&New", ID_NEW},
                      {"&Open", ID_OPEN},
                      kSeparator,
                      {"&Save", ID_SAVE},
                      {"Save &window", ID_SAVE_WINDOW},
                      {"Save &footnotes", ID_SAVE_FOOTNOTES},
                      kSeparator,
                      {"&Print", ID_PRINT},
                      kSeparator,
                      {"&Close\t(Ctrl+Q or Alt+F4)", ID_CLOSE}});
  constructmenu = addMenu(this, menubar, "&Construct",
                          {{"&Align\t(Ctrl+A)", ID_ALIGN},
                           {"&Expand\t(Ctrl+E)", ID_EXPAND},
                           {"&Merge\t(Ctrl+M)", ID_MERGE},
                           kSeparator,
                           {"&Compound", ID_COMPOUND},
                           kSeparator,
                           {"&Trim", ID_TRIM},
                           {"&Refine", ID_REFINE},
                           {"&Fill", ID_FILL}});
  conflictmenu = addMenu(this, menubar, "C&onflict",
                         {{"&Reconcile\t(Ctrl+R)", ID_RECONCILE},
                          {"&Greedy\t(Ctrl+G)", ID_GREEDY},
                          {"&Optimal\t(Ctrl+O)", ID_OPTIMAL},
                          {"&Kill\t(Ctrl+K)", ID_KILL},
                          kSeparator,
                          {"&Delete\t(Del)", ID_DELETE},
                          {"&Move to footnotes", ID_MOVE_TO_FOOTNOTES}});
  filtermenu = addMenu(this, menubar, "F&ilter",
                       {{"&Create", ID_FILTER_CREATE},
                        {"&Update", ID_FILTER_UPDATE},
                        {"&Delete", ID_FILTER_DELETE}});
  selectmenu = addMenu(this, menubar, "&Select",
                       {{"&Select All\t+", ID_SELECT_ALL},
                        {"&Unselect All\t-", ID_UNSELECT_ALL},
                        kSeparator,
                        {"&With high global P-value", ID_SELECT_HIGH_PVALUE, true},
                        {"&Overlapped", ID_SELECT_OVERLAPPED, true},
                        {"Off &diagonal", ID_SELECT_OFF_DIAGONAL, true},
                        {"Short", ID_SELECT_SHORT, true},
                        {"&Conflicting", ID_SELECT_CONFLICTING, true},
                        kSeparator,
                        {"Approve", ID_APPROVE},
                        {"Disapprove", ID_DISAPPROVE}});
  editmenu = addMenu(this, menubar, "&Edit",
                     {{"&Undo\t(Ctrl+BS)", ID_UNDO},
                      {"&Redo\t(Ctrl+Enter)", ID_REDO},
                      kSeparator,
                      {"&Scores", ID_SCORES},
                      {"&Flanks length", ID_FLANKS}});
  windowmenu = addMenu(this, menubar, "&Window",
                       {{"&New => selection", ID_NEW_SELECTION},
                        {"New => whole &region", ID_NEW_WHOLE},
                        {"New => &edit", ID_NEW_EDIT},
                        kSeparator,
                        {"&Current => selection", ID_CURRENT_SELECTION},
                        {"Current => whole region", ID_CURRENT_WHOLE},
                        {"Current => edit", ID_CURRENT_EDIT},
                        kSeparator,
                        {"Re&verse strand", ID_REVERSE}});
  helpmenu =
      addMenu(this, menubar, "&Help", {{"&Help\tCtl-H", ID_HELP}, {"&About ...\tCtl-?", ID_ABOUT}});
}

void VelkWindow::installAccelerators() {
  struct Accel {
    FXuint key, mods;
    FXSelector id;
  };
  static const Accel kAccels[] = {
      {KEY_a, CONTROLMASK, ID_ALIGN_NOW},
      {KEY_e, CONTROLMASK, ID_EXPAND_NOW},
      {KEY_m, CONTROLMASK, ID_MERGE_NOW},
      {KEY_r, CONTROLMASK, ID_RECONCILE},
      {KEY_g, CONTROLMASK, ID_GREEDY_NOW},
      {KEY_o, CONTROLMASK, ID_OPTIMAL_NOW},
      {KEY_k, CONTROLMASK, ID_KILL},
      {KEY_q, CONTROLMASK, ID_CLOSE},
      {KEY_F4, ALTMASK, ID_CLOSE},
      {KEY_BackSpace, CONTROLMASK, ID_UNDO},
      {KEY_BackSpace, 0, ID_DELETE},
      {KEY_KP_Enter, CONTROLMASK, ID_REDO},
      {KEY_Return, CONTROLMASK, ID_REDO},
      {KEY_Delete, 0, ID_DELETE},
      {KEY_KP_Delete, 0, ID_DELETE},
      {KEY_slash, CONTROLMASK, ID_ABOUT},
      {KEY_KP_Add, 0, ID_SELECT_ALL},
      {KEY_Down, 0, ID_NEXT_HIT},
      {KEY_KP_Down, 0, ID_NEXT_HIT},
      {KEY_Escape, 0, ID_STOP},
      {KEY_Insert, 0, ID_TOGGLE_MARK},
      {KEY_KP_Insert, 0, ID_TOGGLE_MARK},
      {KEY_Left, 0, ID_SCROLL_LEFT},
      {KEY_KP_Left, 0, ID_SCROLL_LEFT},
      {KEY_Right, 0, ID_SCROLL_RIGHT},
      {KEY_KP_Right, 0, ID_SCROLL_RIGHT},
      {KEY_KP_Subtract, 0, ID_UNSELECT_ALL},
      {KEY_Tab, 0, ID_PAGE_RIGHT},
      {KEY_KP_Tab, 0, ID_PAGE_RIGHT},
      {KEY_Tab, SHIFTMASK, ID_PAGE_LEFT},
      {KEY_ISO_Left_Tab, SHIFTMASK, ID_PAGE_LEFT},
      {KEY_KP_Tab, SHIFTMASK, ID_PAGE_LEFT},
      {KEY_Up, 0, ID_PREVIOUS_HIT},
      {KEY_KP_Up, 0, ID_PREVIOUS_HIT},
  };
  FXAccelTable *table = getAccelTable();
  for (const Accel &a : kAccels)
    table->addAccel(MKUINT(a.key, a.mods), this, FXSEL(SEL_COMMAND, a.id), 0);
}

VelkWindow::~VelkWindow() {
  delete bigicon;
  delete smallicon;
  delete helpmenu;
  delete windowmenu;
  delete editmenu;
  delete selectmenu;
  delete filtermenu;
  delete conflictmenu;
  delete constructmenu;
  delete filemenu;
  delete menubar;
}

void VelkWindow::create() { FXMainWindow::create(); }

void VelkWindow::bindToSlot() {
  int i = windowIndex(this);
  if (i < 0) {
    gCurrent = &gSlots[0];
    gCurrent->window = nullptr;
    return;
  }
  if (!shown())
    return; // a closed window's leftover event
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

bool VelkWindow::beginCommand() {
  KeepCurrentSlot keep(gActionStatus & kStatusRunning);
  bindToSlot();
  return !guardRunningAction();
}
