// Calls from start-up and the session lifecycle into units that are built
// elsewhere. Each hook has a plain default here; the owner of the unit
// replaces the body with the real call.
#pragma once
#include <cstdint>

struct Sequence;
struct WindowRecord;

// Rebuilds the window's 24 layout cells from the view's constant template.
void rebuildLayoutCells(WindowRecord *w);

// Recount and report of a window whose region or hits changed.
void refreshWindow(WindowRecord *w);

// Command-line argument that is not a command file: read it as a saved local
// alignment (the path is already in the path buffer). Returns the number of
// failures (0 = opened).
int openSavedAlignmentFromCommandLine(const char *path);

// The action report of Open after the command-line open above.
void reportOpenAction(int failures);

// The sequence readers: 1 on success, else the code of the error that ended
// the read (already shown). Repeats: 2 without reading when the sequence was
// not read, 1 without reading when there is no repeat source.
int readSequenceFile(Sequence *s);
int readRepeatAnnotations(Sequence *s);
// Orientation, repeat marks and interval clamping after both reads.
void finishSequenceRecord(Sequence *s);
