// The information line: what the last action did, then the window's totals.
#pragma once
#include <cstdint>

#include "core/report_kinds.h"

struct WindowRecord;

// Width used when no layout has set the window's infoWidth (headless).
constexpr int32_t kDefaultInfoWidth = 80;

// Left part of the line for a window (no padding, no totals). With
// `percent` >= 0 the progress form with `progressText` is written.
void reportActionText(const WindowRecord *w, char *out, int size, const char *progressText,
                      int percent);

// The information line of the current window, `infoWidth` characters:
// the action text on the left, "Total: ... Conflicting: ..." ending at the
// last column. Recounts the window first when its hit list changed. The
// text stays valid until the next call.
const char *ReportLine();
// The same, made wider where the text would be cut (printed in batch mode,
// where no window limits it).
const char *ReportLineWhole();
// The same during an action, with the percentage done.
const char *ReportLineProgress(const char *progressText, int percent);
