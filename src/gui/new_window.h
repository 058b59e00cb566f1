// The modal dialog of every parameter the user sets by hand, and of the two
// input sequences, built in one of its kinds. What it shows and stores comes
// from the session's dialog rules; this class only owns the widgets.
#pragma once
#include <fx.h>
#include <string>
#include <vector>

#include "session/dialog_model.h"
#include "session/input_dialog.h"

class NewWindow : public FXDialogBox, public InputProgressView {
  FXDECLARE(NewWindow)
protected:
  NewWindow() {}

public:
  enum {
    // After the toolkit's own (its ID_LAST is 62 in this FOX 1.6).
    ID_BROWSE_FIRST = FXDialogBox::ID_LAST,
    ID_BROWSE_SECOND,
    ID_TOGGLE_PERIODIC,
    ID_TOGGLE_INTERNAL,
    ID_TOGGLE_EXTEND, // a check that greys another out
    ID_RUN_ACTION,
    ID_STORE,
    ID_DISCARD,
    ID_NAME_FIRST, // the file name fields: their records are listed
    ID_NAME_SECOND,
    ID_LAST
  };

  NewWindow(FXWindow *owner, FXint kind);
  ~NewWindow() override;

  // Runs the dialog of `kind` on `owner` modally: kDialogCancelled,
  // kDialogStored or kDialogRun.
  static int ask(FXWindow *owner, FXint kind);

  long onCmdBrowse(FXObject *, FXSelector, void *);
  long onCmdToggle(FXObject *, FXSelector, void *);
  long onCmdToggleExtend(FXObject *, FXSelector, void *);
  long onCmdRunAction(FXObject *, FXSelector, void *);
  long onCmdStore(FXObject *, FXSelector, void *);
  long onCmdDiscard(FXObject *, FXSelector, void *);
  long onChgName(FXObject *, FXSelector, void *);
  long onCmdName(FXObject *, FXSelector, void *);

  void showProgress(int which, int value) override;

private:
  static constexpr int kFields = DialogValues::kTexts, kChecks = DialogValues::kChecks;

  FXButton *addButton(FXComposite *p, const char *label, FXSelector id);
  // The kind's buttons in order into `p`; the action button is kept apart.
  void addButtons(FXComposite *p);
  FXTextField *addField(FXComposite *p, int columns, FXuint extra = 0);
  FXCheckButton *addCheck(FXComposite *p, const char *label, FXSelector id = 0);
  FXLabel *addLabel(FXComposite *p, const char *text, FXuint extra = 0);

  void buildInput();
  void buildCoordinates();
  void buildIsland(bool align);
  void buildFilter();
  void buildScores();
  void buildSingleValue(const char *label);
  void buildMerge();
  void buildChecks(const char *const *labels, int count);

  void loadFields();
  void storeFields();
  void updateFilterFields();
  void updateCheckStates();
  void focusInitial();
  void end(FXuint result);
  // "&Ok" of the input dialog; false keeps it open.
  bool acceptInput();
  void endInput();
  void inputFields(InputFields fields[2]) const;
  // The record list of sequence `which` for `file`, showing `choice`.
  void fillRecords(int which, const char *file, const char *choice);

  FXint kind = 0;
  FXVerticalFrame *frames[2] = {};
  FXPacker *matrix = nullptr;
  FXGroupBox *groups[2] = {};
  FXButton *buttons[2] = {};
  FXButton *actionButton = nullptr;
  FXTextField *fields[kFields] = {};
  FXCheckButton *checks[kChecks] = {};
  FXProgressBar *bars[2] = {};
  FXLabel *message = nullptr;
  // Input dialog, after the progress bars: the records of a many-record
  // file (what each entry chooses, and the file listed) and the soft mask.
  FXListBox *recordLists[2] = {};
  std::vector<std::string> recordChoices[2];
  std::string listedFile[2];
  FXCheckButton *softmaskChecks[2] = {};
  int fieldCount = 0, checkCount = 0;
  int browsedLast = 0; // 1 after the second sequence was browsed
};
