#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/flags.h"
#include "core/replace_file.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "ops/journal.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"

AlignmentWriter gWriter;

namespace {
void reportFileError(const char *format, const char *name) {
  char text[4400];
  snprintf(text, sizeof text, format, name);
  ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
}
} // namespace

bool writerOpen(const char *name) {
  if (gWriter.file) // a footnotes file its writer never closed
    discardReplacement(gWriter.replacement);
  gWriter = AlignmentWriter();
  snprintf(gWriter.name, sizeof gWriter.name, "%s", name);
  const std::string refused = refusedTarget(name);
  if (!refused.empty()) {
    reportFileError(("Cannot save over " + refused + ".\n    File: %s\n").c_str(), name);
    return false;
  }
  if (!openReplacement(name, gWriter.replacement)) {
    reportFileError("Cannot open file for save.\n    File: %s\n", name);
    return false;
  }
  gWriter.file = gWriter.replacement.file;
  return true;
}

void writerPrintf(const char *format, ...) {
  if (!gWriter.file || gWriter.failed)
    return;
  va_list args;
  va_start(args, format);
  if (vfprintf(gWriter.file, format, args) < 0)
    gWriter.failed = true;
  va_end(args);
}

bool writerClose(bool markSaved) {
  if (!gWriter.file)
    return false;
  if (gWriter.failed)
    discardReplacement(gWriter.replacement);
  const bool ok = !gWriter.failed && commitReplacement(gWriter.replacement);
  gWriter.file = nullptr;
  if (!ok) {
    reportFileError("Cannot write file for save.\n    File: %s\n", gWriter.name);
    return false;
  }
  if (markSaved)
    MarkSaved();
  return true;
}

void writerDiscard() {
  if (gWriter.file)
    discardReplacement(gWriter.replacement);
  gWriter.file = nullptr;
}

int32_t filePosition(const Sequence *s, int32_t index) {
  return (s->flags & kSeqInverted) ? s->length - index : index + 1;
}

void writeSequenceHeaders(const char *outputName) {
  const char *labels[2] = {"1st", "2nd"};
  for (int i = 0; i < 2; ++i) {
    const Sequence *s = sequenceOf(i);
    writerPrintf("%s seq:\n", labels[i]);
    writerPrintf("    File: %s\n", RelativeSequencePath(outputName, s->fileName).c_str());
    writerPrintf("    %u .. %u %s", static_cast<uint32_t>(s->from), static_cast<uint32_t>(s->to),
                 (s->flags & kSeqInverted) ? "InvertComplement" : "");
    // Only when used, so that other files stay as they were; Open reads both.
    if (s->record[0])
      writerPrintf(" record=%s", s->record);
    if (s->flags & kSeqSoftmask)
      writerPrintf(" softmask");
    writerPrintf("\n");
  }
}

void writeParameterHeader() {
  const WindowRecord *w = gCurrent;
  writerPrintf("\nThe last used parameters:\n  Block: %d..%d, %d..%d, Flags: %X", w->block[0],
               w->block[1], w->block[2], w->block[3], w->flagsB);
  // "\n  For aligning:    " and "\n  For extending:   ": the figures that
  // follow start in the same column.
  char label[64];
  snprintf(label, sizeof label, "\n  For %sing:              ", "align");
  label[20] = 0;
  const IslandParams &a = w->alignIsland;
  writerPrintf("%sdiagonal: %d/%d = %d, max gap: %d", label, a.matchesPerFrame, a.frameLength,
               a.minTotalMatches, a.maxGap);
  writerPrintf(", wordsize: %d, p-value: %g", a.wordSize, w->pValue);
  // Only what differs from the defaults, so default files stay as they were.
  if (a.repeatLimit != kDefaultRepeatLimit)
    writerPrintf(", repeats: %d", a.repeatLimit);
  if (a.seedShape != 0)
    writerPrintf(", seeds: spaced");
  if (a.strands != 0)
    writerPrintf(", strands: both");
  if (a.extend != 0)
    writerPrintf(", hits: extended");
  snprintf(label, sizeof label, "\n  For %sing:              ", "extend");
  label[20] = 0;
  const IslandParams &e = w->expandIsland;
  writerPrintf("%sdiagonal: %d/%d = %d, max gap: %d", label, e.matchesPerFrame, e.frameLength,
               e.minTotalMatches, e.maxGap);
  writerPrintf("\n  For merging:     max distance: %d", w->mergeMaxDistance);
  // Open masks them again: they follow from the residues.
  if ((gSeq1->flags | gSeq2->flags) & kSeqInterspersed)
    writerPrintf("\n  Filter:          interspersed repeats");
  writerPrintf("\n  Score parameters: match: %d, mismatch: %d, gap open: %d, gap elongation: %d",
               w->score.match, w->score.mismatch, w->score.gapOpen, w->score.gapElongation);
  writerPrintf("\n\n");
}

namespace {
// Components of an absolute name with "." dropped and ".." applied.
bool absoluteComponents(const char *name, std::vector<std::string> &parts) {
  std::string full;
  if (name[0] == '/') {
    full = name;
  } else {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
      return false;
    full = std::string(cwd) + "/" + name;
  }
  parts.clear();
  size_t i = 0;
  while (i < full.size()) {
    size_t j = full.find_first_of("/\\", i);
    if (j == std::string::npos)
      j = full.size();
    std::string part = full.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty())
        parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  return !parts.empty();
}
} // namespace

namespace {
// The name of the output in the folder it is really written to: saved
// through a link to another folder, "../" steps count from that folder,
// which is where the file will be opened from.
std::string inRealFolder(const char *outputName) {
  const std::string name = outputName;
  const size_t slash = name.rfind('/');
  const std::string dir = slash == std::string::npos ? "."
                          : slash == 0               ? "/"
                                                     : name.substr(0, slash);
  char real[PATH_MAX];
  if (!realpath(dir.c_str(), real))
    return name;
  std::string r = real;
  return (r == "/" ? r : r + "/") + (slash == std::string::npos ? name : name.substr(slash + 1));
}
} // namespace

std::string RelativeSequencePath(const char *outputName, const char *sequenceName) {
  std::vector<std::string> out, seq;
  if (!outputName[0] || !sequenceName[0] ||
      !absoluteComponents(inRealFolder(outputName).c_str(), out) ||
      !absoluteComponents(sequenceName, seq))
    return sequenceName;
  // Directories are all components but the last (the file's own name).
  size_t common = 0;
  while (common + 1 < out.size() && common + 1 < seq.size() && out[common] == seq[common])
    ++common;
  std::string result;
  for (size_t i = common; i + 1 < out.size(); ++i)
    result += "../";
  for (size_t i = common; i < seq.size(); ++i) {
    if (i > common)
      result += '/';
    result += seq[i];
  }
  // A path the system can take, even where the relative one is too long.
  if (result.size() >= size_t(kPathBytes)) {
    std::string absolute;
    for (const std::string &part : seq)
      absolute += "/" + part;
    if (absolute.size() < result.size())
      return absolute;
  }
  return result;
}
