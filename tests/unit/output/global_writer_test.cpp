#include <filesystem>

#include "core/flags.h"
#include "output/alignment_files.h"
#include "output_fixture.h"
#include "session/alignment_save.h"

namespace {
// Fill stand-in: aligns the interhit before the first hit as one block.
int fillFirstInterhit(bool, bool) {
  makeDiagonalHit(0, 0, 2)->flags |= kHitInterhit;
  rebuildLists(0, 0);
  return 0;
}

std::string block(int pos1, const std::string &l1, const std::string &mid, int pos2,
                  const std::string &l2) {
  char a[16], b[16];
  snprintf(a, sizeof a, "%9d: ", pos1);
  snprintf(b, sizeof b, "%9d: ", pos2);
  return a + l1 + "\n           " + mid + "\n" + b + l2 + "\n\n\n";
}

class GlobalWriter : public WriterTest {
protected:
};
} // namespace

TEST_F(GlobalWriter, ExonMarksAndOneColumnHits) {
  // Exon over 1..1 and 3..4 of sequence 1: the interhit's first column and
  // the first two columns of the hit.
  load("TTACGTAAGG", "TACGTCCG");
  int32_t coords[4] = {1, 1, 3, 4};
  Annotation exon;
  exon.kind = kAnnExon;
  exon.coordinateCount = 4;
  exon.coordinates = coords;
  gSeq1->annotations = &exon;
  makeTestHit(2, 1, {{0, 0, 4}});
  makeDiagonalHit(9, 7, 1);
  rebuildLists(0, 0);
  std::string out = setOutput("g.glb_align");
  ASSERT_TRUE(WriteGlobalFile(false));
  EXPECT_EQ(readFile(out), header(10, 8) + block(1, "TTACGTAAGG", "+ {*|]   ]", 1, "T-ACGTCC-G"));
  for (int i = 0; i < gSeq1->length; ++i)
    EXPECT_EQ(gSeq1->residues[i] & 0x40, 0) << "exon mark left on " << i;

  // A one-column hit inside an exon.
  coords[0] = coords[1] = 10;
  exon.coordinateCount = 2;
  ASSERT_TRUE(WriteGlobalFile(false));
  EXPECT_EQ(readFile(out), header(10, 8) + block(1, "TTACGTAAGG", ": [||]   }", 1, "T-ACGTCC-G"));
  gSeq1->annotations = nullptr;
}

TEST_F(GlobalWriter, LineInsideARunOfGapsStartsAtTheNextResidue) {
  std::string s1(105, 'A');
  load(s1.c_str(), "CCC");
  makeDiagonalHit(102, 0, 3);
  std::string out = setOutput("g.glb_align");
  ASSERT_TRUE(WriteGlobalFile(false));
  EXPECT_EQ(readFile(out),
            header(105, 3) +
                block(1, std::string(100, 'A'), std::string(100, ' '), 1, std::string(100, '-')) +
                block(101, "AAAAA", "     ", 1, "--CCC"));
}

TEST_F(GlobalWriter, FillHitsAreRemovedAndRefusalsWriteNothing) {
  load("TTACGTAA", "TTACGTCC");
  std::string out = setOutput("f.glb_align");
  ASSERT_TRUE(WriteGlobalFile(false));
  EXPECT_EQ(readFile(out), header(8, 8)) << "no hit: the header alone";
  makeTestHit(2, 2, {{0, 0, 4}});
  rebuildLists(0, 0);
  ASSERT_TRUE(SaveGlobalFile(false, fillFirstInterhit));
  EXPECT_EQ(readFile(out), header(8, 8) + block(1, "TTACGTAA", "::[||]  ", 1, "TTACGTCC"));
  ASSERT_EQ(gHitCount, 1);
  EXPECT_EQ(gHitHead1->start1, 2);
  // A Fill that gives up writes nothing and leaves the hits alone, even those
  // still flagged by the latest Align.
  gHitHead1->flags |= kHitInterhit;
  std::string none = setOutput("n.glb_align");
  EXPECT_FALSE(SaveGlobalFile(false, [](bool, bool) { return 1; }));
  ASSERT_EQ(gHitCount, 1);
  EXPECT_TRUE(ui.boxes.empty());

  // Conflicts: refused with a message, nothing written.
  gHitHead1->flags = kHitConflict;
  EXPECT_FALSE(SaveGlobalFile(false, fillFirstInterhit));
  EXPECT_FALSE(exists(none));
  const Box refusal{"Error", "Cannot construct global alignment\ndue to conflicts."};
  EXPECT_EQ(ui.boxes, std::vector<Box>{refusal});
  EXPECT_EQ(gCurrent->conflictCount, 1);
}

// A file of the whole session holds every hit or none: conflicts outside the
// window refuse it as those inside do, and so does an overlap the conflict
// marks missed. Save Window looks only at the hits it would print.
TEST_F(GlobalWriter, WholeSaveRefusesConflictsOutsideTheWindow) {
  load("ACGTACGTACGTACGTACGT", "ACGTACGTACGTACGTACGT");
  makeDiagonalHit(12, 12, 4)->flags |= kHitConflict;
  makeDiagonalHit(12, 13, 4)->flags |= kHitConflict;
  makeDiagonalHit(0, 0, 4);
  const int32_t region[4] = {0, 6, 0, 6};
  memcpy(gCurrent->region, region, sizeof region);
  const std::string out = setOutput("g.glb_align");
  const Box refusal{"Error", "Cannot construct global alignment\ndue to conflicts."};
  EXPECT_FALSE(WriteGlobalFile(false));
  EXPECT_FALSE(exists(out));
  EXPECT_EQ(gCurrent->conflictCount, 0);
  ASSERT_TRUE(WriteGlobalFile(true));
  EXPECT_NE(readFile(out).find("[||]"), std::string::npos);

  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags &= ~kHitConflict;
  const std::string saved = readFile(out);
  EXPECT_FALSE(WriteGlobalFile(false));
  EXPECT_EQ(readFile(out), saved);
  EXPECT_EQ(ui.boxes, std::vector<Box>(2, refusal));
  int files = 0;
  for (const auto &entry : std::filesystem::directory_iterator(dir))
    files += entry.path().filename() != "g.glb_align";
  EXPECT_EQ(files, 0) << "a hidden file left behind";
}
