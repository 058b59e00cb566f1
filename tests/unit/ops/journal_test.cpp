#include <signal.h>
#include <sys/resource.h>

#include <random>

#include "core/residue.h"
#include "journal_fixture.h"
#include "ops/filter.h"
#include "ops/footnotes.h"
#include "ops/resolve.h"
#include "output/alignment_files.h"

namespace {
constexpr int32_t kNew = 65, kAlign = 73, kExpand = 74, kTrim = 81;

std::string listing(const std::string &dir) {
  std::string out;
  if (FILE *p = popen(("ls -A '" + dir + "'").c_str(), "r")) {
    char line[512];
    while (fgets(line, sizeof line, p))
      out += line;
    pclose(p);
  }
  return out;
}
} // namespace

TEST_F(JournalSession, PositionsAndUnsavedChangesFollowTheRecords) {
  box(0, 10, 0, 10);
  rebuild();
  JournalAction(kNew);
  EXPECT_FALSE(journalHasUnsavedChanges()) << "a fresh session has nothing to save";
  UndoStep();
  EXPECT_EQ(gCurrent->reportKind, 0) << "nothing before the first record";
  RedoStep();
  EXPECT_EQ(gCurrent->reportKind, 0) << "nothing undone";

  box(20, 30, 20, 30);
  rebuild();
  JournalAction(kAlign);
  EXPECT_TRUE(journalHasUnsavedChanges());
  MarkSaved();
  box(40, 50, 40, 50)->flags |= kHitApproved;
  rebuild();
  JournalAction(kExpand);
  auto afterExpand = keptHits();
  UndoStep();
  EXPECT_EQ(gCurrent->reportKind, 6);
  EXPECT_EQ(gCurrent->reportSecond, 0x24);
  EXPECT_STREQ(JournalPositionText(gCurrent->reportFirst), "1/2 Expand");
  EXPECT_FALSE(journalHasUnsavedChanges()) << "the saved state again";
  JournalAction(12345); // not an action of the table: records nothing
  RedoStep();
  EXPECT_EQ(gCurrent->reportKind, 7);
  EXPECT_STREQ(JournalPositionText(gCurrent->reportFirst), "2/2 Expand");
  EXPECT_EQ(keptHits(), afterExpand);

  for (int i = 0; i < 3; ++i) {
    DeleteMarked(1);
    JournalAction(88);
  }
  ASSERT_TRUE(!gHitHead1 || (!gHitHead1->next1 && !gHitHead1->firstBlock));
  EXPECT_FALSE(journalHasUnsavedChanges()) << "nothing left to save";
}

TEST_F(JournalSession, RandomChangesUndoneAndRedoneMatchTheirSnapshots) {
  std::mt19937 rng(20261206);
  auto pick = [&](int n) { return static_cast<int32_t>(rng() % n); };
  auto nthHit = [&](int n) {
    Hit *h = gHitHead1;
    while (n-- > 0)
      h = h->next1;
    return h;
  };
  const int32_t ids[] = {73, 77, 74, 78, 75, 79, 81, 82, 83, 87,
                         85, 84, 90, 86, 91, 76, 80, 88, 89};
  auto randomChange = [&]() {
    int op = gHitCount < 3 ? 0 : pick(4);
    if (op == 0) { // a new hit of up to three linked blocks
      std::vector<TestBlock> blocks;
      int32_t x = 0, y = 0, n = 1 + pick(3);
      for (int i = 0; i < n; ++i) {
        TestBlock b{x, y, 1 + pick(12)};
        if (i + 1 < n) {
          b.linkKind = pick(2);
          b.cut = b.linkKind == 1 ? y + b.length : x + b.length;
        }
        blocks.push_back(b);
        x += b.length + pick(4);
        y += b.length + pick(4);
      }
      Hit *h = makeTestHit(pick(300), pick(300), blocks);
      h->flags = rng() & (kHitSelShort | kHitApproved | kHitSelMouse);
    } else if (op == 1) {
      Hit *h = nthHit(pick(gHitCount));
      unlinkHit(h);
      freeHit(h);
    } else if (op == 2) {
      nthHit(pick(gHitCount))->flags ^= kHitSelAll | kHitApproved;
    } else { // move a hit along sequence 1
      Hit *h = nthHit(pick(gHitCount));
      ++h->start1, ++h->end1;
    }
    rebuild();
    JournalAction(ids[pick(sizeof ids / sizeof ids[0])]);
  };

  std::vector<std::vector<int64_t>> states;
  JournalAction(kNew);
  states.push_back(keptHits());
  for (int i = 0; i < 300; ++i) {
    randomChange();
    states.push_back(keptHits());
  }
  for (size_t i = states.size() - 1; i-- > 0;) {
    UndoStep();
    ASSERT_EQ(gCurrent->reportKind, 6) << "undo to state " << i;
    ASSERT_EQ(keptHits(), states[i]) << "undo to state " << i;
  }
  UndoStep();
  EXPECT_EQ(gCurrent->reportKind, 0);
  for (size_t i = 1; i < states.size(); ++i) {
    RedoStep();
    ASSERT_EQ(gCurrent->reportKind, 7) << "redo to state " << i;
    ASSERT_EQ(keptHits(), states[i]) << "redo to state " << i;
  }

  // Branch: back 50 states, 20 new ones over the old records.
  for (int i = 0; i < 50; ++i)
    UndoStep();
  states.resize(states.size() - 50);
  for (int i = 0; i < 20; ++i) {
    randomChange();
    states.push_back(keptHits());
  }
  RedoStep();
  EXPECT_EQ(gCurrent->reportKind, 0) << "the old records are gone";
  for (size_t i = states.size() - 1; i-- > states.size() - 40;) {
    UndoStep();
    ASSERT_EQ(keptHits(), states[i]) << "undo to state " << i << " after the branch";
  }
}

TEST_F(JournalSession, DeletedAndGreedyLosersGoToFootnotesUndoKeepsThem) {
  std::string letters(ConflictSession::kLength, 'A');
  loadTestSequences(letters.c_str(), letters.c_str());
  box(0, 10, 0, 10);
  Hit *b = box(20, 30, 20, 30);
  rebuild();
  JournalAction(kNew);
  b->flags |= kHitSelShort;
  gCurrent->selectedHit = nullptr;
  DeleteMarked(2);
  JournalAction(89);
  UndoStep();
  EXPECT_EQ(starts(), (Starts{0, 20}));
  EXPECT_EQ(readWholeFile(journalFootFileName()), "/20..30 20..30\n:(0,0):10\n");

  std::string out = dir + "/kept.ftn_align";
  ASSERT_TRUE(SaveFootnotes(out.c_str()));
  std::string text = readWholeFile(out);
  EXPECT_EQ(text.rfind("Footnotes\n\n", 0), 0u);
  EXPECT_NE(text.find("Score: 10, Matches: 10, Mismatches: 0"), std::string::npos) << text;
  EXPECT_NE(text.find("1st: 21 .. 30 (10)"), std::string::npos) << text;

  // A new session starts with no footnotes; Greedy's loser is the only one.
  clearTestHits();
  box(0, 10, 0, 10, 300);
  box(5, 15, 20, 30, 100);
  rebuild();
  JournalAction(kNew);
  gCurrent->flagsB |= kOptToFootnotes;
  GreedyResolve();
  EXPECT_EQ(starts(), (Starts{0}));
  EXPECT_EQ(readWholeFile(journalFootFileName()), "/5..15 20..30\n:(0,0):10\n");
}

TEST_F(JournalSession, FilesArePrivateTakenExclusivelyAndRemovedAtShutdown) {
  // A link planted under the first name must not be followed.
  std::string victim = dir + "/victim";
  { std::ofstream(victim) << "keep"; }
  ASSERT_EQ(symlink(victim.c_str(), (dir + "/VelkUndo.!0").c_str()), 0);
  setenv("TMPDIR", (dir + "//").c_str(), 1); // doubled and trailing separators
  resetTempDirectory();
  JournalAction(kNew);
  EXPECT_EQ(std::string(journalUndoFileName()), dir + "/VelkUndo.!1");
  EXPECT_EQ(std::string(journalFootFileName()), dir + "/VelkFoot.!0");
  EXPECT_EQ(readWholeFile(victim), "keep");
  struct stat st;
  ASSERT_EQ(stat(journalUndoFileName(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_TRUE(port.titles.empty());
  journalShutdown();
  EXPECT_EQ(listing(dir), "VelkUndo.!0\nvictim\n");
}

TEST_F(JournalSession, UnusableTemporaryFolderKeepsHitsAndTheExitQuestion) {
  setenv("TMPDIR", (dir + "/missing").c_str(), 1);
  resetTempDirectory();
  box(0, 10, 0, 10);
  Hit *b = box(20, 30, 20, 30);
  rebuild();
  JournalAction(kNew);
  ASSERT_EQ(count("Error"), 2);
  EXPECT_EQ(port.texts[0],
            "Cannot open file for undo.\n   Filename: " + dir + "/missing/VelkUndo.!0\n");
  EXPECT_EQ(port.texts[1],
            "Cannot open file for footnotes.\n   Filename: " + dir + "/missing/VelkFoot.!0\n");
  EXPECT_FALSE(journalHasUnsavedChanges());

  b->flags |= kHitSelShort;
  DeleteMarked(2); // cannot move into footnotes: the hit stays
  JournalAction(89);
  EXPECT_EQ(starts(), (Starts{0, 20}));
  EXPECT_EQ(count("Error"), 3);

  DeleteMarked(1);
  JournalAction(88);
  UndoStep();
  EXPECT_EQ(starts(), (Starts{0}));
  EXPECT_TRUE(journalHasUnsavedChanges()) << "the change must not be lost silently";
}

TEST_F(JournalSession, FullDiskDisablesUndoOnceAndKeepsHits) {
  for (int i = 0; i < 40; ++i)
    box(i * 5, i * 5 + 4, i * 5, i * 5 + 4);
  rebuild();
  JournalAction(kNew);
  ASSERT_TRUE(port.titles.empty());
  auto before = keptHits();

  // Files may not grow: every further record fails.
  struct rlimit old, small;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  small = old;
  small.rlim_cur = 10; // below both the journal's end and one footnote
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  JournalAction(kTrim);
  JournalAction(kTrim);
  Hit *h = gHitHead1->next1;
  h->flags |= kHitSelShort;
  DeleteMarked(2);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  ASSERT_EQ(count("Caution"), 1);
  EXPECT_EQ(port.texts[0], "Not enough space for undo information.\n\"Undo\" and \"Redo\" options "
                           "will be not available.\n");
  ASSERT_EQ(count("Error"), 1);
  EXPECT_EQ(port.texts[1], std::string("Cannot write file for footnotes.\n   Filename: ") +
                               journalFootFileName() + "\n");
  h->flags &= ~kHitSelShort;
  EXPECT_EQ(keptHits(), before);
  UndoStep();
  EXPECT_EQ(keptHits(), before);
  EXPECT_TRUE(journalHasUnsavedChanges());

  JournalAction(kTrim);
  EXPECT_EQ(count("Caution"), 1) << "the journal stays off for the run";
}

// Without a user (batch), the lost journal is an error naming the folder.
TEST_F(JournalSession, FullDiskWithoutAUserIsAnError) {
  box(0, 10, 0, 10);
  rebuild();
  JournalAction(kNew);
  setUi(nullptr);
  const int errorsBefore = headlessUi().errors();
  struct rlimit old, small;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  small = old;
  small.rlim_cur = 10;
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  JournalAction(kTrim);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(headlessUi().errors(), errorsBefore + 1);
  EXPECT_TRUE(journalDisabled());
  EXPECT_TRUE(port.titles.empty());
}

// The filter is no hit: Undo and Redo leave its marks, interspersed
// repeats included, as they are.
TEST_F(JournalSession, FilterOutlivesUndoAndRedo) {
  std::string seq = randomBases(30000, 5);
  const std::string element = randomBases(200, 6);
  for (int i = 0; i < 30; ++i) // exact copies: frequent words throughout
    seq.replace(size_t(500 + 900 * i), element.size(), element);
  loadTestSequences(seq.c_str(), seq.substr(0, 4000).c_str());
  box(0, 10, 0, 10);
  rebuild();
  JournalAction(kNew);
  gCurrent->flagsB |= kOptFilterInterspersed;
  ApplyFilter(0, kFilterCreate);
  ApplyFilter(1, kFilterCreate);
  auto marks = [] {
    std::string m;
    for (int s = 0; s < 2; ++s)
      for (int32_t i = 0; i < sequenceOf(s)->length; ++i)
        m += (sequenceOf(s)->residues[i] & kResFilter) ? '1' : '0';
    return m;
  };
  const std::string filtered = marks();
  ASSERT_NE(filtered.find('1'), std::string::npos);
  box(20, 30, 20, 30);
  rebuild();
  JournalAction(kAlign);
  const auto afterAlign = keptHits();
  UndoStep();
  EXPECT_EQ(marks(), filtered);
  EXPECT_NE(keptHits(), afterAlign);
  RedoStep();
  EXPECT_EQ(marks(), filtered);
  EXPECT_EQ(keptHits(), afterAlign);
  EXPECT_TRUE(gSeq1->flags & kSeqInterspersed);
}
