// PAF and MAF lines of a hand-made hit; tests/formats checks real pairs in
// every orientation with independent readers.
#include <cstring>

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
  const Box full{"Error", "Cannot write file for save.\n    File: /dev/full\n"};
  EXPECT_EQ(ui.boxes, std::vector<Box>(1, full));
  journalShutdown();
}

} // namespace
