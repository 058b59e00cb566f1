// The About and Help windows: modal, shown over the receiving window.
#pragma once
#include <fx.h>

// "About Velk": the program's icon, its name, the version and contact text.
void showAboutBox(FXWindow *owner, FXIcon *icon);
// "Help on Velk": the user manual, read-only, at the mouse cursor.
void showHelpWindow(FXWindow *owner);
