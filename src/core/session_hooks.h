// Calls from start-up and the session lifecycle into units that are built
// elsewhere, gathered in one place so the core's own files name no reader or
// view directly. A hook whose unit is not there yet has a plain body.
#pragma once
#include <cstdint>

struct Sequence;
struct WindowRecord;

// Rebuilds the window's 24 layout cells from the view's constant template.
void rebuildLayoutCells(WindowRecord *w);

// A window whose region or hits changed: recount and repaint.
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
