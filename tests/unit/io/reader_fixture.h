// Fixture for the reader, command-file and sequence-reader tests: a quiet
// headless port, fresh session memory, a scratch folder, and command hooks
// that record what they were asked to do.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/records.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/command_actions.h"
#include "io/command_file.h"
#include "io/reader_engine.h"
#include "io/sequence_reader.h"

struct HookLog {
  std::string calls; // the hooks called, in order, separated by blanks
  int newSessionFailures = 0;
  bool stopDuringAlign = false;
  int32_t gapElongationSeen = 12345;
};
inline HookLog gHookLog;
inline void note(const std::string &s) {
  gHookLog.calls += (gHookLog.calls.empty() ? "" : " ") + s;
}

#define VELK_RECORD(hook, name) a.hook = [] { note(name); }
inline void installRecordingHooks() {
  CommandActions &a = gCommandActions;
  VELK_RECORD(bindWindow0, "bind");
  VELK_RECORD(showWindow, "show");
  VELK_RECORD(hideWindow, "hide");
  VELK_RECORD(expand, "expand");
  VELK_RECORD(refine, "refine");
  VELK_RECORD(fill, "fill");
  VELK_RECORD(trim, "trim");
  VELK_RECORD(greedy, "greedy");
  VELK_RECORD(optimal, "optimal");
  VELK_RECORD(kill, "kill");
  VELK_RECORD(deleteSelected, "delete");
  VELK_RECORD(undo, "undo");
  VELK_RECORD(reverse, "reverse");
  VELK_RECORD(scoresChanged, "scores");
  a.newSession = [] {
    note(std::string("new:") + gSeq1->fileName + "," + gSeq2->fileName);
    return gHookLog.newSessionFailures;
  };
  a.openAlignment = [] {
    note(std::string("open:") + gPathBuffer);
    return 0;
  };
  a.save = [](int f) { note("save" + std::to_string(f) + ":" + gPathBuffer); };
  a.align = [] {
    note("align");
    if (gHookLog.stopDuringAlign)
      gActionStatus |= kStatusStop;
  };
  a.merge = [] {
    note("merge");
    gCurrent->reportSecond = 3;
  };
  a.reconcile = [] {
    note("reconcile");
    gHookLog.gapElongationSeen = gCurrent->score.gapElongation;
  };
  a.filter = [](FilterOp op) { note("filter" + std::to_string(int(op))); };
  a.select = [](SelectKind k) { note("select" + std::to_string(int(k))); };
  a.unselect = [](SelectKind k) { note("unselect" + std::to_string(int(k))); };
}
#undef VELK_RECORD

// While it lives, message boxes are kept as "Title: text", one after another.
struct RecordingBoxes : UiPort {
  std::string text;
  RecordingBoxes() { setUi(this); }
  ~RecordingBoxes() override { setUi(nullptr); }
  Answer messageBox(const char *title, const char *body, Buttons, Answer dflt) override {
    text += std::string(title) + ": " + body;
    return dflt;
  }
  void setInfoLine(const char *) override {}
  void progress(int) override {}
  void requestRepaint() override {}
};

class ReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    headlessUi().quiet = true;
    ASSERT_TRUE(initSessionMemory());
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    gLastError = 0;
    gActionStatus = 0;
    gReader.passFlags = 0;
    gHookLog = HookLog();
    installRecordingHooks();
    const char *tmp = getenv("TMPDIR");
    dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk_reader_XXXXXX";
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
  }
  void TearDown() override {
    gCommandActions = CommandActions();
    releaseSessionMemory();
    (void)!system(("rm -rf '" + dir + "'").c_str());
  }

  std::string writeFile(const std::string &text, const char *name = "run.cmd") {
    std::string p = dir + "/" + name;
    FILE *f = fopen(p.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return p;
  }
  // Runs `text` as a command file; the path stays valid for messages.
  uint32_t run(const std::string &text) {
    path = writeFile(text);
    gHookLog.calls.clear();
    return runCommandFile(path.c_str());
  }
  static void setName(Sequence *s, const std::string &p) {
    snprintf(s->fileName, sizeof s->fileName, "%s", p.c_str());
    snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", p.c_str());
  }
  // Reads `text` into sequence 1; the result of the read.
  int load(const std::string &text) {
    setName(gSeq1, path = writeFile(text, "seq.txt"));
    gLastError = 0;
    return readSequence(gSeq1);
  }
  static std::string letters(const Sequence *s) {
    std::string out;
    for (int i = 0; i < s->length; ++i)
      out.push_back(residueLetter(s->residues[i]));
    return out;
  }
  static std::string message() { return messageBuffer(); }
  static int result(uint32_t status) { return static_cast<int>(status & kRunResultMask); }

  std::string dir;
  std::string path;
};

inline std::string dataFile(const char *relative) {
  return std::string(VELK_TEST_DATA) + "/" + relative;
}
