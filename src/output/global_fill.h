// The Fill run before a global write, set at start-up by the layer that
// wires the actions (the engine's Fill); tests put a stand-in in its place.
#pragma once

using GlobalFillFn = int (*)(bool fill, bool quiet);
// nullptr: the write aligns no interhits.
void setGlobalFill(GlobalFillFn fn);
