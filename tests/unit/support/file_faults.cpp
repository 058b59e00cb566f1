// Interposes the file calls the writers make. The program's own definitions
// take precedence over the C library's for every call it links, so nothing
// needs preloading; the real function is found behind them.
#include "file_faults.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool gArmed[5] = {};

bool due(FileCall call) {
  bool &armed = gArmed[int(call)];
  const bool fail = armed;
  armed = false;
  return fail;
}

template <typename F> F real(const char *name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

void failNextCall(FileCall call) { gArmed[int(call)] = true; }
void clearFileFaults() {
  for (bool &armed : gArmed)
    armed = false;
}

extern "C" {
size_t fwrite(const void *data, size_t size, size_t count, FILE *f) {
  static auto next = real<size_t (*)(const void *, size_t, size_t, FILE *)>("fwrite");
  if (due(FileCall::Write)) {
    errno = ENOSPC;
    return 0;
  }
  return next(data, size, count, f);
}

int vfprintf(FILE *f, const char *format, va_list args) {
  static auto next = real<int (*)(FILE *, const char *, va_list)>("vfprintf");
  if (due(FileCall::Write)) {
    errno = ENOSPC;
    return -1;
  }
  return next(f, format, args);
}

int fsync(int fd) {
  static auto next = real<int (*)(int)>("fsync");
  if (due(FileCall::Fsync)) {
    errno = EIO;
    return -1;
  }
  return next(fd);
}

// The stream is closed either way, as a failed close does.
int fclose(FILE *f) {
  static auto next = real<int (*)(FILE *)>("fclose");
  const bool fail = due(FileCall::Close);
  const int result = next(f);
  if (fail) {
    errno = EIO;
    return EOF;
  }
  return result;
}

int rename(const char *from, const char *to) noexcept {
  static auto next = real<int (*)(const char *, const char *)>("rename");
  if (due(FileCall::Rename)) {
    errno = EXDEV;
    return -1;
  }
  return next(from, to);
}

int fchmod(int fd, mode_t mode) noexcept {
  static auto next = real<int (*)(int, mode_t)>("fchmod");
  if (due(FileCall::Chmod)) {
    errno = EPERM;
    return -1;
  }
  return next(fd, mode);
}
}
