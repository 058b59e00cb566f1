// libFuzzer target: arbitrary bytes as a command file. Action hooks stay
// unset, so only the reader, its checks and the parameter effects run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/errors.h"
#include "core/pool.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/command_file.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  headlessUi().quiet = true;
  if (!initSessionMemory())
    abort();
  const char *tmp = getenv("TMPDIR");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk_fuzz_XXXXXX";
  if (!mkdtemp(dir.data()))
    abort();
  gPath = dir + "/input.cmd";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *f = fopen(gPath.c_str(), "wb");
  if (!f)
    abort();
  fwrite(data, 1, size, f);
  fclose(f);
  gCurrent = &gSlots[0];
  resetSlotDefaults(gCurrent);
  gLastError = 0;
  gActionStatus = 0;
  uint32_t status = runCommandFile(gPath.c_str());
  int result = static_cast<int>(status & kRunResultMask);
  if (result != 1 && result != 2 && (result < kErrInternal || result > kErrNoSequenceName))
    abort(); // every end of a read is a known code
  return 0;
}
