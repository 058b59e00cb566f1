#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/tempfiles.h"

namespace {
std::string dirWith(const char *tmpdir, const char *tmp, const char *temp) {
  auto set = [](const char *name, const char *value) {
    value ? setenv(name, value, 1) : unsetenv(name);
  };
  set("TMPDIR", tmpdir);
  set("TMP", tmp);
  set("TEMP", temp);
  resetTempDirectory();
  std::string d = tempDirectory();
  set("TMPDIR", nullptr);
  set("TMP", nullptr);
  set("TEMP", nullptr);
  resetTempDirectory();
  return d;
}
} // namespace

TEST(TempDirectory, FirstNonEmptyVariableWinsAndSeparatorsAreTidied) {
  EXPECT_EQ(dirWith("/a", "/b", "/c"), "/a");
  EXPECT_EQ(dirWith("", "/b", "/c"), "/b");
  EXPECT_EQ(dirWith(nullptr, nullptr, "/c//d/"), "/c/d");
  EXPECT_EQ(dirWith(nullptr, nullptr, nullptr), "/tmp");
  EXPECT_EQ(dirWith("/", nullptr, nullptr), "") << "files then go to /VelkUndo...";
}

TEST(TempDirectory, OverlongFolderNameIsRefusedNotCut) {
  std::string longDir = "/tmp/" + std::string(5000, 'x');
  setenv("TMPDIR", longDir.c_str(), 1);
  resetTempDirectory();
  char name[4096];
  EXPECT_EQ(createTempFile("VelkUndo.!%d", name, sizeof name), nullptr);
  unsetenv("TMPDIR");
  resetTempDirectory();
}
