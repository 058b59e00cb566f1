// Command identifiers of a window's menus and keys, as the journal and the
// report know them (the window class uses the same numbers).
#pragma once
#include <cstdint>

enum CommandId : int32_t {
  kCmdNew = 65,
  kCmdOpen = 67,
  kCmdSave = 68,
  kCmdSaveWindow = 69,
  kCmdSaveFootnotes = 70,
  kCmdAlignNow = 73,
  kCmdExpandNow = 74,
  kCmdMergeNow = 75,
  kCmdCompoundJournal = 76, // the journal's name for a Compound run
  kCmdAlign = 77,
  kCmdExpand = 78,
  kCmdMerge = 79,
  kCmdCompound = 80,
  kCmdTrim = 81,
  kCmdRefine = 82,
  kCmdFill = 83,
  kCmdGreedyNow = 84,
  kCmdReconcile = 85,
  kCmdOptimalNow = 86,
  kCmdKill = 87,
  kCmdDelete = 88,
  kCmdMoveToFootnotes = 89,
  kCmdGreedy = 90,
  kCmdOptimal = 91,
  kCmdFilterCreate = 93,
  kCmdFilterUpdate = 94,
  kCmdFilterDelete = 95,
  kCmdSelectAll = 96,
  kCmdUnselectAll = 97,
  kCmdSelectHighPValue = 98,
  kCmdSelectOverlapped = 99,
  kCmdSelectOffDiagonal = 100,
  kCmdSelectConflicting = 101,
  kCmdSelectShort = 102,
  kCmdApprove = 103,
  kCmdDisapprove = 104,
  kCmdUndo = 105,
  kCmdRedo = 106,
  kCmdScores = 107,
  kCmdFlanks = 108,
  kCmdReverse = 126, // Window menu: the session turned to the other strand
};
