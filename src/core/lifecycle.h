// Window slots and the life of a working session: which slot is current,
// keeping each window's selected hit across rebuilds of the hit list, the
// requested intervals and a small stack for actions that set a parameter
// aside while they run.
#pragma once
#include <cstdint>

struct WindowRecord;

// Makes `slot` current, or the first slot without a window when it is null.
// False (nothing changed) when all ten slots are in use. Parameters are reset
// to their defaults unless kept; the layout cells are rebuilt in every case.
bool selectSlot(WindowRecord *slot, bool keepParameters);

// Hides and unbinds every window but the current one's, then selects the
// current slot again.
void closeOtherWindows(bool keepParameters);

// Around a rebuild of the hit list: every open window notes where its
// selected hit starts, then selects the hit nearest to that point.
void rememberSelections();
void restoreSelections();

// Sets the current window to the intervals in gRequested (1-based, 0 = the
// loaded bound), mirrored for an invert-complemented sequence.
void setWindowToRequestedIntervals();

constexpr int kSaveStackSize = 16;
void saveStackPush(int32_t value); // dropped when the stack is full
int32_t saveStackPop();            // 0 when empty
int saveStackDepth();
