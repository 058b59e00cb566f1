#include "core/tempfiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
bool gResolved = false;
std::string gTempDir;

const char *firstSet(std::initializer_list<const char *> names) {
  for (const char *n : names) {
    const char *v = getenv(n);
    if (v && *v)
      return v;
  }
  return nullptr;
}
} // namespace

const char *tempDirectory() {
  if (!gResolved) {
    const char *v = firstSet({"TMPDIR", "TMP", "TEMP"});
    std::string raw = v ? v : "/tmp";
    gTempDir.clear();
    for (char c : raw)
      if (!(c == '/' && !gTempDir.empty() && gTempDir.back() == '/'))
        gTempDir.push_back(c);
    if (!gTempDir.empty() && gTempDir.back() == '/')
      gTempDir.pop_back();
    gResolved = true;
  }
  return gTempDir.c_str();
}

void resetTempDirectory() { gResolved = false; }

FILE *createTempFile(const char *pattern, char *name, size_t nameSize) {
  const char *dir = tempDirectory();
  if (nameSize)
    name[0] = 0;
  for (int i = 0; i < 100; ++i) {
    char file[64];
    snprintf(file, sizeof file, pattern, i);
    int n = snprintf(name, nameSize, "%s/%s", dir, file);
    if (n < 0 || size_t(n) >= nameSize)
      return nullptr; // the directory's name is too long to hold
    int fd = open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST || errno == ELOOP)
        continue; // taken: try the next number
      return nullptr;
    }
    FILE *f = fdopen(fd, "w+b");
    if (!f) {
      close(fd);
      unlink(name);
      return nullptr;
    }
    return f;
  }
  return nullptr;
}
