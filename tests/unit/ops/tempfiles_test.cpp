#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

#include "core/tempfiles.h"

TEST(TempDirectory, FirstNonEmptyVariableWinsSeparatorsAreTidiedOverlongIsRefused) {
  struct Case {
    const char *tmpdir, *tmp, *temp, *dir;
  } cases[] = {
      {"/a", "/b", "/c", "/a"},
      {"", "/b", "/c", "/b"},
      {nullptr, nullptr, "/c//d/", "/c/d"},
      {nullptr, nullptr, nullptr, "/tmp"},
      {"/", nullptr, nullptr, ""}, // files then go to /VelkUndo...
  };
  auto set = [](const char *name, const char *value) {
    value ? setenv(name, value, 1) : unsetenv(name);
  };
  for (const Case &c : cases) {
    set("TMPDIR", c.tmpdir);
    set("TMP", c.tmp);
    set("TEMP", c.temp);
    resetTempDirectory();
    EXPECT_EQ(std::string(tempDirectory()), c.dir) << c.dir;
  }
  std::string longDir = "/tmp/" + std::string(5000, 'x');
  setenv("TMPDIR", longDir.c_str(), 1);
  resetTempDirectory();
  char name[4096];
  EXPECT_EQ(createTempFile("VelkUndo.!%d", name, sizeof name), nullptr) << "refused, not cut";
  for (const char *v : {"TMPDIR", "TMP", "TEMP"})
    unsetenv(v);
  resetTempDirectory();
}

namespace {
struct TempFolder {
  std::string dir;
  TempFolder() {
    const char *tmp = getenv("TMPDIR");
    dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk_temp_XXXXXX";
    EXPECT_NE(mkdtemp(&dir[0]), nullptr);
    setenv("TMPDIR", dir.c_str(), 1);
    resetTempDirectory();
  }
  ~TempFolder() {
    unsetenv("TMPDIR");
    resetTempDirectory();
    (void)!system(("rm -rf '" + dir + "'").c_str());
  }
  std::string path(int i) const { return dir + "/VelkUndo.!" + std::to_string(i); }
  void plant(int i, const char *text) const {
    FILE *f = fopen(path(i).c_str(), "w");
    fputs(text, f);
    fclose(f);
  }
  std::string read(int i) const {
    std::ifstream in(path(i));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};
} // namespace

// Files of killed runs (nobody holds their lock) are taken over; files a
// live run holds are left alone, and a run still finds a name of the same
// pattern when all hundred are held.
TEST(TempFiles, LeftoversAreReusedLiveFilesAreNot) {
  TempFolder t;
  for (int i = 0; i < 100; ++i)
    t.plant(i, "left by a killed run");
  char name[4096];
  FILE *f = createTempFile("VelkUndo.!%d", name, sizeof name);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(name), t.path(0));
  EXPECT_EQ(t.read(0), "");
  // This file is now held: another run skips it.
  char second[4096];
  FILE *g = createTempFile("VelkUndo.!%d", second, sizeof second);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(std::string(second), t.path(1));
  fclose(f);
  fclose(g);

  std::vector<int> held;
  for (int i = 0; i < 100; ++i) {
    t.plant(i, "live");
    int fd = open(t.path(i).c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    held.push_back(fd);
  }
  f = createTempFile("VelkUndo.!%d", name, sizeof name);
  ASSERT_NE(f, nullptr);
  int number = -1;
  ASSERT_EQ(sscanf(name + t.dir.size(), "/VelkUndo.!%d", &number), 1);
  EXPECT_GE(number, 100);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(t.read(i), "live");
    close(held[i]);
  }
  fclose(f);
  // Only the named files exist: no drafts are left beside them.
  for (int i = 0; i < 100; ++i)
    unlink(t.path(i).c_str());
  unlink(name);
  EXPECT_EQ(rmdir(t.dir.c_str()), 0);
}

// A leftover's name that is a second link to another file is not taken
// over: emptying it would empty that file.
TEST(TempFiles, AHardLinkedLeftoverIsLeftAlone) {
  TempFolder t;
  const std::string other = t.dir + "/precious";
  std::ofstream(other) << "keep";
  ASSERT_EQ(link(other.c_str(), t.path(0).c_str()), 0);
  char name[4096];
  FILE *f = createTempFile("VelkUndo.!%d", name, sizeof name);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::string(name), t.path(1));
  fclose(f);
  EXPECT_EQ(t.read(0), "keep");
}
