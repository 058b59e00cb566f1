#include "io/command_file.h"

#include <cstdio>

#include "core/errors.h"
#include "io/command_language.h"
#include "io/reader_engine.h"

// Reads the file twice: a check pass that runs nothing, so one syntax error
// anywhere keeps every command from running, then the execution pass.
uint32_t runCommandFile(const char *path) {
  ensureCommandLanguage();
  if (!path || !*path)
    return gReader.passFlags & kPassStatusMask;
  gReader.fileName = path;
  gReader.passFlags = 0;
  FILE *f = nullptr;
  int result;
  try {
    f = openInputFile(path);
    if (!f)
      reportFatal(kErrCannotOpen, path, "sqreadcm");
    gReader.commandFile = f;
    emptyLineBuffer();
    gReader.commandLine = 0;
    gReader.passFlags = kPassCheck;
    finishRead(readWithCommandReader(kGrammarCommandFile));
  } catch (const ReaderError &e) {
    result = e.code;
  }
  if (result == 1) {
    try {
      if (fseek(f, 0, SEEK_SET) != 0)
        reportFatal(kErrSeek, path, "sqreadcm");
      emptyLineBuffer();
      gReader.commandLine = 0;
      gReader.passFlags = kPassExecute;
      result = readWithCommandReader(kGrammarCommandFile);
    } catch (const ReaderError &e) {
      result = e.code;
    }
  }
  if (f)
    fclose(f);
  gReader.commandFile = nullptr;
  gReader.fileName = ""; // the caller's path may not outlive the run
  emptyLineBuffer();
  return static_cast<uint32_t>(result) | (gReader.passFlags & kPassStatusMask);
}
