// A session whose temporary files go to a private folder, with a user
// interface that records every message box.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "conflict_fixture.h"
#include "core/tempfiles.h"

class RecordingUi : public HeadlessUi {
public:
  Answer messageBox(const char *title, const char *text, Buttons, Answer dflt) override {
    titles.push_back(title);
    texts.push_back(text);
    return dflt;
  }
  std::vector<std::string> titles, texts;
};

// The parts of a hit the journal keeps: box, flags, blocks and the links
// between them.
struct KeptHit {
  int32_t s1, e1, s2, e2;
  uint32_t flags;
  std::vector<int32_t> blocks; // x, y, length[, linkKind, cut] per block
  bool operator==(const KeptHit &o) const {
    return s1 == o.s1 && e1 == o.e1 && s2 == o.s2 && e2 == o.e2 && flags == o.flags &&
           blocks == o.blocks;
  }
};

inline std::vector<KeptHit> keptHits() {
  std::vector<KeptHit> all;
  for (const Hit *h = gHitHead1; h; h = h->next1) {
    KeptHit k{h->start1, h->end1, h->start2, h->end2, h->flags, {}};
    for (const HitBlock *b = h->firstBlock; b; b = b->next) {
      k.blocks.insert(k.blocks.end(), {b->x, b->y, b->length});
      if (b->next)
        k.blocks.insert(k.blocks.end(), {b->linkKind, b->cut});
    }
    all.push_back(k);
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
    std::string cmd = "rm -rf '" + dir + "'";
    if (system(cmd.c_str()) != 0)
      ADD_FAILURE() << "could not remove " << dir;
    unsetenv("TMPDIR");
    resetTempDirectory();
  }
  int count(const char *title) const {
    int n = 0;
    for (const std::string &t : port.titles)
      n += t == title;
    return n;
  }
  std::string dir;
  RecordingUi port;
};
