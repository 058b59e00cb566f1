// The four fonts of every window: 1 list, 2 axis labels, 3 alignment pane and
// information line (fixed pitch), 4 header.
#pragma once
#include <fx.h>

extern FXFont *gFonts[4];

void createFonts(FXApp *app); // after FXApp::create()
void destroyFonts();          // 4, 3, 2, 1
