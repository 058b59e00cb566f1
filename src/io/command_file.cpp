#include "io/command_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/errors.h"
#include "core/replace_file.h"
#include "io/command_language.h"
#include "io/reader_engine.h"

namespace {
// The standard input, read whole: the file is read twice, and a pipe
// cannot be read again.
FILE *openStandardInput(std::string &text) {
  char block[4096];
  size_t n;
  while ((n = fread(block, 1, sizeof block, stdin)) > 0)
    text.append(block, n);
  if (text.empty())
    text = "\n"; // reads as no command file
  return fmemopen(&text[0], text.size(), "r");
}
} // namespace

bool isStandardInputName(const char *path) { return path && strcmp(path, "-") == 0; }

// Reads the file twice: a check pass that runs nothing, so one syntax error
// anywhere keeps every command from running, then the execution pass.
uint32_t runCommandFile(const char *path) {
  ensureCommandLanguage();
  if (!path || !*path)
    return gReader.passFlags & kPassStatusMask;
  const bool standardInput = isStandardInputName(path);
  if (standardInput)
    path = "standard input";
  gReader.fileName = path;
  gReader.passFlags = 0;
  if (!standardInput)
    protectFile(path, "the running command file");
  FILE *f = nullptr;
  std::string text;
  int result;
  try {
    f = standardInput ? openStandardInput(text) : openInputFile(path);
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
  unprotectFile(path);
  gReader.commandFile = nullptr;
  gReader.fileName = ""; // the caller's path may not outlive the run
  emptyLineBuffer();
  return static_cast<uint32_t>(result) | (gReader.passFlags & kPassStatusMask);
}
