// libFuzzer target: arbitrary bytes as a command file. Action hooks stay
// unset, so only the reader, its checks and the parameter effects run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/errors.h"
#include "core/session.h"
#include "fuzz_input.h"
#include "io/command_file.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.cmd");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  writeFuzzInput(gPath, data, size);
  gCurrent = &gSlots[0];
  resetSlotDefaults(gCurrent);
  gLastError = 0;
  gActionStatus = 0;
  uint32_t status = runCommandFile(gPath.c_str());
  int result = static_cast<int>(status & kRunResultMask);
  if (result != 1 && result != 2 && (result < kErrInternal || result > kErrLast))
    abort(); // every end of a read is a known code
  return 0;
}
