#include "gui/new_window.h"

#include "core/flags.h"
#include "core/session.h"

// clang-format off
FXDEFMAP(NewWindow) NewWindowMap[] = {
  FXMAPFUNCS(SEL_COMMAND, NewWindow::ID_BROWSE_FIRST, NewWindow::ID_BROWSE_SECOND, NewWindow::onCmdBrowse),
  FXMAPFUNCS(SEL_COMMAND, NewWindow::ID_TOGGLE_PERIODIC, NewWindow::ID_TOGGLE_INTERNAL, NewWindow::onCmdToggle),
  FXMAPFUNC(SEL_COMMAND, NewWindow::ID_TOGGLE_EXTEND, NewWindow::onCmdToggleExtend),
  FXMAPFUNC(SEL_COMMAND, NewWindow::ID_RUN_ACTION, NewWindow::onCmdRunAction),
  FXMAPFUNC(SEL_COMMAND, NewWindow::ID_STORE, NewWindow::onCmdStore),
  FXMAPFUNC(SEL_COMMAND, NewWindow::ID_DISCARD, NewWindow::onCmdDiscard),
  FXMAPFUNC(SEL_CLOSE, 0, NewWindow::onCmdDiscard),
  FXMAPFUNCS(SEL_CHANGED, NewWindow::ID_NAME_FIRST, NewWindow::ID_NAME_SECOND, NewWindow::onChgName),
  FXMAPFUNCS(SEL_COMMAND, NewWindow::ID_NAME_FIRST, NewWindow::ID_NAME_SECOND, NewWindow::onCmdName),
  FXMAPFUNCS(SEL_TIMEOUT, NewWindow::ID_NAME_FIRST, NewWindow::ID_NAME_SECOND, NewWindow::onCmdName),
};
// clang-format on

FXIMPLEMENT(NewWindow, FXDialogBox, NewWindowMap, ARRAYNUMBER(NewWindowMap))

namespace {
constexpr FXuint kFieldOptions = TEXTFIELD_NORMAL; // sunken, thick frame
constexpr FXint kButtonWidth = 75, kButtonMargin = 20;
} // namespace

NewWindow::NewWindow(FXWindow *owner, FXint dialogKind)
    : FXDialogBox(owner, dialogTitle(dialogKind), DECOR_TITLE | DECOR_BORDER, owner->getX() + 20,
                  owner->getY() + 20, 0, 0, 6, 6, 6, 6, 4, 4),
      kind(dialogKind) {
  switch (kind) {
  case DIALOG_NEW:
    buildInput();
    break;
  case DIALOG_WINDOW_COORDINATES:
    buildCoordinates();
    break;
  case DIALOG_ALIGN:
  case DIALOG_EXPAND:
    buildIsland(kind == DIALOG_ALIGN);
    break;
  case DIALOG_FILTER_CREATE:
  case DIALOG_FILTER_UPDATE:
    buildFilter();
    break;
  case DIALOG_SCORES:
    buildScores();
    break;
  case DIALOG_SELECT_HIGH_PVALUE:
    buildSingleValue("P-value");
    break;
  case DIALOG_SELECT_SHORT:
  case DIALOG_FLANKS:
    buildSingleValue("Length");
    break;
  case DIALOG_MERGE:
    buildMerge();
    break;
  case DIALOG_GREEDY:
  case DIALOG_OPTIMAL: {
    static const char *const labels[] = {"Move deleted similarities into footnotes"};
    buildChecks(labels, 1);
    break;
  }
  case DIALOG_COMPOUND: {
    static const char *const labels[] = {"&Align", "&Expand", "&Merge", "Trim", "Reconcile"};
    buildChecks(labels, 5);
    break;
  }
  default:
    addButtons(this);
    break;
  }
  if (kind != DIALOG_NEW) {
    loadFields();
    updateCheckStates();
  }
  if (kind == DIALOG_FILTER_CREATE || kind == DIALOG_FILTER_UPDATE)
    updateFilterFields();
}

NewWindow::~NewWindow() {
  if (kind == DIALOG_NEW)
    endInput();
}

int NewWindow::ask(FXWindow *owner, FXint kind) {
  NewWindow dialog(owner, kind);
  dialog.create();
  dialog.focusInitial();
  return static_cast<int>(dialog.execute(PLACEMENT_DEFAULT));
}

void NewWindow::focusInitial() {
  if (actionButton)
    actionButton->setFocus();
  else if (kind == DIALOG_NEW || kind == DIALOG_WINDOW_COORDINATES || kind == DIALOG_SCORES)
    buttons[0]->setFocus();
}

// ---- Widgets ------------------------------------------------------------------

FXButton *NewWindow::addButton(FXComposite *p, const char *label, FXSelector id) {
  const bool first = !buttons[0];
  FXuint opts = BUTTON_NORMAL | BUTTON_DEFAULT | LAYOUT_FIX_WIDTH | (first ? BUTTON_INITIAL : 0);
  FXButton *b = new FXButton(p, label, nullptr, this, id, opts, 0, 0, kButtonWidth, 0,
                             kButtonMargin, kButtonMargin);
  if (first)
    buttons[0] = b;
  else if (!buttons[1])
    buttons[1] = b;
  return b;
}

void NewWindow::addButtons(FXComposite *p) {
  addButton(p, dialogStoreLabel(kind), ID_STORE);
  addButton(p, "&Cancel", ID_DISCARD);
  if (const char *action = dialogActionLabel(kind))
    actionButton = addButton(p, action, ID_RUN_ACTION);
}

FXTextField *NewWindow::addField(FXComposite *p, int columns, FXuint extra) {
  FXTextField *f = new FXTextField(p, columns, nullptr, 0, kFieldOptions | extra);
  if (fieldCount < kFields)
    fields[fieldCount++] = f;
  return f;
}

FXCheckButton *NewWindow::addCheck(FXComposite *p, const char *label, FXSelector id) {
  FXCheckButton *c = new FXCheckButton(p, label, id ? this : nullptr, id);
  if (checkCount < kChecks)
    checks[checkCount++] = c;
  return c;
}

FXLabel *NewWindow::addLabel(FXComposite *p, const char *text, FXuint extra) {
  return new FXLabel(p, text, nullptr, LABEL_NORMAL | extra);
}

// ---- The kinds ------------------------------------------------------------------

void NewWindow::buildCoordinates() {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(all, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  FXHorizontalFrame *top = new FXHorizontalFrame(frames[0], LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  addField(top, 8);
  addField(top, 8, LAYOUT_RIGHT);
  matrix = new FXHorizontalFrame(frames[0], 0, 0, 0, 0, 0, 0, 0, 0, 0);
  new FXFrame(matrix, FRAME_RIDGE | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 132, 132);
  FXVerticalFrame *side = new FXVerticalFrame(matrix, LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
  addField(side, 8);
  addField(side, 8, LAYOUT_BOTTOM);
  addButtons(frames[1]);
}

void NewWindow::buildIsland(bool align) {
  FXHorizontalFrame *top = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(top, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  if (align) {
    FXHorizontalFrame *row = new FXHorizontalFrame(frames[0], 0, 0, 0, 0, 0, 0, 0, 0, 0);
    addLabel(row, "Maximal P-value:");
    addField(row, 8);
  }
  addCheck(frames[0], "Mask known repeats");
  addCheck(frames[0], "Mask internal repeats");
  addCheck(frames[0], "Trim");
  frames[1] = new FXVerticalFrame(top, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButtons(frames[1]);

  matrix = new FXMatrix(this, align ? 3 : 2, MATRIX_BY_COLUMNS);
  if (align) {
    addCheck(matrix, "Start alignment from");
    addField(matrix, 8);
    addLabel(matrix, "successive matches");
  }
  FXHorizontalFrame *tuple = new FXHorizontalFrame(matrix, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  addLabel(tuple, "At least");
  addField(tuple, 3);
  addLabel(tuple, "matches within every");
  addField(tuple, 5);
  addLabel(matrix, "-tuple");
  if (align)
    new FXFrame(matrix, 0);
  addLabel(matrix, "Minimal total number of matches:");
  addField(matrix, 8);
  if (align)
    new FXFrame(matrix, 0);
  addLabel(matrix, "Maximal distance between islands:");
  addField(matrix, 8);
  if (align) {
    new FXFrame(matrix, 0);
    addLabel(matrix, "Repeats:");
    addField(matrix, 8);
    addLabel(matrix, "(0: no limit)");
    addCheck(matrix, "Sensitive (spaced seeds)");
    addCheck(matrix, "Both strands");
    addCheck(matrix, "Extend hits (gapped)", ID_TOGGLE_EXTEND);
  }
}

void NewWindow::buildFilter() {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(all, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  FXHorizontalFrame *row = new FXHorizontalFrame(frames[0], 0, 0, 0, 0, 0, 0, 0, 0, 0);
  addCheck(row, "Mask periodic sequences with minimum p-value", ID_TOGGLE_PERIODIC);
  addField(row, 8);
  addCheck(frames[0], "Mask internal repeats with", ID_TOGGLE_INTERNAL);
  matrix = new FXMatrix(frames[0], 2, MATRIX_BY_COLUMNS, 0, 0, 0, 0, 32, 0, 0, 0);
  addLabel(matrix, "- minimum overlapping:");
  addField(matrix, 8);
  addLabel(matrix, "- minimum number of piles:");
  addField(matrix, 8);
  addCheck(frames[0], "Mask interspersed repeats (frequent words)");
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButtons(frames[1]);
}

void NewWindow::buildScores() {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  matrix = new FXMatrix(all, 2, MATRIX_BY_COLUMNS);
  static const char *const labels[] = {
      "Match bonus:", "Mismatch penalty:", "Gap initiation penalty:", "Gap elongation penalty:"};
  for (const char *label : labels) {
    addLabel(matrix, label);
    addField(matrix, 8);
  }
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButtons(frames[1]);
}

void NewWindow::buildSingleValue(const char *label) {
  groups[0] = new FXGroupBox(this, "", GROUPBOX_NORMAL | FRAME_RIDGE | LAYOUT_FILL_X);
  FXHorizontalFrame *row = new FXHorizontalFrame(groups[0], 0, 0, 0, 0, 0, 0, 0, 0, 0);
  addLabel(row, label);
  addField(row, 8);
  matrix = new FXHorizontalFrame(this, LAYOUT_CENTER_X | PACK_UNIFORM_WIDTH);
  addButtons(matrix);
}

void NewWindow::buildMerge() {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(all, LAYOUT_FILL_X | LAYOUT_CENTER_Y);
  addLabel(frames[0], "Minimal distance between alignments:");
  addField(frames[0], 8);
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButtons(frames[1]);
}

void NewWindow::buildChecks(const char *const *labels, int count) {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(all, LAYOUT_FILL_X | LAYOUT_CENTER_Y);
  for (int i = 0; i < count; ++i)
    addCheck(frames[0], labels[i]);
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButtons(frames[1]);
}

// ---- Values ----------------------------------------------------------------------

void NewWindow::loadFields() {
  DialogValues v;
  loadDialogValues(kind, *gCurrent, v);
  for (int i = 0; i < fieldCount; ++i)
    fields[i]->setText(v.text[i]);
  for (int i = 0; i < checkCount; ++i)
    checks[i]->setCheck(v.check[i]);
}

void NewWindow::storeFields() {
  DialogValues v;
  loadDialogValues(kind, *gCurrent, v);
  for (int i = 0; i < fieldCount; ++i)
    snprintf(v.text[i], DialogValues::kTextSize, "%s", fields[i]->getText().text());
  for (int i = 0; i < checkCount; ++i)
    v.check[i] = checks[i]->getCheck() == TRUE;
  storeDialogValues(kind, v, *gCurrent);
}

// The P-value follows the periodic check button, the two pile numbers the
// internal-repeat one.
void NewWindow::updateFilterFields() {
  const bool periodic = checks[0]->getCheck() == TRUE, piles = checks[1]->getCheck() == TRUE;
  fields[0]->setEditable(periodic);
  fields[1]->setEditable(piles);
  fields[2]->setEditable(piles);
}

// A check with no say under the others shown is greyed out, keeping its mark.
void NewWindow::updateCheckStates() {
  DialogValues v;
  for (int i = 0; i < checkCount; ++i)
    v.check[i] = checks[i]->getCheck() == TRUE;
  for (int i = 0; i < checkCount; ++i) {
    if (dialogCheckApplies(kind, v, i))
      checks[i]->enable();
    else
      checks[i]->disable();
  }
}

// ---- Handlers --------------------------------------------------------------------

void NewWindow::end(FXuint result) {
  getApp()->stopModal(this, result);
  hide();
}

long NewWindow::onCmdToggle(FXObject *, FXSelector sel, void *) {
  const int index = FXSELID(sel) == ID_TOGGLE_PERIODIC ? 0 : 1;
  const uint32_t bit = filterCheckBit(index);
  if (checks[index]->getCheck() == TRUE)
    gCurrent->flagsB |= bit;
  else
    gCurrent->flagsB &= ~bit;
  updateFilterFields();
  return 1;
}

long NewWindow::onCmdToggleExtend(FXObject *, FXSelector, void *) {
  updateCheckStates();
  return 1;
}

long NewWindow::onCmdRunAction(FXObject *, FXSelector, void *) {
  move(-getWidth(), -getHeight());
  storeFields();
  end(kDialogRun);
  return 1;
}

long NewWindow::onCmdStore(FXObject *, FXSelector, void *) {
  if (kind == DIALOG_NEW) {
    if (acceptInput())
      end(kDialogStored);
    return 1;
  }
  storeFields();
  end(kDialogStored);
  return 1;
}

long NewWindow::onCmdDiscard(FXObject *, FXSelector, void *) {
  if (kind == DIALOG_NEW)
    inputDialogCancel();
  end(kDialogCancelled);
  return 1;
}
