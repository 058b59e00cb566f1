// State shared by the journal and the footnotes (not for other modules).
#pragma once
#include <cstdint>
#include <cstdio>

constexpr size_t kTempNameSize = 4096;

struct JournalFiles {
  FILE *undo;
  FILE *foot;
  char undoName[kTempNameSize]; // "" when no file exists
  char footName[kTempNameSize];
  char lastUndoTried[kTempNameSize];
  char lastFootTried[kTempNameSize];
  bool active;      // a session has started
  bool disabled;    // a write failed (or no file): Undo and Redo do nothing
  bool writeFailed; // stays set for the rest of the run
  bool beyondFirst; // the present state is not the session's first record
  long current;     // position of the current record
  long position;    // where the next read or write happens
  long logicalEnd;  // end of the last record written; dead data after it
  long footEnd;     // end of the footnotes of this session
  bool startTurned; // sequence 2 invert-complemented when the session started
  int32_t currentState, newestState, savedState;
};

extern JournalFiles gJournal;

// Creates whichever of the two files is missing; messages on failure.
void journalOpenFiles();
// One report per journal write failure; disables the journal.
void journalWriteFailed();
