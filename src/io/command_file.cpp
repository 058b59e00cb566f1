#include "io/command_file.h"

// Placeholder until the reader engine lands: nothing is a command file yet.
uint32_t runCommandFile(const char *) { return 2; }
