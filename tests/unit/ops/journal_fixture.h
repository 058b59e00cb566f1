// A session whose temporary files go to a private folder, with a user
// interface that records every message box.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "conflict_fixture.h"
#include "core/tempfiles.h"

// What the journal keeps of every hit (box, flags, blocks and their links),
// flattened for comparison.
inline std::vector<int64_t> keptHits() {
  std::vector<int64_t> all;
  for (const Hit *h : mainListOrder()) {
    all.insert(all.end(), {INT64_MIN, h->start1, h->end1, h->start2, h->end2, h->flags});
    for (const HitBlock *b = h->firstBlock; b; b = b->next)
      all.insert(all.end(),
                 {b->x, b->y, b->length, b->next ? b->linkKind : 0, b->next ? b->cut : 0});
  }
  return all;
}

inline std::string readWholeFile(const std::string &name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class JournalSession : public ConflictSession {
protected:
  void SetUp() override {
    ConflictSession::SetUp();
    char pattern[] = "/tmp/velk-journal-test-XXXXXX";
    dir = mkdtemp(pattern);
    setenv("TMPDIR", dir.c_str(), 1);
    resetTempDirectory();
    setUi(&port);
  }
  void TearDown() override {
    ConflictSession::TearDown(); // deletes the temporary files
    setUi(nullptr);
    if (system(("rm -rf '" + dir + "'").c_str()) != 0)
      ADD_FAILURE() << "could not remove " << dir;
    unsetenv("TMPDIR");
    resetTempDirectory();
  }
  int count(const char *title) const {
    return static_cast<int>(std::count(port.titles.begin(), port.titles.end(), title));
  }
  std::string dir;
  RecordingUi port;
};
