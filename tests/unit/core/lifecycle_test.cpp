// Window slots, selections kept across rebuilds, requested intervals and the
// save-and-restore stack.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/flags.h"
#include "core/lifecycle.h"
#include "core/session.h"
#include "core/settings.h"
#include "core/ui_port.h"
#include "hit_builders.h"
#include "seq_builders.h"

namespace {
// Stand-ins for window objects: only their addresses matter to the core.
VelkWindow *fakeWindow(int i) { return reinterpret_cast<VelkWindow *>(0x1000 + 0x100 * i); }

struct LifecycleTest : ::testing::Test {
  HeadlessUi port;
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

  // A freed slot is found again with the defaults, unless asked to keep them.
  gSlots[7].window = nullptr;
  gSlots[7].score.match = 7;
  ASSERT_TRUE(selectSlot(nullptr, false));
  EXPECT_EQ(gCurrent, &gSlots[7]);
  EXPECT_EQ(gSlots[7].score.match, 100);
  gSlots[7].score.match = 7;
  ASSERT_TRUE(selectSlot(&gSlots[7], true));
  EXPECT_EQ(gSlots[7].score.match, 7);
}

TEST_F(LifecycleTest, SelectionsSurviveARebuild) {
  loadTestSequences(std::string(50, 'A').c_str(), std::string(50, 'A').c_str());
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
  auto request = [](std::vector<int32_t> r) {
    std::copy(r.begin(), r.end(), gRequested);
    setWindowToRequestedIntervals();
  };
  request({11, 0, 30, 21});
  const WindowRecord &w = gSlots[0];
  EXPECT_EQ(std::vector<int32_t>(w.block, w.block + 4), (std::vector<int32_t>{11, 50, 21, 30}));
  // Sequence 1 plain: [from - 1, to); sequence 2 mirrored: [62 - 30, 62 - 21 + 1).
  EXPECT_EQ(std::vector<int32_t>(w.region, w.region + 4), (std::vector<int32_t>{10, 50, 32, 42}));
  EXPECT_EQ(w.flagsA, 0x1fu | kWinSessionPresent);
  // Nothing was selected: the hit nearest to the region's origin (10, 32).
  EXPECT_EQ(w.selectedHit, h);

  // Bounds past the sequence are held to it.
  request({0, 900, -4, 0});
  EXPECT_EQ(std::vector<int32_t>(w.block, w.block + 4), (std::vector<int32_t>{1, 50, 1, 62}));
  EXPECT_EQ(std::vector<int32_t>(w.region, w.region + 4), (std::vector<int32_t>{0, 50, 0, 62}));
  std::fill(gRequested, gRequested + 4, 0);
  clearHits();
}

TEST(SaveStack, DropsPastSixteenAndPopsZeroWhenEmpty) {
  while (saveStackDepth())
    saveStackPop();
  EXPECT_EQ(saveStackPop(), 0);
  for (int i = 1; i <= kSaveStackSize + 3; ++i)
    saveStackPush(i * 10);
  EXPECT_EQ(saveStackDepth(), kSaveStackSize);
  for (int i = kSaveStackSize; i >= 1; --i) // the extra three were dropped
    EXPECT_EQ(saveStackPop(), i * 10);
  EXPECT_EQ(saveStackPop(), 0);
  EXPECT_EQ(saveStackDepth(), 0);
}

// Settings as a hand-edited file may hold them: every pattern of the save
// dialog (0 to 5, MAF last) is kept; anything beyond falls back to the default.
TEST(SettingsTest, StoredFiltersAndFlanksAreKeptOrCorrected) {
  Settings s;
  s.saveFilter = 5;
  s.flanksLength = -4;
  applySettings(s);
  EXPECT_EQ(gSaveFilter, 5);
  EXPECT_EQ(gFlanksSetting, 0);
  s.saveFilter = 6;
  s.flanksLength = 1 << 20;
  applySettings(s);
  EXPECT_EQ(gSaveFilter, kDefaultSaveFilter);
  EXPECT_EQ(gFlanksSetting, INT16_MAX);
  applySettings(Settings());
}
