#include "session/report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/conflicts.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/session.h"
#include "ops/journal.h"

namespace {
enum class Form { Empty, Long, Short, Journal, Saved, NotSaved, Plain };

struct KindText {
  Form form;
  const char *action, *first, *second;
};

KindText kindText(int32_t kind) {
  switch (kind) {
  case kReportAlign:
    return {Form::Long, "Align", "Viewed", "Added"};
  case kReportExpand:
    return {Form::Long, "Expand", "Viewed", "Added"};
  case kReportFill:
    return {Form::Short, "Fill", nullptr, "Added"};
  case kReportTrim:
    return {Form::Long, "Trim", "Tried", "Trimmed"};
  case kReportDelete:
    return {Form::Short, "Delete", nullptr, "Deleted"};
  case kReportUndo:
    return {Form::Journal, "Undo", nullptr, nullptr};
  case kReportRedo:
    return {Form::Journal, "Redo", nullptr, nullptr};
  case kReportRefine:
    return {Form::Long, "Refine", "Tried", "Refined"};
  case kReportCompound:
    return {Form::Long, "Compound", "Viewed", "Changed"};
  case kReportReconcile:
    return {Form::Long, "Reconcile", "Tried", "Reconciled"};
  case kReportMerge:
    return {Form::Long, "Merge", "Tried", "Merged"};
  case kReportGreedy:
    return {Form::Short, "Greedy", nullptr, "Deleted"};
  case kReportOptimal:
    return {Form::Short, "Optimal", nullptr, "Deleted"};
  case kReportKill:
    return {Form::Short, "Kill", nullptr, "Deleted"};
  case kReportSave:
    return {Form::Saved, nullptr, nullptr, nullptr};
  case kReportSaveFailed:
    return {Form::NotSaved, nullptr, nullptr, nullptr};
  case kReportReverse:
    return {Form::Plain, "Reverse", nullptr, nullptr};
  default:
    return {Form::Empty, nullptr, nullptr, nullptr};
  }
}

char gLine[1024];

} // namespace

void reportActionText(const WindowRecord *w, char *out, int size, const char *progressText,
                      int percent) {
  KindText t = kindText(w->reportKind);
  int first = abs(w->reportFirst), second = abs(w->reportSecond);
  bool progress = percent >= 0;
  if (!progressText)
    progressText = "";
  switch (t.form) {
  case Form::Empty:
    out[0] = 0;
    break;
  case Form::Saved:
    snprintf(out, size, " Saved");
    break;
  case Form::NotSaved:
    snprintf(out, size, " Not saved");
    break;
  case Form::Long: {
    int n = snprintf(out, size, " Action: %s    %s: %d    %s: %d", t.action, t.first, first,
                     t.second, second);
    if (w->reportKind == kReportAlign && w->reportRepeats > 0 && n >= 0 && n < size)
      n += snprintf(out + n, size - n, "    Repeats: %d", w->reportRepeats);
    if (w->reportKind == kReportAlign && w->reportPiled > 0 && n >= 0 && n < size)
      n += snprintf(out + n, size - n, "    Piled on repeats: %d, mask interspersed repeats",
                    w->reportPiled);
    if (progress && n >= 0 && n < size)
      snprintf(out + n, size - n, "     %s (%d)%%", progressText, percent);
    break;
  }
  case Form::Plain:
    snprintf(out, size, " Action: %s", t.action);
    break;
  case Form::Short:
    if (progress)
      snprintf(out, size, " Action: %s    %s: %d    %s (%d)%%", t.action, t.second, second,
               progressText, percent);
    else
      snprintf(out, size, " Action: %s    %s: %d", t.action, t.second, second);
    break;
  case Form::Journal: {
    const char *position = JournalPositionText(first);
    if (progress)
      snprintf(out, size, " %s: %s     %s (%d)%%", t.action, position, progressText, percent);
    else
      snprintf(out, size, " %s: %s", t.action, position);
    break;
  }
  }
}

// `whole`: no part of the text is cut, the line grows instead.
static const char *buildLine(const char *progressText, int percent, bool whole = false) {
  WindowRecord *w = gCurrent;
  int width = w->infoWidth > 0 ? w->infoWidth : kDefaultInfoWidth;
  if (width > int(sizeof gLine) - 1)
    width = int(sizeof gLine) - 1;
  reportActionText(w, gLine, sizeof gLine, progressText, percent);
  size_t left = strlen(gLine);
  if (w->flagsA & kWinRecount)
    CountWindowHits();
  char totals[96];
  int n = snprintf(totals, sizeof totals, "Total: %d   Conflicting: %d ", w->hitCount,
                   w->conflictCount);
  // The other strand's count only when it has hits: lines stay as they were.
  if (w->reverseCount > 0)
    n += snprintf(totals + n, sizeof totals - n, "  Reverse: %d ", w->reverseCount);
  // The repeat count is rare and must not be cut off by the totals, nor
  // the other strand's count by the action.
  if ((whole || w->reportRepeats > 0 || w->reportPiled > 0 || w->reverseCount > 0) &&
      int(left) + 1 + n > width)
    width = std::min(int(left) + 1 + n, int(sizeof gLine) - 1);
  if (left < size_t(width)) {
    memset(gLine + left, ' ', width - left);
  }
  if (n > width / 2 && w->reverseCount == 0 && !whole)
    n = width / 2;
  n = std::min(n, width);
  memcpy(gLine + width - n, totals, n);
  gLine[width] = 0;
  return gLine;
}

const char *ReportLine() { return buildLine(nullptr, -1); }

const char *ReportLineWhole() { return buildLine(nullptr, -1, true); }

const char *ReportLineProgress(const char *progressText, int percent) {
  return buildLine(progressText, percent);
}
