// Fixture for the sequence reader tests: quiet headless port, fresh session
// memory and a temporary folder for hand-made files.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/records.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/reader_engine.h"
#include "io/sequence_reader.h"

class SequenceFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    headlessUi().quiet = true;
    ASSERT_TRUE(initSessionMemory());
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    gLastError = 0;
    gReader.passFlags = 0;
    const char *tmp = getenv("TMPDIR");
    dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/velk_seq_XXXXXX";
    ASSERT_NE(mkdtemp(&dir[0]), nullptr);
  }
  void TearDown() override {
    releaseSessionMemory();
    std::string cmd = "rm -rf '" + dir + "'";
    (void)!system(cmd.c_str());
  }

  std::string writeFile(const std::string &text, const char *name = "seq.txt") {
    std::string path = dir + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    return path;
  }
  static void setName(Sequence *s, const std::string &path) {
    snprintf(s->fileName, sizeof s->fileName, "%s", path.c_str());
    snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", path.c_str());
  }
  // Reads `text` into sequence 1; the result of the read.
  int load(const std::string &text, Sequence *s = nullptr) {
    s = s ? s : gSeq1;
    setName(s, writeFile(text));
    gLastError = 0;
    return readSequence(s);
  }
  static std::string letters(const Sequence *s) {
    std::string out;
    for (int i = 0; i < s->length; ++i)
      out.push_back(residueLetter(s->residues[i]));
    return out;
  }
  static std::string message() { return messageBuffer(); }

  std::string dir;
};

inline std::string dataFile(const char *relative) {
  return std::string(VELK_TEST_DATA) + "/" + relative;
}
