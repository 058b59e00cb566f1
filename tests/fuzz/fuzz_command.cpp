// libFuzzer target: arbitrary bytes as a command file, run with the action
// hooks the program installs: inputs name the tiny sequences beside the
// file (a.fa, b.fa, b_rc.fa), so Align, Expand, Merge, the conflict actions
// and saves (kept inside the folder) run on what the reader accepted. Every
// read ends with a known code, and the hits left lie inside the sequences.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/errors.h"
#include "core/session.h"
#include "fuzz_input.h"
#include "fuzz_session.h"
#include "io/command_file.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.cmd");
  fuzz::setUpActions(gPath);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::freshSession();
  writeFuzzInput(gPath, data, size);
  gLastError = 0;
  uint32_t status = runCommandFile(gPath.c_str());
  int result = static_cast<int>(status & kRunResultMask);
  if (result != 1 && result != 2 && (result < kErrInternal || result > kErrLast))
    abort(); // every end of a read is a known code
  if (!fuzz::hitsInside())
    abort();
  return 0;
}
