// A session with two plain sequences of 400 residues, window 0 current over
// all of them, and hits placed by their boxes.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "hit_builders.h"
#include "ops/journal.h"
#include "seq_builders.h"

using Starts = std::vector<int32_t>;

class RecordingUi : public HeadlessUi {
public:
  Answer messageBox(const char *title, const char *text, Buttons, Answer dflt) override {
    titles.push_back(title);
    texts.push_back(text);
    return answer ? answer : dflt;
  }
  std::vector<std::string> titles, texts;
  Answer answer{};
};

class ConflictSession : public ::testing::Test {
protected:
  static constexpr int32_t kLength = 400;

  void SetUp() override {
    headlessUi().quiet = true;
    std::string letters;
    for (int i = 0; i < kLength; ++i)
      letters.push_back("ACGT"[(i * 7 + i / 5) % 4]);
    loadTestSequences(letters.c_str(), letters.c_str());
    gCurrent = &gSlots[0];
    WindowRecord &w = gSlots[0];
    resetSlotDefaults(&w);
    w.flagsB = w.flagsA = 0;
    const int32_t region[4] = {0, kLength, 0, kLength}, block[4] = {1, kLength, 1, kLength};
    memcpy(w.region, region, sizeof region);
    memcpy(w.block, block, sizeof block);
    w.selectedHit = nullptr;
    w.reportFirst = w.reportSecond = w.reportKind = 0;
    gActionStatus = 0;
  }
  void TearDown() override {
    clearTestHits();
    journalShutdown();
    gActionStatus = 0;
  }

  // A hit over the box [s1, e1) x [s2, e2) with a given score.
  Hit *box(int32_t s1, int32_t e1, int32_t s2, int32_t e2, int32_t score = 100) {
    Hit *h = makeTestHit(s1, e1, s2, e2);
    h->score = score;
    return h;
  }
  void rebuild() { rebuildLists(0, 0); }

  static bool conflicting(const Hit *h) { return (h->flags & kHitConflict) != 0; }
  static std::vector<Hit *> liveHits() { return mainListOrder(); }
  // Live hits identified by their start1 (tests keep them distinct).
  static Starts starts() {
    Starts s;
    for (const Hit *h : liveHits())
      s.push_back(h->start1);
    return s;
  }
};
