// The writers and the reader on real alignments: Align on a pair of
// mitochondrial slices, save, check the file against the sequences, open it
// again and save once more.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/flags.h"
#include "core/new_session.h"
#include "core/session.h"
#include "engine/drivers.h"
#include "io/alignment_reader.h"
#include "local_format_check.h"
#include "output/alignment_files.h"
#include "output_fixture.h"

namespace {
class Pipeline : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    loadTestSequences("A", "A"); // session memory and tables
  }
  void session(const char *file2, bool invert2) {
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/small/human_577-2576.fa", VELK_TEST_DATA);
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/small/%s", VELK_TEST_DATA, file2);
    gSeq1->flags = 0;
    gSeq2->flags = invert2 ? kSeqInvertRequested : 0;
    gSeq1->from = gSeq1->to = gSeq2->from = gSeq2->to = 0;
    gRequested[0] = gRequested[1] = gRequested[2] = gRequested[3] = 0;
    ASSERT_EQ(newSession(), 0);
    alignAction(true);
    ASSERT_GT(gHitCount, 0);
  }
  std::string hitList() {
    std::string d;
    for (Hit *h = gHitHead1; h; h = h->next1)
      if (h->firstBlock)
        d += std::to_string(h->start1) + "," + std::to_string(h->end1) + "," +
             std::to_string(h->start2) + "," + std::to_string(h->end2) + ";";
    return d;
  }
};
} // namespace

TEST_F(Pipeline, SavedAlignmentsAgreeWithTheSequencesAndReadBack) {
  for (bool invert : {false, true}) {
    SCOPED_TRACE(invert ? "inverted" : "plain");
    session(invert ? "orang_1-2000_rc.fa" : "orang_1-2000.fa", invert);
    std::string local = setOutput("a.loc_align");
    ASSERT_TRUE(WriteLocalFile(false));
    int hits = 0;
    EXPECT_EQ(checkLocalFile(local, &hits), "");
    EXPECT_GT(hits, 0);
    // The check itself notices a residue out of place.
    std::string text = readFile(local);
    size_t row = text.find('\n', text.find("     1st: ")) + 1;
    text[row] = text[row] == 'A' ? 'C' : 'A';
    std::ofstream(dir + "/bad.loc_align") << text;
    EXPECT_NE(checkLocalFile(dir + "/bad.loc_align"), "");
    const std::string before = hitList();

    ASSERT_EQ(OpenAlignment(), 0);
    EXPECT_EQ(hitList(), before);
    std::string again = setOutput("b.loc_align");
    ASSERT_TRUE(WriteLocalFile(false));
    EXPECT_EQ(readFile(again), readFile(local));

    // Global, with the engine's own Fill of the interhits.
    std::string global = setOutput("a.glb_align");
    ASSERT_TRUE(WriteGlobalFile(false));
    EXPECT_EQ(hitList(), before); // the temporary Fill hits are gone
    ASSERT_EQ(OpenAlignment(), 0);
    EXPECT_EQ(hitList(), before);
    std::string global2 = setOutput("b.glb_align");
    ASSERT_TRUE(WriteGlobalFile(false));
    EXPECT_EQ(readFile(global2), readFile(global));
  }
  EXPECT_TRUE(ui.boxes.empty());
}
