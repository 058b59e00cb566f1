// The drivers on real and designed pairs, checked through what a user gets:
// the saved files must say exactly what the input holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/columns.h"
#include "engine/drivers.h"
#include "engine/extend.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/trim.h"
#include "fasta_pair.h"
#include "local_format_check.h"
#include "output/alignment_files.h"
#include "seq_builders.h"
#include "session/alignment_save.h"
#include "session/report.h"

namespace {

std::string data(const char *name) {
  return readFastaRecord(std::string(VELK_TEST_DATA) + "/" + name);
}

// Answers every question with a fixed button and remembers the texts. With
// `pauseThenStop` it holds the action paused on the first dispatch and stops
// it on the second, as a user pressing pause and then Esc would.
struct ScriptedUi : UiPort {
  Answer answer = kAnswerYes;
  bool pauseThenStop = false;
  std::vector<std::string> asked;
  std::vector<int> percents;
  std::string info;
  Answer messageBox(const char *, const char *text, Buttons, Answer) override {
    asked.push_back(text);
    return answer;
  }
  void setInfoLine(const char *text) override { info = text; }
  void progress(int percent) override {
    percents.push_back(percent);
    if (pauseThenStop)
      gActionStatus |= percents.size() == 1 ? kStatusPaused : kStatusStop;
  }
  void requestRepaint() override {}
};

int hitCount() {
  int n = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    n += h->firstBlock != nullptr;
  return n;
}

// b is a with every `every`-th base changed.
std::string mutated(std::string a, int every) {
  for (size_t i = every / 2; i < a.size(); i += every)
    a[i] = a[i] == 'A' ? 'C' : 'A';
  return a;
}

class DriversTest : public ::testing::Test {
protected:
  void SetUp() override {
    buildResidueTables();
    headlessUi().quiet = true;
  }
  void TearDown() override {
    setUi(nullptr);
    clearTestHits();
  }
  void load(const std::string &a, const std::string &b) {
    loadTestSequences(a.c_str(), b.c_str());
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "seq1.fa");
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "seq2.fa");
    resetSlotDefaults(gCurrent);
    gCurrent->flagsA = 0;
    ASSERT_TRUE(resetEngine(1, gSeq1->length, 1, gSeq2->length));
  }
  std::string save(const char *name, bool global) {
    const std::string path = ::testing::TempDir() + name;
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
    EXPECT_TRUE(global ? SaveGlobalFile(false) : WriteLocalFile(false));
    return path;
  }
  // Sensitive Align of a sequence against itself, with or without "extend".
  // Sensitive Align, with "extend" or without.
  void alignSensitive(const std::string &a, const std::string &b, int16_t extend) {
    load(a, b);
    gCurrent->flagsB |= kOptAlignHash | kOptAlignTrim;
    gCurrent->alignIsland.seedShape = 1;
    gCurrent->alignIsland.extend = extend;
    alignAction(true);
  }
  void alignWithItself(const std::string &sequence, int16_t extend) {
    alignSensitive(sequence, sequence, extend);
  }
  Hit *scoredHit(int32_t x, int32_t y, int32_t length) {
    Hit *h = makeDiagonalHit(x, y, length);
    rebuildLists(0, 0);
    h->score = CountHitColumns(h, h->firstBlock);
    return h;
  }
};

TEST_F(DriversTest, MitochondrialLocalFileAgreesWithTheInput) {
  load(data("mito/MT-human.fa"), data("mito/MT-orang.fa"));
  EXPECT_EQ(alignAction(true), 0);
  EXPECT_EQ(gCurrent->reportKind, kReportKindAlign);
  EXPECT_GT(gCurrent->reportSecond, 0);
  // Human 577..16569 is orang 1..16025: most of it aligns.
  int64_t covered = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    covered += h->end1 - h->start1;
  EXPECT_GT(covered, 12000);
  expandAction();
  trimAction(true);
  int hits = 0;
  EXPECT_EQ(checkLocalFile(save("mito.loc_align", false), &hits), "");
  EXPECT_EQ(hits, hitCount());
}

TEST_F(DriversTest, GlobalFileSpellsBothWholeIntervals) {
  const std::string a = data("small/human_577-2576_N.fa"), b = data("small/orang_1-2000.fa");
  load(a, b);
  alignAction(true);
  expandAction();
  const int before = hitCount();
  ASSERT_GT(before, 0);
  std::ifstream in(save("n.glb_align", true));
  EXPECT_EQ(hitCount(), before) << "the interhit alignments are temporary";
  // Rows of the two sequences are the lines with a colon at column 10, in
  // pairs around a middle line.
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  auto row = [&](size_t i) { return lines[i].size() > 11 && lines[i][9] == ':'; };
  std::string s[2];
  for (size_t i = 0; i + 2 < lines.size(); ++i)
    if (row(i) && row(i + 2)) {
      for (int k = 0; k < 2; ++k)
        for (char c : lines[i + 2 * k].substr(11))
          if (c != '-')
            s[k] += char(toupper(c));
      i += 2;
    }
  EXPECT_TRUE(s[0] == a) << s[0].size() << " letters of " << a.size();
  EXPECT_TRUE(s[1] == b) << s[1].size() << " letters of " << b.size();
}

TEST_F(DriversTest, AlignAgainAddsNothingWhereHitsAlreadyAre) {
  const std::string a = randomBases(3000, 7);
  for (uint32_t hash : {0u, kOptAlignHash}) {
    load(a, mutated(a, 20)); // runs of 19 matches: seeds for words of 16
    gCurrent->flagsB = (gCurrent->flagsB & ~kOptAlignHash) | hash;
    for (int round = 0; round < 2; ++round) {
      alignAction(true);
      ASSERT_EQ(hitCount(), 1) << "hash " << hash << " round " << round;
    }
    EXPECT_EQ(gCurrent->reportSecond, 0);
    EXPECT_GT(gHitHead1->end1 - gHitHead1->start1, 2900);
  }
}

// Two homologous stretches around a middle that no seed reaches: sensitive
// Align joins them across it when the middle is only diverged (and the file
// still spells the input), not when it is unrelated, and never by default.
TEST_F(DriversTest, SensitiveAlignCrossesDivergedStretchesOnly) {
  const std::string a1 = randomBases(1500, 21), b1 = randomBases(1500, 22);
  const std::string a2 = mutated(a1, 20), b2 = mutated(b1, 20).erase(700, 5);
  const std::string middle = randomBases(300, 23);
  std::string diverged = middle.substr(0, 140) + middle.substr(152); // and a 12-base gap
  for (size_t i = 0; i < diverged.size(); ++i)
    if (i % 5 < 3) // 40 % identity, below what frames of eight admit
      diverged[i] = diverged[i] == 'G' ? 'T' : 'G';
  struct Case {
    std::string middle2;
    int16_t shape;
    int hits;
  } cases[] = {{diverged, 1, 1}, {diverged, 0, 2}, {randomBases(2000, 24), 1, 2}};
  for (const Case &c : cases) {
    load(a1 + (c.middle2.size() > 1000 ? randomBases(2000, 25) : middle) + b1, a2 + c.middle2 + b2);
    gCurrent->flagsB |= kOptAlignHash | kOptAlignTrim;
    gCurrent->alignIsland.seedShape = c.shape;
    alignAction(true);
    ASSERT_EQ(hitCount(), c.hits) << "shape " << c.shape << ", middle " << c.middle2.size();
    if (c.hits != 1)
      continue;
    EXPECT_LT(gHitHead1->start1, 50);
    EXPECT_GT(gHitHead1->end1, gSeq1->length - 50);
    // Joined as Trim leaves it: its own best part.
    const Hit before = *gHitHead1;
    trimAction(true);
    EXPECT_EQ(std::tie(before.start1, before.end1, before.start2, before.end2, before.score),
              std::tie(gHitHead1->start1, gHitHead1->end1, gHitHead1->start2, gHitHead1->end2,
                       gHitHead1->score));
    EXPECT_EQ(checkLocalFile(save("bridged.loc_align", false)), "");
  }
}

// The same join is not tried from a repeat copy: with copies of the first
// stretch elsewhere in sequence 2, its hit is one of nine (joined) or of
// ten (a repeat, left apart) over the same residues of sequence 1.
TEST_F(DriversTest, SensitiveAlignDoesNotJoinRepeatCopies) {
  const std::string a1 = randomBases(1500, 21), b1 = randomBases(1500, 22);
  std::string middle = randomBases(300, 23), diverged = middle;
  for (size_t i = 0; i < diverged.size(); ++i)
    if (i % 5 < 3)
      diverged[i] = diverged[i] == 'G' ? 'T' : 'G';
  for (unsigned copies : {8u, 9u}) {
    std::string s2;
    for (unsigned copy = 0; copy < copies; ++copy)
      s2 += mutated(a1, 20 + copy) + randomBases(500, 30 + copy);
    load(a1 + middle + b1, s2 + mutated(a1, 20) + diverged + mutated(b1, 20));
    gCurrent->flagsB |= kOptAlignHash | kOptAlignTrim;
    gCurrent->alignIsland.seedShape = 1;
    alignAction(true);
    unsigned first = 0, joined = 0;
    for (Hit *h = gHitHead1; h; h = h->next1) {
      first += h->start1 < 50 && h->end1 > 1450 && h->end1 < 1550;
      joined += h->start1 < 50 && h->end1 > 3250;
    }
    EXPECT_EQ(first + joined, copies + 1) << copies << " copies: each found once";
    EXPECT_EQ(joined, copies == 8 ? 1u : 0u) << copies << " copies";
  }
}

// With known repeats masked no hit runs through an annotated repeat (lower
// case here); unmasked, the whole pair is one hit.
TEST_F(DriversTest, MaskedRepeatsAreNotAligned) {
  std::string a = randomBases(3000, 50);
  for (size_t i = 1000; i < 2000; ++i)
    a[i] = char(tolower(a[i]));
  for (bool mask : {false, true}) {
    load(a, a);
    if (mask)
      gCurrent->flagsB |= kOptAlignMaskRepeats;
    alignAction(true);
    int through = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      through += h->firstBlock && h->start1 < 1400 && h->end1 > 1600;
    EXPECT_EQ(through, mask ? 0 : 1) << mask;
    EXPECT_GT(hitCount(), mask ? 1 : 0);
  }
}

TEST_F(DriversTest, ExpandGrowsAHitAndLeavesApprovedAndOutsideHitsAlone) {
  const std::string a = randomBases(4000, 3);
  for (bool area : {false, true}) {
    load(a, mutated(a, 11));
    clearTestHits();
    Hit *first = scoredHit(1000, 1000, 200), *approved = scoredHit(3000, 3000, 100);
    approved->flags |= kHitApproved;
    if (area) { // the area holds neither hit
      gCurrent->flagsB |= kOptAreaActive;
      const int32_t box[4] = {2000, 2000, 3000, 3000}; // x0, y0, x1, y1
      memcpy(gCurrent->selectedArea, box, sizeof box);
    }
    expandAction();
    EXPECT_EQ(std::make_pair(approved->start1, approved->end1), std::make_pair(3000, 3100));
    if (area) {
      EXPECT_EQ(std::make_pair(first->start1, first->end1), std::make_pair(1000, 1200));
      EXPECT_EQ(gCurrent->flagsB & kOptClearedAfterAction, 0u);
      continue;
    }
    // Grown up to its neighbour both ways, on its own diagonal.
    EXPECT_EQ(gCurrent->reportKind, kReportKindExpand);
    EXPECT_LT(first->start1, 900);
    EXPECT_TRUE(first->end1 > 2800 && first->end1 <= 3000) << first->end1;
    EXPECT_EQ(first->start1, first->start2);
  }
}

TEST_F(DriversTest, OversizedRegionsAreAskedAbout) {
  ScriptedUi port;
  port.answer = kAnswerNo;
  setUi(&port);
  load(randomBases(5010, 5), randomBases(5010, 6));
  clearTestHits();
  makeDiagonalHit(0, 0, 4);
  makeDiagonalHit(5005, 10, 1); // between them 5001 x 6
  rebuildLists(0, 0);
  EXPECT_EQ(alignOrFill(true, false), 1);
  EXPECT_EQ(port.asked, std::vector<std::string>{"One or more regions are longer than 5Kb.\n\n"
                                                 "Such regions will be skipped.\n\n"
                                                 "Do you want to continue?"});
  for (Hit *h = gHitHead1; h; h = h->next1) // the region records are gone
    EXPECT_FALSE(h->flags & kHitRegionMark);

  // Hash Align over a side above 10 * 4^w; Yes skips it.
  const std::string a = randomBases(3000, 8);
  load(a, mutated(a, 9));
  gCurrent->flagsB |= kOptAlignHash;
  gCurrent->alignIsland.wordSize = 4;
  port.asked.clear();
  port.answer = kAnswerYes;
  alignAction(false);
  ASSERT_EQ(port.asked.size(), 1u);
  EXPECT_EQ(port.asked[0].rfind("One or more regions are too big for the wordsize\n", 0), 0u);
  EXPECT_EQ(hitCount(), 0);
}

using Box = std::tuple<int32_t, int32_t, int32_t, int32_t>; // start1, end1, start2, end2

class RegionsTest : public ::testing::Test {
protected:
  void SetUp() override {
    loadTestSequences(std::string(1000, 'A').c_str(), std::string(800, 'C').c_str());
    reset();
  }
  void TearDown() override { clearTestHits(); }
  void reset() {
    clearTestHits();
    resetSlotDefaults(gCurrent);
    int32_t region[4] = {0, 1000, 0, 800};
    memcpy(gCurrent->region, region, sizeof region);
    resetProgress();
  }
  static std::vector<Box> boxes(uint32_t onlyFlag = 0) {
    std::vector<Box> out;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (!onlyFlag || (h->flags & onlyFlag))
        out.emplace_back(h->start1, h->end1, h->start2, h->end2);
    return out;
  }
};

TEST_F(RegionsTest, RegionsLieBeforeBetweenAndAfterHits) {
  struct H {
    int32_t x, y, length;
    uint32_t flags = 0;
  };
  // In order: no hits; no hits in an area; collinear hits; the second
  // starting inside the first in sequence 1 (no empty region); two approved
  // hits; a conflicting hit, which joins its neighbours and, last in
  // sequence 2, takes the tail too; a last hit not last in sequence 2; an area.
  struct Case {
    int32_t width;             // what buildAlignRegions returns; -1: not checked
    std::vector<int32_t> area; // x0, y0, x1, y1; empty: none
    std::vector<H> hits;
    std::vector<Box> regions;
  } cases[] = {
      {1000, {}, {}, {{0, 1000, 0, 800}}},
      {200, {100, 50, 300, 90}, {}, {{100, 300, 50, 90}}},
      {500,
       {},
       {{100, 50, 100}, {400, 300, 100}},
       {{0, 100, 0, 50}, {200, 400, 150, 300}, {500, 1000, 400, 800}}},
      {-1, {}, {{100, 100, 100}, {180, 210, 100}}, {{0, 100, 0, 100}, {280, 1000, 310, 800}}},
      {-1, {}, {{100, 100, 100, kHitApproved}, {400, 400, 100, kHitApproved}}, {{0, 100, 0, 100}}},
      {-1,
       {},
       {{100, 100, 100}, {300, 600, 50, kHitConflict}, {400, 300, 100}},
       {{0, 100, 0, 100}}},
      {-1, {}, {{100, 500, 100}, {400, 200, 100}}, {{0, 100, 0, 500}}},
      {200, {150, 150, 450, 350}, {{100, 100, 100}, {400, 400, 100}}, {{200, 400, 200, 350}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(&c - cases);
    reset();
    std::vector<Hit *> made;
    for (const H &h : c.hits)
      made.push_back(makeDiagonalHit(h.x, h.y, h.length));
    rebuildLists(0, 0);
    for (size_t i = 0; i < made.size(); ++i)
      made[i]->flags = (made[i]->flags & ~kHitConflict) | c.hits[i].flags;
    if (!c.area.empty()) {
      gCurrent->flagsB |= kOptAreaActive;
      memcpy(gCurrent->selectedArea, c.area.data(), 4 * sizeof(int32_t));
    }
    const int32_t width = buildAlignRegions();
    EXPECT_TRUE(c.width < 0 || width == c.width) << width;
    std::vector<Box> got = boxes(kHitRegionMark);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, c.regions);
  }
  reset();
  buildAlignRegions();
  EXPECT_EQ(gProgress.areaTotal, 800000);
}

TEST_F(RegionsTest, DuplicatesLoseTheLowerScore) {
  auto hit = [](int32_t s1, int32_t s2, int32_t length, int32_t score) {
    makeDiagonalHit(s1, s2, length)->score = score;
  };
  hit(10, 10, 100, 5000);
  hit(10, 10, 50, 4000); // same start: goes
  hit(300, 300, 50, 100);
  hit(280, 280, 70, 900); // same end as the one before, higher: stays
  hit(600, 600, 100, 100);
  hit(620, 635, 40, 3000); // inside, near the first's diagonal: the first goes
  hit(700, 100, 200, 700); // overlaps in x only: stays
  hit(1000, 1000, 400, 9000);
  hit(1100, 1250, 60, 500); // inside the box, off its alignment: a repeat, stays
  hit(3000, 3000, 100, 500);
  hit(3050, 3060, 50, 200); // ends with it in x, starts inside in y: goes
  hit(4000, 4000, 100, 300);
  hit(4000, 4000, 60, 300); // a tie: the one listed first stays
  rebuildLists(0, 0);
  EXPECT_EQ(removeDuplicateHits(), 5);
  EXPECT_EQ(boxes(), (std::vector<Box>{{10, 110, 10, 110},
                                       {280, 350, 280, 350},
                                       {620, 660, 635, 675},
                                       {700, 900, 100, 300},
                                       {1000, 1400, 1000, 1400},
                                       {1100, 1160, 1250, 1310},
                                       {3000, 3100, 3000, 3100},
                                       {4000, 4100, 4000, 4100}}));
}

TEST(ProgressTest, PumpShowsThePercentageAndAPauseEndsWhenStopped) {
  ScriptedUi port;
  port.pauseThenStop = true;
  setUi(&port);
  setProgressLine(ReportLineProgress); // as start-up does
  resetSlotDefaults(gCurrent);
  gCurrent->reportKind = kReportAlign;
  gCurrent->reportFirst = 3;
  gCurrent->reportSecond = 1;
  gActionStatus = kStatusRunning;

  progressPump(0); // no canvas: nothing shown, nothing dispatched
  EXPECT_TRUE(port.percents.empty());

  gProgress = {50, 25, 60}; // the total is raised to what is done
  openActionCanvas();
  progressPump(0);
  closeActionCanvas();
  EXPECT_EQ(port.percents, (std::vector<int>{100, 100}));
  EXPECT_EQ(gProgress.areaTotal, 75);
  EXPECT_EQ(port.info.rfind(" Action: Align    Viewed: 3    Added: 1      (100)%", 0), 0u);
  EXPECT_TRUE(gActionStatus & kStatusStop);

  resetProgress();
  EXPECT_EQ(progressPercent(), 0);
  EXPECT_EQ(gProgress.areaTotal, 1);
  gActionStatus = 0;
  setUi(nullptr);
}

// An old copy inside one sequence: a 1500-base stretch planted again 2000
// bases on at about 63 % identity (two of three changes transitions) with a
// short indel about every 60 bases. Aligned with itself, sensitive Align
// finds the copy only in pieces; with "extend" one hit (and its mirror)
// holds most of it, ends near the copy's ends rather than running into what
// flanks it, and its file still spells the input. The diagonal stays one
// hit of its own.
TEST_F(DriversTest, ExtendFollowsAnOldCopyAlongMostOfItsLength) {
  const std::string base = randomBases(6000, 61);
  std::string copy;
  std::mt19937 rng(62);
  for (char c : base.substr(500, 1500)) {
    const unsigned r = rng() % 120;
    if (r == 0) // a base lost
      continue;
    if (r == 1) // one gained
      copy += "ACGT"[rng() % 4];
    copy += r < 30 ? "GTAC"[std::string("ACGT").find(c)] : r < 45 ? (c == 'A' ? 'C' : 'A') : c;
  }
  const std::string sequence = base.substr(0, 4000) + copy + base.substr(4000 + copy.size());
  for (int16_t extend : {0, 1}) {
    alignWithItself(sequence, extend);
    int32_t longest = 0, diagonal = 0;
    for (Hit *h = gHitHead1; h; h = h->next1) {
      if (!h->firstBlock)
        continue;
      if (h->start1 == h->start2) {
        ++diagonal;
        continue;
      }
      const bool copyIn1 = h->start1 > 3000;
      const int32_t from = copyIn1 ? h->start2 : h->start1, to = copyIn1 ? h->end2 : h->end1;
      EXPECT_GE(from, 500 - 30) << extend;
      EXPECT_LE(to, 2000 + 30) << extend;
      longest = std::max(longest, to - from);
    }
    EXPECT_EQ(diagonal, 1) << extend;
    if (extend)
      EXPECT_GT(longest, 1200);
    else
      EXPECT_LT(longest, 750);
    EXPECT_EQ(checkLocalFile(save("extended.loc_align", false)), "");
  }
}

// A tandem array: 60 copies of a 12-base unit, each with about one base in
// seven changed, so that neighbour copies share about three bases in four.
// Aligned with itself, copies further on are found either way, but the
// array against itself one copy on, 12 diagonals beside the diagonal, only
// under "extend": without it the diagonal's chain holds the same residues
// and takes it for a part of itself. The diagonal stays one hit of its own.
TEST_F(DriversTest, ExtendFindsATandemArrayBesideTheDiagonal) {
  const std::string unit = randomBases(12, 71);
  std::mt19937 rng(72);
  std::string array;
  for (int copy = 0; copy < 60; ++copy)
    for (char c : unit)
      array += rng() % 7 == 0 ? "ACGT"[(std::string("ACGT").find(c) + 1 + rng() % 3) % 4] : c;
  const std::string sequence = randomBases(3000, 73) + array + randomBases(3000, 74);
  for (int16_t extend : {0, 1}) {
    alignWithItself(sequence, extend);
    int32_t diagonal = 0, beside = 0;
    for (Hit *h = gHitHead1; h; h = h->next1) {
      if (!h->firstBlock)
        continue;
      if (h->start1 == h->start2 && h->end1 == h->end2)
        ++diagonal;
      else if (std::abs(h->start2 - h->start1) <= 20 && h->start1 >= 3000 - 30 &&
               h->end1 <= 3000 + 720 + 30)
        beside = std::max(beside, h->end1 - h->start1);
    }
    EXPECT_EQ(diagonal, 1) << extend;
    if (extend)
      EXPECT_GT(beside, 400);
    else
      EXPECT_EQ(beside, 0);
    EXPECT_EQ(checkLocalFile(save("tandem.loc_align", false)), "");
  }
}

// A copy whose every sixth base is a transition, with a tenth of the rest
// changed as well and a short indel about every 150 bases (about 75 %
// identity): every spaced word of the sensitive pattern compares one of the
// transitions, so no word matches it exactly, and sensitive Align finds
// nothing, with or without "extend". Under "extend" a word with one
// transition seeds it, and one hit holds most of the copy.
TEST_F(DriversTest, ExtendSeedsACopyThatNoWordMatchesExactly) {
  const std::string a = randomBases(2000, 81);
  std::mt19937 rng(82);
  std::string b;
  for (size_t i = 0; i < a.size(); ++i) {
    const size_t base = std::string("ACGT").find(a[i]);
    const unsigned r = rng() % 150;
    if (r == 0) // a base lost
      continue;
    if (r == 1) // one gained
      b += "ACGT"[rng() % 4];
    if (i % 6 == 0)
      b += "GTAC"[base];
    else if (rng() % 10 == 0)
      b += "CATG"[base]; // a transversion
    else
      b += a[i];
  }
  for (int16_t extend : {0, 1}) {
    alignSensitive(a, b, extend);
    int32_t longest = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (h->firstBlock)
        longest = std::max(longest, h->end1 - h->start1);
    if (extend)
      EXPECT_GT(longest, 1600);
    else
      EXPECT_EQ(longest, 0);
    EXPECT_EQ(checkLocalFile(save("transitions.loc_align", false)), "");
  }
}

// Two short copies that sequence 2 holds with 150 unrelated bases inserted
// between them; every sixth base of the second is a transversion, so no
// word seeds it. The extension of the first crosses the insertion to it,
// and the whole fails the maximal P-value for the insertion's cost: cut to
// its best part, the second copy must still be kept as a hit of its own.
TEST_F(DriversTest, ExtendKeepsBothPartsOfAnExtensionThatFailsAsAWhole) {
  const std::string a = randomBases(3000, 91);
  std::string unseeded = a.substr(1110, 110);
  for (size_t i = 0; i < unseeded.size(); i += 6)
    unseeded[i] = "CATG"[std::string("ACGT").find(unseeded[i])];
  const std::string b = randomBases(1000, 92) + mutated(a.substr(1000, 110), 7) +
                        randomBases(150, 93) + unseeded + randomBases(1000, 94);
  for (int16_t extend : {0, 1}) {
    alignSensitive(a, b, extend);
    int hits = 0, onSecond = 0;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (h->firstBlock) {
        ++hits;
        onSecond += h->start1 >= 1110 - 10 && h->end1 <= 1220 + 10 && h->start2 >= 1260 - 10 &&
                    h->end2 <= 1370 + 10 && h->end1 - h->start1 > 80;
      }
    EXPECT_EQ(hits, extend ? 2 : 1) << extend;
    EXPECT_EQ(onSecond, extend ? 1 : 0) << extend;
    EXPECT_EQ(checkLocalFile(save("parts.loc_align", false)), "");
  }
}

// After the extension, a hit running beside another a few diagonals off,
// on the same residues, is the same copy found twice: the one the maximal
// P-value judges worse goes, be it the shorter or the longer. A copy one
// tandem period (12) away, hits beside the diagonal of a sequence against
// itself (a mirror pair, tandem copies that drift away from it) and a hit
// the user approved all stay.
TEST_F(DriversTest, ExtendDropsACopyFoundTwiceSideBySide) {
  std::string s = randomBases(7000, 101);
  s.replace(4000, 1000, mutated(s.substr(1000, 1000), 7));
  s.replace(6200, 400, s.substr(2500, 400));
  load(s, s);
  computeMinScores(gSeq1->length, gSeq2->length);
  struct Planted {
    int32_t start1, start2, length;
    bool approved, stays;
  } planted[] = {
      {0, 0, 7000, false, true},       // the diagonal
      {1000, 4000, 1000, false, true}, // the copy
      {1200, 4203, 500, false, false}, // the copy again, 3 diagonals off
      {1200, 4212, 500, false, true},  // one period off
      {1300, 4302, 300, true, true},   // approved
      {2500, 6200, 400, false, true},  // an exact copy, shorter ...
      {2450, 6152, 500, false, false}, // ... than its worse double
      {100, 104, 300, false, true},    // beside the diagonal
      {104, 100, 300, false, true},    // and its mirror
  };
  for (const Planted &p : planted) {
    Hit *h = makeDiagonalHit(p.start1, p.start2, p.length);
    h->flags |= kHitNewFlag | (p.approved ? kHitApproved : 0);
  }
  // Two tandem copies that start beside the diagonal and drift from it.
  for (int32_t start2 : {404, 406})
    makeTestHit(400, start2, {{0, 0, 150}, {150, 186, 150}})->flags |= kHitNewFlag;
  rebuildLists(0, 0);
  EXPECT_EQ(removeExtendedDuplicates(), 2);
  for (const Planted &p : planted) {
    bool found = false;
    for (Hit *h = gHitHead1; h; h = h->next1)
      found |= h->firstBlock && h->start1 == p.start1 && h->start2 == p.start2;
    EXPECT_EQ(found, p.stays) << p.start1 << " " << p.start2;
  }
  int drifting = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    drifting += h->firstBlock && h->start1 == 400;
  EXPECT_EQ(drifting, 2);
}

} // namespace
