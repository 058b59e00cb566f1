// PAF and MAF lines of a hand-made hit; tests/formats checks real pairs in
// every orientation with independent readers.
#include <cstring>

#include "core/flags.h"
#include "ops/journal.h"
#include "output/alignment_files.h"
#include "output_fixture.h"

namespace {

class StandardFormats : public WriterTest {
protected:
  void named(const char *name1, const char *name2) {
    snprintf(gSeq1->recordName, sizeof gSeq1->recordName, "%s", name1);
    snprintf(gSeq2->recordName, sizeof gSeq2->recordName, "%s", name2);
  }
  std::string paf() {
    std::string out = setOutput("x.paf");
    EXPECT_TRUE(WritePafFile(false));
    return readFile(out);
  }
  std::string maf() {
    std::string out = setOutput("x.maf");
    EXPECT_TRUE(WriteMafFile(false));
    return readFile(out);
  }
};

// The hit of the local writer's test: its columns ACT-T-TGTAN / aC-G-G-GTCN.
TEST_F(StandardFormats, GappedHitAsLocalFileAlignsIt) {
  load("ACTTTGTAN", "aCGGGTCN");
  named("one", "two");
  EXPECT_EQ(paf(), "");
  EXPECT_EQ(maf(), "##maf version=1\n\n");
  makeTestHit(0, 0, {{0, 0, 2}, {5, 4, 4}});
  // Four matches (N is none), eleven columns; the stretch between the
  // blocks as its deletions, then its insertions.
  EXPECT_EQ(paf(), "two\t8\t0\t8\t+\tone\t9\t0\t9\t4\t11\t255\ttp:A:P\tcg:Z:2M3D2I4M\tNM:i:7\t"
                   "AS:i:-5\n");
  EXPECT_EQ(maf(), "##maf version=1\n\n"
                   "a score=-5\n"
                   "s one 0 9 + 9 ACT-T-TGTAN\n"
                   "s two 0 8 + 8 aC-G-G-GTCN\n\n");
  // Only the window's hits with windowOnly; a sequence without a record
  // name goes by its file's name.
  gSeq2->recordName[0] = 0;
  const int32_t away[4] = {20, 30, 20, 30};
  memcpy(gCurrent->region, away, sizeof away);
  std::string out = setOutput("w.paf");
  ASSERT_TRUE(WritePafFile(true));
  EXPECT_EQ(readFile(out), "");
  EXPECT_EQ(paf().substr(0, 8), "s2.fa\t8\t");
  EXPECT_TRUE(ui.boxes.empty());
}

// A hit of the other strand follows the session's, with sequence 2 on "-"
// and its forward span; MAF's row starts where it lies on that strand.
TEST_F(StandardFormats, TheOtherStrandOnMinus) {
  const std::string one = "CATGACGTTAGCCATGCATG";
  const std::string two = "GGGG" + reverseComplementBases(one.substr(5, 10)) + "TTTTTT";
  load(one.c_str(), two.c_str());
  named("one", "two");
  makeDiagonalHit(0, 0, 3);
  makeOtherStrandHit(5, 6, 10);
  rebuildLists(0, 0);
  const std::string lines = paf();
  EXPECT_EQ(lines.substr(lines.find('\n') + 1),
            "two\t20\t4\t14\t-\tone\t20\t5\t15\t10\t10\t255\ttp:A:P\tcg:Z:10M\tNM:i:0\t"
            "AS:i:10\n");
  const std::string blocks = maf();
  EXPECT_NE(blocks.find("a score=10\ns one 5 10 + 20 CGTTAGCCAT\ns two 6 10 - 20 CGTTAGCCAT\n"),
            std::string::npos)
      << blocks;
  EXPECT_FALSE(gSeq2->flags & kSeqInverted) << "turned back after the write";
}

// Files for other tools cannot be opened again: writing one leaves the
// session unsaved, so the exit question still asks.
TEST_F(StandardFormats, WritingOneIsNoSave) {
  load("ACGT", "ACGT");
  makeDiagonalHit(0, 0, 4);
  JournalAction(65);
  JournalAction(73);
  ASSERT_TRUE(journalHasUnsavedChanges());
  paf();
  maf();
  EXPECT_TRUE(journalHasUnsavedChanges());
  snprintf(gPathBuffer, sizeof gPathBuffer, "/dev/full");
  EXPECT_FALSE(WriteMafFile(false));
  const Box refused{"Error", "Cannot save over a folder, device or pipe.\n    File: /dev/full\n"};
  EXPECT_EQ(ui.boxes, std::vector<Box>(1, refused));
  EXPECT_TRUE(journalHasUnsavedChanges());
  journalShutdown();
}

} // namespace
