#include "engine/progress.h"

#include <chrono>
#include <thread>

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"

ProgressCounters gProgress = {0, 0, 0};

static int gCanvasDepth = 0;
static ProgressLineFn gProgressLine = nullptr;

void setProgressLine(ProgressLineFn fn) { gProgressLine = fn; }

void resetProgress() { gProgress = {0, 0, 0}; }

void openActionCanvas() {
  if (gCanvasDepth++ == 0)
    ui()->openActionSurface();
}

void closeActionCanvas() {
  if (gCanvasDepth > 0 && --gCanvasDepth == 0)
    ui()->closeActionSurface();
}

bool actionCanvasOpen() { return gCanvasDepth > 0; }

int progressPercent() {
  int64_t done = gProgress.areaDone + gProgress.scanned;
  if (gProgress.areaTotal < done)
    gProgress.areaTotal = done;
  if (gProgress.areaTotal <= 0)
    gProgress.areaTotal = 1;
  return int(done * 100 / gProgress.areaTotal);
}

void progressPump(int kind) {
  if (!actionCanvasOpen()) {
    gTicker.reset();
    return;
  }
  int percent = progressPercent();
  do {
    if (!(gActionStatus & kStatusPaused)) {
      // The surface must not be held while the line is redrawn.
      ui()->closeActionSurface();
      gCurrent->flagsA |= kWinRepaint;
      int32_t saved = gCurrent->reportKind;
      if (kind > 0)
        gCurrent->reportKind = kind;
      if (gProgressLine)
        ui()->setInfoLine(gProgressLine("", percent));
      gCurrent->reportKind = saved;
      ui()->openActionSurface();
    }
    // Esc, paint and the stop question run in here.
    ui()->progress(percent);
    gTicker.reset();
    if ((gActionStatus & kStatusPaused) && !(gActionStatus & kStatusStop))
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while ((gActionStatus & kStatusPaused) && !(gActionStatus & kStatusStop));
}
