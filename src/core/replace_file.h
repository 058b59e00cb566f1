// Every file the program writes (saved alignments, footnotes, pictures,
// printing to a file) goes through one guard and is written beside its
// target under a hidden name, then renamed over it when complete: a full
// disk, a killed run or a refused target leaves the old file as it was.
#pragma once
#include <cstdio>
#include <string>

// Files no writer may replace while the run uses them (the running command
// file, the picture still to be drawn). The loaded sequences are always
// protected.
// `what` names it in messages ("the running command file").
void protectFile(const char *path, const char *what);
void unprotectFile(const char *path);

// What `path` is when it may not be written ("a read-only file", "the
// running command file", ...), or "" when it may: a new file, or a regular
// file the user may write that the run does not use.
std::string refusedTarget(const char *path);

struct Replacement {
  FILE *file = nullptr;
  std::string target;    // the file replaced at the end (a link's own target)
  std::string temporary; // the hidden file being written
};

// Creates the hidden file beside the target, with the permissions the
// target has or a new file would get. False when it cannot be created.
bool openReplacement(const char *path, Replacement &r);
// Flushes it to disk and renames it over the target; false (and the hidden
// file removed) when any of that fails.
bool commitReplacement(Replacement &r);
// Closes and removes the hidden file.
void discardReplacement(Replacement &r);
