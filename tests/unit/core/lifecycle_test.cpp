// Window slots, selections kept across rebuilds, requested intervals, the
// save-and-restore stack and the settings values.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/new_session.h"
#include "core/session.h"
#include "core/settings.h"
#include "core/ui_port.h"
#include "hit_builders.h"
#include "seq_builders.h"

namespace {
// Stand-ins for window objects: only their addresses matter to the core.
VelkWindow *fakeWindow(int i) { return reinterpret_cast<VelkWindow *>(0x1000 + 0x100 * i); }

struct RecordingUi : HeadlessUi {
  std::vector<VelkWindow *> hidden;
  void hideWindow(VelkWindow *w) override { hidden.push_back(w); }
};

struct LifecycleTest : ::testing::Test {
  RecordingUi port;
  void SetUp() override {
    port.quiet = true;
    setUi(&port);
    for (WindowRecord &w : gSlots)
      w = WindowRecord();
    gCurrent = &gSlots[0];
    gFlanksSetting = 0;
  }
  void TearDown() override {
    setUi(nullptr);
    for (WindowRecord &w : gSlots)
      w.window = nullptr;
  }
};
} // namespace

TEST_F(LifecycleTest, SelectSlotTakesFirstFreeAndRefusesTheEleventh) {
  for (int i = 0; i < kSlotCount; ++i) {
    ASSERT_TRUE(selectSlot(nullptr, false)) << "slot " << i;
    EXPECT_EQ(gCurrent, &gSlots[i]);
    gCurrent->window = fakeWindow(i);
  }
  gCurrent = &gSlots[4];
  gSlots[4].pValue = 0.5;
  EXPECT_FALSE(selectSlot(nullptr, false));
  EXPECT_EQ(gCurrent, &gSlots[4]);
  EXPECT_EQ(gSlots[4].pValue, 0.5);

  // A freed slot is found again, and gets the defaults unless kept.
  gSlots[7].window = nullptr;
  gSlots[7].flagsA = 0xffffffffu;
  gSlots[7].score.match = 7;
  gFlanksSetting = 25;
  ASSERT_TRUE(selectSlot(nullptr, false));
  EXPECT_EQ(gCurrent, &gSlots[7]);
  EXPECT_EQ(gSlots[7].flagsA, kWinKeptOnReset);
  EXPECT_EQ(gSlots[7].flagsB, kOptDefaults);
  EXPECT_EQ(gSlots[7].score.match, 100);
  EXPECT_EQ(gSlots[7].flanksLength, 25);
  gSlots[7].score.match = 7;
  ASSERT_TRUE(selectSlot(&gSlots[7], true));
  EXPECT_EQ(gSlots[7].score.match, 7);
}

TEST_F(LifecycleTest, CloseOtherWindowsHidesAllButTheCurrent) {
  for (int i : {0, 2, 5})
    gSlots[i].window = fakeWindow(i);
  gSlots[2].pValue = 0.25;
  gCurrent = &gSlots[2];
  closeOtherWindows(true);
  EXPECT_EQ(port.hidden, (std::vector<VelkWindow *>{fakeWindow(0), fakeWindow(5)}));
  EXPECT_EQ(gSlots[0].window, nullptr);
  EXPECT_EQ(gSlots[5].window, nullptr);
  EXPECT_EQ(gSlots[2].window, fakeWindow(2));
  EXPECT_EQ(gCurrent, &gSlots[2]);
  EXPECT_EQ(gSlots[2].pValue, 0.25); // parameters kept

  // At start-up nothing is open: slot 0 becomes current with defaults.
  gSlots[2].window = nullptr;
  gCurrent = &gSlots[0];
  gSlots[0].pValue = 3;
  closeOtherWindows(false);
  EXPECT_EQ(gCurrent, &gSlots[0]);
  EXPECT_EQ(gSlots[0].pValue, 1e-8);
}

TEST_F(LifecycleTest, SelectionsSurviveARebuild) {
  loadTestSequences("ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC",
                    "ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC");
  for (int i : {0, 3}) {
    gSlots[i].window = fakeWindow(i);
    gSlots[i].region[1] = gSlots[i].region[3] = 50;
  }
  Hit *a = makeTestHit(2, 8, 2, 8);
  Hit *b = makeTestHit(20, 28, 20, 28);
  makeTestHit(40, 45, 40, 45);
  rebuildLists(0, 0);
  gSlots[0].selectedHit = b;
  gSlots[3].selectedHit = a;
  gCurrent = &gSlots[3];
  rememberSelections();
  EXPECT_EQ(gSlots[0].rememberedPoint[0], 20);
  EXPECT_EQ(gSlots[3].rememberedPoint[1], 2);

  // The rebuild replaces b by a hit that starts one position later.
  unlinkHit(b);
  freeHit(b);
  Hit *b2 = makeTestHit(21, 28, 21, 28);
  rebuildLists(0, 0);
  restoreSelections();
  EXPECT_EQ(gSlots[0].selectedHit, b2);
  EXPECT_EQ(gSlots[3].selectedHit, a);
  EXPECT_EQ(gCurrent, &gSlots[3]);
  clearHits();
}

TEST_F(LifecycleTest, RequestedIntervalsWithAnInvertedSequence) {
  loadTestSequences("ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC",              // 50
                    "ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTAC"); // 62
  invertTestSequence(1);
  Hit *h = makeTestHit(12, 20, 35, 43);
  makeTestHit(30, 40, 2, 12);
  rebuildLists(0, 0);
  gSlots[0].selectedHit = nullptr;
  gSlots[0].flagsA = 0;
  // Sequence 2 given backwards; 0 keeps the loaded end of sequence 1.
  gRequested[0] = 11;
  gRequested[1] = 0;
  gRequested[2] = 30;
  gRequested[3] = 21;
  setWindowToRequestedIntervals();
  const WindowRecord &w = gSlots[0];
  EXPECT_EQ(std::vector<int32_t>(w.block, w.block + 4), (std::vector<int32_t>{11, 50, 21, 30}));
  // Sequence 1 plain: [from - 1, to); sequence 2 mirrored: [62 - 30, 62 - 21 + 1).
  EXPECT_EQ(std::vector<int32_t>(w.region, w.region + 4), (std::vector<int32_t>{10, 50, 32, 42}));
  EXPECT_EQ(w.flagsA, 0x1fu | kWinSessionPresent);
  // Nothing was selected: the hit nearest to the region's origin (10, 32).
  EXPECT_EQ(w.selectedHit, h);

  // Bounds past the sequence are held to it.
  gRequested[0] = 0;
  gRequested[1] = 900;
  gRequested[2] = -4;
  gRequested[3] = 0;
  setWindowToRequestedIntervals();
  EXPECT_EQ(std::vector<int32_t>(w.block, w.block + 4), (std::vector<int32_t>{1, 50, 1, 62}));
  EXPECT_EQ(std::vector<int32_t>(w.region, w.region + 4), (std::vector<int32_t>{0, 50, 0, 62}));
  for (int32_t &r : gRequested)
    r = 0;
  clearHits();
}

TEST(SaveStack, DropsPastSixteenAndPopsZeroWhenEmpty) {
  while (saveStackDepth())
    saveStackPop();
  EXPECT_EQ(saveStackPop(), 0);
  for (int i = 1; i <= kSaveStackSize + 3; ++i)
    saveStackPush(i * 10);
  EXPECT_EQ(saveStackDepth(), kSaveStackSize);
  EXPECT_EQ(saveStackPop(), kSaveStackSize * 10); // the extra three were dropped
  saveStackPush(-7);
  EXPECT_EQ(saveStackPop(), -7);
  for (int i = kSaveStackSize - 1; i >= 1; --i)
    EXPECT_EQ(saveStackPop(), i * 10);
  EXPECT_EQ(saveStackDepth(), 0);
  EXPECT_EQ(saveStackPop(), 0);
  EXPECT_EQ(saveStackDepth(), 0);
}

TEST(Settings, ValuesFromTheRegistryAreHeldToTheirRange) {
  std::string longPath(400, 'd');
  Settings s;
  s.workingDirectory = longPath.c_str();
  s.flanksLength = 70000;
  s.saveFilter = 9;
  s.dirFilter = -2;
  applySettings(s);
  EXPECT_EQ(std::string(gPathBuffer), longPath.substr(0, sizeof gPathBuffer - 1));
  EXPECT_EQ(gFlanksSetting, INT16_MAX);
  EXPECT_EQ(gSaveFilter, kDefaultSaveFilter);
  EXPECT_EQ(gDirFilter, 0);

  s.workingDirectory = "/data/run";
  s.flanksLength = 12;
  s.saveFilter = 3;
  s.dirFilter = 2;
  applySettings(s);
  EXPECT_EQ(gFlanksSetting, 12);
  EXPECT_EQ(gSaveFilter, 3);
  // Written back: the current window's flanks length, not the start-up copy.
  gCurrent = &gSlots[0];
  gSlots[0].flanksLength = 40;
  Settings out = settingsToSave();
  EXPECT_STREQ(out.workingDirectory, "/data/run");
  EXPECT_EQ(out.flanksLength, 40);
  EXPECT_EQ(out.saveFilter, 3);
  EXPECT_EQ(out.dirFilter, 2);
}

TEST_F(LifecycleTest, NewSessionCountsFailedReadsAndSetsNothingUp) {
  loadTestSequences("ACGT", "ACGT");
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "/nonexistent/velk/one.fa");
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "/nonexistent/velk/two.fa");
  gSlots[0].window = fakeWindow(0);
  gSlots[6].window = fakeWindow(6);
  gCurrent = &gSlots[0];
  gSlots[0].flagsA = 0;
  gActionStatus = kStatusStop;
  // Each sequence and each repeat list counts once.
  EXPECT_EQ(newSession(), 4);
  EXPECT_EQ(gSeq1->length, 0);
  EXPECT_EQ(gSeq2->length, 0);
  EXPECT_STREQ(gSeq2->repeatSourceName, "/nonexistent/velk/two.fa");
  EXPECT_TRUE(gSeq1->flags & kSeqMarkRepeats);
  EXPECT_EQ(gSlots[0].flagsA, kWinSessionPresent);
  EXPECT_EQ(gActionStatus, 0u);
  EXPECT_EQ(gSlots[6].window, fakeWindow(6)); // no session: other windows stay
  EXPECT_TRUE(port.errors() >= 1);
}
