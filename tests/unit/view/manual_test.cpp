#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "view/manual.h"

// The Help window shows the compiled-in copy; it must be the file as it
// stands, byte for byte, and fit the Help window (no tabs).
TEST(ManualTest, CompiledInCopyIsTheDocumentationFile) {
  std::ifstream in(VELK_SOURCE_DIR "/docs/manual.txt", std::ios::binary);
  std::stringstream file;
  file << in.rdbuf();
  EXPECT_EQ(userManual(), file.str());
  EXPECT_GT(userManual().size(), 14000u);
  EXPECT_EQ(userManual().find('\t'), std::string_view::npos);
}
