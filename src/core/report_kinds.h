// Kinds of the last action, which the information line reports.
#pragma once
#include <cstdint>

#include "core/records.h"

// WindowRecord::reportKind.
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
constexpr int32_t kReportSaveFailed = 19; // the file was not written
constexpr int32_t kReportReverse = 20;    // the session turned to the other strand

// Both counters to 0 and the kind of the action about to run.
inline void startReport(WindowRecord *w, int32_t kind) {
  w->reportFirst = 0;
  w->reportSecond = 0;
  w->reportKind = kind;
  w->reportRepeats = 0;
  w->reportPiled = 0;
}
