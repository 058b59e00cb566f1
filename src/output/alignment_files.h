// Layer 4 of 8, output: the writers. Uses core, engine and ops.
//
// The alignment files: summary, local, global and footnotes. All four start
// with the same sequence header; all but the footnotes add the parameters
// last used, so that a saved file can be opened again with its settings.
#pragma once
#include <cstdint>
#include <string>

#include "core/records.h"

// Writers of the file named by the path buffer (gPathBuffer). windowOnly
// keeps the hits that lie in the current window's region. True when the file
// was written completely; the session is then marked saved. Failures are
// reported in an "Error" box and a partly written file is removed.
bool WriteSummaryFile(bool windowOnly);
bool WriteLocalFile(bool windowOnly);
// The global writer prints the hits as they are; a save aligns the
// interhits first (session layer). WriteGlobalFile refuses a window with
// conflicts ("Error" box); WriteGlobalText writes without that check.
bool WriteGlobalFile(bool windowOnly);
bool WriteGlobalText(bool windowOnly);
// True, after the "Error" box, when hits of the window conflict; stores the
// count in the window.
bool RefuseGlobalForConflicts();

// The footnotes file: create it with its header, write hits one by one,
// close it. CloseFootnotesFile reports a write failure (full disk) and
// removes the file; it returns whether everything reached the disk.
bool WriteFootnotesHeader(const char *fileName);
void WriteHitLocal(const Hit *hit, HitBlock *firstBlock);
bool CloseFootnotesFile();
// Writes the footnotes of this session to a file in local format. False
// when the file could not be written (reported).
bool SaveFootnotes(const char *fileName);

// The name written after "File:": relative to the output file's folder,
// with "/" separators; names that are not absolute are taken from the
// working directory first. The whole name when no shorter relative name
// exists.
std::string RelativeSequencePath(const char *outputName, const char *sequenceName);

// Formats of the save dialog's patterns.
constexpr int kFormatGlobal = 0;
constexpr int kFormatLocal = 1;
constexpr int kFormatSummary = 2;
constexpr int kFormatAny = 3;
extern const char kSavePatterns[]; // the save dialog's pattern list
extern const char kFootnotePatterns[];

// Index of the first pattern whose alternatives the name's extension
// matches (0 global, 1 local, 2 summary, 3 any other); -1 without extension.
int FileTypeOfName(const char *name);

// The chosen name with trailing blanks removed and, when its type is not the
// dialog's current pattern, the extension of that pattern in place of its
// own ("_align" for All files).
std::string SaveNameWithExtension(const char *chosen, int pattern);
// The footnotes dialog keeps an extension beginning with ".ftn", else
// appends ".ftn_align".
std::string FootnotesNameWithExtension(const char *chosen);

// "Overwrite Document" question before replacing an existing file; true
// when there is no such file or the answer is Yes.
bool ConfirmOverwrite(const char *fileName);
