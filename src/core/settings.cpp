#include "core/settings.h"

#include <cstdio>

#include "core/session.h"

void applySettings(const Settings &s) {
  // A name longer than the buffer is cut, never overrun.
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", s.workingDirectory ? s.workingDirectory : "");
  int flanks = s.flanksLength;
  if (flanks < 0)
    flanks = 0;
  if (flanks > INT16_MAX)
    flanks = INT16_MAX;
  gFlanksSetting = int16_t(flanks);
  // 3 is a legal stored value (replaced by 1 when an alignment is opened);
  // 4 and 5 are the PAF and MAF patterns that follow it.
  gSaveFilter = s.saveFilter >= 0 && s.saveFilter <= 5 ? s.saveFilter : kDefaultSaveFilter;
  gDirFilter = s.dirFilter >= 0 ? s.dirFilter : kDefaultDirFilter;
}

Settings settingsToSave() {
  Settings s;
  s.workingDirectory = gPathBuffer;
  s.flanksLength = gCurrent->flanksLength;
  s.saveFilter = gSaveFilter;
  s.dirFilter = gDirFilter;
  return s;
}
