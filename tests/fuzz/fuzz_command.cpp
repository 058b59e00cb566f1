// libFuzzer target: arbitrary bytes as a command file, run with the action
// hooks the program installs: inputs name the tiny sequences beside the
// file (a.fa, b.fa, b_rc.fa), so Align, Expand, Merge, the conflict actions
// and saves (kept inside the folder) run on what the reader accepted. Every
// read ends with a known code, the hits left lie inside the sequences, and
// every hit saved has the counts of its printed rows.
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <string>

#include "core/errors.h"
#include "core/session.h"
#include "fuzz_input.h"
#include "fuzz_rows.h"
#include "fuzz_session.h"
#include "io/command_file.h"

static std::string gPath;
static int (*gOpen)() = nullptr;
static bool gOpened = false;

// A file opened may bring opposite gaps side by side; the actions may not.
static int noteOpen() {
  gOpened = true;
  return gOpen();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.cmd");
  fuzz::setUpActions(gPath);
  gOpen = gCommandActions.openAlignment;
  gCommandActions.openAlignment = noteOpen;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::freshSession();
  writeFuzzInput(gPath, data, size);
  gLastError = 0;
  gOpened = false;
  uint32_t status = runCommandFile(gPath.c_str());
  int result = static_cast<int>(status & kRunResultMask);
  if (result != 1 && result != 2 && (result < kErrInternal || result > kErrLast))
    abort(); // every end of a read is a known code
  if (!fuzz::hitsInside())
    abort();
  if (DIR *d = opendir(fuzz::gFolder.c_str())) {
    while (dirent *e = readdir(d))
      if (e->d_type == DT_REG && !fuzz::fixedName(e->d_name))
        fuzz::checkRows(fuzz::gFolder + "/" + e->d_name, !gOpened);
    closedir(d);
  }
  return 0;
}
