#include "core/tempfiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {
// A run holds an exclusive lock on each of its files for as long as it has
// them open. A file of this user that nobody holds a lock on was left by a
// run that ended without removing it (killed): it is taken over. Files of
// other users, links and live runs' files are never touched.
int takeLeftover(const char *name) {
  int fd = open(name, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return -1;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_nlink == 1 &&
      flock(fd, LOCK_EX | LOCK_NB) == 0 && ftruncate(fd, 0) == 0)
    return fd;
  close(fd);
  return -1;
}

// A new file under `name`, locked before the name exists, so that no other
// run can ever find it unlocked. -1 with errno EEXIST when the name is taken.
int createLocked(const char *name) {
  std::string draft = std::string(name) + ".XXXXXX";
  int fd = mkostemp(&draft[0], O_CLOEXEC);
  if (fd < 0)
    return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 || link(draft.c_str(), name) != 0) {
    int saved = errno;
    close(fd);
    unlink(draft.c_str());
    errno = saved;
    return -1;
  }
  unlink(draft.c_str());
  return fd;
}
} // namespace

FILE *createTempFile(const char *pattern, char *name, size_t nameSize) {
  const char *dir = tempDirectory();
  if (nameSize)
    name[0] = 0;
  // The first hundred numbers in order, then numbers drawn at random: a
  // folder crowded with leftovers or other users' files still has room.
  unsigned seed = unsigned(getpid()) * 2654435761u ^ unsigned(time(nullptr));
  for (int attempt = 0; attempt < 100 + 10000; ++attempt) {
    int number = attempt < 100 ? attempt : 100 + int(rand_r(&seed) % 1000000000);
    char file[64];
    snprintf(file, sizeof file, pattern, number);
    int n = snprintf(name, nameSize, "%s/%s", dir, file);
    if (n < 0 || size_t(n) + 8 >= nameSize)
      return nullptr; // the directory's name is too long to hold
    int fd = createLocked(name);
    if (fd < 0 && errno == EEXIST)
      fd = takeLeftover(name);
    else if (fd < 0)
      return nullptr;
    if (fd < 0)
      continue; // taken: try the next number
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
