// Shared set-up of the Trim, Needleman-Wunsch and Refine tests: default
// tables and parameters in window 0, sequences from letters, and blocks of
// a hit as plain tuples.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/session.h"
#include "core/ui_port.h"
#include "engine/scores.h"
#include "engine/trim.h"
#include "seq_builders.h"

using BlockBox = std::tuple<int32_t, int32_t, int32_t>; // x, y, length

class RealignTest : public ::testing::Test {
protected:
  void SetUp() override {
    headlessUi().quiet = true;
    buildResidueTables();
    gCurrent = &gSlots[0];
    resetSlotDefaults(gCurrent);
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
    gActionStatus = 0;
    gTrimWeights = nullptr;
  }
  void TearDown() override {
    clearTestHits();
    gActionStatus = 0;
    buildScoreTable(ScoreParams{});
  }

  void load(const std::string &a, const std::string &b) {
    loadTestSequences(a.c_str(), b.c_str());
    int32_t region[4] = {0, int32_t(a.size()), 0, int32_t(b.size())};
    memcpy(gCurrent->region, region, sizeof region);
  }

  void useScores(const ScoreParams &p) {
    gCurrent->score = p;
    buildScoreTable(p);
  }

  static std::vector<BlockBox> boxes(const HitBlock *b) {
    std::vector<BlockBox> out;
    for (; b; b = b->next)
      out.emplace_back(b->x, b->y, b->length);
    return out;
  }

  // No residue may keep the engine's end-of-region mark after a unit.
  static bool sentinelsCleared() {
    for (const Sequence *s : {gSeq1, gSeq2})
      for (int32_t i = 0; i <= s->length; ++i)
        if (s->residues[i] & 0x20)
          return false;
    return true;
  }
};
