#include "session/input_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <sys/stat.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/report_kinds.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/drivers.h"
#include "io/input_stream.h"
#include "io/reader_engine.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"
#include "session/report.h"

namespace {

InputProgressView *gView = nullptr;
bool gReplaced = false;
int gReading = 0; // sequence being read
int gPhase = 0;   // 0 residues, 1 repeat annotations

void readerProgress(void *, long position, long size) {
  if (!gView || size <= 0)
    return;
  long done = position < 0 ? 0 : position > size ? size : position;
  gView->showProgress(gReading, int(done * 50 / size) + 50 * gPhase);
}

uint32_t presenceBit(int which) { return which ? kWinSeq2 : kWinSeq1; }

constexpr uint32_t kRedrawAll = kWinRelayout | kWinRepaint | kWinIntervalsChanged;

bool sameReadOptions(const Sequence *s, const InputFields &f) {
  return strcmp(f.record, s->record) == 0 && f.softmask == bool(s->flags & kSeqSoftmask);
}

void storeAndRead(int which, const InputFields &f, int &failures) {
  WindowRecord *w = gCurrent;
  Sequence *s = sequenceOf(which);
  const bool newName = !f.name.empty() && f.name != s->fileName;
  if (newName && refuseLongPath(f.name.c_str(), "sqreadsq")) {
    ++failures;
    return;
  }
  const char *file = newName ? f.name.c_str() : s->fileName;
  // A damaged compressed file is refused before the sequence it would
  // replace is touched.
  if ((newName || !sameReadOptions(s, f) || (s->flags & kSeqNotRead)) && file[0] &&
      !verifyCompressedFile(file, "sqreadsq")) {
    ++failures;
    return;
  }
  s->flags |= kSeqDialogMarkRepeats;
  if (f.invert != bool(s->flags & kSeqDialogInvert)) {
    s->flags ^= kSeqDialogInvert;
    w->flagsA |= kWinIntervalsChanged | kWinRepaint;
  }
  const int32_t from = s->from, to = s->to;
  parseIntervalText(s, f.interval);
  if (s->from != from || s->to != to)
    w->flagsA |= kRedrawAll;
  if (newName) {
    snprintf(s->fileName, sizeof s->fileName, "%s", f.name.c_str());
    snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", f.name.c_str());
    s->flags |= kSeqNotRead | kSeqRepeatsNotRead;
  }
  if (!sameReadOptions(s, f)) {
    snprintf(s->record, sizeof s->record, "%s", f.record);
    s->flags = f.softmask ? s->flags | kSeqSoftmask : s->flags & ~kSeqSoftmask;
    s->flags |= kSeqNotRead | kSeqRepeatsNotRead;
    w->flagsA |= kRedrawAll;
  }
  gReading = which;
  if ((s->flags & kSeqNotRead) && s->fileName[0]) {
    gPhase = 0;
    if (readSequence(s) == 1) {
      s->flags &= ~kSeqNotRead;
      w->flagsA |= presenceBit(which) | kWinLoaded | kRedrawAll;
    } else {
      s->length = 0;
      ++failures;
      w->flagsA &= ~presenceBit(which);
    }
  }
  if (!(s->flags & kSeqNotRead) && (s->flags & kSeqRepeatsNotRead)) {
    gPhase = 1;
    if (readRepeats(s) == 1) {
      s->flags &= ~kSeqRepeatsNotRead;
      w->flagsA |= presenceBit(which) | kWinLoaded | kRedrawAll;
    } else {
      ++failures;
    }
  }
  resetInputProgress();
  const bool choice = s->flags & kSeqDialogInvert;
  if (choice != bool(s->flags & kSeqInvertRequested))
    w->flagsA |= kWinLoaded | kWinRepaint;
  s->flags &= ~(kSeqInvertRequested | kSeqMarkRepeats);
  if (choice)
    s->flags |= kSeqInvertRequested;
  if (s->flags & kSeqDialogMarkRepeats)
    s->flags |= kSeqMarkRepeats;
}

void finishBoth() {
  finishSequence(gSeq1);
  finishSequence(gSeq2);
}

void dropEmptySequences() {
  for (int which = 0; which < 2; ++which)
    if (sequenceOf(which)->length == 0)
      gCurrent->flagsA &= ~presenceBit(which);
}

} // namespace

void inputDialogBegin(InputProgressView *view) {
  gView = view;
  setProgressWindow(view, readerProgress);
  gCurrent->flagsA &= ~kWinLoaded;
  for (int which = 0; which < 2; ++which) {
    Sequence *s = sequenceOf(which);
    s->flags &= ~(kSeqDialogInvert | kSeqDialogMarkRepeats);
    if (s->flags & kSeqInvertRequested)
      s->flags |= kSeqDialogInvert;
    if (s->flags & kSeqMarkRepeats)
      s->flags |= kSeqDialogMarkRepeats;
  }
}

void inputDialogEnd() {
  setProgressWindow(nullptr, nullptr);
  gView = nullptr;
}

void inputDialogFields(int which, InputFields &f) {
  const Sequence *s = sequenceOf(which);
  f.name = s->fileName;
  snprintf(f.interval, sizeof f.interval, " %d - %d", s->from, s->to);
  f.invert = s->flags & kSeqDialogInvert;
  snprintf(f.record, sizeof f.record, "%s", s->record);
  f.softmask = s->flags & kSeqSoftmask;
}

namespace {
// The last file listed, kept while it is unchanged: the dialog lists its
// files each time it opens, and a genome is worth scanning once.
struct ListedFile {
  std::string name;
  timespec modified{};
  off_t size = -1;
  std::vector<RecordEntry> records;
  size_t total = 0;
};
ListedFile gListed;

bool listRecordsOnce(const char *fileName, ListedFile &out) {
  struct stat st;
  if (stat(fileName, &st) != 0)
    return false;
  if (gListed.name != fileName || gListed.modified.tv_sec != st.st_mtim.tv_sec ||
      gListed.modified.tv_nsec != st.st_mtim.tv_nsec || gListed.size != st.st_size) {
    gListed = ListedFile();
    if (!listRecords(fileName, gListed.records, kListedRecords, &gListed.total))
      return false;
    gListed.name = fileName;
    gListed.modified = st.st_mtim;
    gListed.size = st.st_size;
  }
  out = gListed;
  return true;
}
} // namespace

void inputRecordChoices(const char *fileName, const char *choice, RecordChoices &out) {
  out = RecordChoices();
  ListedFile listed;
  if (!fileName || !fileName[0] || !listRecordsOnce(fileName, listed))
    return;
  out.total = listed.total;
  const std::vector<RecordEntry> &records = listed.records;
  std::set<std::string> earlier; // names of the records listed so far
  bool found = false;
  for (size_t i = 0; i < records.size(); ++i) {
    const RecordEntry &e = records[i];
    const std::string number = std::to_string(i + 1);
    out.labels.push_back(number + ": " + (e.name.empty() ? "(no name)" : e.name));
    // A name finds the first record that answers to it; "#N" the others.
    const bool shadowed = e.name.empty() || earlier.count(e.name) > 0;
    out.choices.push_back(i == 0 ? "" : shadowed ? "#" + number : e.name);
    const bool named = choice && choice[0] &&
                       (choice == "#" + number ||
                        (choice[0] != '#' && !earlier.count(choice) &&
                         std::find(e.aliases.begin(), e.aliases.end(), choice) != e.aliases.end()));
    earlier.insert(e.aliases.begin(), e.aliases.end());
    if (named) {
      out.current = int(i);
      found = true;
    }
    if (named && i == 0)
      out.choices[0] = choice; // as it was chosen before: the files keep naming it
  }
  // A record past the listed ones stays chosen.
  if (!found && choice && choice[0] && !records.empty()) {
    out.labels.push_back(std::string(choice) + " (chosen)");
    out.choices.push_back(choice);
    out.current = int(out.labels.size()) - 1;
  }
}

int inputProgressValue(int which) { return sequenceOf(which)->flags & kSeqNotRead ? 0 : 100; }

void resetInputProgress() {
  if (!gView)
    return;
  for (int which = 0; which < 2; ++which)
    gView->showProgress(which, inputProgressValue(which));
}

void inputFileChosen(int which, InputFields &f) {
  Sequence *s = sequenceOf(which);
  s->flags &= ~kSeqDialogInvert;
  s->flags |= kSeqNotRead | kSeqRepeatsNotRead;
  f.invert = false;
  f.record[0] = 0;
  f.softmask = false;
  snprintf(f.interval, sizeof f.interval, "0 - 0");
  resetInputProgress();
}

int inputDialogAccept(const InputFields fields[2]) {
  gReplaced = false;
  int failures = 0;
  for (int which = 0; which < 2; ++which)
    storeAndRead(which, fields[which], failures);
  if (failures)
    return failures;
  WindowRecord *w = gCurrent;
  finishBoth();
  if ((w->flagsA & kWinIntervalsChanged) && gSeq1->length > 0 && gSeq2->length > 0) {
    w->flagsA |= kWinRepaint;
    resetEngine(gSeq1->from, gSeq1->to, gSeq2->from, gSeq2->to);
    clearOtherStrand();
    gReplaced = true;
    closeOtherWindows(true);
    gCurrent->flagsA &= ~kWinIntervalsChanged;
    gCurrent->listCursor = 0;
  }
  gCurrent->reportKind = kReportNone;
  finishBoth();
  dropEmptySequences();
  return 0;
}

bool inputDialogReplacedSession() { return gReplaced; }

const char *inputFailureText() {
  static char line[256];
  const char *m = messageBuffer();
  size_t n = strcspn(m, "\n");
  if (n >= sizeof line)
    n = sizeof line - 1;
  memcpy(line, m, n);
  line[n] = 0;
  return line;
}

void inputDialogCancel() {
  finishBoth();
  dropEmptySequences();
}
