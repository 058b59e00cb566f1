// Progress of a running engine action. Everything runs on the user
// interface thread; the engine's inner loops look at the half-second ticker
// and, when it has moved, call the pump, which redraws the information line
// and lets pending events (paint, Esc, the stop question) run.
#pragma once
#include <cstdint>

#include "core/ticker.h"

// Area counters of the running action, in dot-matrix cells.
struct ProgressCounters {
  int64_t areaDone;  // regions finished
  int64_t scanned;   // positions scanned in the current region
  int64_t areaTotal; // total area to do
};
extern ProgressCounters gProgress;

void resetProgress();

// The ticker has moved since the pump last ran.
inline bool progressDue() { return gTicker.ticks() != 0; }

// The canvas for intermediate products. Open while a region loop or Expand
// runs; the pump does nothing while it is closed. Nested opens are counted.
void openActionCanvas();
void closeActionCanvas();
bool actionCanvasOpen();

// Percentage done, (areaDone + scanned) * 100 / areaTotal, after the total
// has been raised to cover what is done.
int progressPercent();

// Shows the percentage on the information line and dispatches pending
// events; `kind` is the report kind of the running action, 0 for the
// window's own. While the action is held paused (and not stopped) it keeps
// dispatching.
void progressPump(int kind);

// The information line the pump shows, from the layer that owns the report
// line; without one the pump shows no text.
using ProgressLineFn = const char *(*)(const char *progressText, int percent);
void setProgressLine(ProgressLineFn fn);

// For inner loops: pump when the ticker has moved.
inline void progressPoll() {
  if (progressDue())
    progressPump(0);
}
