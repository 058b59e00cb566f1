// Sequence files as people keep them: gzip-compressed, many records to a
// file, soft-masked.
#include <zlib.h>

#include "io/input_stream.h"
#include "io/sequence_body.h"
#include "io/sequence_finish.h"
#include "reader_fixture.h"

namespace {

class InputStreamTest : public ReaderTest {
protected:
  // `text` gzip-compressed into the scratch folder, in `members` pieces (as
  // bgzip writes them).
  std::string writeGzip(const std::string &text, const char *name, int members = 1) {
    std::string p = dir + "/" + name;
    remove(p.c_str());
    size_t step = text.size() / members + 1;
    for (size_t at = 0; at < text.size(); at += step) {
      gzFile gz = gzopen(p.c_str(), "ab");
      gzwrite(gz, text.data() + at, unsigned(std::min(step, text.size() - at)));
      gzclose(gz);
    }
    return p;
  }
  int read(const std::string &file, const char *record = "", uint16_t flags = 0) {
    setName(gSeq1, file);
    snprintf(gSeq1->record, sizeof gSeq1->record, "%s", record);
    gSeq1->flags = kSeqInitialFlags | flags;
    gLastError = 0;
    int r = readSequence(gSeq1);
    if (r == 1)
      gSeq1->flags &= ~kSeqNotRead;
    return r;
  }
  std::string readText(const std::string &p) {
    FILE *f = fopen(p.c_str(), "rb");
    std::string s;
    char b[4096];
    size_t n;
    while ((n = fread(b, 1, sizeof b, f)) > 0)
      s.append(b, n);
    fclose(f);
    return s;
  }
};

std::string bases(size_t n, unsigned seed) {
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    s.push_back("ACGT"[(seed >> 16) & 3]);
  }
  return s;
}

std::string fastaLines(const std::string &seq) {
  std::string out;
  for (size_t i = 0; i < seq.size(); i += 60)
    out += seq.substr(i, 60) + "\n";
  return out;
}

// What a read leaves: residues, definition, annotations, record name.
std::string describe(const Sequence *s) {
  std::string d = std::to_string(s->length) + "|" + (s->definition ? s->definition : "") + "|" +
                  s->recordName + "|" + s->accession + "|";
  for (int i = 0; i < s->length; ++i)
    d.push_back(residueLetter(s->residues[i]));
  for (const Annotation *a = s->annotations; a; a = a->next)
    d += "|" + std::to_string(a->kind) + ":" + std::to_string(a->coordinateCount);
  for (const Annotation *a = s->repeats; a; a = a->next)
    d += "|r" + std::to_string(a->coordinates[0]) + "-" + std::to_string(a->coordinates[1]);
  return d;
}

TEST_F(InputStreamTest, CompressedFilesReadAsTheirText) {
  const std::string fasta = ">chrA some region\n" + fastaLines(bases(150000, 1)) + ">chrB\nAC\n";
  const std::string genbank = readText(dataFile("genbank/biopython_NC_005816.gb"));
  static long lastPosition, calls;
  setProgressWindow(&lastPosition, [](void *, long position, long) {
    lastPosition = position;
    ++calls;
  });
  for (size_t block : {0, 37, 4096}) {
    setBodyBlockBytes(block); // the body steps back inside every block it reads
    for (const std::string &text : {fasta, genbank}) {
      SCOPED_TRACE(text.substr(0, 10) + " block " + std::to_string(block));
      ASSERT_EQ(read(writeFile(text, "plain.txt")), 1);
      gSeq1->flags &= ~kSeqNotRead;
      ASSERT_EQ(readRepeats(gSeq1), 1);
      const std::string want = describe(gSeq1);
      for (int members : {1, 3}) {
        const std::string gz = writeGzip(text, "packed.txt", members);
        calls = 0;
        ASSERT_EQ(read(gz), 1);
        ASSERT_EQ(readRepeats(gSeq1), 1);
        EXPECT_TRUE(describe(gSeq1) == want);
        // Progress counts the bytes on disk, not the text.
        EXPECT_GT(calls, 0);
        EXPECT_LE(lastPosition, long(readText(gz).size()));
      }
    }
  }
  setBodyBlockBytes(0);
  setProgressWindow(nullptr, nullptr);
  EXPECT_EQ(describe(gSeq1).substr(0, 40), "9609|Yersinia pestis biovar Microtus str");
  EXPECT_STREQ(gSeq1->recordName, "NC_005816.1");
}

// Damage anywhere in the stream, also past the record read, refuses the
// file with its name; the check before a dialog replaces a sequence says so
// without reading it.
TEST_F(InputStreamTest, DamagedCompressedFilesAreRefused) {
  RecordingBoxes boxes;
  const std::string text =
      ">one\n" + fastaLines(bases(40000, 2)) + ">two\n" + fastaLines(bases(40000, 3));
  const std::string whole = readText(writeGzip(text, "whole.gz"));
  for (size_t keep : {size_t(20), whole.size() / 3, whole.size() - 30, whole.size() - 4}) {
    SCOPED_TRACE(keep);
    const std::string cut = writeFile(whole.substr(0, keep), "cut.fa.gz");
    boxes.text.clear();
    EXPECT_EQ(read(cut), kErrDamagedGzip);
    EXPECT_EQ(boxes.text, "Error: ERROR: Damaged compressed file. \nFile: " + cut +
                              ". \nBreakpoint in sqreadsq\n");
    EXPECT_EQ(read(cut, "two"), kErrDamagedGzip);
    EXPECT_FALSE(verifyCompressedFile(cut.c_str(), "sqreadsq"));
  }
  std::string flipped = whole;
  flipped[flipped.size() - 6] ^= 0x40; // the stored check sum
  const std::string bad = writeFile(flipped, "crc.gz");
  EXPECT_EQ(read(bad), kErrDamagedGzip);
  EXPECT_FALSE(verifyCompressedFile(bad.c_str(), "sqreadsq"));
  EXPECT_TRUE(verifyCompressedFile(writeGzip(text, "sound.gz").c_str(), "sqreadsq"));
  EXPECT_TRUE(verifyCompressedFile(writeFile(text, "plain.fa").c_str(), "sqreadsq"));
}

TEST_F(InputStreamTest, RecordsByNameAndByNumber) {
  RecordingBoxes boxes;
  const std::string a = bases(3000, 4), b = bases(70000, 5), c = bases(500, 6);
  // Two records answer to "dup"; the third is named by a number.
  const std::string text = "! a comment\n>dup first\n" + fastaLines(a) + ">  dup second\n" +
                           fastaLines(b) + ">7\n" + fastaLines(c);
  const std::string plain = writeFile(text, "many.fa"), packed = writeGzip(text, "many.fa.gz");
  struct Case {
    const char *choice;
    const std::string *residues;
    const char *canonical;
  } cases[] = {
      {"dup", &a, "dup"}, {"#2", &b, "#2"}, {"2", &b, "#2"},   {"#3", &c, "7"},
      {"7", &c, "7"},     {"3", &c, "7"},   {"#1", &a, "dup"},
  };
  for (const std::string &file : {plain, packed})
    for (const Case &k : cases) {
      SCOPED_TRACE(file + " " + k.choice);
      ASSERT_EQ(read(file, k.choice), 1);
      EXPECT_TRUE(letters(gSeq1) == *k.residues);
      EXPECT_STREQ(gSeq1->record, k.canonical);
      // The repeat read finds the same record (none in FASTA).
      EXPECT_EQ(readRepeats(gSeq1), 1);
    }
  EXPECT_STREQ(gSeq1->recordName, "dup");
  EXPECT_EQ(read(plain, "#2"), 1);
  EXPECT_STREQ(gSeq1->recordName, "dup");

  boxes.text.clear();
  EXPECT_EQ(read(plain, "chrX"), kErrNoSuchRecord);
  EXPECT_EQ(read(packed, "#4"), kErrNoSuchRecord);
  EXPECT_EQ(boxes.text, "Error: ERROR: No such record in the file: chrX; the file holds 3 "
                        "records: dup, dup, 7. \nFile: " +
                            plain +
                            ". \nBreakpoint in sqreadsq\nError: ERROR: No such record in the "
                            "file: #4; the file holds 3 records: dup, dup, 7. \nFile: " +
                            packed + ". \nBreakpoint in sqreadsq\n");
  // Line numbers of errors count from the top of the file.
  EXPECT_EQ(read(writeFile(text + ">bad\nAC!GT\n", "bad.fa"), "bad"), kErrBadFormat);
  const auto before = std::count(text.begin(), text.end(), '\n');
  EXPECT_EQ(message().substr(0, 19), "ERROR in line " + std::to_string(before + 2) + ":");

  std::vector<RecordEntry> records;
  size_t total = 0;
  ASSERT_TRUE(listRecords(packed.c_str(), records, 2, &total));
  EXPECT_EQ(total, 3u);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].name, "dup");
  EXPECT_EQ(records[1].line, 2 + (3000 + 59) / 60); // the comment, the header, the lines of a
}

// GenBank records answer to their LOCUS name, accession and VERSION; each
// keeps its own features and repeats.
TEST_F(InputStreamTest, GenbankRecordsOfOneFile) {
  const std::string first = readText(dataFile("genbank/biopython_NC_005816.gb"));
  const std::string second = readText(dataFile("genbank/HUMHBB.gb"));
  ASSERT_EQ(read(writeFile(second, "alone.gb")), 1);
  ASSERT_EQ(readRepeats(gSeq1), 1);
  const std::string alone = describe(gSeq1);
  const std::string both = writeGzip(first + second, "both.gb.gz");
  for (const char *choice : {"HUMHBB", "U01317", "U01317.1", "#2", "2"}) {
    SCOPED_TRACE(choice);
    ASSERT_EQ(read(both, choice), 1);
    ASSERT_EQ(readRepeats(gSeq1), 1);
    EXPECT_TRUE(describe(gSeq1) == alone);
  }
  EXPECT_STREQ(gSeq1->recordName, "U01317.1");
  EXPECT_STREQ(gSeq1->record, "U01317.1");
}

TEST_F(InputStreamTest, SoftmaskedLowerCaseIsAnAnnotatedRepeat) {
  std::string text = ">sm\n", want;
  for (int i = 0; i < 300; ++i) {
    const std::string line = i % 3 ? "ACGTACGTAcgtnNACGTAcgtacgtTTTTggggA" : "acgtACGT";
    text += line + "\n";
    want += line;
  }
  for (size_t block : {0, 13}) {
    setBodyBlockBytes(block);
    ASSERT_EQ(read(writeFile(text, "sm.fa"), "", kSeqSoftmask), 1);
    ASSERT_EQ(gSeq1->length, int(want.size()));
    for (size_t i = 0; i < want.size(); ++i) {
      ASSERT_EQ(residueLetter(gSeq1->residues[i]), want[i]) << i;
      ASSERT_EQ(bool(gSeq1->residues[i] & kResRepeat), bool(islower(want[i]))) << i;
    }
    // The mark stays with its residue when the sequence is turned.
    gSeq1->flags |= kSeqInvertRequested;
    finishSequence(gSeq1);
    for (size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(bool(gSeq1->residues[want.size() - 1 - i] & kResRepeat), bool(islower(want[i])));
    ASSERT_EQ(read(writeFile(text, "sm.fa")), 1);
    for (int i = 0; i < gSeq1->length; ++i)
      ASSERT_EQ(gSeq1->residues[i] & kResRepeat, 0);
  }
  setBodyBlockBytes(0);
}

} // namespace
