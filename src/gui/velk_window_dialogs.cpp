// Menu entries that open a dialog before they act: New, Open, the Save
// entries, the parameter dialogs of the actions, the filter and the
// parameter of the high P-value and short selections.
#include "core/session.h"
#include "gui/new_window.h"
#include "gui/velk_window.h"
#include "output/alignment_files.h"
#include "session/window_commands.h"

namespace {

// The toolkit's file chooser over the alignment patterns, starting at the
// last path and pattern used. False when cancelled.
bool chooseAlignmentFile(FXWindow *owner, const char *title, bool existing, FXString &name,
                         int &pattern) {
  FXFileDialog chooser(owner, title, 0, 0, 0, 500, 300);
  chooser.setSelectMode(existing ? SELECTFILE_EXISTING : SELECTFILE_ANY);
  chooser.setPatternList(kSavePatterns);
  chooser.setCurrentPattern(gSaveFilter);
  chooser.setFilename(gPathBuffer);
  if (!chooser.execute(PLACEMENT_OWNER))
    return false;
  name = chooser.getFilename();
  pattern = chooser.getCurrentPattern();
  return true;
}

bool bothSequencesLoaded() { return gSeq1 && gSeq2 && gSeq1->length > 0 && gSeq2->length > 0; }

} // namespace

long VelkWindow::onCmdNew(FXObject *, FXSelector, void *) {
  if (!beginCommand())
    return 1;
  beginNewCommand();
  const int result = NewWindow::ask(this, DIALOG_NEW);
  endNewCommand(result != kDialogCancelled);
  bindToSlot();
  return 1;
}

long VelkWindow::onCmdOpen(FXObject *, FXSelector, void *) {
  if (!beginCommand())
    return 1;
  FXString name;
  int pattern = 0;
  if (chooseAlignmentFile(this, "Open file", true, name, pattern)) {
    openAlignmentAs(name.text(), pattern);
    bindToSlot();
  }
  return 1;
}

long VelkWindow::onCmdSave(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const bool windowOnly = FXSELID(sel) == ID_SAVE_WINDOW;
  FXString name;
  int pattern = 0;
  if (chooseAlignmentFile(this, windowOnly ? "Save window as" : "Save as", false, name, pattern))
    saveAlignmentAs(name.text(), pattern, windowOnly);
  return 1;
}

long VelkWindow::onCmdSaveFootnotes(FXObject *, FXSelector, void *) {
  if (!beginCommand())
    return 1;
  FXString name =
      FXFileDialog::getSaveFilename(this, "Save footnotes", gPathBuffer, kFootnotePatterns);
  if (!name.empty())
    saveFootnotesAs(name.text());
  return 1;
}

// Align, Expand, Merge, Compound, Greedy, Optimal, Scores, Flanks: the
// dialog, then the command with what the dialog answered.
long VelkWindow::onCmdAlign(FXObject *, FXSelector sel, void *) {
  if (!beginCommand())
    return 1;
  const int32_t id = FXSELID(sel);
  runWindowCommand(id, NewWindow::ask(this, dialogKindOfCommand(id)));
  bindToSlot();
  return 1;
}

long VelkWindow::onCmdExpand(FXObject *o, FXSelector sel, void *p) { return onCmdAlign(o, sel, p); }
long VelkWindow::onCmdMerge(FXObject *o, FXSelector sel, void *p) { return onCmdAlign(o, sel, p); }
long VelkWindow::onCmdCompound(FXObject *o, FXSelector sel, void *p) {
  return onCmdAlign(o, sel, p);
}
long VelkWindow::onCmdGreedy(FXObject *o, FXSelector sel, void *p) { return onCmdAlign(o, sel, p); }
long VelkWindow::onCmdOptimal(FXObject *o, FXSelector sel, void *p) {
  return onCmdAlign(o, sel, p);
}
long VelkWindow::onCmdScores(FXObject *o, FXSelector sel, void *p) { return onCmdAlign(o, sel, p); }
long VelkWindow::onCmdFlanks(FXObject *o, FXSelector sel, void *p) { return onCmdAlign(o, sel, p); }

long VelkWindow::onCmdFilterDialog(FXObject *o, FXSelector sel, void *p) {
  // Without both sequences there is nothing to filter: no dialog either.
  if (!bothSequencesLoaded()) {
    beginCommand();
    return 1;
  }
  return onCmdAlign(o, sel, p);
}

bool VelkWindow::askSelectParameter(FXSelector id) {
  return NewWindow::ask(this, dialogKindOfCommand(static_cast<int32_t>(id))) != kDialogCancelled;
}
