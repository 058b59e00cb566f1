#include "session/exit_question.h"

#include "core/ui_port.h"
#include "ops/journal.h"

bool exitQuestion() {
  if (journalHasUnsavedChanges()) {
    Answer a =
        ui()->messageBox("Exit", "Do you want to save changes?", Buttons::YesNoCancel, kAnswerNo);
    if (a == kAnswerCancel)
      return false;
    if (a == kAnswerYes) {
      ui()->sendToRootWindow(kSaveCommand);
      // A Save that was cancelled or failed must not end the program: the
      // user asked for the work to be kept.
      if (journalHasUnsavedChanges())
        return false;
    }
  }
  journalShutdown();
  return true;
}
