// The window-coordinates dialog of New => edit and Current => edit.
#pragma once
#include <fx.h>

// Shows the current window's from1, to1, from2, to2 for editing; when
// accepted with "&Ok" the typed values become the requested intervals.
bool askWindowCoordinates(FXWindow *owner);
