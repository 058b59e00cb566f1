// The input dialog ("New"): two sequence files with their intervals and
// invert-complement choices, read inside the dialog.
#include "core/session.h"
#include "gui/fox_ui.h"
#include "gui/new_window.h"

namespace {
const char kSequencePatterns[] =
    "All sequences (*.sq*,*.seq,*.hu*,*.mu*,*.pa*,*.gb*,*.fa*)\nText files (*.txt,*.te*)\nAll "
    "files (*)";

FoxUi *foxUi() { return dynamic_cast<FoxUi *>(ui()); }
} // namespace

void NewWindow::buildInput() {
  FXHorizontalFrame *all = new FXHorizontalFrame(this, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  frames[0] = new FXVerticalFrame(all, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
  static const char *const titles[] = {"First sequence", "Second sequence"};
  for (int which = 0; which < 2; ++which) {
    groups[which] =
        new FXGroupBox(frames[0], titles[which], GROUPBOX_NORMAL | FRAME_RIDGE | LAYOUT_FILL_X);
    FXHorizontalFrame *name = new FXHorizontalFrame(groups[which], LAYOUT_FILL_X);
    addLabel(name, "File name:");
    addField(name, 50)->setTarget(this);
    fields[2 * which]->setSelector(which ? ID_NAME_SECOND : ID_NAME_FIRST);
    new FXButton(name, "Directory", nullptr, this, which ? ID_BROWSE_SECOND : ID_BROWSE_FIRST);
    FXHorizontalFrame *interval = new FXHorizontalFrame(groups[which], LAYOUT_FILL_X);
    addLabel(interval, "Interval :  ");
    addField(interval, 20);
    addCheck(interval, "Invert && complement");
    bars[which] = new FXProgressBar(groups[which], nullptr, 0, PROGRESSBAR_NORMAL | LAYOUT_FILL_X);
    bars[which]->setTotal(100);
    bars[which]->setBarColor(FXRGB(96, 96, 96));
  }
  // After the two boxes, so that the keys move through them as before.
  FXGroupBox *reading = new FXGroupBox(frames[0], "Many-record and soft-masked files",
                                       GROUPBOX_NORMAL | FRAME_RIDGE | LAYOUT_FILL_X);
  FXMatrix *rows = new FXMatrix(reading, 3, MATRIX_BY_COLUMNS | LAYOUT_FILL_X);
  static const char *const recordLabels[] = {"Record of the first:", "Record of the second:"};
  for (int which = 0; which < 2; ++which) {
    addLabel(rows, recordLabels[which]);
    recordLists[which] =
        new FXListBox(rows, nullptr, 0,
                      FRAME_SUNKEN | FRAME_THICK | LISTBOX_NORMAL | LAYOUT_FIX_WIDTH, 0, 0, 260, 0);
    recordLists[which]->setNumVisible(12);
    softmaskChecks[which] = new FXCheckButton(rows, "Lower case marks repeats");
  }
  // One line is kept for the message, so the dialog need not grow for it.
  const FXint line = getApp()->getNormalFont()->getFontHeight() + 4;
  message =
      new FXLabel(frames[0], "", nullptr,
                  LABEL_NORMAL | LAYOUT_FILL_X | LAYOUT_FIX_HEIGHT | JUSTIFY_LEFT, 0, 0, 0, line);
  frames[1] = new FXVerticalFrame(all, PACK_UNIFORM_WIDTH, 0, 0, 0, 0, 0, 0, 0, 0);
  addButton(frames[1], "&Ok", ID_STORE);
  addButton(frames[1], "&Cancel", ID_DISCARD);

  // Errors of the readers belong to this dialog while it is up.
  if (FoxUi *port = foxUi())
    port->setMessageOwner(this);
  browsedLast = 0;
  inputDialogBegin(this);
  for (int which = 0; which < 2; ++which) {
    InputFields f;
    inputDialogFields(which, f);
    fields[2 * which]->setText(f.name.c_str());
    fields[2 * which + 1]->setText(f.interval);
    checks[which]->setCheck(f.invert);
    softmaskChecks[which]->setCheck(f.softmask);
    fillRecords(which, f.name.c_str(), f.record);
  }
  resetInputProgress();
}

void NewWindow::fillRecords(int which, const char *file, const char *choice) {
  RecordChoices offered;
  inputRecordChoices(file, choice, offered);
  FXListBox *list = recordLists[which];
  list->clearItems();
  for (const std::string &label : offered.labels)
    list->appendItem(label.c_str());
  if (offered.labels.empty())
    list->appendItem("");
  list->setCurrentItem(offered.current);
  // A file of one record offers no choice.
  if (offered.labels.size() > 1)
    list->enable();
  else
    list->disable();
  recordChoices[which] = offered.choices;
  listedFile[which] = file ? file : "";
}

void NewWindow::showProgress(int which, int value) {
  if (!bars[which])
    return;
  bars[which]->setProgress(value);
  if (bars[which]->id()) {
    bars[which]->repaint();
    getApp()->flush();
  }
}

void NewWindow::inputFields(InputFields f[2]) const {
  for (int which = 0; which < 2; ++which) {
    f[which].name = fields[2 * which]->getText().text();
    snprintf(f[which].interval, sizeof f[which].interval, "%s",
             fields[2 * which + 1]->getText().text());
    f[which].invert = checks[which]->getCheck() == TRUE;
    f[which].softmask = softmaskChecks[which]->getCheck() == TRUE;
    // A name typed since the list was made: its first record.
    const FXint item = recordLists[which]->getCurrentItem();
    const bool listed = listedFile[which] == f[which].name && item >= 0 &&
                        size_t(item) < recordChoices[which].size();
    snprintf(f[which].record, sizeof f[which].record, "%s",
             listed ? recordChoices[which][size_t(item)].c_str() : "");
  }
}

// A typed name: its records are listed once the typing pauses (a large file
// is scanned once, not per key), or at once on Return.
long NewWindow::onChgName(FXObject *, FXSelector sel, void *) {
  getApp()->addTimeout(this, FXSELID(sel), 400);
  return 1;
}

long NewWindow::onCmdName(FXObject *, FXSelector sel, void *) {
  const int which = FXSELID(sel) == ID_NAME_SECOND ? 1 : 0;
  getApp()->removeTimeout(this, FXSELID(sel));
  const FXString name = fields[2 * which]->getText();
  if (listedFile[which] != name.text())
    fillRecords(which, name.text(), "");
  return 1;
}

void NewWindow::endInput() {
  getApp()->removeTimeout(this, ID_NAME_FIRST);
  getApp()->removeTimeout(this, ID_NAME_SECOND);
  inputDialogEnd();
  if (FoxUi *port = foxUi())
    port->setMessageOwner(nullptr);
}

bool NewWindow::acceptInput() {
  InputFields f[2];
  inputFields(f);
  if (inputDialogAccept(f) == 0)
    return true;
  message->setText(inputFailureText());
  return false;
}

long NewWindow::onCmdBrowse(FXObject *, FXSelector sel, void *) {
  const int which = FXSELID(sel) == ID_BROWSE_SECOND ? 1 : 0;
  FXFileDialog chooser(this, "Open file", 0, 0, 0, 500, 300);
  chooser.setSelectMode(SELECTFILE_EXISTING);
  chooser.setPatternList(kSequencePatterns);
  chooser.setCurrentPattern(gDirFilter);
  chooser.setFilename(fields[browsedLast ? 2 : 0]->getText());
  if (!chooser.execute(PLACEMENT_CURSOR))
    return 1;
  gDirFilter = chooser.getCurrentPattern();
  update();
  FXString name = chooser.getFilename();
  if (name.empty())
    return 1;
  fields[2 * which]->setText(name);
  browsedLast = which;
  InputFields f{};
  inputFileChosen(which, f);
  fields[2 * which + 1]->setText(f.interval);
  checks[which]->setCheck(f.invert);
  softmaskChecks[which]->setCheck(f.softmask);
  fillRecords(which, name.text(), f.record);
  return 1;
}
