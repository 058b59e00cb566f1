// Align on both strands and Reverse on a pair with a planted inversion:
// what the other strand holds, that the session's own hits are those of a
// one-strand Align, and that Reverse twice changes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/scores.h"
#include "engine/strands.h"
#include "seq_builders.h"

namespace {

// Every hit of a list with its blocks, flattened.
std::vector<int64_t> shapeOf(const Hit *head) {
  std::vector<int64_t> all;
  for (const Hit *h = head; h; h = h->next1) {
    all.insert(all.end(), {-1, h->start1, h->end1, h->start2, h->end2, h->score});
    for (const HitBlock *b = h->firstBlock; b; b = b->next)
      all.insert(all.end(), {b->x, b->y, b->length});
  }
  return all;
}

std::vector<uint8_t> residues2() { return {gSeq2->residues, gSeq2->residues + gSeq2->length}; }

// Residues [from, to) of sequence 1 covered by hits of the second set.
int64_t otherCover(int32_t from, int32_t to) {
  std::vector<bool> covered(size_t(to - from));
  for (const Hit *h = gOther.head1; h; h = h->next1)
    for (int32_t x = std::max(from, h->start1); x < std::min(to, h->end1); ++x)
      covered[size_t(x - from)] = true;
  int64_t n = 0;
  for (bool c : covered)
    n += c;
  return n;
}

class StrandsTest : public ::testing::Test {
protected:
  void SetUp() override {
    buildResidueTables();
    headlessUi().quiet = true;
    a = randomBases(4000, 11);
    // 1500..2500 of a, turned round; a few changes so the hits have gaps
    // and mismatches to keep.
    b = a.substr(0, 1500) + reverseComplementBases(a.substr(1500, 1000)) + a.substr(2500);
    for (size_t i = 37; i < b.size(); i += 53)
      b[i] = b[i] == 'A' ? 'G' : 'A';
    b.erase(3100, 3);
  }
  void TearDown() override { clearTestHits(); }
  void load(int16_t strands) {
    loadTestSequences(a.c_str(), b.c_str());
    resetSlotDefaults(gCurrent);
    gCurrent->flagsA = kWinSeq1 | kWinSeq2;
    gCurrent->alignIsland.strands = strands;
    ASSERT_TRUE(resetEngine(1, gSeq1->length, 1, gSeq2->length));
  }
  std::string a, b;
};

TEST_F(StrandsTest, BothStrandsKeepTheSessionsHitsAndFindTheInversionApart) {
  load(0);
  alignAction(true);
  const std::vector<int64_t> oneStrand = shapeOf(gHitHead1);
  const int32_t added = gCurrent->reportSecond;
  ASSERT_GT(added, 0);
  EXPECT_EQ(gOther.head1, nullptr);

  load(1);
  const std::vector<uint8_t> before = residues2();
  alignAction(true);
  EXPECT_EQ(shapeOf(gHitHead1), oneStrand);
  EXPECT_EQ(residues2(), before);
  EXPECT_FALSE(gSeq2->flags & (kSeqInverted | kSeqInvertRequested));
  ASSERT_NE(gOther.head1, nullptr);
  EXPECT_GT(gCurrent->reportSecond, added) << "the report counts both strands";
  EXPECT_FALSE(onOtherStrand(gCurrent->selectedHit));
  // The inversion pairs a[1500 + k] with the other strand's index 1500 + k
  // (sequence 2 is as long as sequence 1 up to there): on the diagonal.
  EXPECT_GE(otherCover(1500, 2500), 950);
  EXPECT_LE(otherCover(0, 1450) + otherCover(2550, 4000), 60);
  for (const Hit *h = gOther.head1; h; h = h->next1) {
    EXPECT_TRUE(onOtherStrand(h));
    EXPECT_FALSE(h->flags & kHitConflict);
    if (h->end1 - h->start1 > 200) {
      EXPECT_NEAR(h->start2 - h->start1, 0, 5);
    }
  }
  for (const Hit *h = gHitHead1; h; h = h->next1)
    EXPECT_FALSE(onOtherStrand(h));
}

TEST_F(StrandsTest, ReverseExchangesTheSetsAndTwiceChangesNothing) {
  load(1);
  alignAction(true);
  const std::vector<int64_t> mine = shapeOf(gHitHead1), other = shapeOf(gOther.head1);
  const std::vector<uint8_t> residues = residues2();
  const int32_t y0 = gCurrent->region[2], y1 = gCurrent->region[3];
  Hit *selected = gCurrent->selectedHit;

  reverseStrands();
  EXPECT_EQ(shapeOf(gHitHead1), other);
  EXPECT_EQ(shapeOf(gOther.head1), mine);
  EXPECT_TRUE(gSeq2->flags & kSeqInverted);
  EXPECT_TRUE(gSeq2->flags & kSeqInvertRequested);
  EXPECT_EQ(gCurrent->region[2], gSeq2->length - y1);
  EXPECT_EQ(gCurrent->region[3], gSeq2->length - y0);
  EXPECT_EQ(gCurrent->selectedHit, selected) << "a selected hit stays selected";
  EXPECT_TRUE(onOtherStrand(selected));
  for (int32_t i = 0; i < gSeq2->length; ++i)
    ASSERT_EQ(gSeq2->residues[i], residues[size_t(gSeq2->length - 1 - i)] ^ 3) << i;

  reverseStrands();
  EXPECT_EQ(shapeOf(gHitHead1), mine);
  EXPECT_EQ(shapeOf(gOther.head1), other);
  EXPECT_EQ(residues2(), residues);
  EXPECT_FALSE(gSeq2->flags & (kSeqInverted | kSeqInvertRequested));
  EXPECT_EQ(gCurrent->region[2], y0);
  EXPECT_EQ(gCurrent->selectedHit, selected);
}

TEST_F(StrandsTest, TheOtherStrandIsSearchedInTheSelectedAreaOnly) {
  load(1);
  // Sequence 1 up to 2000 (half the inversion), all of sequence 2.
  const int32_t area[4] = {0, 0, 2000, gSeq2->length};
  memcpy(gCurrent->selectedArea, area, sizeof area);
  gCurrent->flagsB |= kOptAreaActive | kOptRectDone;
  alignAction(true);
  EXPECT_FALSE(gCurrent->flagsB & (kOptAreaActive | kOptRectDone));
  ASSERT_NE(gOther.head1, nullptr);
  for (const Hit *h = gOther.head1; h; h = h->next1)
    EXPECT_LE(h->end1, 2000);
  EXPECT_GE(otherCover(1500, 2000), 450);

  // An empty session on the other strand still reverses to a placeholder.
  load(0);
  alignAction(true);
  reverseStrands();
  ASSERT_NE(gHitHead1, nullptr);
  EXPECT_EQ(gHitHead1->firstBlock, nullptr) << "no hits here: the placeholder of the area";
  EXPECT_EQ(gHitCount, 1);
  reverseStrands();
  EXPECT_EQ(gOther.head1, nullptr);
}

} // namespace
