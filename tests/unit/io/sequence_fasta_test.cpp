#include <cctype>

#include "io/sequence_body.h"
#include "sequence_test_fixture.h"

namespace {

using FastaRead = SequenceFileTest;

TEST_F(FastaRead, CaseDigitsAndBlanksReadLikePlainLetters) {
  ASSERT_EQ(load(">plain\nACGTACGTTT\nGGCA\n"), 1);
  std::string plain = letters(gSeq1);
  ASSERT_EQ(load(">  messy header \r\n1 acgt ACgt@tt\r\n   11 ggca\r\n"), 1);
  EXPECT_EQ(letters(gSeq1), plain);
  EXPECT_EQ(gSeq1->length, 14);
  EXPECT_STREQ(gSeq1->definition, "  messy header ");
  EXPECT_EQ(gSeq1->residues[gSeq1->length], 0);
  EXPECT_EQ(gSeq1->annotations, nullptr);
}

TEST_F(FastaRead, FirstRecordOnlyAndOtherLettersAreN) {
  ASSERT_EQ(load("\n  \n>one\nAUR\nnCX\n>two\nGGGG\n"), 1);
  EXPECT_EQ(letters(gSeq1), "ANNNCN");
  EXPECT_STREQ(gSeq1->definition, "one");
}

TEST_F(FastaRead, TabEndsTheSequence) {
  ASSERT_EQ(load(">t\nACGT\tGGGG\nTTTT\n"), 1);
  EXPECT_EQ(letters(gSeq1), "ACGT");
}

TEST_F(FastaRead, LongLinesArriveInPiecesAndAllResiduesAreKept) {
  std::string line;
  for (int i = 0; i < 3000; ++i)
    line.push_back("ACGT"[i * 7 % 4]);
  std::string file = ">long\n" + line + "\n" + line + "\r\n";
  ASSERT_EQ(load(file), 1);
  EXPECT_EQ(letters(gSeq1), line + line);
  // A header longer than a piece is read whole as well.
  std::string header(5000, 'h');
  ASSERT_EQ(load(">" + header + "\nAC\n"), 1);
  EXPECT_EQ(std::string(gSeq1->definition), header);
  EXPECT_EQ(letters(gSeq1), "AC");
}

TEST_F(FastaRead, LongBodiesKeepCommentsLinesAndTheNextRecord) {
  // Well past the first block of the body, with comments and odd lines.
  std::string file = ">big\n", want;
  for (int i = 0; i < 5000; ++i) {
    std::string line;
    for (int j = 0; j < 61; ++j)
      line.push_back(i % 3 == 2   ? "ACGTacgtACGTNn"[(i + j) % 14]
                     : i % 3 == 1 ? "acgtTGCAag"[(i + j) % 10]
                                  : "ACGTGTCA"[(i + j) % 8]);
    want += line;
    file += (i % 7 == 0 ? "  " + line + " 42\r\n" : line + "\n");
    if (i % 1000 == 999)
      file += "!" + std::string(70000, 'G') + "\n";
  }
  for (char &c : want)
    c = char(toupper(c));
  ASSERT_EQ(load(file + ">next\nTTTT\n"), 1);
  EXPECT_EQ(letters(gSeq1), want);
  // A character that ends the sequence far from the start.
  ASSERT_EQ(load(file + "ACGT*TTTT\n"), 1);
  EXPECT_EQ(letters(gSeq1), want + "ACGT");
  ASSERT_EQ(load(file), 1);
  EXPECT_EQ(letters(gSeq1), want);
  // The same with every block boundary in a different place.
  for (size_t block : {1, 2, 17, 61, 62, 4096}) {
    setBodyBlockBytes(block);
    int r = load(file + "AC\r\nGT!x\n");
    setBodyBlockBytes(0);
    ASSERT_EQ(r, 1);
    ASSERT_EQ(letters(gSeq1), want + "ACGT") << block;
  }
}

TEST_F(FastaRead, EmptyRecordAndFileWithoutLineEnd) {
  ASSERT_EQ(load(">nothing"), 1);
  EXPECT_EQ(gSeq1->length, 0);
  EXPECT_STREQ(gSeq1->definition, "nothing");
  ASSERT_EQ(load(">x\nACG"), 1);
  EXPECT_EQ(letters(gSeq1), "ACG");
}

TEST_F(FastaRead, LoneCarriageReturnIsNonPcFormat) {
  std::string path = dir + "/seq.txt";
  ASSERT_EQ(load(">mac\rACGT\rACGT\r"), kErrNonPc);
  EXPECT_EQ(message(), "ERROR: NonPC file format. \nFile: " + path + ". \nBreakpoint in Mc\n");
  EXPECT_EQ(std::string(headlessUi().infoLine()), "ERROR: NonPC file format. ");
  // A GenBank file with old line ends fails the same way.
  EXPECT_EQ(load("LOCUS x 5 bp\rDEFINITION y\r"), kErrNonPc);
}

TEST_F(FastaRead, MissingFileIsFatalWithPlaceName) {
  setName(gSeq1, dir + "/absent.fa");
  int before = headlessUi().errors();
  EXPECT_EQ(readSequence(gSeq1), kErrCannotOpen);
  EXPECT_EQ(message(), "ERROR: Cannot open input file. \nFile: " + dir +
                           "/absent.fa. \nBreakpoint in sqreadsq\n");
  EXPECT_EQ(headlessUi().errors(), before + 1);
  setName(gSeq1, "");
  EXPECT_EQ(readSequence(gSeq1), kErrCannotOpen);
}

TEST_F(FastaRead, UnseekableFileAndMemoryFailures) {
  // A pipe opens but cannot be positioned.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], ">p\nAC\n", 7), 7);
  close(fds[1]);
  std::string pipePath = "/proc/self/fd/" + std::to_string(fds[0]);
  setName(gSeq1, pipePath);
  EXPECT_EQ(readSequence(gSeq1), kErrSeek);
  close(fds[0]);
  EXPECT_EQ(message(), "ERROR: Seek error in input file. \nFile: " + pipePath +
                           ". \nBreakpoint in sqreadsq\n");

  // The sequence's pool cannot be set up.
  std::string path = writeFile(">m\nACGT\n");
  setName(gSeq1, path);
  setSystemAlloc([](size_t) -> void * { return nullptr; });
  int r = readSequence(gSeq1);
  setSystemAlloc(nullptr);
  EXPECT_EQ(r, kErrNoMemory);
  EXPECT_EQ(message(), "ERROR: Cannot create heap.\n");

  // The first text area cannot be had: its size is reported.
  static int allowed;
  allowed = 1; // the pool's first page only
  setSystemAlloc([](size_t n) -> void * { return allowed-- > 0 ? malloc(n) : nullptr; });
  r = load("LOCUS x 5 bp\nDEFINITION d\nACCESSION a\nVERSION A.1 GI:1\nFEATURES\n"
           "     exon 1..2\nORIGIN\n acgta\n");
  setSystemAlloc(nullptr);
  EXPECT_EQ(r, kErrNoMemory);
  EXPECT_EQ(
      message(),
      "ERROR: Not enough memory. \nExtra 2048 bytes are needed. \nBrekpoint in heap_alloc.\n");
}

TEST_F(FastaRead, RepeatReadNamesItsPlace) {
  ASSERT_EQ(load(">r\nACGT\n"), 1);
  gSeq1->flags &= ~kSeqNotRead;
  snprintf(gSeq1->repeatSourceName, sizeof gSeq1->repeatSourceName, "%s/gone.gb", dir.c_str());
  EXPECT_EQ(readRepeats(gSeq1), kErrCannotOpen);
  EXPECT_EQ(message(), "ERROR: Cannot open input file. \nFile: " + dir +
                           "/gone.gb. \nBreakpoint in sqreadms\n");
}

TEST_F(FastaRead, GrammarTablesAreComplete) {
  ensureSequenceGrammars();
  EXPECT_EQ(checkGrammarTables(), nullptr);
}

TEST_F(FastaRead, ReadingAgainReplacesEverything) {
  ASSERT_EQ(load(">a\nAAAA\n"), 1);
  gSeq1->flags |= kSeqInverted | kSeqRepeatsMarked;
  ASSERT_EQ(load(">b\nCC\n"), 1);
  EXPECT_EQ(letters(gSeq1), "CC");
  EXPECT_FALSE(gSeq1->flags & (kSeqInverted | kSeqRepeatsMarked));
  EXPECT_STREQ(gSeq1->definition, "b");
}

TEST_F(FastaRead, RealMitochondrialGenomes) {
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s", dataFile("mito/MT-human.fa").c_str());
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "%s", dataFile("mito/MT-orang.fa").c_str());
  ASSERT_EQ(readSequence(gSeq1), 1);
  ASSERT_EQ(readSequence(gSeq2), 1);
  EXPECT_EQ(gSeq1->length, 16569);
  EXPECT_EQ(gSeq2->length, 16499);
  EXPECT_EQ(letters(gSeq1).substr(0, 10), "GATCACAGGT");
  // The FASTA file has no repeats: the repeat read succeeds with none.
  gSeq1->flags &= ~kSeqNotRead;
  EXPECT_EQ(readRepeats(gSeq1), 1);
  EXPECT_EQ(gSeq1->repeats, nullptr);
}

TEST_F(FastaRead, ProgressIsReportedWithinTheFileSize) {
  static long maxPosition, maxSize, calls;
  maxPosition = maxSize = calls = 0;
  static int window;
  setProgressWindow(&window, [](void *w, long position, long size) {
    EXPECT_EQ(w, &window);
    ++calls;
    maxPosition = std::max(maxPosition, position);
    maxSize = size;
  });
  std::string body;
  for (int i = 0; i < 100; ++i)
    body += std::string(60, 'A') + "\n";
  int r = load(">p\n" + body);
  setProgressWindow(nullptr, nullptr);
  ASSERT_EQ(r, 1);
  EXPECT_GE(calls, 4); // two lines, a block and the end
  EXPECT_EQ(maxSize, long(body.size() + 3));
  // Positions inside a FASTA body count double.
  EXPECT_GT(maxPosition, maxSize);
  EXPECT_LE(maxPosition, 2 * maxSize);
}

} // namespace
