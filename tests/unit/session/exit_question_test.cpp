// The exit question: asked only with unsaved changes; Cancel keeps the
// session and its temporary files, Yes saves through the root window first
// and ends only when that Save wrote the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/tempfiles.h"
#include "core/ui_port.h"
#include "hit_builders.h"
#include "ops/journal.h"
#include "seq_builders.h"
#include "session/exit_question.h"

namespace {
struct ScriptedUi : HeadlessUi {
  Answer answer = kAnswerNo;
  std::vector<std::string> asked;
  std::vector<int> sent;
  bool saves = true; // the Save the root window runs writes the file
  Answer messageBox(const char *title, const char *text, Buttons, Answer) override {
    asked.push_back(std::string(title) + ": " + text);
    return answer;
  }
  void sendToRootWindow(int id) override {
    sent.push_back(id);
    if (saves)
      MarkSaved();
  }
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
    loadTestSequences("ACGTACGTACGT", "ACGTACGTACGT");
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
  struct Case {
    Answer answer;
    bool saves, ends;
    std::vector<int> sent;
  } cases[] = {{kAnswerCancel, true, false, {}},
               {kAnswerYes, false, false, {kSaveCommand}}, // Save dialog cancelled
               {kAnswerYes, true, true, {kSaveCommand}},
               {kAnswerNo, true, true, {}}};
  for (const Case &c : cases) {
    JournalAction(65);
    makeTestHit(2, 10, 2, 10);
    rebuildLists(0, 0);
    JournalAction(73); // an Align that left a hit: a change not saved yet
    std::string undo = journalUndoFileName(), foot = journalFootFileName();
    ASSERT_TRUE(fileExists(undo.c_str()));
    port.answer = c.answer;
    port.saves = c.saves;
    port.asked.clear();
    port.sent.clear();
    EXPECT_EQ(exitQuestion(), c.ends) << c.answer;
    EXPECT_EQ(port.asked, std::vector<std::string>{"Exit: Do you want to save changes?"});
    EXPECT_EQ(port.sent, c.sent) << c.answer;
    EXPECT_NE(fileExists(undo.c_str()), c.ends) << c.answer;
    EXPECT_NE(fileExists(foot.c_str()), c.ends) << c.answer;
    EXPECT_NE(journalActive(), c.ends) << c.answer;
  }
}
