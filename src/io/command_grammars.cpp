// Grammar tables of the command language. Keywords are prefixes and are
// compared without case; blanks stand only where a node reads them.
#include "core/errors.h"
#include "io/command_language.h"

// clang-format off
constexpr int E52 = kErrInternal, E63 = kErrBadCommand, E64 = kErrBadFilename,
              E65 = kErrNoSequenceName;

// The whole file: the start line, an input command, then command lines up
// to "exit", the end of the file or an empty line. Anything else is a bad
// command: a typo must not end the file silently.
enum { C_START, C_BLANKS, C_SHOW, C_HIDE, C_REST, C_EOL, C_OPEN, C_OPENNAME, C_OPENEOL, C_IN1,
       C_SEQ1, C_IN1REST, C_IN1EOL, C_IN2, C_SEQ2, C_IN2REST, C_IN2EOL, C_LINES, C_EXIT, C_EOF,
       C_ENDBLANKS, C_BLANKSEOF, C_EMPTY };
constexpr auto kCommandFile = makeGrammar({
    {kLitStart, kNext, kFail, kActStart},        // C_START
    {kLitBlank, kSame, kNext, 0},                // C_BLANKS
    {kLitShow, at(C_REST), kNext, kActShow},     // C_SHOW
    {kLitHide, kNext, kNext, kActHide},          // C_HIDE
    {kRecLineChar, kSame, kNext, 0},             // C_REST
    {kRecEndOfLine, kNext, E52, 0},              // C_EOL
    {kLitOpen, kNext, at(C_IN1), 0},             // C_OPEN
    {kGrammarFileName, kNext, E64, 0},           // C_OPENNAME
    {kRecEndOfLine, at(C_LINES), E52, kActOpen}, // C_OPENEOL
    {kLitInput1, at(C_IN1REST), kNext, 0},       // C_IN1
    {kLitSequence1, kNext, E65, 0},              // C_SEQ1
    {kGrammarInputRest, kNext, kNext, 0},        // C_IN1REST
    {kRecEndOfLine, kNext, E52, kActInput1Line}, // C_IN1EOL
    {kLitInput2, at(C_IN2REST), kNext, 0},       // C_IN2
    {kLitSequence2, kNext, E65, 0},              // C_SEQ2
    {kGrammarInputRest, kNext, kNext, 0},        // C_IN2REST
    {kRecEndOfLine, kNext, E52, kActInput2Line}, // C_IN2EOL
    {kGrammarCommandLine, kSame, kNext, 0},      // C_LINES
    {kLitExit, kOk, kNext, kActExit},            // C_EXIT
    {kLitEof, kOk, kNext, 0},                    // C_EOF
    {kLitBlank, kSame, kNext, 0},                // C_ENDBLANKS
    {kLitEof, kOk, kNext, 0},                    // C_BLANKSEOF
    {kRecEndOfLine, kOk, E63, kActEmptyLine},    // C_EMPTY
});

// One command line. Fails, consuming nothing, on a line that is no command.
// An input1 line must be followed by an input2 line: a sequence is never
// named without being read.
enum { L_SAVE, L_SNAME, L_SAS, L_SASBLANKS, L_SGLOBAL, L_SLOCAL, L_SSUMMARY, L_SPAF, L_SMAF,
       L_ACTION, L_FILTER,
       L_SELECT, L_EDIT, L_OPEN, L_OPENNAME, L_OPENEOL, L_IN1, L_SEQ1, L_IN1REST, L_IN1EOL,
       L_IN2, L_SEQ2, L_IN2REST, L_IN2EOL, L_TAIL, L_EOL };
constexpr auto kCommandLine = makeGrammar({
    {kLitSave, kNext, at(L_ACTION), 0},              // L_SAVE
    {kGrammarFileName, kNext, E64, kActSaveName},    // L_SNAME
    {kLitAs, kNext, at(L_SGLOBAL), 0},               // L_SAS
    {kLitBlank, kSame, kNext, 0},                    // L_SASBLANKS
    {kLitGlobal, at(L_TAIL), kNext, kActSaveGlobal}, // L_SGLOBAL
    {kLitLocal, at(L_TAIL), kNext, kActSaveLocal},   // L_SLOCAL
    {kLitSummary, at(L_TAIL), kNext, kActSaveSummary}, // L_SSUMMARY
    {kRecPaf, at(L_TAIL), kNext, kActSavePaf},       // L_SPAF
    {kRecMaf, at(L_TAIL), E63, kActSaveMaf},         // L_SMAF
    {kGrammarActionCommand, at(L_TAIL), kNext, 0},   // L_ACTION
    {kGrammarFilterCommand, at(L_TAIL), kNext, 0},   // L_FILTER
    {kGrammarSelectCommand, at(L_TAIL), kNext, 0},   // L_SELECT
    {kGrammarEditCommand, at(L_TAIL), kNext, 0},     // L_EDIT
    {kLitOpen, kNext, at(L_IN1), 0},                 // L_OPEN
    {kGrammarFileName, kNext, E64, 0},               // L_OPENNAME
    {kRecEndOfLine, kOk, E52, kActOpen},             // L_OPENEOL
    {kLitInput1, at(L_IN1REST), kNext, 0},           // L_IN1
    {kLitSequence1, kNext, kFail, 0},                // L_SEQ1
    {kGrammarInputRest, kNext, kNext, 0},            // L_IN1REST
    {kRecEndOfLine, kNext, E52, kActInput1Line},     // L_IN1EOL
    {kLitInput2, at(L_IN2REST), kNext, 0},           // L_IN2
    {kLitSequence2, kNext, E65, 0},                  // L_SEQ2
    {kGrammarInputRest, kNext, kNext, 0},            // L_IN2REST
    {kRecEndOfLine, kOk, E52, kActInput2Line},       // L_IN2EOL
    {kLitBlank, kSame, kNext, 0},                    // L_TAIL
    {kRecEndOfLine, kOk, E63, 0},                    // L_EOL
});

// After "input1"/"sequence1" (or 2): name, optional interval, then in any
// order "invertcomplement", "record=" and "softmask", with blanks. The
// caller reads the line end.
enum { R_START, R_NAME, R_INTERVAL, R_BLANKS, R_INVERT, R_RECORD, R_SOFTMASK };
constexpr auto kInputRest = makeGrammar({
    {kRecAlways, kNext, kNext, kActInputStart},              // R_START
    {kGrammarFileName, kNext, E64, 0},                       // R_NAME
    {kGrammarInterval, kNext, kNext, 0},                     // R_INTERVAL
    {kLitBlank, kSame, kNext, 0},                            // R_BLANKS
    {kLitInvertComplement, at(R_BLANKS), kNext, kActInvert}, // R_INVERT
    {kRecRecordEq, at(R_BLANKS), kNext, 0},                  // R_RECORD
    {kRecSoftmask, at(R_BLANKS), kOk, 0},                    // R_SOFTMASK
});

// Construction and conflict commands.
enum { A_ALIGN, A_ALBLANKS, A_ALOPT, A_ALRUN, A_EXPAND, A_EXBLANKS, A_EXOPT, A_EXRUN, A_MERGE,
       A_MEBLANKS, A_MEOPT, A_MEEQ, A_MEVALUE, A_MERUN, A_REFINE, A_FILL, A_TRIM, A_CUT,
       A_TRBLANKS, A_LOOSE, A_TRRUN, A_REM, A_REMTEXT, A_RECONCILE, A_RESOLVE, A_GREEDY,
       A_GRBLANKS, A_GRRESOLVE, A_GRRUN, A_OPTIMAL, A_OPBLANKS, A_OPCHAIN, A_OPRUN, A_KILL,
       A_REVERSE };
constexpr auto kActionCommand = makeGrammar({
    {kLitAlign, kNext, at(A_EXPAND), 0},              // A_ALIGN
    {kLitBlank, kSame, kNext, 0},                     // A_ALBLANKS
    {kGrammarAlignOption, at(A_ALBLANKS), kNext, 0},  // A_ALOPT
    {kRecAlways, kOk, kOk, kActAlign},                // A_ALRUN
    {kLitExpand, kNext, at(A_MERGE), 0},              // A_EXPAND
    {kLitBlank, kSame, kNext, 0},                     // A_EXBLANKS
    {kGrammarCommonOption, at(A_EXBLANKS), kNext, 0}, // A_EXOPT
    {kRecAlways, kOk, kOk, kActExpand},               // A_EXRUN
    {kLitMerge, kNext, at(A_REFINE), 0},              // A_MERGE
    {kLitBlank, kSame, kNext, 0},                     // A_MEBLANKS
    {kLitMerge, kNext, at(A_MERUN), 0},               // A_MEOPT
    {kLitEquals, kNext, E63, 0},                      // A_MEEQ
    {kRecInteger, kNext, E63, kActOptMerge},          // A_MEVALUE
    {kRecAlways, kOk, kOk, kActMerge},                // A_MERUN
    {kLitRefine, kOk, kNext, kActRefine},             // A_REFINE
    {kLitFill, kOk, kNext, kActFill},                 // A_FILL
    {kLitTrim, at(A_TRBLANKS), kNext, 0},             // A_TRIM
    {kLitCut, kNext, at(A_REM), 0},                   // A_CUT
    {kLitBlank, kSame, kNext, 0},                     // A_TRBLANKS
    {kLitLooseEnds, kNext, kNext, 0},                 // A_LOOSE
    {kRecAlways, kOk, kOk, kActTrim},                 // A_TRRUN
    {kLitRem, kNext, at(A_RECONCILE), 0},             // A_REM
    {kRecLineChar, kSame, kOk, 0},                    // A_REMTEXT
    {kLitReconcile, kOk, kNext, kActReconcile},       // A_RECONCILE
    {kLitResolve, kOk, kNext, kActGreedy},            // A_RESOLVE
    {kLitGreedy, kNext, at(A_OPTIMAL), 0},            // A_GREEDY
    {kLitBlank, kSame, kNext, 0},                     // A_GRBLANKS
    {kLitResolve, kNext, kNext, 0},                   // A_GRRESOLVE
    {kRecAlways, kOk, kOk, kActGreedy},               // A_GRRUN
    {kLitOptimal, kNext, at(A_KILL), 0},              // A_OPTIMAL
    {kLitBlank, kSame, kNext, 0},                     // A_OPBLANKS
    {kLitChain, kNext, kNext, 0},                     // A_OPCHAIN
    {kRecAlways, kOk, kOk, kActOptimal},              // A_OPRUN
    {kLitKill, kOk, kNext, kActKill},                 // A_KILL
    {kRecReverse, kOk, kFail, 0},                     // A_REVERSE
});

// One option of Align: a p-value, a hash option or an option Expand has too.
// "repeats=" limits how often a seed word may occur (0: no limit);
// "sensitive" seeds with a spaced pattern, "nosensitive" with successive
// matches again; "both" searches the other strand of sequence 2 as well,
// "noboth" no longer; "extend" grows new hits past their ends by gapped
// alignment, "noextend" no longer.
enum { O_PVALUE, O_HASH, O_W, O_WORDSIZE, O_NOHASH, O_REPEATS, O_SENSITIVE, O_NOSENSITIVE,
       O_BOTH, O_NOBOTH, O_EXTEND, O_NOEXTEND, O_COMMON };
constexpr auto kAlignOption = makeGrammar({
    {kGrammarPValueOption, kOk, kNext, 0},            // O_PVALUE
    {kLitHashEq, at(O_WORDSIZE), kNext, 0},           // O_HASH
    {kLitWEq, kNext, at(O_NOHASH), 0},                // O_W
    {kRecInteger, kOk, E63, kActOptHash},             // O_WORDSIZE
    {kLitNohash, kOk, kNext, kActOptNohash},          // O_NOHASH
    {kRecRepeatsEq, kOk, kNext, 0},                   // O_REPEATS
    {kRecSensitive, kOk, kNext, 0},                   // O_SENSITIVE
    {kRecNoSensitive, kOk, kNext, 0},                 // O_NOSENSITIVE
    {kRecBoth, kOk, kNext, 0},                        // O_BOTH
    {kRecNoBoth, kOk, kNext, 0},                      // O_NOBOTH
    {kRecExtend, kOk, kNext, 0},                      // O_EXTEND
    {kRecNoExtend, kOk, kNext, 0},                    // O_NOEXTEND
    {kGrammarCommonOption, kOk, kFail, 0},            // O_COMMON
});

// One option of Align or Expand: masking, trimming, merge distance or the
// diagonal criterion m/n=k (">" for "=" too, never ">=").
enum { M_MASKINTERNAL, M_MASKALL, M_MASKKNOWN, M_MASK, M_NOMASK, M_TRIM, M_NOTRIM, M_MERGE,
       M_MERGEEQ, M_MERGEVALUE, M_M, M_SLASH, M_N, M_EQ, M_GT, M_K };
constexpr auto kCommonOption = makeGrammar({
    {kLitMaskInternal, kOk, kNext, kActOptMaskInternal}, // M_MASKINTERNAL
    {kLitMaskAll, kOk, kNext, kActOptMaskAll},           // M_MASKALL
    {kLitMaskKnown, kOk, kNext, kActOptMaskKnown},       // M_MASKKNOWN
    {kLitMask, kOk, kNext, kActOptMaskAll},              // M_MASK
    {kLitNomask, kOk, kNext, kActOptNomask},             // M_NOMASK
    {kLitTrim, kOk, kNext, kActOptTrim},                 // M_TRIM
    {kLitNotrim, kOk, kNext, kActOptNotrim},             // M_NOTRIM
    {kLitMerge, kNext, at(M_M), 0},                      // M_MERGE
    {kLitEquals, kNext, E63, 0},                         // M_MERGEEQ
    {kRecInteger, kOk, E63, kActOptMerge},               // M_MERGEVALUE
    {kRecInteger, kNext, kFail, kActOptM},               // M_M
    {kLitSlash, kNext, E63, 0},                          // M_SLASH
    {kRecInteger, kNext, E63, kActOptN},                 // M_N
    {kLitEquals, at(M_K), kNext, 0},                     // M_EQ
    {kLitGreater, kNext, E63, 0},                        // M_GT
    {kRecInteger, kOk, E63, kActOptK},                   // M_K
});

// Blanks, "p-value" / "pvalue" / "p", one of "=", "<", ">", a decimal.
enum { P_BLANKS, P_PDASHVALUE, P_PVALUE, P_P, P_EQ, P_LT, P_GT, P_VALUE };
constexpr auto kPValueOption = makeGrammar({
    {kLitBlank, kSame, kNext, 0},           // P_BLANKS
    {kLitPDashValue, at(P_EQ), kNext, 0},   // P_PDASHVALUE
    {kLitPvalue, at(P_EQ), kNext, 0},       // P_PVALUE
    {kLitP, kNext, kFail, 0},               // P_P
    {kLitEquals, at(P_VALUE), kNext, 0},    // P_EQ
    {kLitLess, at(P_VALUE), kNext, 0},      // P_LT
    {kLitGreater, kNext, E63, 0},           // P_GT
    {kRecDecimal, kOk, E63, kActOptPValue}, // P_VALUE
});

// "filter create|update options", "filter delete", "create|update filter
// options".
enum { FI_FILTER, FI_BLANKS, FI_CREATE, FI_CREATEOPTS, FI_UPDATE, FI_UPDATEOPTS, FI_DELETE,
       FI_CREATE2, FI_C2BLANKS, FI_C2FILTER, FI_UPDATE2, FI_U2BLANKS, FI_U2FILTER };
constexpr auto kFilterCommand = makeGrammar({
    {kLitFilter, kNext, at(FI_CREATE2), 0},              // FI_FILTER
    {kLitBlank, kSame, kNext, 0},                        // FI_BLANKS
    {kLitCreate, kNext, at(FI_UPDATE), 0},               // FI_CREATE
    {kGrammarFilterOptions, kOk, kOk, kActFilterCreate}, // FI_CREATEOPTS
    {kLitUpdate, kNext, at(FI_DELETE), 0},               // FI_UPDATE
    {kGrammarFilterOptions, kOk, kOk, kActFilterUpdate}, // FI_UPDATEOPTS
    {kLitDelete, kOk, E63, kActFilterDelete},            // FI_DELETE
    {kLitCreate, kNext, at(FI_UPDATE2), 0},              // FI_CREATE2
    {kLitBlank, kSame, kNext, 0},                        // FI_C2BLANKS
    {kLitFilter, at(FI_CREATEOPTS), E63, 0},             // FI_C2FILTER
    {kLitUpdate, kNext, kFail, 0},                       // FI_UPDATE2
    {kLitBlank, kSame, kNext, 0},                        // FI_U2BLANKS
    {kLitFilter, at(FI_UPDATEOPTS), E63, 0},             // FI_U2FILTER
});

// Blanks, optional "periodic", then p-value options, "internal a + b" and
// "interspersed". Always matches.
enum { FO_BLANKS, FO_PERIODIC, FO_LOOP, FO_PVALUE, FO_INTERNAL, FO_A, FO_PLUS, FO_B,
       FO_INTERSPERSED };
constexpr auto kFilterOptions = makeGrammar({
    {kLitBlank, kSame, kNext, 0},                  // FO_BLANKS
    {kLitPeriodic, kNext, kNext, 0},               // FO_PERIODIC
    {kLitBlank, kSame, kNext, 0},                  // FO_LOOP
    {kGrammarPValueOption, at(FO_LOOP), kNext, 0}, // FO_PVALUE
    {kLitInternal, kNext, at(FO_INTERSPERSED), 0}, // FO_INTERNAL
    {kRecInteger, kNext, E63, kActOptM},           // FO_A
    {kLitPlus, kNext, E63, 0},                     // FO_PLUS
    {kRecInteger, at(FO_LOOP), E63, kActOptN},     // FO_B
    {kRecInterspersed, at(FO_LOOP), kOk, 0},       // FO_INTERSPERSED
});

// "select" and "unselect". A word after "select" that is no kind is left
// for the edit and input commands.
enum { SE_SELECT, SE_BLANKS, SE_ALL, SE_OVERLAPPED, SE_HIGH, SE_HIGHP, SE_CONFLICTING,
       SE_CONFLICTS, SE_CONFLICT, SE_OFFDIAGONAL, SE_SHORT, SE_EQ, SE_LT, SE_LENGTH, SE_RUN,
       SE_UNSELECT, SE_UBLANKS, SE_UALL, SE_UOVERLAPPED, SE_UHIGH, SE_UCONFLICTING,
       SE_UCONFLICTS, SE_UCONFLICT, SE_UOFFDIAGONAL, SE_USHORT, SE_URUN };
constexpr auto kSelectCommand = makeGrammar({
    {kLitSelect, kNext, at(SE_UNSELECT), 0},                    // SE_SELECT
    {kLitBlank, kSame, kNext, 0},                               // SE_BLANKS
    {kLitAll, at(SE_RUN), kNext, kActKindAll},                  // SE_ALL
    {kLitOverlapped, at(SE_RUN), kNext, kActKindOverlapped},    // SE_OVERLAPPED
    {kLitWithHigh, kNext, at(SE_CONFLICTING), kActKindHighP},   // SE_HIGH
    {kGrammarPValueOption, at(SE_RUN), E63, 0},                 // SE_HIGHP
    {kLitConflicting, at(SE_RUN), kNext, kActKindConflicting},  // SE_CONFLICTING
    {kLitConflicts, at(SE_RUN), kNext, kActKindConflicting},    // SE_CONFLICTS
    {kLitConflict, at(SE_RUN), kNext, kActKindConflicting},     // SE_CONFLICT
    {kLitOffDiagonal, at(SE_RUN), kNext, kActKindOffDiagonal},  // SE_OFFDIAGONAL
    {kLitShortWithLength, kNext, kFail, kActKindShort},         // SE_SHORT
    {kLitEquals, kSame, kNext, 0},                              // SE_EQ
    {kLitLess, kNext, E63, 0},                                  // SE_LT
    {kRecInteger, kNext, E63, kActOptM},                        // SE_LENGTH
    {kRecAlways, kOk, kOk, kActSelect},                         // SE_RUN
    {kLitUnselect, kNext, kFail, 0},                            // SE_UNSELECT
    {kLitBlank, kSame, kNext, 0},                               // SE_UBLANKS
    {kLitAll, at(SE_URUN), kNext, kActKindAll},                 // SE_UALL
    {kLitOverlapped, at(SE_URUN), kNext, kActKindOverlapped},   // SE_UOVERLAPPED
    {kLitWithHigh, at(SE_URUN), kNext, kActKindHighP},          // SE_UHIGH
    {kLitConflicting, at(SE_URUN), kNext, kActKindConflicting}, // SE_UCONFLICTING
    {kLitConflicts, at(SE_URUN), kNext, kActKindConflicting},   // SE_UCONFLICTS
    {kLitConflict, at(SE_URUN), kNext, kActKindConflicting},    // SE_UCONFLICT
    {kLitOffDiagonal, at(SE_URUN), kNext, kActKindOffDiagonal}, // SE_UOFFDIAGONAL
    {kLitShortWithLength, kNext, E63, kActKindShort},           // SE_USHORT
    {kRecAlways, kOk, kOk, kActUnselect},                       // SE_URUN
});

// delete, score assignments, undo, hide, show.
enum { ED_DELETE, ED_SCORE, ED_SBLANKS, ED_MISMATCH, ED_MISM, ED_MM, ED_MATCH, ED_M, ED_GAPO,
       ED_GAPL, ED_GAPN, ED_GAP, ED_GAPBLANKS, ED_GAPOPEN, ED_GAPELONGATION, ED_OPEN,
       ED_OPENBLANKS, ED_OPENGAP, ED_ELONGATION, ED_MMEQ, ED_MMVALUE, ED_MEQ, ED_MVALUE, ED_GOEQ,
       ED_GOVALUE, ED_GLEQ, ED_GLVALUE, ED_SDONE, ED_UNDO, ED_HIDE, ED_SHOW };
constexpr auto kEditCommand = makeGrammar({
    {kLitDelete, kOk, kNext, kActDelete},                       // ED_DELETE
    {kLitScore, kNext, at(ED_UNDO), 0},                         // ED_SCORE
    {kLitBlank, kSame, kNext, 0},                               // ED_SBLANKS
    {kLitMismatch, at(ED_MMEQ), kNext, 0},                      // ED_MISMATCH
    {kLitMism, at(ED_MMEQ), kNext, 0},                          // ED_MISM
    {kLitMm, at(ED_MMEQ), kNext, 0},                            // ED_MM
    {kLitMatch, at(ED_MEQ), kNext, 0},                          // ED_MATCH
    {kLitM, at(ED_MEQ), kNext, 0},                              // ED_M
    {kLitGapo, at(ED_GOEQ), kNext, 0},                          // ED_GAPO
    {kLitGapl, at(ED_GLEQ), kNext, 0},                          // ED_GAPL
    {kLitGapn, at(ED_GLEQ), kNext, 0},                          // ED_GAPN
    {kLitGap, kNext, at(ED_OPEN), 0},                           // ED_GAP
    {kLitBlank, kSame, kNext, 0},                               // ED_GAPBLANKS
    {kLitOpen, at(ED_GOEQ), kNext, 0},                          // ED_GAPOPEN
    {kLitElongation, at(ED_GLEQ), E63, 0},                      // ED_GAPELONGATION
    {kLitOpen, kNext, at(ED_ELONGATION), 0},                    // ED_OPEN
    {kLitBlank, kSame, kNext, 0},                               // ED_OPENBLANKS
    {kLitGap, at(ED_GOEQ), at(ED_GOEQ), 0},                     // ED_OPENGAP
    {kLitElongation, at(ED_GLEQ), at(ED_SDONE), 0},             // ED_ELONGATION
    {kLitEquals, kNext, E63, 0},                                // ED_MMEQ
    {kRecDecimal, at(ED_SBLANKS), E63, kActScoreMismatch},      // ED_MMVALUE
    {kLitEquals, kNext, E63, 0},                                // ED_MEQ
    {kRecDecimal, at(ED_SBLANKS), E63, kActScoreMatch},         // ED_MVALUE
    {kLitEquals, kNext, E63, 0},                                // ED_GOEQ
    {kRecDecimal, at(ED_SBLANKS), E63, kActScoreGapOpen},       // ED_GOVALUE
    {kLitEquals, kNext, E63, 0},                                // ED_GLEQ
    {kRecDecimal, at(ED_SBLANKS), E63, kActScoreGapElongation}, // ED_GLVALUE
    {kRecAlways, kOk, kOk, kActScoreDone},                      // ED_SDONE
    {kLitUndo, kOk, kNext, kActUndo},                           // ED_UNDO
    {kLitHide, kOk, kNext, kActHide},                           // ED_HIDE
    {kLitShow, kOk, kFail, kActShow},                           // ED_SHOW
});

// clang-format on

void registerCommandGrammars() {
  registerGrammar(kGrammarCommandFile, kCommandFile, "command file");
  registerGrammar(kGrammarCommandLine, kCommandLine, "command line");
  registerGrammar(kGrammarInputRest, kInputRest, "input line");
  registerGrammar(kGrammarFilterOptions, kFilterOptions, "filter options");
  registerGrammar(kGrammarActionCommand, kActionCommand, "action command");
  registerGrammar(kGrammarAlignOption, kAlignOption, "align option");
  registerGrammar(kGrammarCommonOption, kCommonOption, "align/expand option");
  registerGrammar(kGrammarPValueOption, kPValueOption, "p-value option");
  registerGrammar(kGrammarFilterCommand, kFilterCommand, "filter command");
  registerGrammar(kGrammarSelectCommand, kSelectCommand, "select command");
  registerGrammar(kGrammarEditCommand, kEditCommand, "edit command");
}
