// The writers and the reader on a real alignment: Align on a pair of
// mitochondrial slices (the second inverted), save, check the file against
// the sequences, open it again and save once more.
#include "core/flags.h"
#include "engine/drivers.h"
#include "io/alignment_reader.h"
#include "local_format_check.h"
#include "output/alignment_files.h"
#include "output_fixture.h"
#include "session/alignment_save.h"
#include "session/new_session.h"

using Pipeline = WriterTest;

TEST_F(Pipeline, SavedAlignmentsAgreeWithTheSequencesAndReadBack) {
  loadTestSequences("A", "A"); // session memory and tables
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/small/human_577-2576.fa", VELK_TEST_DATA);
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/small/orang_1-2000_rc.fa", VELK_TEST_DATA);
  gSeq1->flags = 0;
  gSeq2->flags = kSeqInvertRequested;
  gSeq1->from = gSeq1->to = gSeq2->from = gSeq2->to = 0;
  ASSERT_EQ(newSession(), 0);
  setOpenStartSession(startSessionFromSequences); // as start-up does
  alignAction(true);
  const int32_t hits = gHitCount;
  ASSERT_GT(hits, 0);
  for (int format : {kFormatLocal, kFormatGlobal}) {
    std::string first = setOutput(format == kFormatLocal ? "a.loc_align" : "a.glb_align");
    ASSERT_TRUE(SaveAlignmentFile(format, false));
    EXPECT_EQ(gHitCount, hits) << "the temporary Fill hits are gone";
    ASSERT_EQ(OpenAlignment(), 0);
    EXPECT_EQ(gHitCount, hits);
    std::string again = setOutput(format == kFormatLocal ? "b.loc_align" : "b.glb_align");
    ASSERT_TRUE(SaveAlignmentFile(format, false));
    EXPECT_EQ(readFile(again), readFile(first));
  }
  EXPECT_EQ(checkLocalFile(dir + "/a.loc_align"), "");
  // The check itself notices a residue out of place.
  std::string text = readFile(dir + "/a.loc_align");
  size_t row = text.find('\n', text.find("     1st: ")) + 1;
  text[row] = text[row] == 'A' ? 'C' : 'A';
  std::ofstream(dir + "/bad.loc_align") << text;
  EXPECT_NE(checkLocalFile(dir + "/bad.loc_align"), "");
  EXPECT_TRUE(ui.boxes.empty());
}
