// The question before the program ends.
#pragma once

// True when the program may end. With unsaved changes it asks first; Yes
// sends Save to the root window and keeps the program when nothing was
// saved; Cancel keeps it. When it may end, the journal's temporary files
// are closed and deleted.
bool exitQuestion();
constexpr int kSaveCommand = 68;
