// The exit question: asked only with unsaved changes; Cancel keeps the
// session and its temporary files, Yes saves through the root window first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/lifecycle.h"
#include "core/session.h"
#include "core/tempfiles.h"
#include "core/ui_port.h"
#include "hit_builders.h"
#include "ops/journal.h"
#include "seq_builders.h"

namespace {
struct ScriptedUi : HeadlessUi {
  Answer answer = kAnswerNo;
  std::vector<std::string> asked;
  std::vector<int> sent;
  Answer messageBox(const char *title, const char *text, Buttons, Answer) override {
    asked.push_back(std::string(title) + ": " + text);
    return answer;
  }
  void sendToRootWindow(int id) override { sent.push_back(id); }
};

struct ExitQuestionTest : ::testing::Test {
  ScriptedUi port;
  std::string dir;
  void SetUp() override {
    char pattern[] = "/tmp/velk_exitq_XXXXXX";
    dir = mkdtemp(pattern);
    setenv("TMPDIR", dir.c_str(), 1);
    resetTempDirectory();
    setUi(&port);
    loadTestSequences("ACGTACGTACGTACGTACGT", "ACGTACGTACGTACGTACGT");
    gCurrent = &gSlots[0];
  }
  void TearDown() override {
    journalShutdown();
    setUi(nullptr);
    clearHits();
    rmdir(dir.c_str());
    unsetenv("TMPDIR");
    resetTempDirectory();
  }
  // New, then an Align that left a hit: a change not saved yet.
  void sessionWithChange() {
    JournalAction(65);
    makeTestHit(2, 10, 2, 10);
    rebuildLists(0, 0);
    JournalAction(73);
    ASSERT_TRUE(journalHasUnsavedChanges());
  }
  bool fileExists(const char *name) { return name[0] && access(name, F_OK) == 0; }
};
} // namespace

TEST_F(ExitQuestionTest, NoQuestionWithoutChanges) {
  JournalAction(65); // New alone is nothing to save
  std::string undo = journalUndoFileName();
  EXPECT_TRUE(exitQuestion());
  EXPECT_TRUE(port.asked.empty());
  EXPECT_FALSE(fileExists(undo.c_str()));
}

TEST_F(ExitQuestionTest, CancelKeepsTheSessionNoAndYesEndIt) {
  sessionWithChange();
  std::string undo = journalUndoFileName(), foot = journalFootFileName();
  ASSERT_TRUE(fileExists(undo.c_str()));

  port.answer = kAnswerCancel;
  EXPECT_FALSE(exitQuestion());
  EXPECT_EQ(port.asked, std::vector<std::string>{"Exit: Do you want to save changes?"});
  EXPECT_TRUE(fileExists(undo.c_str()));
  EXPECT_TRUE(port.sent.empty());

  port.answer = kAnswerYes;
  EXPECT_TRUE(exitQuestion());
  EXPECT_EQ(port.sent, std::vector<int>{kSaveCommand});
  EXPECT_FALSE(fileExists(undo.c_str()));
  EXPECT_FALSE(fileExists(foot.c_str()));
  EXPECT_FALSE(journalActive());

  sessionWithChange();
  port.answer = kAnswerNo;
  port.sent.clear();
  EXPECT_TRUE(exitQuestion());
  EXPECT_TRUE(port.sent.empty());
  EXPECT_FALSE(fileExists(journalUndoFileName()));
}
