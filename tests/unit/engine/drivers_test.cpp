// The drivers on real and designed pairs, checked through what a user gets:
// the saved files must say exactly what the input holds.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/drivers.h"
#include "engine/scores.h"
#include "engine/search.h"
#include "engine/trim.h"
#include "ops/resolve.h"
#include "output/alignment_files.h"
#include "output/columns.h"
#include "seq_builders.h"

namespace {

std::string readFasta(const std::string &path) {
  std::ifstream in(path);
  std::string line, s;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '>')
      s += line;
  return s;
}

std::string dataPath(const char *name) { return std::string(VELK_TEST_DATA) + "/" + name; }

std::vector<std::string> readLines(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line))
    lines.push_back(line);
  return lines;
}

// Answers every question with a fixed button and remembers the texts.
class ScriptedUi : public UiPort {
public:
  Answer answer = kAnswerYes;
  std::vector<std::string> asked;
  Answer messageBox(const char *, const char *text, Buttons, Answer) override {
    asked.push_back(text);
    return answer;
  }
  void setInfoLine(const char *) override {}
  void progress(int) override {}
  void requestRepaint() override {}
};

int hitCount() {
  int n = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock)
      ++n;
  return n;
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
  void load(const std::string &a, const std::string &b, const char *name1 = "seq1.fa",
            const char *name2 = "seq2.fa") {
    loadTestSequences(a.c_str(), b.c_str());
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s", name1);
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s", name2);
    resetSlotDefaults(gCurrent);
    gCurrent->flagsA = 0;
    ASSERT_TRUE(resetEngine(1, gSeq1->length, 1, gSeq2->length));
  }
  std::string outPath(const char *name) { return ::testing::TempDir() + name; }
  std::string held(int which, int32_t index) {
    return std::string(1, residueLetter(sequenceOf(which)->residues[index]));
  }

  // Every hit of a local file: its ungapped lines are the input at the
  // stated positions, its score line counts what its columns show.
  void checkLocalFile(const std::string &path) {
    std::vector<std::string> lines = readLines(path);
    size_t i = 0, hits = 0;
    while (i < lines.size() && lines[i].rfind("Score: ", 0) != 0)
      ++i;
    while (i < lines.size()) {
      int score, matches, mismatches, gaps, gapLength;
      ASSERT_EQ(sscanf(lines[i].c_str(),
                       "Score: %d, Matches: %d, Mismatches: %d, Gaps #: %d Gaps length: %d", &score,
                       &matches, &mismatches, &gaps, &gapLength),
                5)
          << lines[i];
      unsigned f1, t1, f2, t2;
      int n1, n2;
      ASSERT_EQ(sscanf(lines[i + 1].c_str(), "     1st: %u .. %u (%d)   2nd: %u .. %u (%d)", &f1,
                       &t1, &n1, &f2, &t2, &n2),
                6)
          << lines[i + 1];
      i += 2;
      std::string s1, mid, s2;
      while (i + 2 < lines.size() && !lines[i].empty() && lines[i].rfind("Score: ", 0) != 0) {
        ASSERT_EQ(lines[i].size(), lines[i + 1].size());
        ASSERT_EQ(lines[i].size(), lines[i + 2].size());
        s1 += lines[i];
        mid += lines[i + 1];
        s2 += lines[i + 2];
        i += 3;
        ASSERT_TRUE(i >= lines.size() || lines[i].empty());
        ++i;
      }
      while (i < lines.size() && lines[i].empty())
        ++i;
      ++hits;
      checkSide(0, s1, f1, t1, n1);
      checkSide(1, s2, f2, t2, n2);
      int m = 0, mm = 0, g = 0, gl = 0;
      bool inGap = false;
      for (size_t c = 0; c < s1.size(); ++c) {
        bool gap = s1[c] == '-' || s2[c] == '-';
        if (gap) {
          ++gl;
          if (!inGap)
            ++g;
          inGap = true;
          EXPECT_EQ(mid[c], ' ');
          continue;
        }
        inGap = false;
        char a = char(toupper(s1[c])), b = char(toupper(s2[c]));
        bool same = a == b && a != 'N';
        same ? ++m : ++mm;
        EXPECT_EQ(mid[c], same ? '|' : ' ') << "column " << c;
      }
      EXPECT_EQ(m, matches);
      EXPECT_EQ(mm, mismatches);
      EXPECT_EQ(g, gaps);
      EXPECT_EQ(gl, gapLength);
      EXPECT_EQ(score, (100 * (m - mm - 3 * g - gl) + 50) / 100);
    }
    EXPECT_EQ(int(hits), hitCount());
  }
  // The ungapped lines of a global file spell both whole intervals.
  void checkGlobalFile(const std::string &path, const std::string &a, const std::string &b) {
    std::string s1, s2;
    std::vector<std::string> lines = readLines(path);
    for (size_t i = 0; i + 2 < lines.size(); ++i) {
      if (lines[i].size() > 11 && lines[i][9] == ':' && lines[i + 2].size() > 11 &&
          lines[i + 2][9] == ':') {
        for (char c : lines[i].substr(11))
          if (c != '-')
            s1 += char(toupper(c));
        for (char c : lines[i + 2].substr(11))
          if (c != '-')
            s2 += char(toupper(c));
        i += 2;
      }
    }
    expectSameLetters(s1, a);
    expectSameLetters(s2, b);
  }
  static void expectSameLetters(const std::string &got, std::string want) {
    for (char &c : want)
      c = char(toupper(c));
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
      ++i;
    EXPECT_TRUE(i == got.size() && i == want.size())
        << "lengths " << got.size() << " and " << want.size() << ", first difference at " << i;
  }
  // Ungapped letters of one side against the residues held, file positions
  // mirrored for an invert-complemented sequence.
  void checkSide(int which, const std::string &line, unsigned from, unsigned to, int n) {
    const Sequence *s = sequenceOf(which);
    bool inverted = s->flags & kSeqInverted;
    std::string ungapped, expected;
    for (char c : line)
      if (c != '-')
        ungapped += c;
    ASSERT_EQ(int(ungapped.size()), n);
    ASSERT_EQ(inverted ? from - to + 1 : to - from + 1, unsigned(n));
    int32_t first = inverted ? s->length - int32_t(from) : int32_t(from) - 1;
    for (int32_t k = 0; k < n; ++k)
      expected += held(which, first + k);
    EXPECT_TRUE(ungapped == expected) << "sequence " << which + 1 << " at " << from;
  }
};

TEST_F(DriversTest, MitochondrialLocalFileAgreesWithTheInput) {
  load(readFasta(dataPath("mito/MT-human.fa")), readFasta(dataPath("mito/MT-orang.fa")));
  EXPECT_EQ(alignAction(true), 0);
  int32_t viewed = gCurrent->reportFirst, added = gCurrent->reportSecond;
  EXPECT_EQ(gCurrent->reportKind, kReportKindAlign);
  EXPECT_GT(viewed, 0);
  EXPECT_GT(added, 0);
  ASSERT_GT(hitCount(), 0);
  // Most of the rotated genomes align: human 577..16569 with orang 1..16025.
  int64_t covered = 0;
  for (Hit *h = gHitHead1; h; h = h->next1)
    covered += h->end1 - h->start1;
  EXPECT_GT(covered, 12000);
  expandAction();
  EXPECT_EQ(gCurrent->reportKind, kReportKindExpand);
  trimAction(true);
  std::string path = outPath("mito.loc_align");
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
  ASSERT_TRUE(WriteLocalFile(false));
  checkLocalFile(path);
}

TEST_F(DriversTest, InvertComplementedSecondSequenceIsReportedMirrored) {
  load(readFasta(dataPath("small/human_577-2576.fa")),
       readFasta(dataPath("small/orang_1-2000_rc.fa")));
  invertTestSequence(1);
  ASSERT_TRUE(resetEngine(1, gSeq1->length, 1, gSeq2->length));
  alignAction(true);
  ASSERT_GT(hitCount(), 0);
  std::string path = outPath("inv.loc_align");
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
  ASSERT_TRUE(WriteLocalFile(false));
  checkLocalFile(path);
}

TEST_F(DriversTest, GlobalFileSpellsBothWholeIntervals) {
  const std::string a = readFasta(dataPath("small/human_577-2576_N.fa"));
  const std::string b = readFasta(dataPath("small/orang_1-2000.fa"));
  load(a, b);
  alignAction(true);
  expandAction();
  ASSERT_GT(hitCount(), 0);
  int before = hitCount();
  std::string path = outPath("n.glb_align");
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
  ASSERT_TRUE(WriteGlobalFile(false));
  EXPECT_EQ(hitCount(), before) << "the interhit alignments are temporary";
  checkGlobalFile(path, a, b);
}

TEST_F(DriversTest, WhalePairFilesAgreeWithTheInput) {
  const std::string a = readFasta(dataPath("human_whale/human_hg38_chr13_75549820-75605809.fa"));
  const std::string b =
      readFasta(dataPath("human_whale/minke_balAcu1_KI537979_9712654-9744592.fa"));
  load(a, b);
  alignAction(true);
  expandAction();
  trimAction(true);
  ASSERT_GT(hitCount(), 3);
  std::string path = outPath("whale.loc_align");
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
  ASSERT_TRUE(WriteLocalFile(false));
  checkLocalFile(path);
  GreedyResolve();
  path = outPath("whale.glb_align");
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s", path.c_str());
  ASSERT_TRUE(WriteGlobalFile(false));
  checkGlobalFile(path, a, b);
}

std::string randomBases(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(n, 'A');
  for (char &c : s)
    c = "ACGT"[rng() & 3];
  return s;
}

// b is a with every `every`-th base changed.
std::string mutated(std::string a, int every) {
  for (size_t i = every / 2; i < a.size(); i += every)
    a[i] = a[i] == 'A' ? 'C' : 'A';
  return a;
}

TEST_F(DriversTest, AlignAgainAddsNothingWhereHitsAlreadyAre) {
  const std::string a = randomBases(3000, 7);
  for (uint32_t hash : {0u, kOptAlignHash}) {
    load(a, mutated(a, 20)); // runs of 19 matches: seeds for words of 16
    gCurrent->flagsB = (gCurrent->flagsB & ~kOptAlignHash) | hash;
    alignAction(true);
    ASSERT_EQ(hitCount(), 1) << "hash " << hash;
    EXPECT_EQ(gHitHead1->start1, gHitHead1->start2);
    EXPECT_GT(gHitHead1->end1 - gHitHead1->start1, 2900);
    alignAction(true);
    EXPECT_EQ(gCurrent->reportSecond, 0);
    EXPECT_EQ(hitCount(), 1);
  }
}

TEST_F(DriversTest, NothingToAlignLeavesThePlaceholder) {
  load(randomBases(2000, 1), randomBases(2000, 2));
  alignAction(true);
  EXPECT_EQ(hitCount(), 0);
  ASSERT_NE(gHitHead1, nullptr);
  EXPECT_EQ(gHitHead1->firstBlock, nullptr);
  EXPECT_EQ(gHitHead1->end1, 2000);
  EXPECT_EQ(gCurrent->selectedHit, gHitHead1);
}

TEST_F(DriversTest, ExpandGrowsAHitAndLeavesApprovedAndOutsideHitsAlone) {
  const std::string a = randomBases(4000, 3);
  load(a, mutated(a, 11));
  clearTestHits();
  makeDiagonalHit(1000, 1000, 200)->score = 0;
  makeDiagonalHit(3000, 3000, 100)->score = 0;
  rebuildLists(0, 0);
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock)
      h->score = CountHitColumns(h, h->firstBlock);
  Hit *first = gHitHead1, *second = first->next1;
  second->flags |= kHitApproved;
  expandAction();
  EXPECT_EQ(gCurrent->reportKind, kReportKindExpand);
  // The first grows up to its neighbour in both directions...
  EXPECT_LT(first->start1, 900);
  EXPECT_GT(first->end1, 2800);
  EXPECT_LE(first->end1, 3000);
  EXPECT_EQ(first->start1, first->start2);
  // ...the approved one stays as it was.
  EXPECT_EQ(second->start1, 3000);
  EXPECT_EQ(second->end1, 3100);

  // Outside the selected area nothing moves.
  load(a, mutated(a, 11));
  clearTestHits();
  Hit *h = makeDiagonalHit(1000, 1000, 200);
  rebuildLists(0, 0);
  h->score = CountHitColumns(h, h->firstBlock);
  gCurrent->flagsB |= kOptAreaActive;
  int32_t area[4] = {2000, 2000, 3000, 3000}; // x0, y0, x1, y1
  memcpy(gCurrent->selectedArea, area, sizeof area);
  expandAction();
  EXPECT_EQ(h->start1, 1000);
  EXPECT_EQ(h->end1, 1200);
  EXPECT_EQ(gCurrent->flagsB & kOptClearedAfterAction, 0u);
}

TEST_F(DriversTest, FillAlignsInterhitsUpToTheSizeLimit) {
  const std::string a = randomBases(1200, 4);
  std::string b = mutated(a, 6);
  load(a, b);
  clearTestHits();
  makeDiagonalHit(0, 0, 100);
  makeDiagonalHit(1100, 1100, 100);
  rebuildLists(0, 0);
  EXPECT_EQ(alignOrFill(true, true), 0);
  EXPECT_EQ(gCurrent->reportKind, kReportKindFill);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  ASSERT_EQ(hitCount(), 3);
  Hit *fill = gHitHead1->next1;
  EXPECT_TRUE(fill->flags & kHitNewFlag);
  EXPECT_GE(fill->start1, 100);
  EXPECT_LE(fill->end1, 1100);
}

TEST_F(DriversTest, FillAsksAboutRegionsOverTheLimitAndNoCancels) {
  ScriptedUi port;
  setUi(&port);
  load(randomBases(5010, 5), randomBases(5010, 6));
  clearTestHits();
  makeDiagonalHit(0, 0, 4);
  makeDiagonalHit(5005, 10, 1); // between them 5001 x 6
  rebuildLists(0, 0);
  port.answer = kAnswerNo;
  EXPECT_EQ(alignOrFill(true, false), 1);
  ASSERT_EQ(port.asked.size(), 1u);
  EXPECT_EQ(port.asked[0], "One or more regions are longer than 5Kb.\n\nSuch regions will be "
                           "skipped.\n\nDo you want to continue?");
  EXPECT_EQ(hitCount(), 2) << "the region records are gone";
  for (Hit *h = gHitHead1; h; h = h->next1)
    EXPECT_FALSE(h->flags & kHitRegionMark);

  // A largest side of exactly 5000 asks nothing.
  clearTestHits();
  makeDiagonalHit(0, 0, 4);
  makeDiagonalHit(5004, 10, 1);
  rebuildLists(0, 0);
  port.asked.clear();
  alignOrFill(true, false);
  EXPECT_TRUE(port.asked.empty());
}

TEST_F(DriversTest, HashAlignAsksAboutHugeRegionsAndYesSkipsThem) {
  ScriptedUi port;
  setUi(&port);
  const std::string a = randomBases(3000, 8);
  load(a, mutated(a, 9));
  gCurrent->flagsB |= kOptAlignHash;
  gCurrent->alignIsland.wordSize = 4; // limit 10 * 4^4 = 2560 < 3000
  port.answer = kAnswerYes;
  alignAction(false);
  ASSERT_EQ(port.asked.size(), 1u);
  EXPECT_EQ(port.asked[0].rfind("One or more regions are too big for the wordsize\n", 0), 0u);
  EXPECT_EQ(hitCount(), 0);

  port.asked.clear();
  port.answer = kAnswerCancel;
  EXPECT_EQ(alignOrFill(false, false), 1);
  EXPECT_EQ(hitCount(), 0);

  port.asked.clear();
  gCurrent->alignIsland.wordSize = 8; // log4(300) < 8: no question
  alignAction(false);
  EXPECT_TRUE(port.asked.empty());
  EXPECT_EQ(hitCount(), 1);
}

TEST_F(DriversTest, MissingSequenceEndsAtOnce) {
  load("ACGT", "ACGT");
  gSeq2->length = 0;
  EXPECT_EQ(alignOrFill(false, true), 1);
  EXPECT_EQ(expandHit(gHitHead1), 2);
}

} // namespace
