// Shared set-up of the writer tests: a scratch folder, the current window
// with default parameters, and a user interface that records its boxes.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/session.h"
#include "core/ui_port.h"
#include "seq_builders.h"

using Box = std::pair<std::string, std::string>; // title, text

struct RecordingUi : UiPort {
  std::vector<Box> boxes;
  Answer answer = kAnswerYes; // for questions
  Answer messageBox(const char *title, const char *text, Buttons buttons, Answer) override {
    boxes.emplace_back(title, text);
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
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir = pattern;
    setUi(&ui);
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    // An Open before leaves the window it asked for; a new session here starts whole.
    memset(gRequested, 0, sizeof gRequested);
  }
  void TearDown() override {
    setUi(nullptr);
    clearTestHits();
    if (system(("rm -rf '" + dir + "'").c_str()) != 0)
      ADD_FAILURE() << "cannot remove " << dir;
  }

  // The two sequences, named s1.fa and s2.fa in the scratch folder; the
  // window's block and region cover the whole of them.
  void load(const char *seq1, const char *seq2) {
    loadTestSequences(seq1, seq2);
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/s1.fa", dir.c_str());
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/s2.fa", dir.c_str());
    const int32_t block[4] = {1, gSeq1->length, 1, gSeq2->length};
    const int32_t region[4] = {0, gSeq1->length, 0, gSeq2->length};
    memcpy(gCurrent->block, block, sizeof block);
    memcpy(gCurrent->region, region, sizeof region);
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
  // Header of a file saved after load(), with the default parameters.
  static std::string header(int len1, int len2) {
    const std::string l1 = std::to_string(len1), l2 = std::to_string(len2);
    return "1st seq:\n    File: s1.fa\n    1 .. " + l1 + " \n2nd seq:\n    File: s2.fa\n    1 .. " +
           l2 + " \n\nThe last used parameters:\n  Block: 1.." + l1 + ", 1.." + l2 +
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
