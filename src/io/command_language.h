// Internals of the command language shared by its grammar tables, its
// actions and the command-file runner.
#pragma once
#include <cstdint>

#include "io/reader_engine.h"

// Pass flags of a command file (gReader.passFlags).
constexpr uint32_t kPassCheck = 0x40000000;
constexpr uint32_t kPassExecute = 0x80000000;
constexpr uint32_t kPassStatusMask = 0x38000000; // error, interrupted, exit
constexpr uint32_t kPassTopBits = 0xf8000000;
constexpr uint32_t kPassOptionMask = 0x07ffffff; // cleared by every command action

// Option bits of the command being read.
constexpr uint32_t kCmdOptM = 0x00000001; // also "internal" a, "short with length"
constexpr uint32_t kCmdOptN = 0x00000002; // also "internal" b
constexpr uint32_t kCmdOptK = 0x00000004;
constexpr uint32_t kCmdOptHash = 0x00000008;
constexpr uint32_t kCmdOptNohash = 0x00000010;
constexpr uint32_t kCmdOptPValue = 0x00000020;
constexpr uint32_t kCmdOptTrim = 0x00000040;
constexpr uint32_t kCmdOptNotrim = 0x00000080;
constexpr uint32_t kCmdOptMerge = 0x00000100;
constexpr uint32_t kCmdOptMaskInternal = 0x00000200;
constexpr uint32_t kCmdOptMaskAll = 0x00000400;
constexpr uint32_t kCmdOptMaskKnown = 0x00000800;
constexpr uint32_t kCmdOptNomask = 0x00002000;
constexpr uint32_t kCmdOptRepeats = 0x00004000;
constexpr uint32_t kCmdOptSensitive = 0x00008000;
constexpr uint32_t kCmdOptStrands = 0x00010000;
constexpr uint32_t kCmdOptInterspersed = 0x00100000;
constexpr uint32_t kCmdOptExtend = 0x00020000;

// Values of the options, held until the command's action consumes them.
struct CommandOptions {
  int32_t m = 0, n = 0, k = 0;
  int32_t wordSize = 0;
  int32_t repeatLimit = 0;
  int16_t seedShape = 0;
  int16_t strands = 0;
  int16_t extend = 0;
  int32_t merge = 0;
  double pValue = 0;
  int kind = 0;        // SelectKind of select/unselect
  bool invert = false; // "invertcomplement" on the input line
  bool softmask = false;
  char record[256] = ""; // "record=": a name, digits or "#N"
};
extern CommandOptions gCommandOptions;

// Action indices of the command language (after the shared ones).
enum : int {
  kActStart = 5,
  kActExit,
  kActInputStart,
  kActInvert,
  kActInput1Line,
  kActInput2Line,
  kActOpen,
  kActSaveGlobal,
  kActSaveLocal,
  kActSaveSummary,
  kActAlign,
  kActExpand,
  kActMerge,
  kActRefine,
  kActFill,
  kActTrim,
  kActReconcile,
  kActGreedy,
  kActOptimal,
  kActKill,
  kActDelete,
  kActUndo,
  kActHide,
  kActShow,
  kActScoreMatch,
  kActScoreMismatch,
  kActScoreGapOpen,
  kActScoreGapElongation,
  kActScoreDone,
  kActOptM,
  kActOptN,
  kActOptK,
  kActOptHash,
  kActOptNohash,
  kActOptPValue,
  kActOptTrim,
  kActOptNotrim,
  kActOptMerge,
  kActOptMaskInternal,
  kActOptMaskAll,
  kActOptMaskKnown,
  kActOptNomask,
  kActKindAll,
  kActKindOverlapped,
  kActKindHighP,
  kActKindConflicting,
  kActKindOffDiagonal,
  kActKindShort,
  kActSelect,
  kActUnselect,
  kActFilterCreate,
  kActFilterUpdate,
  kActFilterDelete,
  kActSaveName,
  kActEmptyLine,
  kActSavePaf,
  kActSaveMaf,
  kActCommandEnd, // one past the last
};
static_assert(kActCommandEnd - 1 <= kActionCommandLast, "command actions overflow their range");

void registerCommandGrammars(); // command_grammars.cpp
void registerCommandActions();  // command_language.cpp
// Both of the above, once.
void ensureCommandLanguage();
