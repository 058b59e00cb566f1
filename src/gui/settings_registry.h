// The four settings in the toolkit's registry ($HOME/.foxrc/Velk).
#pragma once
#include <fx.h>

void readSettings(FXApp *app);
void writeSettings(FXApp *app); // also flushes the registry to its file
