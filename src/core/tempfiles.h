// Private temporary files of a run (the undo journal and the footnotes).
// Names are numbered; a name is taken by creating the file exclusively or by
// taking over a leftover of this user, so a file or link planted under it by
// someone else is never opened.
#pragma once
#include <cstddef>
#include <cstdio>

// The temporary directory: TMPDIR, else TMP, else TEMP, else /tmp; doubled
// separators are folded and a trailing one dropped ("/" becomes ""). An
// empty variable counts as unset.
const char *tempDirectory();
// Forget the resolved directory (tests change the environment).
void resetTempDirectory();

// Creates "<dir>/<pattern with %d>" for the numbers 0 to 99 (then others),
// taking the first that can be created exclusively (mode 0600) or that a
// killed run of this user left behind. The file stays locked while it is
// open, so that other runs leave it alone. Returns the file opened for
// update in binary mode, or nullptr; `name` receives the name created or,
// on failure, the last name tried.
FILE *createTempFile(const char *pattern, char *name, size_t nameSize);
