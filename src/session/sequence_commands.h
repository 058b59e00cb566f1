// The input lines and "open" of a command file: New session from the two
// sequence records they have filled, Open of a saved alignment.
#pragma once

// Fills the newSession hook of gCommandActions. Idempotent.
void installSequenceCommands();

// The command-file form of Open: reads, journals and reports; the failure
// count for the command's error bit.
int openAlignmentCommand();
// Puts it into the command hooks (gCommandActions.openAlignment) and gives
// Open its New.
void installOpenCommand();
