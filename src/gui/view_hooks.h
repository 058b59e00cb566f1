// Points where the window class hands over to the dot-matrix view: painting,
// the activation of a slot when a window binds it, and the action drawing
// context that an action keeps open to show its progress.
#pragma once
#include <fx.h>

#include <cstdint>

struct WindowRecord;
class VelkWindow;

// SEL_PAINT of the canvas; the window's slot is already current.
void paintWindow(VelkWindow *window, FXEvent *event);

// Selects a hit if none is, applies a pending layout or repaint request.
void activateSlot(WindowRecord *w);

// Bracket an action's progress drawing on the current window's dot matrix.
// Closing asks every open window for a repaint.
void openActionDrawing();
void closeActionDrawing();
bool actionDrawingOpen();
// A line of the running action in sequence positions; white erases it.
void drawActionLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool erase);
