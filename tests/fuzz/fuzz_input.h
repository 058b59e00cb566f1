// What both fuzz targets need: a quiet headless session and one private
// file that each input is written to, since the readers read files.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/pool.h"
#include "core/ui_port.h"

// Sets up the session memory and a private folder; returns the input path.
inline std::string setUpFuzzInput(const char *fileName) {
  headlessUi().quiet = true;
  if (!initSessionMemory())
    abort();
  const char *tmp = getenv("TMPDIR");
  std::string dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk_fuzz_XXXXXX";
  if (!mkdtemp(&dir[0]))
    abort();
  return dir + "/" + fileName;
}

inline void writeFuzzInput(const std::string &path, const uint8_t *data, size_t size) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f)
    abort();
  fwrite(data, 1, size, f);
  fclose(f);
}
