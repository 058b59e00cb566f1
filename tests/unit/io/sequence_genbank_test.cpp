#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "io/sequence_finish.h"
#include "reader_fixture.h"

namespace {

using GenbankRead = ReaderTest;

// A GenBank file around `features` with `residues` residues after ORIGIN.
std::string genbank(const std::string &features, int residues = 1000,
                    const std::string &version = "VERSION     AB000001.2  GI:12345\n") {
  std::string s = "LOCUS       TEST01      1000 bp    DNA     linear   PRI 01-JAN-2000\n"
                  "DEFINITION  A test   entry\n            over two lines.\n"
                  "ACCESSION   AB000001\n" +
                  version + "KEYWORDS    .\nFEATURES             Location/Qualifiers\n" + features +
                  "BASE COUNT      250 a    250 c    250 g    250 t\nORIGIN      \n";
  for (int i = 0; i < residues; i += 60) {
    s += std::to_string(i + 1);
    for (int j = i; j < i + 60 && j < residues; ++j)
      s += std::string((j - i) % 10 ? "" : " ") + "acgt"[j % 4];
    s += '\n';
  }
  return s + "//\n";
}

std::vector<int32_t> coords(const Annotation *a) {
  return std::vector<int32_t>(a->coordinates, a->coordinates + a->coordinateCount);
}

int count(const Annotation *a) {
  int n = 0;
  for (; a; a = a->next)
    ++n;
  return n;
}

TEST_F(GenbankRead, HeaderFieldsAndLocations) {
  ASSERT_EQ(load(genbank("     exon            complement(join(100..200,300..400))\n"
                         "     gene            100\n"
                         "     CDS             join(<1..20,30^31,\n"
                         "                     complement(40..>50),AB0001.1:5..9)\n"
                         "     mRNA            order(900..950,990..1200)\n"
                         "     5'UTR           complement(5..9)\n"
                         "     3'UTR           7..8\n")),
            1);
  EXPECT_EQ(gSeq1->length, 1000);
  EXPECT_EQ(letters(gSeq1).substr(0, 8), "ACGTACGT");
  EXPECT_STREQ(gSeq1->definition, "A test entry over two lines.");
  EXPECT_STREQ(gSeq1->accession, "AB000001.2");
  EXPECT_EQ(gSeq1->gi, 12345);
  std::vector<std::pair<int, std::vector<int32_t>>> got;
  for (const Annotation *a = gSeq1->annotations; a; a = a->next)
    got.push_back({a->kind, coords(a)});
  // A complement() anywhere marks the whole annotation; 100 alone is
  // 100..100; ends past the sequence are clamped to its length.
  EXPECT_EQ(got, (std::vector<std::pair<int, std::vector<int32_t>>>{
                     {0x83, {100, 200, 300, 400}},
                     {kAnnGene, {100, 100}},
                     {kAnnCds | kAnnComplement, {1, 20, 30, 31, 40, 50}},
                     {kAnnMrna, {900, 950, 990, 1000}},
                     {kAnnUtr5 | kAnnComplement, {5, 9}},
                     {kAnnUtr3, {7, 8}}}));
  // The accession keeps 15 characters.
  ASSERT_EQ(load(genbank("", 60, "VERSION     ABCDEFGHIJ_1234567.1 GI:7\n")), 1);
  EXPECT_STREQ(gSeq1->accession, "ABCDEFGHIJ_1234");
}

TEST_F(GenbankRead, QualifiersStoredAndSkipped) {
  ASSERT_EQ(load(genbank("     CDS             10..90\n"
                         "                     /gene=\"HBB\"\n"
                         "                     /note=\"first piece\n"
                         "                     second   piece\n"
                         "                     third\"\n"
                         "                     /inference=\"say \"\"hi\"\"\"\n"
                         "                     /codon_start=2\n"
                         "                     /product=\"beta globin\"\n"
                         "                     /protein_id=\"AAA16333.1\"\n"
                         "\n"
                         "     exon            10..20\n"
                         "                     /number=exon3\n"
                         "                     /rpt_family=\"Alu\"\n")),
            1);
  const Annotation *a = gSeq1->annotations;
  ASSERT_EQ(count(a), 2);
  EXPECT_STREQ(a->gene, "HBB");
  EXPECT_STREQ(a->note, "first piece second piece third");
  EXPECT_STREQ(a->product, "beta globin");
  EXPECT_STREQ(a->proteinId, "AAA16333.1");
  EXPECT_EQ(std::vector<int>({a->geneLength, a->noteLength, a->proteinIdLength, a->number}),
            std::vector<int>({3, 30, 10, 2}));
  a = a->next;
  EXPECT_EQ(a->number, 3);
  EXPECT_STREQ(a->note, "Alu");
  EXPECT_EQ(a->gene, nullptr);
}

// Values as real files write them: empty, with doubled quotes (one quote),
// on one line or several.
TEST_F(GenbankRead, EmptyAndQuotedQualifierValues) {
  ASSERT_EQ(load(genbank("     CDS             10..90\n"
                         "                     /note=\n"
                         "                     /product=\"a \"\"quoted\"\" word\"\n"
                         "                     /gene=\"\"\"x\"\"\"\n"
                         "     exon            10..20\n"
                         "                     /note=\"it \"\"goes\n"
                         "                     on\"\" here\"  \n"
                         "                     /product=\"\"\n"
                         "                     /gene=bare value\n"
                         "     gene            30..40\n"
                         "                     /gene=\n")),
            1)
      << message();
  const Annotation *a = gSeq1->annotations;
  ASSERT_EQ(count(a), 3);
  EXPECT_STREQ(a->note, "");
  EXPECT_EQ(a->noteLength, 0);
  EXPECT_STREQ(a->product, "a \"quoted\" word");
  EXPECT_EQ(a->productLength, 15);
  EXPECT_STREQ(a->gene, "\"x\"");
  a = a->next;
  EXPECT_STREQ(a->note, "it \"goes on\" here");
  EXPECT_STREQ(a->product, "");
  EXPECT_STREQ(a->gene, "bare value");
  EXPECT_STREQ(a->next->gene, "");
  EXPECT_EQ(coords(a->next), (std::vector<int32_t>{30, 40}));
}

// Records as NCBI writes them since 2016: no GI number; and older ones with
// text after ORIGIN. A record without residues is refused by name.
TEST_F(GenbankRead, VersionWithoutGiAndEmptyRecords) {
  std::string modern =
      genbank("", 120, "VERSION     NC_045512.2\nDBLINK      BioProject: PRJNA485481\n");
  ASSERT_EQ(load(modern), 1) << message();
  EXPECT_STREQ(gSeq1->accession, "NC_045512.2");
  EXPECT_EQ(gSeq1->gi, 0);
  EXPECT_EQ(gSeq1->length, 120);
  gSeq1->flags &= ~kSeqNotRead;
  EXPECT_EQ(readRepeats(gSeq1), 1);
  std::string old = genbank("", 60);
  old.replace(old.find("ORIGIN      \n"), 13, "ORIGIN      Chromosome 11 upstream.\n");
  ASSERT_EQ(load(old), 1) << message();
  EXPECT_EQ(gSeq1->length, 60);

  EXPECT_EQ(load(genbank("", 60, "VERSION     NC_045512.2 12\n")), kErrBadVersion);
  // Older records without a VERSION line, records without features, and
  // the old "3'clip" key.
  std::string noVersion = genbank("     3'clip          1..5\n     exon            2..3\n", 60, "");
  ASSERT_EQ(load(noVersion), 1) << message();
  EXPECT_STREQ(gSeq1->accession, "");
  EXPECT_EQ(count(gSeq1->annotations), 1);
  std::string noFeatures = genbank("", 60);
  noFeatures.erase(noFeatures.find("FEATURES"),
                   noFeatures.find("ORIGIN") - noFeatures.find("FEATURES"));
  ASSERT_EQ(load(noFeatures), 1) << message();
  EXPECT_EQ(gSeq1->length, 60);
  gSeq1->flags &= ~kSeqNotRead;
  EXPECT_EQ(readRepeats(gSeq1), 1);
  RecordingBoxes boxes;
  EXPECT_EQ(load(genbank("", 0)), kErrNoResidues);
  EXPECT_EQ(boxes.text, "Error: ERROR: No sequence in input file. \nFile: " + path +
                            ". \nBreakpoint in sqreadsq\n");
  // A mark that is not "//" at a line start inside ORIGIN.
  std::string cut = genbank("", 120);
  cut.replace(cut.find("61 "), 3, "61 /");
  EXPECT_EQ(load(cut), kErrBadFormat);
}

// The real plasmid record rewritten the modern way: the same sequence and
// features, without a GI number.
TEST_F(GenbankRead, RealRecordWithoutGi) {
  std::ifstream in(dataFile("genbank/biopython_NC_005816.gb"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string gi = "  GI:45478711";
  ASSERT_NE(text.find(gi), std::string::npos);
  text.erase(text.find(gi), gi.size());
  ASSERT_EQ(load(text), 1) << message();
  gSeq1->flags &= ~kSeqNotRead;
  ASSERT_EQ(readRepeats(gSeq1), 1) << message();
  EXPECT_EQ(gSeq1->length, 9609);
  EXPECT_STREQ(gSeq1->accession, "NC_005816.1");
  EXPECT_EQ(gSeq1->gi, 0);
  EXPECT_EQ(count(gSeq1->annotations), 20);
  EXPECT_EQ(count(gSeq1->repeats), 1);
}

TEST_F(GenbankRead, RepeatsAreReadInTheSecondPassAndMarked) {
  ASSERT_EQ(load(genbank("     repeat_region   1..50\n"
                         "                     /rpt_family=\"Alu\"\n"
                         "     5'UTR           1..5\n"
                         "     repeat_region   complement(101..110)\n"
                         "     repeat_region   join(991..1200,300..310)\n"
                         "     exon            1..2\n")),
            1);
  EXPECT_EQ(count(gSeq1->annotations), 2); // the UTR and the exon
  EXPECT_EQ(gSeq1->repeats, nullptr);
  EXPECT_EQ(readRepeats(gSeq1), 2); // not read yet: nothing to do
  gSeq1->flags &= ~kSeqNotRead;
  ASSERT_EQ(readRepeats(gSeq1), 1);
  // A second read replaces the list instead of adding to it.
  ASSERT_EQ(readRepeats(gSeq1), 1);
  const Annotation *r = gSeq1->repeats;
  ASSERT_EQ(count(r), 3);
  EXPECT_EQ(r->kind, kAnnRepeat);
  EXPECT_STREQ(r->note, "Alu");
  EXPECT_EQ(r->next->kind, kAnnRepeat | kAnnComplement);

  // Under invert-complement position p of 1 000 is index 1000 - p. Only a
  // repeat's first pair counts, clamped to the end.
  gSeq1->flags |= kSeqMarkRepeats | kSeqInvertRequested;
  finishSequence(gSeq1);
  for (int i = 0; i < 1000; ++i) {
    bool repeat = i <= 9 || i >= 950 || (i >= 890 && i <= 899);
    ASSERT_EQ(bool(gSeq1->residues[i] & kResRepeat), repeat) << i;
  }
  // Without a repeat source there is nothing to read.
  gSeq1->repeatSourceName[0] = 0;
  EXPECT_EQ(readRepeats(gSeq1), 1);
}

TEST_F(GenbankRead, EveryErrorWithItsTextAndLine) {
  const std::string ok = genbank(""), features = "FEATURES             Location/Qualifiers\n";
  auto replace = [&](const std::string &from, const std::string &to) {
    std::string s = ok;
    return s.replace(s.find(from), from.size(), to);
  };
  auto feature = [&](const std::string &lines) { return replace(features, features + lines); };
  const std::string locus = "Bad LOCUS field in genbank file. ",
                    line = "Bad line in genbank file. ",
                    coordinates = "Bad line with coordinates in genbank file. ";
  const struct {
    std::string file;
    int code;
    std::string firstLine;
  } cases[] = {
      {"just text\n", kErrBadLocus, "ERROR: " + locus},
      {replace("1000 bp", "bp"), kErrBadLocus, "ERROR in line 1: " + locus},
      {replace("DEFINITION", "DEFINITIO"), kErrInternal, "ERROR: Internal error. "},
      {replace("GI:12345", "12345"), kErrBadVersion,
       "ERROR in line 5: Bad VERSION field in genbank file. "},
      {replace("GI:12345", "GI:12345 x"), kErrInternal, "ERROR in line 5: Internal error. "},
      {feature("     ?bad  1..2\n"), kErrBadGenbankLine, "ERROR in line 8: " + line},
      {feature("     exon   join(1..2,3..4\n"), kErrBadCoordinates,
       "ERROR in line 8: " + coordinates},
      {feature("     gene   1\n     /x=\"never closed\n"), kErrEndOfFile,
       "ERROR: End of file detected. "},
      {feature("     gene   1\n     /note=\"never closed\n"), kErrInternal,
       "ERROR: Internal error. "},
      {replace("ORIGIN", "ORIGIX"), kErrBadGenbankLine, "ERROR in line 9: " + line},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(load(c.file), c.code);
    std::string m = message();
    EXPECT_EQ(m.substr(0, m.find('\n')), c.firstLine);
    EXPECT_EQ(gLastError, c.code);
  }
  // The syntax message quotes the line and the rest from the failing place.
  load(feature("     exon   join(1..2;3..4)\n"));
  EXPECT_EQ(message(), "ERROR in line 8: " + coordinates + "\nFile: " + path +
                           ", line: \n     exon   join(1..2;3..4)\n \nend: \n;3..4)\n\n");
}

TEST_F(GenbankRead, OversizedDeepAndFailedLocations) {
  std::string many = "     exon            join(";
  for (int i = 1; i <= 20000; ++i)
    many += std::to_string(i) + (i % 10 ? "," : ",\n                     ");
  std::string note = "                     /note=\"" + std::string(70000, 'x') + "\"\n";
  ASSERT_EQ(load(genbank(many + "1)\n" + note)), 1);
  const Annotation *a = gSeq1->annotations;
  EXPECT_EQ(a->coordinateCount, 32766); // the count is a 16-bit field
  EXPECT_EQ(a->coordinates[32765], 1000);
  EXPECT_EQ(a->noteLength, 65535);
  EXPECT_EQ(strlen(a->note), 65535u);

  // Deep nesting is refused, not followed.
  std::string deep = "     exon   ";
  for (int i = 0; i < 100000; ++i)
    deep += "join(";
  EXPECT_EQ(load(genbank(deep + "1..2\n")), kErrBadCoordinates);
  EXPECT_EQ(load(genbank("     gene   1\n     /x=" + std::string(100000, '(') + "\n")),
            kErrBadGenbankLine);

  // After a failed read no residues exist: values are clamped into [1, 0].
  ASSERT_EQ(load(genbank("     exon            5..5000\n     exon            7..?\n")),
            kErrBadCoordinates);
  ASSERT_NE(gSeq1->annotations, nullptr);
  EXPECT_EQ(coords(gSeq1->annotations), (std::vector<int32_t>{1, 1}));
}

TEST_F(GenbankRead, RealHumanBetaGlobinEntry) {
  setName(gSeq1, dataFile("genbank/HUMHBB.gb"));
  ASSERT_EQ(readSequence(gSeq1), 1) << message();
  gSeq1->flags &= ~kSeqNotRead;
  ASSERT_EQ(readRepeats(gSeq1), 1) << message();
  EXPECT_EQ(gSeq1->length, 73308);
  EXPECT_STREQ(gSeq1->accession, "U01317.1");
  EXPECT_EQ(gSeq1->gi, 455025);
  EXPECT_STREQ(gSeq1->definition, "Human beta globin region on chromosome 11.");
  std::map<int, int> kinds; // kind without the complement bit -> count
  const Annotation *cds = nullptr;
  for (const Annotation *a = gSeq1->annotations; a; a = a->next) {
    ++kinds[a->kind & ~kAnnComplement];
    if (!cds && a->kind == kAnnCds)
      cds = a;
    ASSERT_EQ(a->coordinateCount % 2, 0);
    ASSERT_GE(a->coordinateCount, 2);
  }
  EXPECT_EQ(kinds,
            (std::map<int, int>{{kAnnCds, 7}, {kAnnExon, 20}, {kAnnGene, 6}, {kAnnMrna, 7}}));
  EXPECT_EQ(count(gSeq1->repeats), 21);
  // The HBE1 coding sequence in detail.
  ASSERT_NE(cds, nullptr);
  EXPECT_EQ(coords(cds), (std::vector<int32_t>{19541, 19632, 19755, 19977, 20833, 20961}));
  EXPECT_STREQ(cds->gene, "HBE1");
  EXPECT_STREQ(cds->product, "epsilon-globin");
  EXPECT_STREQ(cds->proteinId, "AAA16330.1");
  EXPECT_EQ(cds->number, 1);
}

} // namespace
