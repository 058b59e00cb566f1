// The Fill run before a global write; tests put a stand-in in its place.
#pragma once

using GlobalFillFn = int (*)(bool fill, bool quiet);
// nullptr restores the engine's own Fill.
void setGlobalFill(GlobalFillFn fn);
