#include "session/alignment_save.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "output/alignment_files.h"

namespace {
// The temporary Fill hits never outlive the write. Only hits that were not
// there before the Fill go: a Fill that stops early leaves the latest
// Align's hits with the same flag. Saving changes no flag either: the Fill
// clears the selection marks.
struct FillUndone {
  Hit *selected;
  std::vector<std::pair<Hit *, uint32_t>> before; // sorted, with the flags
  FillUndone() : selected(gCurrent->selectedHit) {
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (h->firstBlock)
        before.emplace_back(h, h->flags);
    std::sort(before.begin(), before.end());
  }
  bool existedBefore(Hit *h) const {
    auto at = std::lower_bound(before.begin(), before.end(), std::make_pair(h, uint32_t(0)));
    return at != before.end() && at->first == h;
  }
  ~FillUndone() {
    for (Hit *h = gHitHead1, *next; h; h = next) {
      next = h->next1;
      if ((h->flags & kHitInterhit) && !existedBefore(h))
        deleteHit(h);
    }
    for (const auto &[h, flags] : before)
      if (h->flags != kHitFree)
        h->flags = flags;
    if (selected && selected->flags != kHitFree)
      gCurrent->selectedHit = selected;
  }
};
} // namespace

bool SaveGlobalFile(bool windowOnly, GlobalFillFn fill) {
  if (RefuseGlobalForConflicts(windowOnly))
    return false;
  FillUndone undo;
  WindowRecord *w = gCurrent;
  const int32_t keep1 = w->reportFirst, keep2 = w->reportSecond;
  const int filled = (fill ? fill : alignOrFill)(true, true);
  w->reportFirst = keep1;
  w->reportSecond = keep2;
  // Interhits left unaligned for want of memory would pass for gaps.
  return filled != 1 && !outOfMemoryNoted() && WriteGlobalText(windowOnly);
}

bool SaveAlignmentFile(int pattern, bool windowOnly) {
  switch (pattern) {
  case kFormatGlobal:
    return SaveGlobalFile(windowOnly);
  case kFormatLocal:
    return WriteLocalFile(windowOnly);
  case kFormatSummary:
    return WriteSummaryFile(windowOnly);
  case kFormatPaf:
    return WritePafFile(windowOnly);
  case kFormatMaf:
    return WriteMafFile(windowOnly);
  default: {
    char text[kPathBytes + 64];
    snprintf(text, sizeof text, "Unknown file type.\n    File: %s\n", gPathBuffer);
    ui()->messageBox("Error", text, Buttons::Ok, kAnswerOk);
    return false;
  }
  }
}
