#include "core/session_hooks.h"

#include <cstring>

#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"

// Cells back at the template have no size: whatever rebuilt them (a new
// session, a new window) the next paint must lay the window out.
void rebuildLayoutCells(WindowRecord *w) {
  memset(w->layout, 0, sizeof w->layout);
  w->flagsA |= kWinRelayout | kWinRepaint;
}

void refreshWindow(WindowRecord *w) {
  w->flagsA |= kWinRecount | kWinRepaint;
  ui()->requestRepaint();
}
