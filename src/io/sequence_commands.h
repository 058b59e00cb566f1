// The input lines of a command file: New session from the two sequence
// records they have filled.
#pragma once

// Fills the newSession hook of gCommandActions. Idempotent.
void installSequenceCommands();
