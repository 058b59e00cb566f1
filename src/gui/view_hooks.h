// Points where the window class hands over to the dot-matrix view: painting
// and the activation of a slot when a window binds it. The view replaces the
// plain bodies in view_hooks.cpp.
#pragma once
#include <fx.h>

struct WindowRecord;
class VelkWindow;

// SEL_PAINT of the canvas; the window's slot is already current.
void paintWindow(VelkWindow *window, FXEvent *event);

// Selects a hit if none is, applies a pending layout or repaint request.
void activateSlot(WindowRecord *w);
