#include <cctype>

#include "io/sequence_body.h"
#include "reader_fixture.h"

namespace {

using FastaRead = ReaderTest;

TEST_F(FastaRead, LettersDefinitionsAndEnds) {
  std::string line;
  for (int i = 0; i < 3000; ++i) // longer than a piece of a line
    line.push_back("ACGT"[i * 7 % 4]);
  const std::string header(5000, 'h');
  struct Case {
    std::string text;
    int result;
    std::string letters, definition;
  } cases[] = {
      {">plain\nACGTACGTTT\nGGCA\n", 1, "ACGTACGTTTGGCA", "plain"},
      // Case, digits, blanks and CR LF do not change the residues.
      {">  messy header \r\n1 acgt ACgt@tt\r\n   11 ggca\r\n", 1, "ACGTACGTTTGGCA",
       "  messy header "},
      // The first record only; U, R, n and other letters read as N.
      {"\n  \n>one\nAUR\nnCX\n>two\nGGGG\n", 1, "ANNNCN", "one"},
      {">x\nACG", 1, "ACG", "x"},
      {">long\n" + line + "\n" + line + "\r\n", 1, line + line, "long"},
      {">" + header + "\nAC\n", 1, "AC", header},
      {"LOCUS x 5 bp\rDEFINITION y\r", kErrNonPc, "", ""},
      {">mac\rACGT\rACGT\r", kErrNonPc, "", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    // Reading again replaces what an earlier read and finish left.
    gSeq1->flags |= kSeqInverted | kSeqRepeatsMarked;
    ASSERT_EQ(load(c.text), c.result);
    if (c.result != 1)
      continue;
    EXPECT_EQ(letters(gSeq1), c.letters);
    EXPECT_EQ(gSeq1->definition, c.definition);
    EXPECT_FALSE(gSeq1->flags & (kSeqInverted | kSeqRepeatsMarked));
    EXPECT_EQ(gSeq1->annotations, nullptr);
  }
  EXPECT_EQ(message(), "ERROR: NonPC file format. \nFile: " + path + ". \nBreakpoint in Mc\n");
}

TEST_F(FastaRead, LongBodiesWithEveryBlockBoundary) {
  // Well past the first block of the body, with comments and odd lines.
  std::string file = ">big\n", want;
  for (int i = 0; i < 5000; ++i) {
    std::string line;
    for (int j = 0; j < 61; ++j)
      line.push_back("ACGTacgtACGTNnTGCAag"[(i * 3 + j) % 20]);
    want += line;
    file += (i % 7 == 0 ? "  " + line + " 42\r\n" : line + "\n");
    if (i % 1000 == 999)
      file += "!" + std::string(70000, 'G') + "\n";
  }
  for (char &c : want)
    c = char(toupper(c));
  ASSERT_EQ(load(file + ">next\nTTTT\n"), 1);
  EXPECT_EQ(letters(gSeq1), want);
  for (size_t block : {1, 61, 62}) {
    SCOPED_TRACE(block);
    setBodyBlockBytes(block);
    for (const char *end : {"AC\r\nGT\n>x\n", "AC\r\nG-T\n"}) {
      ASSERT_EQ(load(file + end), 1);
      ASSERT_TRUE(letters(gSeq1) == want + "ACGT");
    }
    EXPECT_EQ(load(file + "AC\r\nGT!x\n"), kErrBadFormat);
    EXPECT_EQ(message().substr(0, 19), "ERROR in line 5008:");
    setBodyBlockBytes(0);
  }
}

// A byte that is no residue must never end a sequence unseen: tabs and gap
// marks are skipped with a warning naming the file, the line and the count;
// anything else refuses the file, naming the line. A record without
// residues is refused by name.
TEST_F(FastaRead, StrayBytesAreCountedOrRefused) {
  RecordingBoxes boxes;
  const std::string tail(5000, 'A');
  struct Case {
    std::string text;
    int result;
    std::string letters, box;
  } cases[] = {
      {">t\nACGT\tGGGG\nTT-TT\n" + tail, 1, "ACGTGGGGTTTT" + tail,
       "Caution: Skipped 2 characters in the sequence that are not residues (tab, \"-\", \".\", "
       "\"*\").\n    File: @, first in line 2\n"},
      {">g\n\n\nAC.GT*\n", 1, "ACGT",
       "Caution: Skipped 2 characters in the sequence that are not residues (tab, \"-\", \".\", "
       "\"*\").\n    File: @, first in line 4\n"},
      {">u\nACGT\xc3\xa9TT\n" + tail, kErrBadFormat, "",
       "Error: ERROR in line 2: Bad format of input file. \nFile: @, line: \nACGT\xc3\xa9TT\n "
       "\nend: \n\xc3\xa9TT\n\n"},
      {">z\nAC\nACGT" + std::string(1, '\0') + "ACGT\n", kErrBadFormat, "",
       "Error: ERROR in line 3: Bad format of input file. \nFile: @, line: \n\x7f"
       "ACGT\n \nend: "
       "\n\x7f"
       "ACGT\n\n"},
      {">m\nACGT>ACGT\n", kErrBadFormat, "", ""},
      {">nothing\n>next\nACGT\n", kErrNoResidues, "",
       "Error: ERROR: No sequence in input file. \nFile: @. \nBreakpoint in sqreadsq\n"},
      {">nothing", kErrNoResidues, "", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20));
    boxes.text.clear();
    ASSERT_EQ(load(c.text), c.result);
    if (c.result == 1) {
      EXPECT_TRUE(letters(gSeq1) == c.letters);
    }
    if (c.box.empty())
      continue;
    std::string want = c.box;
    want.replace(want.find('@'), 1, path);
    EXPECT_EQ(boxes.text, want);
  }
  // NUL in the first lines read by the block reader, too.
  setBodyBlockBytes(7);
  std::string nul = ">z\nACGTACGTACGT\nAC" + std::string(1, '\0') + "GT\n";
  EXPECT_EQ(load(nul), kErrBadFormat);
  setBodyBlockBytes(0);
}

TEST_F(FastaRead, AFolderIsNoSequenceFile) {
  setName(gSeq1, dir);
  EXPECT_EQ(readSequence(gSeq1), kErrCannotOpen);
  EXPECT_EQ(message(),
            "ERROR: Cannot open input file. \nFile: " + dir + ". \nBreakpoint in sqreadsq\n");
}

TEST_F(FastaRead, RealMitochondrialGenomes) {
  setName(gSeq1, dataFile("mito/MT-human.fa"));
  setName(gSeq2, dataFile("mito/MT-orang.fa"));
  ASSERT_EQ(readSequence(gSeq1), 1);
  ASSERT_EQ(readSequence(gSeq2), 1);
  EXPECT_EQ(gSeq1->length, 16569);
  EXPECT_EQ(gSeq2->length, 16499);
  EXPECT_EQ(letters(gSeq1).substr(0, 10), "GATCACAGGT");
  EXPECT_EQ(gSeq2->annotations, nullptr);
  // No repeats in FASTA: the repeat read succeeds with none.
  gSeq1->flags &= ~kSeqNotRead;
  EXPECT_EQ(readRepeats(gSeq1), 1);
  EXPECT_EQ(gSeq1->repeats, nullptr);
}

} // namespace
