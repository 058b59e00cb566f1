#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/progress.h"
#include "ops/report.h"

namespace {

// Holds the action paused on the first dispatch and stops it on the second,
// as a user pressing pause and then Esc would.
class PausingUi : public UiPort {
public:
  std::vector<int> percents;
  std::string info;
  Answer messageBox(const char *, const char *, Buttons, Answer d) override { return d; }
  void setInfoLine(const char *text) override { info = text; }
  void progress(int percent) override {
    percents.push_back(percent);
    gActionStatus |= percents.size() == 1 ? kStatusPaused : kStatusStop;
  }
  void requestRepaint() override {}
};

TEST(ProgressTest, PumpShowsThePercentageAndAPauseEndsWhenStopped) {
  PausingUi port;
  setUi(&port);
  resetSlotDefaults(gCurrent);
  gCurrent->reportKind = kReportAlign;
  gCurrent->reportFirst = 3;
  gCurrent->reportSecond = 1;
  gActionStatus = kStatusRunning;

  progressPump(0); // no canvas: nothing shown, nothing dispatched
  EXPECT_TRUE(port.percents.empty());

  gProgress = {50, 25, 60}; // the total is raised to what is done
  openActionCanvas();
  progressPump(0);
  closeActionCanvas();
  EXPECT_EQ(port.percents, (std::vector<int>{100, 100}));
  EXPECT_EQ(gProgress.areaTotal, 75);
  EXPECT_EQ(port.info.rfind(" Action: Align    Viewed: 3    Added: 1      (100)%", 0), 0u);
  EXPECT_TRUE(gActionStatus & kStatusStop);

  resetProgress();
  EXPECT_EQ(progressPercent(), 0);
  EXPECT_EQ(gProgress.areaTotal, 1);
  gActionStatus = 0;
  setUi(nullptr);
}

} // namespace
