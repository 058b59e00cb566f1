#include "io/alignment_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "ops/filter.h"
#include "output/alignment_files.h"
#include "session/new_session.h"
#include "unit/output/output_fixture.h"

namespace {

// A hit's shape: coordinates and blocks.
std::string describeHits() {
  std::string d;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    d += "/" + std::to_string(h->start1) + ".." + std::to_string(h->end1) + " " +
         std::to_string(h->start2) + ".." + std::to_string(h->end2);
    for (HitBlock *b = h->firstBlock; b; b = b->next)
      d += " (" + std::to_string(b->x) + "," + std::to_string(b->y) +
           "):" + std::to_string(b->length);
  }
  return d;
}

class AlignmentReader : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    loadTestSequences("A", "A");                    // session memory and tables
    setOpenStartSession(startSessionFromSequences); // as start-up does
    std::string seq1 = randomBases(400, 7);
    std::string seq2 = seq1.substr(0, 150) + "GATTACAGAT" + seq1.substr(150);
    seq2[50] = seq2[50] == 'A' ? 'C' : 'A';
    seq2[310] = seq2[310] == 'A' ? 'C' : 'A';
    writeText(dir + "/s1.fa", ">one\n" + seq1 + "\n");
    writeText(dir + "/s2.fa", ">two\n" + seq2 + "\n");
  }
  static void writeText(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  // A session read from the two files, with three collinear hits.
  void newSessionWithHits(bool invert2 = false) {
    snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/s1.fa", dir.c_str());
    snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/s2.fa", dir.c_str());
    gSeq1->flags = 0;
    gSeq2->flags = invert2 ? kSeqInvertRequested : 0;
    gSeq1->from = gSeq1->to = gSeq2->from = gSeq2->to = 0;
    ASSERT_EQ(newSession(), 0);
    clearTestHits(); // as after an Align: the empty session's placeholder is gone
    makeTestHit(10, 10, {{0, 0, 100}});
    makeTestHit(120, 120, {{0, 0, 30}, {30, 40, 60}});
    makeTestHit(250, 260, {{0, 0, 120}});
    rebuildLists(0, 0);
  }
  // Saves with `write`, opens the file, and saves again: the two files and
  // the hits before and after must be the same.
  void roundTrip(bool (*write)(bool), const char *first, const char *second) {
    const std::string hits = describeHits();
    std::string saved = setOutput(first);
    ASSERT_TRUE(write(false)) << (ui.boxes.empty() ? "" : ui.boxes[0].second);
    resetSlotDefaults(gCurrent);
    clearTestHits();
    ASSERT_EQ(OpenAlignment(), 0);
    EXPECT_EQ(describeHits(), hits);
    std::string again = setOutput(second);
    ASSERT_TRUE(write(false));
    EXPECT_EQ(readFile(again), readFile(saved));
    EXPECT_TRUE(ui.boxes.empty());
  }
};
} // namespace

TEST(ResolveSequencePath, RelativeToTheAlignmentFolder) {
  EXPECT_EQ(ResolveSequencePath("seq/a.fa", "/work/run/x.loc_align"), "/work/run/seq/a.fa");
  EXPECT_EQ(ResolveSequencePath("../../../a.fa", "/work/x.loc_align"), "/../../a.fa");
  EXPECT_EQ(ResolveSequencePath("/data/a.fa", "/work/run/x.loc_align"), "/data/a.fa");
  EXPECT_EQ(ResolveSequencePath("D:\\data\\a.fa", "/work/x.loc_align"), "D:\\data\\a.fa");
  EXPECT_EQ(ResolveSequencePath("a.fa", "x.loc_align"), "a.fa");
  EXPECT_EQ(ResolveSequencePath("seq\\a.fa", "/w/x.loc_align"), "/w/seq/a.fa");
}

TEST_F(AlignmentReader, LocalAndGlobalRoundTrips) {
  newSessionWithHits();
  // Parameters away from the defaults: the second save shows they were read.
  WindowRecord *w = gCurrent;
  w->flagsB = 0x4003fe00;
  w->pValue = 1e-10;
  w->alignIsland = IslandParams{6, 9, 21, 13, 12, 0, 1}; // no repeat limit, spaced seeds
  w->expandIsland = IslandParams{4, 7, 19, 11, 16};
  w->mergeMaxDistance = 33;
  w->score = ScoreParams{150, -200, -400, -50};
  roundTrip(WriteLocalFile, "a.loc_align", "b.loc_align");
  EXPECT_EQ(w->mergeMaxDistance, 33);
  EXPECT_EQ(w->alignIsland.repeatLimit, 0);
  EXPECT_EQ(w->alignIsland.seedShape, 1);
  EXPECT_NE(readFile(dir + "/a.loc_align").find("e-10, repeats: 0, seeds: spaced\n"),
            std::string::npos);
  EXPECT_EQ(gSeq1->length, 400);
  EXPECT_STREQ(gSeq2->fileName, (dir + "/s2.fa").c_str());

  // The defaults leave the header as it always was, and are read back so.
  newSessionWithHits(true);
  w->alignIsland = IslandParams{};
  roundTrip(WriteLocalFile, "i.loc_align", "i2.loc_align");
  EXPECT_EQ(readFile(dir + "/i.loc_align").find("repeats"), std::string::npos);
  EXPECT_EQ(w->alignIsland.repeatLimit, kDefaultRepeatLimit);
  EXPECT_EQ(w->alignIsland.seedShape, 0);
  EXPECT_TRUE(gSeq2->flags & kSeqInverted);
  newSessionWithHits();
  roundTrip(WriteGlobalFile, "g.glb_align", "g2.glb_align");

  // A summary opens the sequences and makes no hits.
  setOutput("s.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  ASSERT_EQ(OpenAlignment(), 0);
  EXPECT_EQ(describeHits(), "");
  EXPECT_EQ(gSeq2->length, 410);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AlignmentReader, SequenceNamesResolveAgainstTheSavedFile) {
  newSessionWithHits();
  ASSERT_EQ(mkdir((dir + "/out").c_str(), 0700), 0);
  std::string saved = setOutput("out/a.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_NE(readFile(saved).find("    File: ../s1.fa\n"), std::string::npos);
  // Opened by a name relative to the working directory.
  ASSERT_EQ(chdir(dir.c_str()), 0);
  snprintf(gPathBuffer, sizeof gPathBuffer, "out/a.loc_align  ");
  EXPECT_EQ(OpenAlignment(), 0);
  EXPECT_STREQ(gSeq1->fileName, "s1.fa");
  EXPECT_EQ(gSeq1->length, 400);

  // Saved through a link to a folder elsewhere: opened from the folder it
  // lies in, and through the link.
  ASSERT_EQ(system(("mkdir -p '" + dir + "/far/away/there'").c_str()), 0);
  ASSERT_EQ(symlink("../far/away/there", (dir + "/out/link").c_str()), 0);
  snprintf(gPathBuffer, sizeof gPathBuffer, "out/link/b.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_NE(readFile(dir + "/far/away/there/b.loc_align").find("    File: ../../../s1.fa\n"),
            std::string::npos);
  for (const char *name : {"far/away/there/b.loc_align", "out/link/b.loc_align"}) {
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", name);
    EXPECT_EQ(OpenAlignment(), 0) << name;
    EXPECT_EQ(gSeq1->length, 400);
  }
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_EQ(chdir("/"), 0);
}

// Paths longer than 255 characters are read, written and opened whole.
TEST_F(AlignmentReader, LongPathsAreUsedWhole) {
  std::string deep = dir;
  for (int i = 0; i < 6; ++i)
    deep += "/" + std::string(60, char('a' + i));
  ASSERT_EQ(system(("mkdir -p '" + deep + "' && cp '" + dir + "/s1.fa' '" + dir + "/s2.fa' '" +
                    deep + "'")
                       .c_str()),
            0);
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s/s1.fa", deep.c_str());
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/s2.fa", deep.c_str());
  gSeq1->flags = gSeq2->flags = 0;
  gSeq1->from = gSeq1->to = gSeq2->from = gSeq2->to = 0;
  ASSERT_EQ(newSession(), 0);
  makeTestHit(10, 10, {{0, 0, 100}});
  rebuildLists(0, 0);
  const std::string inside = deep.substr(dir.size() + 1) + "/s1.fa";
  for (const std::string &out : {dir + "/a.loc_align", deep + "/b.loc_align"}) {
    snprintf(gPathBuffer, sizeof gPathBuffer, "%s", out.c_str());
    ASSERT_TRUE(WriteLocalFile(false));
    ASSERT_EQ(OpenAlignment(), 0) << out;
    EXPECT_EQ(gSeq1->length, 400);
    EXPECT_EQ(describeHits(), "/10..110 10..110 (0,0):100");
  }
  EXPECT_NE(readFile(dir + "/a.loc_align").find("    File: " + inside + "\n"), std::string::npos);
  EXPECT_NE(readFile(deep + "/b.loc_align").find("    File: s1.fa\n"), std::string::npos);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AlignmentReader, FailuresLeaveTheSessionAsItWas) {
  newSessionWithHits();
  std::string saved = setOutput("a.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  const std::string text = readFile(saved), hits = describeHits();
  gCurrent->pValue = 1e-3;
  auto edit = [&](const char *from, const char *to) {
    std::string t = text;
    return t.replace(t.find(from), strlen(from), to);
  };
  // After the first of the two groups of the last hit.
  size_t groupEnd = text.find("\n\n", text.rfind("Score: ")) + 2;
  size_t secondGroup = text.find('\n', groupEnd);
  const std::pair<std::string, std::string> cases[] = {
      {text.substr(0, text.find("\nThe last")), "EOF reached"},
      {text.substr(0, text.find("  For merging")), "EOF reached"},
      {text.substr(0, groupEnd), "Bad format of input file"},
      {text.substr(0, secondGroup + 1), "EOF reached"},
      {text.substr(0, groupEnd) + "ACGT\n+|||\nACGT\n", "Bad format"},
      // Cut just before the last hit's "Score:" line.
      {text.substr(0, text.rfind("Score: ")), "Bad format of input file"},
      // Sequence 2 said to be invert-complemented: its hits no longer fit.
      {edit("    1 .. 410 \n", "    1 .. 410 InvertComplement\n"), "Bad format of input file"},
      // A sequence file that cannot be read.
      {edit("File: s2.fa", "File: bad.fa"),
       "ERROR in line 2: Bad format of input file. \nFile: " + dir + "/bad.fa"},
      // A hit beyond the end of the interval the header names.
      {edit("1st: 251 .. 370", "1st: 351 .. 470"), "Bad format of input file"},
      {edit("    1 .. 410 \n", "    1 .. 300 \n"), "Bad format of input file"},
      // A range that its rows do not fill, in either sequence.
      {edit("1st: 251 .. 370", "1st: 251 .. 371"), "Bad format of input file"},
      {edit("2nd: 261 .. 380", "2nd: 261 .. 381"), "Bad format of input file"},
      // A repeat limit no dialog or command can give.
      {edit("p-value: 1e-08\n", "p-value: 1e-08, repeats: -5\n"), "Bad format of input file"},
      // Numbers no saved file holds: a position past the 32-bit range (its
      // low bits would be 251), a negative interval.
      {edit("1st: 251 .. 370", "1st: 4294967547 .. 370"), "Bad format of input file"},
      {edit("    1 .. 400 \n", "    -100 .. -1 \n"), "Bad format of input file"},
      // A missing sequence file is named with its resolved path.
      {edit("File: s2.fa", "File: gone/s2.fa"),
       "Cannot open input file. \nFile: " + dir + "/gone/s2.fa"},
  };
  writeText(dir + "/bad.fa", ">damaged\nACGT\xc3\xa9"
                             "ACGT\n");
  for (const auto &[content, error] : cases) {
    SCOPED_TRACE(content.substr(content.size() > 60 ? content.size() - 60 : 0));
    writeText(dir + "/bad.loc_align", content);
    setOutput("bad.loc_align");
    ui.boxes.clear();
    EXPECT_GE(OpenAlignment(), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].first, "Error");
    EXPECT_NE(ui.boxes[0].second.find(error), std::string::npos) << ui.boxes[0].second;
    EXPECT_EQ(describeHits(), hits);
    EXPECT_EQ(gCurrent->pValue, 1e-3);
    EXPECT_EQ(gSeq1->length, 400);
    EXPECT_EQ(gSeq2->length, 410);
    EXPECT_EQ(gSeq2->flags & (kSeqInverted | kSeqInvertRequested), 0);
    EXPECT_STREQ(gSeq2->fileName, (dir + "/s2.fa").c_str());
  }
  // The file as written still opens.
  writeText(dir + "/bad.loc_align", text);
  EXPECT_EQ(OpenAlignment(), 0);
  EXPECT_EQ(describeHits(), hits);
}

// The record chosen from a many-record file and the soft mask are named on
// the interval line only when used; Open reads them back, and refuses a
// record the file no longer holds without touching the session.
TEST_F(AlignmentReader, RecordAndSoftmaskTravelWithTheFile) {
  std::string two;
  {
    std::ifstream in(dir + "/s2.fa");
    std::getline(in, two);
    std::getline(in, two);
  }
  for (size_t i = 100; i < 140; ++i)
    two[i] = char(tolower(two[i]));
  writeText(dir + "/many.fa", ">decoy\nACGT\n>two\n" + two + "\n>three\nGG\n");
  newSessionWithHits();
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s/many.fa", dir.c_str());
  snprintf(gSeq2->record, sizeof gSeq2->record, "#2");
  gSeq2->flags = kSeqSoftmask;
  ASSERT_EQ(newSession(), 0);
  EXPECT_STREQ(gSeq2->record, "two");
  EXPECT_TRUE(gSeq2->residues[120] & kResRepeat);
  EXPECT_FALSE(gSeq1->residues[120] & kResRepeat);
  clearTestHits();
  makeTestHit(10, 10, {{0, 0, 100}});
  rebuildLists(0, 0);
  roundTrip(WriteLocalFile, "r.loc_align", "r2.loc_align");
  const std::string text = readFile(dir + "/r.loc_align");
  EXPECT_NE(text.find("    1 .. 400 \n2nd seq:\n    File: many.fa\n    1 .. 410  record=two "
                      "softmask\n\n"),
            std::string::npos);
  EXPECT_STREQ(gSeq2->record, "two");
  EXPECT_TRUE(gSeq2->flags & kSeqSoftmask);
  EXPECT_TRUE(gSeq2->residues[120] & kResRepeat);

  std::string gone = text;
  gone.replace(gone.find("record=two"), 10, "record=six");
  writeText(dir + "/gone.loc_align", gone);
  setOutput("gone.loc_align");
  EXPECT_GE(OpenAlignment(), 1);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].second.find("No such record in the file: six; the file holds 3 records: "
                                    "decoy, two, three."),
            std::string::npos);
  EXPECT_STREQ(gSeq2->record, "two");
  EXPECT_EQ(gSeq2->length, 410);
}

// A window wider than the loaded interval (a header's Block, typed
// coordinates) is held inside it, so that what is saved from it opens again.
TEST_F(AlignmentReader, WindowStaysInsideTheLoadedInterval) {
  newSessionWithHits();
  const std::string saved = setOutput("a.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  std::string text = readFile(saved);
  text.replace(text.find("    1 .. 400 \n"), 14, "    1 .. 380 \n");
  ASSERT_NE(text.find("Block: 1..400, 1..410,"), std::string::npos);
  writeText(saved, text);
  ASSERT_EQ(OpenAlignment(), 0);
  EXPECT_EQ(std::vector<int32_t>(gCurrent->block, gCurrent->block + 4),
            (std::vector<int32_t>{1, 380, 1, 410}));
  EXPECT_EQ(gCurrent->region[1], 380);
  setOutput("b.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_NE(readFile(dir + "/b.loc_align").find("Block: 1..380, 1..410,"), std::string::npos);
  EXPECT_EQ(OpenAlignment(), 0);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AlignmentReader, GlobalMarksDelimitTheHits) {
  newSessionWithHits();
  std::string out = setOutput("h.sum_align");
  ASSERT_TRUE(WriteSummaryFile(false));
  std::string header = readFile(out);
  header.erase(header.find("1st from;"));
  auto open = [&](const std::string &body) {
    writeText(dir + "/m.glb_align", header + body);
    setOutput("m.glb_align");
    ui.boxes.clear();
    return OpenAlignment();
  };
  // Brackets, interhit colons, exon braces; a blank after a close is no hit.
  ASSERT_EQ(open("       11: ACGTACGTAC\n           [||]::{*} \n       21: ACGTACGTAC\n\n\n"), 0);
  EXPECT_EQ(describeHits(), "/10..14 20..24 (0,0):4/16..19 26..29 (0,0):3");
  // A hit whose first column is a mismatch has no bracket: its first match
  // opens it; one running over a line end stays one hit.
  ASSERT_EQ(open("       11: AC-GT\n            |  |\n       21: ACGGT\n\n\n"
                 "       15: AAC\n           |] \n       26: AAC\n\n\n"),
            0);
  EXPECT_EQ(describeHits(), "/11..16 21..27 (0,0):1 (1,2):4");
  // A line that does not fit the sequence; a hit whose middle line lies
  // past the end of sequence 1 while its first and last lie inside (the
  // column walk would read beyond the residues).
  for (const char *body :
       {"      999: ACGT\n           [||]\n        1: ACGT\n\n\n",
        // Running on past the end of sequence 1.
        "      397: ACGTAC\n           [||||]\n       25: ACGTAC\n\n\n",
        // A character that is no mark; a line that does not
        // go on where the line before it ended.
        "       11: ACGTACGTAC\n           [||]::{x} \n       21: ACGTACGTAC\n\n\n",
        "       11: AC-GT\n            |  |\n       21: ACGGT\n\n\n"
        "       16: AAC\n           |] \n       26: AAC\n\n\n",
        "       11: ACGT\n           [|||\n       21: ACGT\n\n\n"
        "      398: ACGTAC\n           ||||||\n       25: ACGTAC\n\n\n"
        "       15: ACGT\n           |||]\n       31: ACGT\n\n\n"}) {
    EXPECT_GE(open(body), 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].second.find("Bad format of input file"), std::string::npos);
  }
}

TEST_F(AlignmentReader, InterspersedFilterIsMaskedAgainOnOpen) {
  // Sequence 1 holds 40 diverged copies of one element.
  std::string seq1 = randomBases(60000, 61), element = randomBases(300, 62);
  for (int i = 0; i < 40; ++i) {
    std::string copy = element;
    for (size_t j = size_t(i) % 7; j < copy.size(); j += 13)
      copy[j] = copy[j] == 'A' ? 'G' : 'A';
    seq1.replace(size_t(1000 + 1400 * i), copy.size(), copy);
  }
  writeText(dir + "/s1.fa", ">one\n" + seq1 + "\n");
  newSessionWithHits();
  gCurrent->flagsB =
      (kOptDefaults & ~(kOptFilterPeriodic | kOptFilterPiles)) | kOptFilterInterspersed;
  ApplyFilter(0, kFilterCreate);
  ApplyFilter(1, kFilterCreate);
  auto marks = [] {
    std::string m;
    for (int32_t i = 0; i < gSeq1->length; ++i)
      m += (gSeq1->residues[i] & kResFilter) ? '1' : '0';
    return m;
  };
  const std::string before = marks();
  ASSERT_NE(before.find('1'), std::string::npos);
  roundTrip(WriteLocalFile, "f.loc_align", "f2.loc_align");
  EXPECT_EQ(marks(), before);
  EXPECT_NE(readFile(dir + "/f.loc_align").find("\n  Filter:          interspersed repeats\n"),
            std::string::npos);

  // Without it the file is as it always was, and Open marks nothing.
  ApplyFilter(0, kFilterDelete);
  ApplyFilter(1, kFilterDelete);
  roundTrip(WriteLocalFile, "n.loc_align", "n2.loc_align");
  EXPECT_EQ(readFile(dir + "/n.loc_align").find("Filter"), std::string::npos);
  EXPECT_EQ(marks().find('1'), std::string::npos);
}
