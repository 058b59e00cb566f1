// Sequence files as people keep them: gzip-compressed, many records to a
// file, soft-masked.
#include <fstream>
#include <sstream>
#include <zlib.h>

#include "io/input_stream.h"
#include "io/sequence_body.h"
#include "io/sequence_finish.h"
#include "reader_fixture.h"
#include "seq_builders.h"

namespace {

class InputStreamTest : public ReaderTest {
protected:
  // `text` gzip-compressed, in `members` pieces as bgzip writes them.
  std::string writeGzip(const std::string &text, const char *name, int members = 1) {
    std::string p = dir + "/" + name;
    remove(p.c_str());
    const size_t step = text.size() / members + 1;
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
    int r = readSequence(gSeq1);
    gSeq1->flags &= ~kSeqNotRead;
    return r == 1 ? readRepeats(gSeq1) : r;
  }
  static std::string contents(const std::string &path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
  }
};

std::string fasta(const char *header, size_t n, unsigned seed) {
  const std::string seq = randomBases(n, seed);
  std::string out = std::string(">") + header + "\n";
  for (size_t i = 0; i < seq.size(); i += 60)
    out += seq.substr(i, 60) + "\n";
  return out;
}

// What a read leaves: residues, definition, annotations, record name.
std::string describe(const Sequence *s) {
  std::string d = std::string(s->definition ? s->definition : "") + "|" + s->recordName + "|";
  for (int i = 0; i < s->length; ++i)
    d.push_back(residueLetter(s->residues[i]));
  for (const Annotation *a = s->annotations; a; a = a->next)
    d += "|" + std::to_string(a->kind) + ":" + std::to_string(a->coordinateCount);
  for (const Annotation *a = s->repeats; a; a = a->next)
    d += "|r" + std::to_string(a->coordinates[0]) + "-" + std::to_string(a->coordinates[1]);
  return d;
}

// The body steps back inside every block it reads: small blocks make it do
// so across the compressed stream's own buffers. Progress counts the bytes
// on disk.
TEST_F(InputStreamTest, CompressedFilesReadAsTheirText) {
  static long furthest;
  setProgressWindow(&furthest, [](void *, long at, long) { furthest = std::max(furthest, at); });
  for (const std::string &text :
       {fasta("chrA region", 150000, 1) + ">chrB\nAC\n", contents(dataFile("genbank/HUMHBB.gb"))}) {
    ASSERT_EQ(read(writeFile(text, "plain.txt")), 1);
    const std::string want = describe(gSeq1);
    for (size_t block : {37, 0})
      for (int members : {1, 3}) {
        SCOPED_TRACE(text.substr(0, 5) + std::to_string(block) + std::to_string(members));
        setBodyBlockBytes(block);
        const std::string gz = writeGzip(text, "packed.txt", members);
        furthest = -1;
        ASSERT_EQ(read(gz), 1);
        EXPECT_TRUE(describe(gSeq1) == want);
        EXPECT_GT(furthest, 0);
        EXPECT_LE(furthest, 2 * long(contents(gz).size())); // a FASTA body counts double
      }
  }
  setBodyBlockBytes(0);
  setProgressWindow(nullptr, nullptr);
  EXPECT_STREQ(gSeq1->recordName, "U01317.1");
}

// Damage anywhere in the stream, also past the record read, refuses the
// file by name; the check made before a dialog replaces a sequence agrees.
TEST_F(InputStreamTest, DamagedCompressedFilesAreRefused) {
  RecordingBoxes boxes;
  const std::string text = fasta("one", 40000, 2) + fasta("two", 40000, 3);
  const std::string whole = contents(writeGzip(text, "whole.gz"));
  std::string flipped = whole;
  flipped[flipped.size() - 6] ^= 0x40; // the stored check sum
  for (const std::string &bad : {whole.substr(0, 20), whole.substr(0, whole.size() / 3),
                                 whole.substr(0, whole.size() - 4), flipped}) {
    const std::string path = writeFile(bad, "bad.fa.gz");
    boxes.text.clear();
    EXPECT_EQ(read(path), kErrDamagedGzip);
    EXPECT_EQ(boxes.text, "Error: ERROR: Damaged compressed file. \nFile: " + path +
                              ". \nBreakpoint in sqreadsq\n");
    EXPECT_EQ(read(path, "two"), kErrDamagedGzip);
    EXPECT_FALSE(verifyCompressedFile(path.c_str(), "sqreadsq"));
  }
  EXPECT_TRUE(verifyCompressedFile(writeGzip(text, "sound.gz").c_str(), "sqreadsq"));
}

// A name finds the first record that answers to it; digits that name no
// record count; "#N" always counts. The record read is named again so that
// Open finds the same one.
TEST_F(InputStreamTest, RecordsByNameAndByNumber) {
  RecordingBoxes boxes;
  const std::string a = fasta("dup first", 3000, 4), b = fasta("  dup second", 70000, 5),
                    c = fasta("7", 500, 6);
  const std::string text = "! a comment\n" + a + b + c;
  const std::string plain = writeFile(text, "many.fa"), packed = writeGzip(text, "many.fa.gz");
  const struct {
    const char *choice;
    const std::string *alone;
    const char *canonical;
  } cases[] = {{"dup", &a, "dup"}, {"#2", &b, "#2"}, {"2", &b, "#2"},  {"#3", &c, "7"},
               {"7", &c, "7"},     {"3", &c, "7"},   {"#1", &a, "dup"}};
  for (const std::string &file : {plain, packed})
    for (const auto &k : cases) {
      SCOPED_TRACE(file + " " + k.choice);
      ASSERT_EQ(read(writeFile(*k.alone, "alone.fa")), 1);
      const std::string want = describe(gSeq1);
      ASSERT_EQ(read(file, k.choice), 1);
      EXPECT_TRUE(describe(gSeq1) == want);
      EXPECT_STREQ(gSeq1->record, k.canonical);
    }
  boxes.text.clear();
  EXPECT_EQ(read(packed, "chrX"), kErrNoSuchRecord);
  EXPECT_EQ(boxes.text, "Error: ERROR: No such record in the file: chrX; the file holds 3 "
                        "records: dup, dup, 7. \nFile: " +
                            packed + ". \nBreakpoint in sqreadsq\n");
  EXPECT_EQ(read(plain, "#4"), kErrNoSuchRecord);
  // Lines of errors count from the top of the file.
  EXPECT_EQ(read(writeFile(text + ">bad\nAC!GT\n", "bad.fa"), "bad"), kErrBadFormat);
  const auto before = std::count(text.begin(), text.end(), '\n');
  EXPECT_EQ(message().substr(0, 19), "ERROR in line " + std::to_string(before + 2) + ":");
}

// GenBank records answer to their LOCUS name, accession and VERSION; each
// keeps its own features and repeats.
TEST_F(InputStreamTest, GenbankRecordsOfOneFile) {
  const std::string second = contents(dataFile("genbank/HUMHBB.gb"));
  ASSERT_EQ(read(writeFile(second, "alone.gb")), 1);
  const std::string alone = describe(gSeq1);
  const std::string both =
      writeGzip(contents(dataFile("genbank/biopython_NC_005816.gb")) + second, "both.gb.gz");
  const std::pair<const char *, const char *> cases[] = {
      {"HUMHBB", "HUMHBB"}, {"U01317", "U01317"}, {"#2", "U01317.1"}, {"2", "U01317.1"}};
  for (const auto &[choice, canonical] : cases) {
    ASSERT_EQ(read(both, choice), 1) << choice;
    EXPECT_TRUE(describe(gSeq1) == alone) << choice;
    EXPECT_STREQ(gSeq1->record, canonical);
  }
}

// Lower case is a repeat only when asked, through the fast and the careful
// path of the body, and the mark stays with its residue when turned.
TEST_F(InputStreamTest, SoftmaskedLowerCaseIsAnAnnotatedRepeat) {
  std::string text = ">sm\n", want;
  for (int i = 0; i < 300; ++i) {
    const std::string line = i % 3 ? "ACGTACGTAcgtnNACGTAcgtacgtTTTTggggA" : "acgtACGT";
    text += line + "\n";
    want += line;
  }
  const std::string path = writeFile(text, "sm.fa");
  for (size_t block : {13, 0}) {
    setBodyBlockBytes(block);
    ASSERT_EQ(read(path, "", kSeqSoftmask), 1);
    gSeq1->flags |= kSeqInvertRequested;
    finishSequence(gSeq1);
    ASSERT_EQ(gSeq1->length, int(want.size()));
    for (size_t i = 0; i < want.size(); ++i)
      ASSERT_EQ(bool(gSeq1->residues[want.size() - 1 - i] & kResRepeat), bool(islower(want[i])))
          << i;
    ASSERT_EQ(read(path), 1);
    for (int i = 0; i < gSeq1->length; ++i)
      ASSERT_EQ(gSeq1->residues[i] & kResRepeat, 0);
  }
  setBodyBlockBytes(0);
}

} // namespace
