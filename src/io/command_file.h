// Runs a command file: the program's way of working without a user.
#pragma once
#include <cstdint>

constexpr uint32_t kRunExitRequested = 0x08000000;
constexpr uint32_t kRunInterrupted = 0x10000000;
constexpr uint32_t kRunError = 0x20000000;
constexpr uint32_t kRunResultMask = 0x00ffffff; // 1 success, 2 not a command file, >= 52 error

// "-" reads the commands from the standard input.
uint32_t runCommandFile(const char *path);
bool isStandardInputName(const char *path);
