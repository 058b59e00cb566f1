// Sessions for the island search and assembly tests: two sequences, the
// default parameters, and a region record over a chosen rectangle.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/session.h"
#include "core/ui_port.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "fasta_pair.h"
#include "seq_builders.h"

class SearchTest : public ::testing::Test {
protected:
  void SetUp() override {
    headlessUi().quiet = true;
    gActionStatus = 0;
  }
  void TearDown() override {
    releaseRegion();
    gActionStatus = 0;
  }

  // Loads the pair (or the mitochondrial one), resets slot 0 to its defaults
  // and sets the action parameters (no masking unless asked).
  void load(const std::string &s1, const std::string &s2, uint16_t masking = 0x08,
            IslandParams island = IslandParams{}, ScoreParams score = ScoreParams{}) {
    loadTestSequences(s1.c_str(), s2.c_str());
    defaults(masking, island, score);
  }
  void loadMito() {
    ASSERT_TRUE(
        loadFastaPair(VELK_TEST_DATA "/mito/MT-human.fa", VELK_TEST_DATA "/mito/MT-orang.fa"));
    defaults();
  }
  void defaults(uint16_t masking = 0x08, IslandParams island = IslandParams{},
                ScoreParams score = ScoreParams{}) {
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
    setActionParams(masking, score, island);
  }

  // A region record in the hit list over [x1, x2) x [y1, y2); whole pair by default.
  Hit *region(int32_t x1 = 0, int32_t x2 = -1, int32_t y1 = 0, int32_t y2 = -1) {
    Hit *h = allocateHit();
    h->start1 = x1;
    h->end1 = x2 < 0 ? gSeq1->length : x2;
    h->start2 = y1;
    h->end2 = y2 < 0 ? gSeq2->length : y2;
    return h;
  }

  // Prepares the whole pair for direct calls of the scans and links.
  void prepare() {
    Hit *r = region();
    prepareRegion(r, r->end1, r->end2, kModeAlign | kModeNoDraw);
  }
};

// Hit extents, and checks of how they cover sequence 1 and overlap.
struct Box {
  int32_t x0, x1, y0, y1;
};
inline std::vector<Box> hitBoxes() {
  std::vector<Box> out;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock)
      out.push_back(Box{h->start1, h->end1, h->start2, h->end2});
  return out;
}
// Positions of [from, to) in sequence 1 that some hit spans.
inline int32_t covered(const std::vector<Box> &boxes, int32_t from, int32_t to) {
  std::vector<bool> hit(to - from);
  for (const Box &b : boxes)
    for (int32_t x = std::max(b.x0, from); x < std::min(b.x1, to); ++x)
      hit[x - from] = true;
  return int32_t(std::count(hit.begin(), hit.end(), true));
}
// Pairs of hits sharing more than `slack` positions in both sequences.
inline int duplicates(const std::vector<Box> &boxes, int32_t slack) {
  int n = 0;
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const Box &a = boxes[i], &b = boxes[j];
      n += std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > slack &&
           std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > slack;
    }
  return n;
}
inline std::string randomDna(std::mt19937 &rng, size_t n) {
  static const char kLetters[] = "ACGT";
  std::string s(n, 'A');
  for (char &c : s)
    c = kLetters[rng() & 3];
  return s;
}

// A copy with substitutions at the given rate.
inline std::string mutate(std::mt19937 &rng, const std::string &s, double rate) {
  static const char kLetters[] = "ACGT";
  std::string t = s;
  std::uniform_real_distribution<double> u(0, 1);
  for (char &c : t)
    if (u(rng) < rate)
      c = kLetters[(std::string("ACGT").find(c) + 1 + rng() % 3) & 3];
  return t;
}
