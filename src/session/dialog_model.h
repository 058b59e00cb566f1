// What the parameter dialogs show and store, without the toolkit: the
// kinds with their titles and buttons, the initial texts and check marks
// taken from a window, and the store rules of each kind.
#pragma once
#include <cstdint>

struct WindowRecord;

enum DialogKind : int32_t {
  DIALOG_NEW = 0,
  DIALOG_WINDOW_COORDINATES = 1,
  DIALOG_ALIGN = 2,
  DIALOG_EXPAND = 3,
  DIALOG_FILTER_CREATE = 4,
  DIALOG_FILTER_UPDATE = 5,
  DIALOG_SCORES = 6,
  DIALOG_SELECT_HIGH_PVALUE = 7,
  DIALOG_SELECT_SHORT = 8,
  DIALOG_MERGE = 9,
  DIALOG_GREEDY = 10,
  DIALOG_OPTIMAL = 11,
  DIALOG_COMPOUND = 12,
  DIALOG_FLANKS = 14,
};

// How a dialog ended.
constexpr int kDialogCancelled = 0;
constexpr int kDialogStored = 1;
constexpr int kDialogRun = 2; // stored, and the action is wanted now

const char *dialogTitle(int kind);
// The button that stores ("&Save", "&Ok", "&Select", "&Set") and the one
// that stores and runs (null when the kind has none).
const char *dialogStoreLabel(int kind);
const char *dialogActionLabel(int kind);

// The editable values of one dialog, in the order its widgets show them:
//   WINDOW_COORDINATES  text from1, to1, from2, to2
//   ALIGN    text P-value, word size, m, n, k, maximal distance, repeats;
//            check mask known, mask internal, trim, runs of matches,
//            sensitive, both strands, extend
//   EXPAND   text m, n, k, maximal distance; check mask known, internal, trim
//   FILTER_* text periodic P-value, minimal overlap, minimal pile;
//            check periodic, internal repeats, interspersed repeats
//   SCORES   text match, mismatch, gap opening, gap elongation
//   SELECT_HIGH_PVALUE, SELECT_SHORT, FLANKS, MERGE   text the one value
//   GREEDY, OPTIMAL  check move deleted hits into the footnotes
//   COMPOUND check Align, Expand, Merge, Trim, Reconcile
struct DialogValues {
  static constexpr int kTexts = 7, kChecks = 7, kTextSize = 64;
  char text[kTexts][kTextSize] = {};
  bool check[kChecks] = {};
};

// Number of text fields and check buttons of a kind.
int dialogTextCount(int kind);
int dialogCheckCount(int kind);

void loadDialogValues(int kind, const WindowRecord &w, DialogValues &v);
// Converts, corrects and stores. Window coordinates go to the requested
// intervals (gRequested).
void storeDialogValues(int kind, const DialogValues &v, WindowRecord &w);

// Whether check `index` of a kind has a say with the values shown: Align's
// Trim has none while its hits are extended, which skips the trim.
bool dialogCheckApplies(int kind, const DialogValues &v, int index);

// The filter dialog's check buttons act at once: the option bit of check
// `index` (0 periodic, 1 internal repeats).
uint32_t filterCheckBit(int index);
