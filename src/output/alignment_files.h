// Layer 4 of 8, output: the writers. Uses core, engine and ops.
//
// The alignment files: summary, local, global and footnotes. All four start
// with the same sequence header; all but the footnotes add the parameters
// last used, so that a saved file can be opened again with its settings.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/records.h"

// The line that opens the section of the second set (hits with the other
// strand of sequence 2) in summary, local and footnotes files. The section
// follows the session's hits, only when there are such hits; its sequence-2
// positions are those of the other strand as its file holds it (descending
// for a sequence 2 that is not invert-complemented).
extern const char kReverseSectionTitle[]; // "Reverse strand:"

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
// True, after the "Error" box, when hits that the file would hold conflict
// (all hits, or with windowOnly those in the window's region); stores the
// window's count of conflicting hits.
bool RefuseGlobalForConflicts(bool windowOnly);

// PAF and MAF, for other tools: sequence 2 is the query and sequence 1 the
// target, as sequence 1 is the reference along the dot matrix's x axis.
// Positions on the forward strands, one line or block per hit. Opening
// cannot read them back, so writing one does not count as saving the session.
bool WritePafFile(bool windowOnly);
bool WriteMafFile(bool windowOnly);

// A hit as the standard formats write it: its columns, turned so that
// sequence 1 reads forward, with the spans as the columns cover them.
struct AlignedColumn {
  uint8_t r1, r2; // residue codes, kGapCode for a gap
};
struct AlignedPair {
  int32_t start1 = 0, end1 = 0; // 0-based, end exclusive, counted along the strand of minus1
  int32_t start2 = 0, end2 = 0;
  bool minus1 = false; // positions count on the reverse strand of the file's sequence
  bool minus2 = false;
  int32_t score = 0; // as the local file's "Score:" line
  std::vector<AlignedColumn> columns;
};
// otherStrand2: the hit's sequence-2 positions count on the strand opposite
// to the one held (a hit of the reverse set); the columns still come from
// the walk.
void AlignedPairOfHit(const Hit *hit, HitBlock *first, bool otherStrand2, AlignedPair &pair);

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
constexpr int kFormatPaf = 4; // after All files, so that older settings keep their meaning
constexpr int kFormatMaf = 5;
extern const char kSavePatterns[]; // the save dialog's pattern list
extern const char kFootnotePatterns[];

// Index of the first pattern whose alternatives the name's extension
// matches (0 global, 1 local, 2 summary, 4 PAF, 5 MAF, 3 any other); -1
// without extension.
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
