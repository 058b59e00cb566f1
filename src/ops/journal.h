// Layer 3 of 8, ops: conflicts' resolution, Merge/Compound, filter and
// selections, journal and footnotes. Uses core and engine.
//
// The undo journal: after every action that changes the hits, a record with
// a snapshot of the whole hit list goes to a temporary file; Undo and Redo
// step between the records. Its state numbers also tell whether the session
// has changes that were not saved.
#pragma once
#include <cstdint>

constexpr uint32_t kJournalStartsSession = 0x01; // opens and rewinds the files
constexpr uint32_t kJournalSnapshot = 0x04;      // the record holds the hit list

struct JournalActionEntry {
  int32_t commandId;
  uint32_t flags;
  const char *name;
};
constexpr int kJournalActionCount = 22;
extern const JournalActionEntry kJournalActions[kJournalActionCount];
// Index of a command id in the table, or -1.
int journalActionIndex(int32_t commandId);

// Records the action just run (ids outside the table are ignored). New and
// Open (flag 1) start the journal and rewind both temporary files.
void JournalAction(int32_t commandId);

// Step back to the previous record / forward to the next one and restore its
// snapshot. Each sets the current window's report kind to Undo (6) or Redo
// (7) and its report counters to the record's action index and flags, or the
// kind to 0 when there was nothing to do.
void UndoStep();
void RedoStep();

// After an action in which an allocation failed (noteOutOfMemory): the hits
// go back to the journal's current record, the state before the action,
// which is not journaled, and "Not enough memory" is reported. False, with
// nothing done, when no allocation failed.
bool UndoActionShortOfMemory();

// The present state becomes the saved one (the writers call it).
void MarkSaved();
// The exit question is due: the journal is past its first record, the state
// differs from the saved one and the hit list is not empty.
bool journalHasUnsavedChanges();

// "current/newest name" for the information line after Undo and Redo.
const char *JournalPositionText(int32_t actionIndex);

// Closes and deletes both temporary files and clears the journal state; safe
// to call more than once (also registered with atexit).
void journalShutdown();

// For tests and the report line.
bool journalActive();
bool journalDisabled();
int32_t journalCurrentState();
int32_t journalNewestState();
const char *journalUndoFileName(); // "" when none
const char *journalFootFileName();
