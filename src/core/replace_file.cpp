#include "core/replace_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/session.h"
#include "core/signal_cleanup.h"

namespace {
struct Protected {
  std::string path, what;
};
std::vector<Protected> gProtected;

// A name that does not exist yet is known by its folder's real path.
std::string canonical(const char *path) {
  char real[PATH_MAX];
  if (realpath(path, real))
    return real;
  std::string p = path;
  size_t slash = p.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
  std::string base = slash == std::string::npos ? p : p.substr(slash + 1);
  if (!realpath(dir.c_str(), real))
    return p;
  std::string r = real;
  if (r.empty() || r.back() != '/')
    r += '/';
  return r + base;
}

bool sameFile(const char *a, const struct stat *aStat, const char *b) {
  struct stat bStat;
  const bool bExists = stat(b, &bStat) == 0;
  if (aStat && bExists)
    return aStat->st_dev == bStat.st_dev && aStat->st_ino == bStat.st_ino;
  return !aStat && !bExists && canonical(a) == canonical(b);
}

// Write permission as the file's mode grants it: root passes every access
// check, yet a file that nobody may write is still read-only.
bool writable(const char *path, const struct stat &st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) && access(path, W_OK) == 0;
}
} // namespace

void protectFile(const char *path, const char *what) {
  if (path && *path)
    gProtected.push_back({path, what});
}

void unprotectFile(const char *path) {
  for (auto it = gProtected.begin(); it != gProtected.end(); ++it)
    if (it->path == path) {
      gProtected.erase(it);
      return;
    }
}

std::string refusedTarget(const char *path) {
  struct stat st;
  const bool exists = stat(path, &st) == 0;
  if (exists && !S_ISREG(st.st_mode))
    return "a folder, device or pipe";
  for (int i = 0; i < 2; ++i) {
    const Sequence *s = sequenceOf(i);
    if (exists && s && s->fileName[0] && sameFile(path, &st, s->fileName))
      return "a sequence file of this session";
  }
  for (const Protected &p : gProtected)
    if (sameFile(path, exists ? &st : nullptr, p.path.c_str()))
      return p.what;
  if (exists && !writable(path, st))
    return "a read-only file";
  return "";
}

bool openReplacement(const char *path, Replacement &r) {
  r = Replacement();
  // Through a link, the file it names is replaced and the link kept.
  char real[PATH_MAX];
  struct stat st;
  const bool exists = stat(path, &st) == 0;
  r.target = exists && realpath(path, real) ? real : path;
  size_t slash = r.target.rfind('/');
  std::string dir = slash == std::string::npos ? "" : r.target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? r.target : r.target.substr(slash + 1);
  std::string temp = dir + "." + base + ".XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0)
    return false;
  setRemoveOnSignal(kCleanupSave, temp.c_str());
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  r.temporary = temp;
  r.file = fchmod(fd, mode) == 0 ? fdopen(fd, "w") : nullptr;
  if (!r.file) {
    close(fd);
    discardReplacement(r);
    return false;
  }
  return true;
}

bool commitReplacement(Replacement &r) {
  if (!r.file)
    return false;
  bool ok = fflush(r.file) == 0 && !ferror(r.file);
  // On disk before it replaces the old file, or a crash could leave neither.
  if (ok && fsync(fileno(r.file)) != 0)
    ok = false;
  if (fclose(r.file) != 0)
    ok = false;
  r.file = nullptr;
  if (ok && rename(r.temporary.c_str(), r.target.c_str()) != 0)
    ok = false;
  if (!ok)
    unlink(r.temporary.c_str());
  setRemoveOnSignal(kCleanupSave, nullptr);
  r.temporary.clear();
  return ok;
}

void discardReplacement(Replacement &r) {
  if (r.file)
    fclose(r.file);
  r.file = nullptr;
  if (!r.temporary.empty())
    unlink(r.temporary.c_str());
  setRemoveOnSignal(kCleanupSave, nullptr);
  r.temporary.clear();
}
