// Shared set-up of the writer tests: a scratch folder, the current window
// with default parameters, and a user interface that records its boxes.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/ui_port.h"
#include "seq_builders.h"

struct RecordingUi : UiPort {
  struct Box {
    std::string title, text;
  };
  std::vector<Box> boxes;
  Answer answer = kAnswerYes; // for questions
  Answer messageBox(const char *title, const char *text, Buttons buttons, Answer) override {
    boxes.push_back({title, text});
    return buttons == Buttons::Ok ? kAnswerOk : answer;
  }
  void setInfoLine(const char *) override {}
  void progress(int) override {}
  void requestRepaint() override {}
};

class WriterTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velkoutXXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir = buf.data();
    setUi(&ui);
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
  }
  void TearDown() override {
    setUi(nullptr);
    clearTestHits();
    std::string cmd = "rm -rf '" + dir + "'";
    if (system(cmd.c_str()) != 0)
      ADD_FAILURE() << "cannot remove " << dir;
  }

  // Loads the two sequences under names in the scratch folder, and sets the
  // window's block and region to the whole of them.
  void load(const char *seq1, const char *seq2) {
    loadTestSequences(seq1, seq2);
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/s1.fa", dir.c_str());
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/s2.fa", dir.c_str());
    wholeWindow();
  }
  void wholeWindow() {
    WindowRecord *w = gCurrent;
    w->block[0] = 1;
    w->block[1] = gSeq1->length;
    w->block[2] = 1;
    w->block[3] = gSeq2->length;
    w->region[0] = 0;
    w->region[1] = gSeq1->length;
    w->region[2] = 0;
    w->region[3] = gSeq2->length;
  }
  std::string setOutput(const char *name) {
    std::string path = dir + "/" + name;
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
    return path;
  }
  static std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static bool exists(const std::string &path) { return std::ifstream(path).good(); }
  // Header of a file with sequences s1.fa and s2.fa next to it.
  static std::string sequenceHeader(int len1, int len2, bool invert2 = false) {
    return "1st seq:\n    File: s1.fa\n    1 .. " + std::to_string(len1) +
           " \n2nd seq:\n    File: s2.fa\n    1 .. " + std::to_string(len2) +
           (invert2 ? " InvertComplement\n" : " \n");
  }
  static std::string parameterHeader(int len1, int len2) {
    return "\nThe last used parameters:\n  Block: 1.." + std::to_string(len1) + ", 1.." +
           std::to_string(len2) +
           ", Flags: 4903FE00\n"
           "  For aligning:    diagonal: 5/8 = 12, max gap: 20, wordsize: 16, p-value: 1e-08\n"
           "  For extending:   diagonal: 5/8 = 12, max gap: 20\n"
           "  For merging:     max distance: 20\n"
           "  Score parameters: match: 100, mismatch: -100, gap open: -300, gap elongation: "
           "-100\n\n";
  }

  std::string dir;
  RecordingUi ui;
};
