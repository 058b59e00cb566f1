#include "core/errors.h"

#include <cstdio>
#include <cstring>

#include "core/pool.h"
#include "core/records.h"
#include "core/ui_port.h"

int gLastError = 0;

static const char *const kErrorTexts[] = {
    "Internal error",
    "Cannot open input file",
    "Bad LOCUS field in genbank file",
    "Bad VERSION field in genbank file",
    "Bad line in genbank file",
    "Bad line with coordinates in genbank file",
    "End of file detected",
    "Seek error in input file",
    "Not enough memory",
    "NonPC file format",
    "Bad format of input file",
    "Bad command in file",
    "Bad filename",
    "Filename for file with sequence is absend",
    "No sequence in input file",
    "Damaged compressed file",
    "No such record in the file",
};
static_assert(sizeof kErrorTexts / sizeof kErrorTexts[0] == kErrLast - kErrInternal + 1,
              "one text per error code");

const char *errorText(int code) {
  if (code < kErrInternal || code > kErrLast)
    return nullptr;
  return kErrorTexts[code - kErrInternal];
}

char *messageBuffer() {
  static char fallback[kMessageBytes];
  return gBuffers ? gBuffers->message : fallback;
}

void copyStatusToInfoLine() {
  char line[1024];
  const char *m = messageBuffer();
  size_t n = strcspn(m, "\n");
  if (n >= sizeof line)
    n = sizeof line - 1;
  memcpy(line, m, n);
  line[n] = 0;
  ui()->setInfoLine(line);
}

static void show(int code) {
  gLastError = code;
  ui()->messageBox("Error", messageBuffer(), Buttons::Ok, kAnswerOk);
  copyStatusToInfoLine();
}

[[noreturn]] static void showAndLeave(int code) {
  show(code);
  throw ReaderError{code};
}

namespace {
bool gMemoryShort = false;
size_t gMemoryShortSize = 0;
} // namespace

void noteOutOfMemory(size_t size) {
  if (!gMemoryShort || gMemoryShortSize == 0)
    gMemoryShortSize = size;
  gMemoryShort = true;
}
bool outOfMemoryNoted() { return gMemoryShort; }
void clearOutOfMemory() {
  gMemoryShort = false;
  gMemoryShortSize = 0;
}

static void formatOutOfMemory(size_t size, const char *place) {
  if (size)
    snprintf(messageBuffer(), kMessageBytes,
             "ERROR: Not enough memory. \nExtra %zu bytes are needed. \nBrekpoint in %s.\n", size,
             place);
  else
    snprintf(messageBuffer(), kMessageBytes, "ERROR: Not enough memory. \nBrekpoint in %s.\n",
             place);
}

void reportOutOfMemory(size_t size, const char *place) {
  clearOutOfMemory(); // reported here, through the read
  formatOutOfMemory(size, place);
  showAndLeave(kErrNoMemory);
}

void reportActionOutOfMemory() {
  formatOutOfMemory(gMemoryShortSize, "heap_alloc");
  clearOutOfMemory();
  show(kErrNoMemory);
}

void reportPoolCreationFailure() {
  clearOutOfMemory();
  snprintf(messageBuffer(), kMessageBytes, "ERROR: Cannot create heap.\n");
  showAndLeave(kErrNoMemory);
}

void reportFatal(int code, const char *fileName, const char *place) {
  reportFatalDetail(code, "", fileName, place);
}

static void formatFatal(int code, const char *detail, const char *fileName, const char *place) {
  const char *text = errorText(code);
  snprintf(messageBuffer(), kMessageBytes, "ERROR: %s%s. \nFile: %s. \nBreakpoint in %s\n",
           text ? text : "Internal error", detail, fileName ? fileName : "", place);
}

void reportFatalDetail(int code, const char *detail, const char *fileName, const char *place) {
  formatFatal(code, detail, fileName, place);
  showAndLeave(code);
}

void showFatal(int code, const char *fileName, const char *place) {
  formatFatal(code, "", fileName, place);
  show(code);
}

bool refuseLongPath(const char *name, const char *place) {
  if (strlen(name) < size_t(kPathBytes))
    return false;
  showFatal(kErrCannotOpen, name, place);
  return true;
}

void abandonRead(int code) {
  gLastError = code;
  throw ReaderError{code};
}
