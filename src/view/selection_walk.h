// The walk that moves a window's selected hit through the hits of its
// region, keeping the list's cursor row inside the visible rows.
#pragma once

struct Hit;
struct WindowRecord;

// A hit the window shows: it has blocks and overlaps the region.
bool shownInWindow(const Hit *hit, const WindowRecord *w);

// n < 0 steps towards the list head, n > 0 towards its end, 0 only
// normalises the selection and the cursor. Sets the window's no-hit bit
// when the region shows no hit.
void moveSelection(WindowRecord *w, int n);
