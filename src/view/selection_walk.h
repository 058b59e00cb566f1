// The walk that moves a window's selected hit through the hits of its
// region, keeping the list's cursor row inside the visible rows. The list
// holds the session's hits, then those of the other strand (second set).
#pragma once

struct Hit;
struct WindowRecord;

// A hit the window shows: it has blocks and overlaps the region.
bool shownInWindow(const Hit *hit, const WindowRecord *w);

// The list's hits in order: the first, and the one after or before a hit
// (across from the session's hits to the other strand's); null at the ends.
Hit *firstListed(const WindowRecord *w);
Hit *nextListed(const WindowRecord *w, const Hit *hit);
Hit *previousListed(const WindowRecord *w, const Hit *hit);

// n < 0 steps towards the list head, n > 0 towards its end, 0 only
// normalises the selection and the cursor. Sets the window's no-hit bit
// when the region shows no hit.
void moveSelection(WindowRecord *w, int n);
