// The information line: what the last action did, then the window's totals.
#pragma once
#include <cstdint>

struct WindowRecord;

// Kinds of the last action (WindowRecord::reportKind).
constexpr int32_t kReportNone = 0;
constexpr int32_t kReportAlign = 1;
constexpr int32_t kReportExpand = 2;
constexpr int32_t kReportFill = 3;
constexpr int32_t kReportTrim = 4;
constexpr int32_t kReportDelete = 5;
constexpr int32_t kReportUndo = 6;
constexpr int32_t kReportRedo = 7;
constexpr int32_t kReportRefine = 8;
constexpr int32_t kReportCompound = 9;
constexpr int32_t kReportReconcile = 10;
constexpr int32_t kReportMerge = 11;
constexpr int32_t kReportGreedy = 15;
constexpr int32_t kReportOptimal = 16;
constexpr int32_t kReportKill = 17;
constexpr int32_t kReportSave = 18;

// Width used when no layout has set the window's infoWidth (headless).
constexpr int32_t kDefaultInfoWidth = 80;

// Both counters to 0 and the kind of the action about to run.
void startReport(WindowRecord *w, int32_t kind);

// Left part of the line for a window (no padding, no totals). With
// `percent` >= 0 the progress form with `progressText` is written.
void reportActionText(const WindowRecord *w, char *out, int size, const char *progressText,
                      int percent);

// The information line of the current window, `infoWidth` characters:
// the action text on the left, "Total: ... Conflicting: ..." ending at the
// last column. Recounts the window first when its hit list changed. The
// text stays valid until the next call.
const char *ReportLine();
// The same during an action, with the percentage done.
const char *ReportLineProgress(const char *progressText, int percent);
