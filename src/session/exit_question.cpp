#include "session/exit_question.h"

#include "core/ui_port.h"
#include "ops/journal.h"

bool exitQuestion() {
  if (journalHasUnsavedChanges()) {
    Answer a =
        ui()->messageBox("Exit", "Do you want to save changes?", Buttons::YesNoCancel, kAnswerNo);
    if (a == kAnswerCancel)
      return false;
    if (a == kAnswerYes)
      ui()->sendToRootWindow(kSaveCommand);
  }
  journalShutdown();
  return true;
}
