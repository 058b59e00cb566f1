// What the session lifecycle asks of the view when a slot is set up or its
// region or hits change.
#pragma once
#include <cstdint>

struct WindowRecord;

// Rebuilds the window's 24 layout cells from the view's constant template
// and asks for a new layout.
void rebuildLayoutCells(WindowRecord *w);

// A window whose region or hits changed: recount and repaint.
void refreshWindow(WindowRecord *w);
