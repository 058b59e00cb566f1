#include "core/session_hooks.h"

#include <cstring>

#include "core/flags.h"
#include "core/records.h"
#include "core/ui_port.h"

void rebuildLayoutCells(WindowRecord *w) { memset(w->layout, 0, sizeof w->layout); }

void refreshWindow(WindowRecord *w) {
  w->flagsA |= kWinRecount | kWinRepaint;
  ui()->requestRepaint();
}
