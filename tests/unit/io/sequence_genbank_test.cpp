#include <cstring>
#include <map>

#include "io/sequence_finish.h"
#include "sequence_test_fixture.h"

namespace {

using GenbankRead = SequenceFileTest;

// A GenBank file around `features` with `residues` residues after ORIGIN.
std::string genbank(const std::string &features, int residues = 1000,
                    const std::string &version = "VERSION     AB000001.2  GI:12345\n") {
  std::string s = "LOCUS       TEST01      1000 bp    DNA     linear   PRI 01-JAN-2000\n"
                  "DEFINITION  A test   entry\n"
                  "            over two lines.\n"
                  "ACCESSION   AB000001\n" +
                  version +
                  "KEYWORDS    .\n"
                  "FEATURES             Location/Qualifiers\n" +
                  features + "BASE COUNT      250 a    250 c    250 g    250 t\nORIGIN      \n";
  for (int i = 0; i < residues; i += 60) {
    char num[16];
    snprintf(num, sizeof num, "%9d", i + 1);
    s += num;
    for (int j = i; j < i + 60 && j < residues; ++j) {
      if ((j - i) % 10 == 0)
        s += ' ';
      s += "acgt"[j % 4];
    }
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

TEST_F(GenbankRead, HeaderFieldsAndResidues) {
  ASSERT_EQ(load(genbank("")), 1);
  EXPECT_EQ(gSeq1->length, 1000);
  EXPECT_EQ(letters(gSeq1).substr(0, 8), "ACGTACGT");
  EXPECT_STREQ(gSeq1->definition, "A test entry over two lines.");
  EXPECT_STREQ(gSeq1->accession, "AB000001.2");
  EXPECT_EQ(gSeq1->gi, 12345);
  // The accession keeps 15 characters.
  ASSERT_EQ(load(genbank("", 60, "VERSION     ABCDEFGHIJ_1234567.1 GI:7\n")), 1);
  EXPECT_STREQ(gSeq1->accession, "ABCDEFGHIJ_1234");
}

TEST_F(GenbankRead, LocationsOfStoredFeatures) {
  ASSERT_EQ(load(genbank("     exon            complement(join(100..200,300..400))\n"
                         "     gene            100\n"
                         "     CDS             join(<1..20,30^31,\n"
                         "                     complement(40..>50),AB0001.1:5..9)\n"
                         "     mRNA            order(900..950,990..1200)\n"
                         "     5'UTR           complement(5..9)\n"
                         "     3'UTR           7..8\n")),
            1);
  const Annotation *a = gSeq1->annotations;
  ASSERT_EQ(count(a), 6);
  EXPECT_EQ(a->kind, 0x83);
  EXPECT_EQ(coords(a), (std::vector<int32_t>{100, 200, 300, 400}));
  a = a->next;
  EXPECT_EQ(a->kind, kAnnGene);
  EXPECT_EQ(coords(a), (std::vector<int32_t>{100, 100}));
  a = a->next;
  // A complement() inside join() marks the whole annotation.
  EXPECT_EQ(a->kind, kAnnCds | kAnnComplement);
  EXPECT_EQ(coords(a), (std::vector<int32_t>{1, 20, 30, 31, 40, 50}));
  a = a->next;
  EXPECT_EQ(a->kind, kAnnMrna);
  // Clamped to the sequence's length.
  EXPECT_EQ(coords(a), (std::vector<int32_t>{900, 950, 990, 1000}));
  a = a->next;
  EXPECT_EQ(a->kind, kAnnUtr5 | kAnnComplement);
  EXPECT_EQ(a->next->kind, kAnnUtr3);
}

TEST_F(GenbankRead, QualifiersStoredAndSkipped) {
  ASSERT_EQ(load(genbank("     source          1..1000\n"
                         "                     /organism=\"Homo sapiens\"\n"
                         "                     /note=(nested (parens) \"and ) quotes\"\n"
                         "                     spanning lines)\n"
                         "     CDS             10..90\n"
                         "                     /gene=\"HBB\"\n"
                         "                     /note=\"first piece\n"
                         "                     second   piece\n"
                         "                     third\"\n"
                         "                     /translation=\"MVHLTPEEK\n"
                         "                     SAVTALWGKV\"\n"
                         "                     /pseudo\n"
                         "                     /replace=\"\"\n"
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
  EXPECT_EQ(a->geneLength, 3);
  EXPECT_STREQ(a->note, "first piece second piece third");
  EXPECT_EQ(a->noteLength, strlen(a->note));
  EXPECT_EQ(a->number, 2);
  EXPECT_STREQ(a->product, "beta globin");
  EXPECT_STREQ(a->proteinId, "AAA16333.1");
  EXPECT_EQ(a->proteinIdLength, 10);
  a = a->next;
  EXPECT_EQ(a->number, 3);
  EXPECT_STREQ(a->note, "Alu");
  EXPECT_EQ(a->gene, nullptr);
}

TEST_F(GenbankRead, RepeatsAreReadInTheSecondPass) {
  std::string file = genbank("     repeat_region   1..50\n"
                             "                     /rpt_family=\"Alu\"\n"
                             "     5'UTR           1..5\n"
                             "     repeat_region   complement(101..110)\n"
                             "     exon            1..2\n");
  ASSERT_EQ(load(file), 1);
  EXPECT_EQ(count(gSeq1->annotations), 2); // the UTR and the exon
  EXPECT_EQ(gSeq1->repeats, nullptr);
  // Not read yet: nothing to do.
  EXPECT_EQ(readRepeats(gSeq1), 2);
  gSeq1->flags &= ~kSeqNotRead;
  ASSERT_EQ(readRepeats(gSeq1), 1);
  const Annotation *r = gSeq1->repeats;
  ASSERT_EQ(count(r), 2);
  EXPECT_EQ(r->kind, kAnnRepeat);
  EXPECT_STREQ(r->note, "Alu");
  EXPECT_EQ(r->next->kind, kAnnRepeat | kAnnComplement);
  // A second read replaces the list instead of adding to it.
  ASSERT_EQ(readRepeats(gSeq1), 1);
  EXPECT_EQ(count(gSeq1->repeats), 2);

  // Under invert-complement, 1..50 of 1 000 residues marks indices 950..999.
  gSeq1->flags |= kSeqMarkRepeats | kSeqInvertRequested;
  finishSequence(gSeq1);
  for (int i = 0; i < 1000; ++i) {
    bool repeat = i >= 950 || (i >= 890 && i <= 899);
    ASSERT_EQ(bool(gSeq1->residues[i] & kResRepeat), repeat) << i;
  }
  // Without a repeat source there is nothing to read.
  gSeq1->repeatSourceName[0] = 0;
  EXPECT_EQ(readRepeats(gSeq1), 1);
}

struct BadCase {
  const char *what;
  std::string file;
  int code;
  const char *expectLine; // the first line of the message
};

TEST_F(GenbankRead, EveryErrorWithItsTextAndLine) {
  const std::string ok = genbank("");
  auto replace = [&](const std::string &from, const std::string &to) {
    std::string s = ok;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const std::string feature = "FEATURES             Location/Qualifiers\n";
  const BadCase cases[] = {
      {"no LOCUS", "just text\n", kErrBadLocus, "ERROR: Bad LOCUS field in genbank file. "},
      {"LOCUS without length", replace("1000 bp", "bp"), kErrBadLocus,
       "ERROR in line 1: Bad LOCUS field in genbank file. "},
      {"no DEFINITION", replace("DEFINITION", "DEFINITIO"), kErrInternal,
       "ERROR: Internal error. "},
      {"no VERSION", replace("VERSION ", "VERSIO  "), kErrInternal, "ERROR: Internal error. "},
      {"VERSION without GI", replace("GI:12345", "12345"), kErrBadVersion,
       "ERROR in line 5: Bad VERSION field in genbank file. "},
      {"text after GI", replace("GI:12345", "GI:12345 x"), kErrInternal,
       "ERROR in line 5: Internal error. "},
      {"bad key", replace(feature, feature + "     ?bad  1..2\n"), kErrBadGenbankLine,
       "ERROR in line 8: Bad line in genbank file. "},
      {"missing )", replace(feature, feature + "     exon   join(1..2,3..4\n"), kErrBadCoordinates,
       "ERROR in line 8: Bad line with coordinates in genbank file. "},
      {"number after ..", replace(feature, feature + "     exon   1..\n"), kErrBadCoordinates,
       "ERROR in line 8: Bad line with coordinates in genbank file. "},
      {"unquoted note", replace(feature, feature + "     exon   1\n     /note=x\n"),
       kErrBadGenbankLine, "ERROR in line 9: Bad line in genbank file. "},
      {"open quote at end", replace(feature, feature + "     gene   1\n     /x=\"never closed\n"),
       kErrEndOfFile, "ERROR: End of file detected. "},
      {"open stored quote at end",
       replace(feature, feature + "     gene   1\n     /note=\"never closed\n"), kErrInternal,
       "ERROR: Internal error. "},
      {"no ORIGIN", replace("ORIGIN", "ORIGIX"), kErrBadGenbankLine,
       "ERROR in line 9: Bad line in genbank file. "},
  };
  for (const BadCase &c : cases) {
    EXPECT_EQ(load(c.file), c.code) << c.what;
    std::string m = message();
    EXPECT_EQ(m.substr(0, m.find('\n')), c.expectLine) << c.what;
    EXPECT_EQ(gLastError, c.code) << c.what;
  }
  // The syntax message quotes the line and the rest from the failing place.
  load(replace(feature, feature + "     exon   join(1..2;3..4)\n"));
  EXPECT_EQ(message(),
            "ERROR in line 8: Bad line with coordinates in genbank file. \nFile: " + dir +
                "/seq.txt, line: \n     exon   join(1..2;3..4)\n \nend: \n"
                ";3..4)\n\n");
}

TEST_F(GenbankRead, OversizedLocationsAndTextsAreCutToTheirFields) {
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
}

TEST_F(GenbankRead, CoordinatesAreClampedAfterAFailedRead) {
  ASSERT_EQ(load(genbank("     exon            5..5000\n     exon            7..?\n")),
            kErrBadCoordinates);
  ASSERT_NE(gSeq1->annotations, nullptr);
  // No residues were read: every value is clamped into [1, 0], i.e. 1.
  EXPECT_EQ(coords(gSeq1->annotations), (std::vector<int32_t>{1, 1}));
}

TEST_F(GenbankRead, DeepNestingIsRefusedNotFollowed) {
  std::string deep = "     exon   ";
  for (int i = 0; i < 100000; ++i)
    deep += "join(";
  EXPECT_EQ(load(genbank(deep + "1..2\n")), kErrBadCoordinates);
  std::string parens = "     gene   1\n     /x=";
  parens += std::string(100000, '(') + "\n";
  EXPECT_EQ(load(genbank(parens)), kErrBadGenbankLine);
}

TEST_F(GenbankRead, RealEntries) {
  struct Expect {
    const char *file;
    int length;
    const char *accession;
    int gi;
    std::map<int, int> kinds; // kind without complement bit -> count
    int repeats;
  } entries[] = {
      {"genbank/HUMHBB.gb",
       73308,
       "U01317.1",
       455025,
       {{kAnnCds, 7}, {kAnnExon, 20}, {kAnnGene, 6}, {kAnnMrna, 7}},
       21},
      {"genbank/biopython_NC_005816.gb",
       9609,
       "NC_005816.1",
       45478711,
       {{kAnnCds, 10}, {kAnnGene, 10}},
       1},
  };
  for (const Expect &e : entries) {
    setName(gSeq1, dataFile(e.file));
    ASSERT_EQ(readSequence(gSeq1), 1) << e.file << ": " << message();
    gSeq1->flags &= ~kSeqNotRead;
    ASSERT_EQ(readRepeats(gSeq1), 1) << e.file << ": " << message();
    EXPECT_EQ(gSeq1->length, e.length) << e.file;
    EXPECT_STREQ(gSeq1->accession, e.accession);
    EXPECT_EQ(gSeq1->gi, e.gi);
    std::map<int, int> kinds;
    for (const Annotation *a = gSeq1->annotations; a; a = a->next)
      ++kinds[a->kind & ~kAnnComplement];
    EXPECT_EQ(kinds, e.kinds) << e.file;
    EXPECT_EQ(count(gSeq1->repeats), e.repeats) << e.file;
    for (const Annotation *a = gSeq1->annotations; a; a = a->next) {
      ASSERT_GE(a->coordinateCount, 2);
      ASSERT_EQ(a->coordinateCount % 2, 0);
    }
  }
  // One entry in detail: the HBE1 coding sequence of HUMHBB.
  setName(gSeq1, dataFile("genbank/HUMHBB.gb"));
  ASSERT_EQ(readSequence(gSeq1), 1);
  EXPECT_STREQ(gSeq1->definition, "Human beta globin region on chromosome 11.");
  const Annotation *a = gSeq1->annotations;
  while (a && (a->kind != kAnnCds))
    a = a->next;
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(coords(a), (std::vector<int32_t>{19541, 19632, 19755, 19977, 20833, 20961}));
  EXPECT_STREQ(a->gene, "HBE1");
  EXPECT_STREQ(a->product, "epsilon-globin");
  EXPECT_STREQ(a->proteinId, "AAA16330.1");
  EXPECT_EQ(a->number, 1);
}

TEST_F(GenbankRead, TruncatedEntriesNeverCrash) {
  FILE *f = fopen(dataFile("genbank/biopython_NC_005816.gb").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::string whole;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0)
    whole.append(buf, n);
  fclose(f);
  // Every cut ends in a success or one of the reader's errors.
  for (size_t cut = 0; cut < whole.size(); cut += 97) {
    int r = load(whole.substr(0, cut));
    ASSERT_TRUE(r == 1 || (r >= kErrInternal && r <= kErrNonPc)) << cut << " " << r;
    if (r == 1) {
      ASSERT_EQ(gSeq1->residues[gSeq1->length], 0);
    }
  }
}

} // namespace
