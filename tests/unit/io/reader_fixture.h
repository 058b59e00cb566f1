// Fixture for reader and command-file tests: a quiet headless port, fresh
// session memory, and command hooks that record what they were asked to do.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/command_actions.h"
#include "io/command_file.h"
#include "io/reader_engine.h"

struct HookLog {
  std::vector<std::string> calls;
  int newSessionFailures = 0;
  int openFailures = 0;
  bool stopDuringAlign = false;
  int32_t gapElongationSeen = 12345;
  std::string joined() const {
    std::string s;
    for (const std::string &c : calls)
      s += (s.empty() ? "" : " ") + c;
    return s;
  }
};
inline HookLog gHookLog;

inline void installRecordingHooks() {
  CommandActions &a = gCommandActions;
  a.bindWindow0 = [] { gHookLog.calls.push_back("bind"); };
  a.showWindow = [] { gHookLog.calls.push_back("show"); };
  a.hideWindow = [] { gHookLog.calls.push_back("hide"); };
  a.newSession = [] {
    gHookLog.calls.push_back(std::string("new:") + gSeq1->fileName + "," + gSeq2->fileName);
    return gHookLog.newSessionFailures;
  };
  a.openAlignment = [] {
    gHookLog.calls.push_back(std::string("open:") + gPathBuffer);
    return gHookLog.openFailures;
  };
  a.save = [](int format) {
    gHookLog.calls.push_back("save" + std::to_string(format) + ":" + gPathBuffer);
  };
  a.align = [] {
    gHookLog.calls.push_back("align");
    if (gHookLog.stopDuringAlign)
      gActionStatus |= kStatusStop;
  };
  a.expand = [] { gHookLog.calls.push_back("expand"); };
  a.merge = [] {
    gHookLog.calls.push_back("merge");
    gCurrent->reportSecond = 3;
  };
  a.refine = [] { gHookLog.calls.push_back("refine"); };
  a.fill = [] { gHookLog.calls.push_back("fill"); };
  a.trim = [] { gHookLog.calls.push_back("trim"); };
  a.reconcile = [] {
    gHookLog.calls.push_back("reconcile");
    gHookLog.gapElongationSeen = gCurrent->score.gapElongation;
  };
  a.greedy = [] { gHookLog.calls.push_back("greedy"); };
  a.optimal = [] { gHookLog.calls.push_back("optimal"); };
  a.kill = [] { gHookLog.calls.push_back("kill"); };
  a.filter = [](FilterOp op) {
    gHookLog.calls.push_back("filter" + std::to_string(static_cast<int>(op)));
  };
  a.select = [](SelectKind k) {
    gHookLog.calls.push_back("select" + std::to_string(static_cast<int>(k)));
  };
  a.unselect = [](SelectKind k) {
    gHookLog.calls.push_back("unselect" + std::to_string(static_cast<int>(k)));
  };
  a.deleteSelected = [] { gHookLog.calls.push_back("delete"); };
  a.undo = [] { gHookLog.calls.push_back("undo"); };
  a.scoresChanged = [] { gHookLog.calls.push_back("scores"); };
}

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
    std::string cmd = "rm -rf '" + dir + "'";
    (void)system(cmd.c_str());
  }

  std::string writeFile(const std::string &text, const char *name = "run.cmd") {
    std::string path = dir + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return path;
  }

  // Runs `text` as a command file; the path stays valid for messages.
  uint32_t run(const std::string &text) {
    path = writeFile(text);
    gHookLog.calls.clear();
    return runCommandFile(path.c_str());
  }

  static std::string message() { return messageBuffer(); }
  static int result(uint32_t status) { return static_cast<int>(status & kRunResultMask); }

  std::string dir;
  std::string path;
};
