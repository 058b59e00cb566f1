// Hooks through which a command file reaches the actions of other units.
//
// Contract:
// - The command language parses and checks every command, applies its
//   parameter effects to the current window (gCurrent) and then calls the
//   hook. A hook runs only in the execution pass and only while no status
//   bit (error, interrupted, exit) is set.
// - Before Merge, Refine, Trim, Reconcile, Greedy, Optimal, Kill and Delete
//   the command has already cleared the window's report counters and set its
//   report kind. After Align ... Optimal it turns an Esc stop in
//   gActionStatus into the interrupted bit and clears gActionStatus.
// - A hook does its action on the current window, and what the matching
//   menu handler does after it (journal record, repaint request). It must
//   not read from the line buffer.
// - A null hook does nothing (and New/Open count no failure), so units that
//   are not built yet leave the commands harmless. Assign at start-up:
//   `gCommandActions.align = alignFromCommand;`.
#pragma once
#include <cstdint>

// The save dialog's pattern numbers: PAF and MAF follow "All files" (3).
constexpr int kSaveGlobal = 0, kSaveLocal = 1, kSaveSummary = 2, kSavePaf = 4, kSaveMaf = 5;
enum class FilterOp { Create, Update, Delete };
enum class SelectKind { All, Overlapped, HighPValue, Conflicting, OffDiagonal, Short };

struct CommandActions {
  // "start": bind the current slot (already slot 0) to window 0.
  void (*bindWindow0)();
  // "show" / "hide" (also on the start line): the current window.
  void (*showWindow)();
  void (*hideWindow)();
  // Input lines: New session from the two Sequence records (names, from/to
  // and the invert-complement request are set). Returns the failure count;
  // the hook issues the action report of New.
  int (*newSession)();
  // "open": Open the saved alignment named by gPathBuffer; failure count.
  // The hook issues the action report of Open.
  int (*openAlignment)();
  // "save": save all hits to gPathBuffer in kSaveGlobal/Local/Summary/Paf/Maf
  // as the action Save does (gSaveFilter is already set).
  void (*save)(int format);
  // Construction: the window's Align/Expand parameters and flagsB bits are
  // already updated and clamped; merge distance in mergeMaxDistance.
  void (*align)();
  void (*expand)();
  void (*merge)(); // afterwards the command negates reportSecond
  void (*refine)();
  void (*fill)();
  void (*trim)();
  // Conflicts. Reconcile runs with gap elongation 0 (restored afterwards).
  void (*reconcile)();
  void (*greedy)();
  void (*optimal)(); // the optimal chain and the deletion it implies
  void (*kill)();
  // Filter for both sequences; flagsB periodic/pile bits and filter params set.
  void (*filter)(FilterOp op);
  // Selections. The command has set (select) or cleared (unselect) the
  // kind's mode bit in flagsA, or for All cleared the four modes short, high
  // P-value, overlapped, off-diagonal; pValue / shortLength are stored.
  void (*select)(SelectKind kind);
  void (*unselect)(SelectKind kind);
  // "delete": delete the selected hits (the four modes already cleared).
  void (*deleteSelected)();
  void (*undo)();
  // "reverse": the session turned to the other strand of sequence 2.
  void (*reverse)();
  // "score": the current window's ScoreParams changed.
  void (*scoresChanged)();
};

extern CommandActions gCommandActions;
