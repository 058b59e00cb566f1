// Every flag word of the session, defined once.
#pragma once
#include <cstdint>

// Sequence::flags
constexpr uint16_t kSeqMarkRepeats = 0x01;      // annotated repeats are to be marked
constexpr uint16_t kSeqRepeatsMarked = 0x02;    // repeat bit currently set over them
constexpr uint16_t kSeqInvertRequested = 0x04;  // invert-complement requested
constexpr uint16_t kSeqInverted = 0x08;         // residues currently invert-complemented
constexpr uint16_t kSeqNotRead = 0x10;          // sequence not (successfully) read
constexpr uint16_t kSeqRepeatsNotRead = 0x20;   // repeat annotations not read
constexpr uint16_t kSeqDialogMarkRepeats = 0x40; // input dialog's working copy of 0x01
constexpr uint16_t kSeqDialogInvert = 0x80;     // input dialog's working copy of 0x04
constexpr uint16_t kSeqSoftmask = 0x100;        // lower-case letters are annotated repeats
// The sequence's filter holds interspersed repeats (saved files say so).
constexpr uint16_t kSeqInterspersed = 0x200;
constexpr uint16_t kSeqInitialFlags = 0x30;

// Annotation::kind
constexpr uint8_t kAnnRepeat = 0, kAnnGene = 2, kAnnExon = 3, kAnnUtr5 = 4, kAnnUtr3 = 5,
                  kAnnMrna = 6, kAnnCds = 7;
constexpr uint8_t kAnnComplement = 0x80; // location written complement(...)

// Hit::flags
constexpr uint32_t kHitSelAll = 0x001;        // Select all / Insert toggle
constexpr uint32_t kHitSelShort = 0x004;
constexpr uint32_t kHitSelHighP = 0x008;
constexpr uint32_t kHitSelDelete = 0x010;     // mark used by deletion
constexpr uint32_t kHitSelConflict = 0x020;
constexpr uint32_t kHitSelOffDiagonal = 0x040;
constexpr uint32_t kHitSelOverlapped = 0x080;
constexpr uint32_t kHitSelMouse = 0x100;      // touched by the last mouse rectangle
constexpr uint32_t kHitSelected = 0x1ff;      // any selection bit
constexpr uint32_t kHitInterhit = 0x200;      // temporary interhit made for global output
constexpr uint32_t kHitRegionMark = 0x400;    // engine's region-to-align marker
constexpr uint32_t kHitConflict = 0x800;      // in conflict with another hit
constexpr uint32_t kHitApproved = 0x1000;     // locked against changes
constexpr uint32_t kHitOtherStrand = 0x2000;  // in the second set: sequence 2's other strand
constexpr uint32_t kHitFree = 0xffffffffu;    // record sits on the free list

// WindowRecord::flagsA
constexpr uint32_t kWinSeq1 = 0x00000001;
constexpr uint32_t kWinSeq2 = 0x00000002;
constexpr uint32_t kWinRelayout = 0x00000004;
constexpr uint32_t kWinRepaint = 0x00000008;
constexpr uint32_t kWinIntervalsChanged = 0x00000010; // engine must be set up again
constexpr uint32_t kWinModeShort = 0x02000000;
constexpr uint32_t kWinModeHighP = 0x04000000;
constexpr uint32_t kWinModeOverlapped = 0x08000000;
constexpr uint32_t kWinModeOffDiagonal = 0x10000000;
constexpr uint32_t kWinModeConflicting = 0x20000000;
constexpr uint32_t kWinRecount = 0x40000000;    // hit list changed
constexpr uint32_t kWinLoaded = 0x80000000;     // sequences loaded or reoriented
constexpr uint32_t kWinSessionPresent = kWinRecount; // the same bit, also set by New/Open
constexpr uint32_t kWinModesFirstFour =
    kWinModeShort | kWinModeHighP | kWinModeOverlapped | kWinModeOffDiagonal;
constexpr uint32_t kWinKeptOnReset = 0x8000001f;

// WindowRecord::flagsB
constexpr uint32_t kOptCompoundAlign = 0x00000200;
constexpr uint32_t kOptCompoundExpand = 0x00000400;
constexpr uint32_t kOptCompoundMerge = 0x00000800;
constexpr uint32_t kOptCompoundTrim = 0x00001000;
constexpr uint32_t kOptCompoundReconcile = 0x00002000;
constexpr uint32_t kOptFilterPeriodic = 0x00010000;
constexpr uint32_t kOptFilterPiles = 0x00020000;
constexpr uint32_t kOptToFootnotes = 0x00040000;   // deleted hits go to the footnotes
constexpr uint32_t kOptAreaActive = 0x00080000;    // mouse-selected area replaces region
constexpr uint32_t kOptDragging = 0x00100000;
constexpr uint32_t kOptRectDone = 0x00200000;
constexpr uint32_t kOptNoHit = 0x00400000;         // alignment pane hidden
// filter: interspersed repeats (frequent words) are included
constexpr uint32_t kOptFilterInterspersed = 0x00800000;
constexpr uint32_t kOptAlignTrim = 0x01000000;
constexpr uint32_t kOptAlignMaskRepeats = 0x02000000;
constexpr uint32_t kOptAlignMaskFilter = 0x04000000;
constexpr uint32_t kOptExpandTrim = 0x08000000;
constexpr uint32_t kOptExpandMaskRepeats = 0x10000000;
constexpr uint32_t kOptExpandMaskFilter = 0x20000000;
constexpr uint32_t kOptAlignHash = 0x40000000;
constexpr uint32_t kOptDefaults = 0x4903fe00;
constexpr uint32_t kOptClearedAfterAction = kOptAreaActive | kOptRectDone;

// Action status word (gActionStatus)
constexpr uint32_t kStatusRunning = 0x01;
constexpr uint32_t kStatusStop = 0x02;   // the user asked to stop (Esc, right click, question)
constexpr uint32_t kStatusPaused = 0x04; // progress display holds the action
constexpr uint32_t kStatusConflictAction = 0x31;
