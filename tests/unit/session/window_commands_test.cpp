// A whole session driven the way the menus drive it, headless: the input
// dialog reads the pair, the commands run through their common frame, and
// Save writes what the command language writes.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/pool.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/tempfiles.h"
#include "core/ui_port.h"
#include "engine/scores.h"
#include "file_faults.h"
#include "ops/journal.h"
#include "session/command_ids.h"
#include "session/dialog_model.h"
#include "session/input_dialog.h"
#include "session/report.h"
#include "session/startup.h"
#include "session/window_commands.h"

namespace {

std::string readFile(const std::string &name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The information line without its padding.
std::string trimmed(std::string line) {
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  return line;
}

struct RecordingPort : HeadlessUi {
  std::vector<std::string> boxes;
  Answer overwrite = kAnswerYes;
  std::string info;
  Answer messageBox(const char *title, const char *text, Buttons, Answer dflt) override {
    boxes.push_back(std::string(title) + ": " + text);
    if (std::string(title) == "Overwrite Document")
      return overwrite;
    return dflt;
  }
  void setInfoLine(const char *text) override { info = text; }
};

struct Progress : InputProgressView {
  std::vector<int> values[2];
  void showProgress(int which, int value) override { values[which].push_back(value); }
};

class MenuSession : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/velk-menu-test-XXXXXX";
    dir = mkdtemp(pattern);
    ASSERT_NE(getcwd(home, sizeof home), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    ASSERT_EQ(symlink(VELK_TEST_DATA, "data"), 0);
    setenv("TMPDIR", dir.c_str(), 1);
    resetTempDirectory();
    setUi(&port);
    ASSERT_TRUE(startSessionCore());
    for (WindowRecord &w : gSlots)
      w.infoWidth = 0; // the headless width, whatever tests before left
    gPathBuffer[0] = 0;
    gSaveFilter = 1;
  }
  void TearDown() override {
    journalShutdown();
    shutDownSessionCore();
    setUi(nullptr);
    if (chdir(home) != 0)
      ADD_FAILURE() << "cannot go back to " << home;
    if (system(("rm -rf '" + dir + "'").c_str()) != 0)
      ADD_FAILURE() << "could not remove " << dir;
    unsetenv("TMPDIR");
    resetTempDirectory();
  }

  // File > New with the two names typed, then "&Ok"; the failures.
  int newPair(const char *name1, const char *name2) {
    beginNewCommand();
    inputDialogBegin(&progress);
    InputFields f[2];
    for (int i = 0; i < 2; ++i)
      inputDialogFields(i, f[i]);
    f[0].name = name1;
    f[1].name = name2;
    int failures = inputDialogAccept(f);
    if (failures)
      failureText = inputFailureText();
    return failures;
  }
  void closeNew(bool accepted) {
    if (!accepted)
      inputDialogCancel();
    inputDialogEnd();
    endNewCommand(accepted);
  }
  void loadMito() {
    ASSERT_EQ(newPair("data/mito/MT-human.fa", "data/mito/MT-orang.fa"), 0);
    closeNew(true);
  }
  std::string line() const { return trimmed(ReportLine()); }

  std::string dir;
  char home[4096];
  RecordingPort port;
  Progress progress;
  std::string failureText;
};

} // namespace

// Operator new of this test program, with a budget: once it is spent the
// next allocation throws, as it would when memory runs short. -1: none.
// Every form is replaced, all on malloc, so each release matches its
// allocation (the sanitizers check that).
namespace {
long gNewBudget = -1;
void *budgetedNew(size_t n) {
  if (gNewBudget >= 0 && gNewBudget-- == 0)
    return nullptr;
  return malloc(n ? n : 1);
}
} // namespace

void *operator new(size_t n) {
  if (void *p = budgetedNew(n))
    return p;
  throw std::bad_alloc();
}
void *operator new[](size_t n) { return operator new(n); }
void *operator new(size_t n, const std::nothrow_t &) noexcept { return budgetedNew(n); }
void *operator new[](size_t n, const std::nothrow_t &) noexcept { return budgetedNew(n); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void *p) noexcept { free(p); }
void operator delete[](void *p) noexcept { free(p); }
void operator delete(void *p, size_t) noexcept { free(p); }
void operator delete[](void *p, size_t) noexcept { free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { free(p); }
#pragma GCC diagnostic pop

// The keyboard path of a new user gives the file the command language gives
// (the golden file of the same steps in batch mode), and the information
// line tells each step.
TEST_F(MenuSession, MenuStepsSaveWhatBatchModeSaves) {
  loadMito();
  EXPECT_EQ(gCurrent->flagsA & (kWinSeq1 | kWinSeq2), kWinSeq1 | kWinSeq2);
  EXPECT_EQ(progress.values[0].back(), 100);
  EXPECT_EQ(progress.values[1].back(), 100);

  runWindowCommand(kCmdAlign, kDialogRun);
  EXPECT_EQ(line(),
            " Action: Align    Viewed: 223    Added: 5             Total: 4   Conflicting: 4");
  runWindowCommand(kCmdExpandNow, kDialogRun);
  runWindowCommand(kCmdTrim, kDialogRun);
  EXPECT_EQ(line(),
            " Action: Trim    Tried: 4    Trimmed: 0               Total: 4   Conflicting: 4");
  runWindowCommand(kCmdGreedy, kDialogRun);
  EXPECT_EQ(trimmed(port.info),
            " Action: Greedy    Deleted: 1                         Total: 3   Conflicting: 0");

  ASSERT_TRUE(saveAlignmentAs("mito", 0, false)); // the Global pattern adds its extension
  EXPECT_EQ(readFile("mito.glb_align"),
            readFile(VELK_SOURCE_DIR "/tests/e2e/mito_pipeline/expected/mito.glb_align"));
  EXPECT_EQ(gSaveFilter, 0);
  EXPECT_EQ(line(),
            " Saved                                                Total: 3   Conflicting: 0");
  EXPECT_FALSE(journalHasUnsavedChanges());

  runWindowCommand(kCmdUndo, kDialogRun);
  EXPECT_EQ(line(),
            " Undo: 3/4 Greedy                                     Total: 4   Conflicting: 4");
  runWindowCommand(kCmdUndo, kDialogRun);
  runWindowCommand(kCmdRedo, kDialogRun);
  EXPECT_EQ(line(),
            " Redo: 3/4 Trim                                       Total: 4   Conflicting: 4");
  EXPECT_TRUE(journalHasUnsavedChanges());
}

// Leaving a dialog without its action button runs nothing; Align and Expand
// still write an (empty) Undo step, the others write none.
TEST_F(MenuSession, DialogLeftWithoutItsActionButton) {
  loadMito();
  const int32_t before = journalNewestState();
  runWindowCommand(kCmdAlign, kDialogStored);
  EXPECT_EQ(gHitCount, 1) << "only the engine's placeholder";
  EXPECT_EQ(journalNewestState(), before + 1);
  runWindowCommand(kCmdExpand, kDialogCancelled);
  EXPECT_EQ(journalNewestState(), before + 2);
  for (int32_t id : {kCmdMerge, kCmdGreedy, kCmdOptimal, kCmdCompound, kCmdFilterCreate}) {
    runWindowCommand(id, kDialogStored);
    runWindowCommand(id, kDialogCancelled);
  }
  EXPECT_EQ(journalNewestState(), before + 2);
  EXPECT_EQ(gHitCount, 1);
}

TEST_F(MenuSession, InputDialogKeepsOpenUntilBothFilesRead) {
  {
    std::ofstream cr("cr_only.fa", std::ios::binary);
    cr << ">cr only\rACGTACGTACGT\rACGT\r";
  }
  // Cut to the system's limit, this name would be the other mitochondrion.
  std::string cut = "data/mito/MT-orang.fa";
  while (cut.size() < size_t(kPathBytes) - 1)
    cut = "./" + cut;
  const std::string tooLong = cut + "x";
  struct Attempt {
    const char *name2, *message; // null message: loaded
  } attempts[] = {
      {"data/mito/missing.fa", "ERROR: Cannot open input file. "},
      {tooLong.c_str(), "ERROR: Cannot open input file. "},
      {"cr_only.fa", "ERROR: NonPC file format. "},
      {"data/mito/MT-orang.fa", nullptr},
  };
  for (const Attempt &a : attempts) {
    int failures = newPair("data/mito/MT-human.fa", a.name2);
    if (a.message) {
      EXPECT_EQ(failures, 1) << a.name2;
      EXPECT_EQ(failureText, a.message) << a.name2;
      EXPECT_EQ(gCurrent->flagsA & (kWinSeq1 | kWinSeq2), kWinSeq1) << a.name2;
      EXPECT_EQ(journalNewestState(), 0) << "nothing journaled while the dialog is open";
    } else {
      EXPECT_EQ(failures, 0);
      closeNew(true);
    }
  }
  EXPECT_EQ(gSeq1->length, 16569);
  EXPECT_EQ(gSeq2->length, 16499);
  EXPECT_EQ(gCurrent->flagsA & (kWinSeq1 | kWinSeq2), kWinSeq1 | kWinSeq2);
  runWindowCommand(kCmdAlignNow, kDialogRun);
  EXPECT_EQ(gHitCount, 4);

  // "&Ok" with nothing changed keeps the hits and their unsaved state.
  ASSERT_EQ(newPair("data/mito/MT-human.fa", "data/mito/MT-orang.fa"), 0);
  closeNew(true);
  EXPECT_EQ(gHitCount, 4);
  EXPECT_TRUE(journalHasUnsavedChanges());
}

// A typed interval and invert-complement are read from the fields; a file
// chosen with "Directory" starts afresh.
TEST_F(MenuSession, InputDialogIntervalInvertAndChosenFile) {
  beginNewCommand();
  inputDialogBegin(&progress);
  InputFields f[2];
  inputDialogFields(0, f[0]);
  EXPECT_STREQ(f[0].interval, " 0 - 0");
  f[0].name = "data/mito/MT-human.fa";
  snprintf(f[0].interval, sizeof f[0].interval, "101 - 2100");
  f[1].name = "data/mito/MT-orang.fa";
  f[1].invert = true;
  snprintf(f[1].interval, sizeof f[1].interval, "0 - 0");
  ASSERT_EQ(inputDialogAccept(f), 0);
  closeNew(true);
  EXPECT_EQ(gSeq1->from, 101);
  EXPECT_EQ(gSeq1->to, 2100);
  EXPECT_TRUE(gSeq2->flags & kSeqInverted);
  EXPECT_EQ(std::vector<int32_t>(gCurrent->region, gCurrent->region + 4),
            (std::vector<int32_t>{100, 2100, 0, 16499}));

  // Opening again shows what is loaded; choosing a file resets its choices.
  inputDialogBegin(&progress);
  inputDialogFields(1, f[1]);
  EXPECT_STREQ(f[1].interval, " 1 - 16499");
  EXPECT_TRUE(f[1].invert);
  EXPECT_EQ(inputProgressValue(1), 100);
  inputFileChosen(1, f[1]);
  EXPECT_STREQ(f[1].interval, "0 - 0");
  EXPECT_FALSE(f[1].invert);
  EXPECT_EQ(inputProgressValue(1), 0);
  closeNew(false);
}

// The records a file offers, and what each entry chooses; a cut-off
// compressed file is refused before the sequence it would replace goes.
TEST_F(MenuSession, InputDialogRecordsSoftmaskAndDamagedFile) {
  const std::string text = ">a one\nACGTACGTAA\n>a two\nCCCCGGGG\n>b\nacgtTTTT\n";
  {
    std::ofstream("many.fa") << text;
    ASSERT_EQ(system("gzip -k many.fa && head -c 30 many.fa.gz >cut.fa.gz"), 0);
  }
  RecordChoices offered;
  const struct {
    const char *choice;
    int current;
  } shown[] = {{"", 0}, {"#2", 1}, {"b", 2}, {"a", 0}, {"#9", 3}};
  for (const auto &c : shown) {
    inputRecordChoices("many.fa.gz", c.choice, offered);
    EXPECT_EQ(offered.current, c.current) << c.choice;
  }
  EXPECT_EQ(offered.total, 3u);
  EXPECT_EQ(offered.labels, (std::vector<std::string>{"1: a", "2: a", "3: b", "#9 (chosen)"}));
  EXPECT_EQ(offered.choices, (std::vector<std::string>{"", "#2", "b", "#9"}));

  loadMito();
  EXPECT_EQ(newPair("data/mito/MT-human.fa", "cut.fa.gz"), 1);
  EXPECT_EQ(failureText, "ERROR: Damaged compressed file. ");
  EXPECT_EQ(gSeq2->length, 16499);
  closeNew(false);

  beginNewCommand();
  inputDialogBegin(&progress);
  InputFields f[2];
  for (int i = 0; i < 2; ++i)
    inputDialogFields(i, f[i]);
  f[1].name = "many.fa.gz";
  snprintf(f[1].record, sizeof f[1].record, "b");
  f[1].softmask = true;
  ASSERT_EQ(inputDialogAccept(f), 0);
  closeNew(true);
  ASSERT_EQ(gSeq2->length, 8);
  EXPECT_STREQ(gSeq2->record, "b");
  EXPECT_EQ(gSeq2->residues[0] & 8, 8);
  EXPECT_EQ(gSeq2->residues[7] & 8, 0);
  inputDialogBegin(&progress);
  inputDialogFields(1, f[1]);
  EXPECT_STREQ(f[1].record, "b");
  EXPECT_TRUE(f[1].softmask);
  inputFileChosen(1, f[1]);
  EXPECT_FALSE(f[1].softmask || f[1].record[0]);
  closeNew(false);
}

// A file typed over another brings its own repeats, and so does a saved
// alignment opened over a session; one name alone is no pair and starts
// no session.
TEST_F(MenuSession, NewFilesRepeatsAreMarkedAndOneNameAloneIsNoPair) {
  ASSERT_EQ(newPair("data/mito/MT-human.fa", ""), 0);
  EXPECT_FALSE(inputDialogReplacedSession());
  EXPECT_EQ(gCurrent->flagsA & (kWinSeq1 | kWinSeq2), kWinSeq1);
  closeNew(true);
  loadMito();
  EXPECT_TRUE(inputDialogReplacedSession());
  auto marked = [] {
    int n = 0;
    for (int32_t i = 0; i < gSeq1->length; ++i)
      n += (gSeq1->residues[i] & kResRepeat) != 0;
    return n;
  };
  ASSERT_EQ(newPair("data/genbank/HUMHBB.gb", "data/mito/MT-orang.fa"), 0);
  closeNew(true);
  const int repeats = marked();
  EXPECT_GT(repeats, 1000);
  ASSERT_TRUE(saveAlignmentAs("hbb.loc_align", 1, false));
  loadMito();
  ASSERT_EQ(openAlignmentAs("hbb.loc_align", 1), 0);
  EXPECT_EQ(marked(), repeats);
}

TEST_F(MenuSession, SaveAsksBeforeReplacingAndNoKeepsTheFile) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  {
    std::ofstream old("kept.sum_align");
    old << "precious\n";
  }
  port.overwrite = kAnswerNo;
  gCurrent->reportKind = kReportAlign;
  EXPECT_FALSE(saveAlignmentAs("kept.sum_align", 2, false));
  EXPECT_EQ(port.boxes.back(), "Overwrite Document: Overwrite existing alignment: kept.sum_align?");
  EXPECT_EQ(readFile("kept.sum_align"), "precious\n");
  EXPECT_EQ(gCurrent->reportKind, kReportAlign) << "No ends the command";
  EXPECT_EQ(gSaveFilter, 1);

  port.overwrite = kAnswerYes;
  // The type follows the dialog's pattern: a local name saved as summary.
  EXPECT_TRUE(saveAlignmentAs("kept.loc_align  ", 2, false));
  EXPECT_EQ(readFile("kept.sum_align").substr(0, 9), "1st seq:\n");
  EXPECT_EQ(gSaveFilter, 2);
  EXPECT_STREQ(gPathBuffer, "kept.sum_align");

  // All files writes nothing; an empty name does nothing at all, and one
  // past the system's limit is refused whole, never saved cut.
  EXPECT_FALSE(saveAlignmentAs("any", 3, false));
  EXPECT_EQ(port.boxes.back(), "Error: Unknown file type.\n    File: any_align\n");
  const size_t boxes = port.boxes.size();
  EXPECT_FALSE(saveAlignmentAs("", 0, false));
  EXPECT_EQ(port.boxes.size(), boxes);
  const std::string tooLong(kPathBytes, 'a');
  EXPECT_FALSE(saveAlignmentAs(tooLong.c_str(), 0, false));
  EXPECT_EQ(port.boxes.back(),
            "Error: Cannot open file for save.\n    File: " + tooLong + ".glb_align\n");
  EXPECT_EQ(openAlignmentAs(tooLong.c_str(), 1), -1);
  EXPECT_EQ(port.boxes.back().substr(0, 45), "Error: ERROR: Cannot open input file. \nFile: ");
  EXPECT_STREQ(gPathBuffer, "any_align");
}

TEST_F(MenuSession, DeleteAndMoveToFootnotes) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  ASSERT_EQ(gHitCount, 4);
  // No hit marked: the selected hit goes, even an approved one.
  gCurrent->selectedHit->flags |= kHitApproved;
  runWindowCommand(kCmdDelete, kDialogRun);
  EXPECT_EQ(line(),
            " Action: Delete    Deleted: 1                         Total: 3   Conflicting: 3");
  // Marked hits go, approved ones stay; the modes are cleared but conflicting.
  gCurrent->flagsA |= kWinModeShort | kWinModeConflicting;
  int marked = 0;
  for (Hit *h = gHitHead1; h; h = h->next1, ++marked)
    h->flags |= kHitSelAll | (marked == 0 ? kHitApproved : 0);
  runWindowCommand(kCmdMoveToFootnotes, kDialogRun);
  EXPECT_EQ(gHitCount, 1);
  EXPECT_EQ(gCurrent->reportSecond, 2);
  EXPECT_EQ(gCurrent->flagsA & (kWinModeShort | kWinModeConflicting), kWinModeConflicting);
  ASSERT_TRUE(saveFootnotesAs("notes"));
  std::string notes = readFile("notes.ftn_align");
  size_t hits = 0;
  for (size_t at = notes.find("Score:"); at != std::string::npos; at = notes.find("Score:", at + 1))
    ++hits;
  EXPECT_EQ(hits, 2u);
  runWindowCommand(kCmdUndo, kDialogRun);
  EXPECT_EQ(gHitCount, 3);
}

TEST_F(MenuSession, OpenRefusedKeepsSessionAndJournal) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  const int32_t state = journalNewestState();
  {
    std::ofstream bad("bad.loc_align");
    bad << "not an alignment\n";
  }
  EXPECT_GT(openAlignmentAs("bad.loc_align", 1), 0);
  EXPECT_EQ(journalNewestState(), state);
  EXPECT_EQ(gHitCount, 4);
  EXPECT_TRUE(journalHasUnsavedChanges());

  ASSERT_TRUE(saveAlignmentAs("good.loc_align", 1, false));
  EXPECT_EQ(openAlignmentAs("good.loc_align", 1), 0);
  EXPECT_EQ(gHitCount, 4);
  EXPECT_EQ(openAlignmentAs("", 1), -1);
}

// The menus keep the command language's rules: a failed save is no "Saved",
// and Greedy judges hits by the window's scores, not the fixed weights they
// were made with.
TEST_F(MenuSession, FailedSaveAndChangedScores) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  EXPECT_FALSE(saveAlignmentAs("missing/folder/x", 1, false));
  EXPECT_EQ(line().substr(0, 10), " Not saved");

  gCurrent->score = ScoreParams{200, -300, -500, -100};
  runWindowCommand(kCmdGreedy, kDialogRun);
  ASSERT_GT(gHitCount, 0);
  for (Hit *h = gHitHead1; h; h = h->next1)
    EXPECT_EQ(h->score, weightedScore(gCurrent->score, h));
}

// A save that fails at any step (a write, the flush to disk, the close,
// the new file's permissions, its rename over the old one) is no "Saved":
// the old file stays as it was and no new one is left beside it.
TEST_F(MenuSession, EveryFailedStepOfASaveKeepsTheOldFile) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  const std::string old = "the alignment saved before\n";
  std::ofstream("kept.loc_align") << old;
  auto leftovers = [] {
    int n = 0;
    DIR *d = opendir(".");
    while (dirent *e = d ? readdir(d) : nullptr)
      n += std::string(e->d_name).rfind(".kept.loc_align", 0) == 0;
    if (d)
      closedir(d);
    return n;
  };
  const std::pair<FileCall, const char *> steps[] = {
      {FileCall::Write, "Cannot write file for save."},
      {FileCall::Fsync, "Cannot write file for save."},
      {FileCall::Close, "Cannot write file for save."},
      {FileCall::Rename, "Cannot write file for save."},
      {FileCall::Chmod, "Cannot open file for save."}};
  for (const auto &[call, error] : steps) {
    SCOPED_TRACE(error);
    failNextCall(call);
    EXPECT_FALSE(saveAlignmentAs("kept.loc_align", 1, false));
    clearFileFaults();
    EXPECT_EQ(port.boxes.back(), std::string("Error: ") + error + "\n    File: kept.loc_align\n");
    EXPECT_EQ(line().substr(0, 10), " Not saved");
    EXPECT_EQ(readFile("kept.loc_align"), old);
    EXPECT_EQ(leftovers(), 0);
    EXPECT_TRUE(journalHasUnsavedChanges());
  }
  ASSERT_TRUE(saveAlignmentAs("kept.loc_align", 1, false));
  EXPECT_NE(readFile("kept.loc_align"), old);
  EXPECT_FALSE(journalHasUnsavedChanges());
}

// The Select modes toggle; the two with a parameter do nothing when their
// dialog is cancelled while the mode is off; Select all clears four modes.
TEST_F(MenuSession, SelectionModesToggle) {
  loadMito();
  runWindowCommand(kCmdAlignNow, kDialogRun);
  auto marked = [](uint32_t bit) {
    int n = 0;
    for (const Hit *h = gHitHead1; h; h = h->next1)
      n += (h->flags & bit) != 0;
    return n;
  };
  runWindowCommand(kCmdSelectConflicting, kDialogRun);
  EXPECT_TRUE(selectionModeOn(kCmdSelectConflicting));
  ASSERT_GT(gCurrent->conflictCount, 1);
  EXPECT_EQ(marked(kHitSelConflict), gCurrent->conflictCount);
  runWindowCommand(kCmdSelectConflicting, kDialogRun);
  EXPECT_EQ(marked(kHitSelConflict), 0);

  runWindowCommand(kCmdSelectShort, kDialogCancelled);
  EXPECT_FALSE(selectionModeOn(kCmdSelectShort));
  gCurrent->shortLength = 100000;
  runWindowCommand(kCmdSelectShort, kDialogStored);
  EXPECT_EQ(marked(kHitSelShort), gHitCount);
  runWindowCommand(kCmdSelectAll, kDialogRun);
  EXPECT_FALSE(selectionModeOn(kCmdSelectShort));
  EXPECT_EQ(marked(kHitSelAll), gHitCount);
}

// An action that cannot get the memory it needs is an error, and is undone:
// the hits are those it started from and no Undo step is written. With
// memory again the same action runs as it always does.
TEST_F(MenuSession, ActionShortOfMemoryIsUndone) {
  loadMito();
  auto hits = [] {
    std::string s;
    for (const Hit *h = gHitHead1; h; h = h->next1)
      s += std::to_string(h->start1) + "," + std::to_string(h->end1) + (h->firstBlock ? "+ " : " ");
    return s;
  };
  const std::string before = hits();
  const int32_t state = journalNewestState();
  setSystemAlloc([](size_t) -> void * { return nullptr; });
  runWindowCommand(kCmdAlignNow, kDialogRun);
  setSystemAlloc(nullptr);
  ASSERT_FALSE(port.boxes.empty());
  EXPECT_EQ(port.boxes.back().substr(0, 34), "Error: ERROR: Not enough memory. \n");
  EXPECT_EQ(trimmed(port.info), "ERROR: Not enough memory.");
  EXPECT_EQ(hits(), before);
  EXPECT_EQ(journalNewestState(), state);

  runWindowCommand(kCmdAlignNow, kDialogRun);
  EXPECT_EQ(line(),
            " Action: Align    Viewed: 223    Added: 5             Total: 4   Conflicting: 4");
  EXPECT_EQ(journalNewestState(), state + 1);
}

// An extending Align that runs short of memory at any point leaves the
// session's scores and maximal P-value as they were: the next actions score
// and judge as before.
TEST_F(MenuSession, ExtendShortOfMemoryKeepsTheScores) {
  loadMito();
  gCurrent->alignIsland.extend = 1;
  int32_t before[32][32];
  memcpy(before, ScoreTable, sizeof before);
  const double pValue = gCurrent->pValue;
  int failed = 0;
  for (long allowed = 0; allowed < 100000; allowed = allowed * 3 / 2 + 1) {
    gNewBudget = allowed;
    runWindowCommand(kCmdAlignNow, kDialogRun);
    gNewBudget = -1;
    if (trimmed(port.info) != "ERROR: Not enough memory.")
      break;
    ++failed;
    ASSERT_EQ(memcmp(before, ScoreTable, sizeof before), 0)
        << "after " << allowed << " allocations";
    ASSERT_EQ(gCurrent->pValue, pValue) << "after " << allowed << " allocations";
  }
  EXPECT_GT(failed, 10);
}
