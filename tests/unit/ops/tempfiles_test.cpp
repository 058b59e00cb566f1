#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
