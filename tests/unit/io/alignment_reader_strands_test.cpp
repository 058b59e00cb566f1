// Saved files with the other strand's section: written only when there are
// such hits, read back into the second set with the same hits, and refused
// when the section is damaged, like the hits before it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "io/alignment_reader.h"
#include "output/alignment_files.h"
#include "session/new_session.h"
#include "unit/output/output_fixture.h"

namespace {

std::string describe(const Hit *head) {
  std::string d;
  for (const Hit *h = head; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    d += "/" + std::to_string(h->start1) + ".." + std::to_string(h->end1) + " " +
         std::to_string(h->start2) + ".." + std::to_string(h->end2) + " " +
         std::to_string(h->score);
    for (const HitBlock *b = h->firstBlock; b; b = b->next)
      d += " (" + std::to_string(b->x) + "," + std::to_string(b->y) +
           "):" + std::to_string(b->length);
  }
  return d;
}

class StrandFiles : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    loadTestSequences("A", "A");
    setOpenStartSession(startSessionFromSequences);
    const std::string seq1 = randomBases(400, 5);
    // 200..300 of sequence 1 turned round; it is 300..200 of the other strand.
    std::string seq2 =
        seq1.substr(0, 200) + reverseComplementBases(seq1.substr(200, 100)) + seq1.substr(300);
    seq2[250] = seq2[250] == 'A' ? 'C' : 'A';
    std::ofstream(dir + "/s1.fa") << ">one\n" << seq1 << "\n";
    std::ofstream(dir + "/s2.fa") << ">two\n" << seq2 << "\n";
  }
  // The session from the two files: a hit on each side of the inversion and
  // the inversion as a hit of the other strand in two blocks.
  void session() {
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/s1.fa", dir.c_str());
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/s2.fa", dir.c_str());
    gSeq1->flags = gSeq2->flags = 0;
    gSeq1->from = gSeq1->to = gSeq2->from = gSeq2->to = 0;
    ASSERT_EQ(newSession(), 0);
    clearTestHits();
    makeTestHit(10, 10, {{0, 0, 150}});
    makeTestHit(310, 310, {{0, 0, 80}});
    makeTestHit(200, 100, {{0, 0, 40}, {42, 42, 58}})->flags |= kHitOtherStrand;
    adoptOtherStrandHits();
    rebuildLists(0, 0);
  }
  int open(const std::string &name) {
    setOutput(name.c_str());
    ui.boxes.clear();
    return OpenAlignment();
  }
};

TEST_F(StrandFiles, LocalAndSummaryKeepTheOtherStrandInItsSection) {
  session();
  gCurrent->alignIsland.strands = 1;
  const std::string local = setOutput("a.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  const std::string text = readFile(local);
  EXPECT_NE(text.find("p-value: 1e-08, strands: both\n"), std::string::npos);
  const size_t section = text.find("\n\nReverse strand:\n\nScore: ");
  ASSERT_NE(section, std::string::npos) << text;
  EXPECT_GT(text.find("     1st: 201 .. 300 (100)   2nd: 300 .. 201 (100)\n"), section);
  EXPECT_LT(text.find("     1st: 311 .. 390 (80)"), section);

  clearTestHits();
  gCurrent->alignIsland.strands = 0;
  ASSERT_EQ(open("a.loc_align"), 0);
  EXPECT_EQ(gCurrent->alignIsland.strands, 1);
  EXPECT_EQ(describe(gHitHead1),
            "/10..160 10..160 15000 (0,0):150/310..390 310..390 8000 (0,0):80");
  // 97 matches, the mismatch at 250, the gap of four columns.
  EXPECT_EQ(describe(gOther.head1), "/200..300 100..200 8900 (0,0):40 (42,42):58");
  setOutput("b.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_EQ(readFile(dir + "/b.loc_align"), text);

  const std::string summary = setOutput("a.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  EXPECT_NE(
      readFile(summary).find("    80;     0;     0;     0\n\nReverse strand:\n"
                             "   201;    300;     300;    201;      97;     1;     1;     4\n"),
      std::string::npos)
      << readFile(summary);
  ASSERT_EQ(open("a.sum_align"), 0) << ui.boxes[0].second;

  // Only the other strand: the section opens the body. Save window keeps
  // what lies in the region, each set by its own strand.
  session();
  clearHits();
  gCurrent->region[2] = 320; // the inversion lies at 200..300: gone
  setOutput("w.loc_align");
  ASSERT_TRUE(WriteLocalFile(true));
  EXPECT_EQ(readFile(dir + "/w.loc_align").find("Reverse"), std::string::npos);
  gCurrent->region[2] = 0;
  ASSERT_TRUE(WriteLocalFile(false));
  ASSERT_EQ(open("w.loc_align"), 0);
  EXPECT_EQ(describe(gHitHead1), "");
  EXPECT_NE(describe(gOther.head1), "");
}

TEST_F(StrandFiles, DamagedSectionsAreRefusedAndTheSessionKept) {
  session();
  setOutput("a.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  const std::string text = readFile(dir + "/a.loc_align"), mine = describe(gHitHead1),
                    other = describe(gOther.head1);
  const size_t section = text.find("Reverse strand:\n");
  const std::string head = text.substr(0, section), tail = text.substr(section);
  const std::string cases[] = {
      head + tail + tail,                            // a second section
      text.substr(0, section + 16),                  // cut after its line
      head + "Reverse strand\n" + tail.substr(16),   // a line that is no such line
      head + tail.substr(0, tail.find("1st: 201")) + // beyond sequence 1
          "1st: 351 .. 450 (100)" + tail.substr(tail.find("   2nd: 300")),
      text.substr(0, text.rfind('\n', text.size() - 3)), // its last group cut short
  };
  for (const std::string &damaged : cases) {
    SCOPED_TRACE(damaged.substr(section > 40 ? section - 40 : 0, 120));
    std::ofstream(dir + "/bad.loc_align") << damaged;
    EXPECT_GE(open("bad.loc_align"), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].second.find("Bad format of input file"), std::string::npos)
        << ui.boxes[0].second;
    EXPECT_EQ(describe(gHitHead1), mine);
    EXPECT_EQ(describe(gOther.head1), other);
  }
}

} // namespace
