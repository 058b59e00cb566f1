#include <unistd.h>

#include "output/alignment_files.h"
#include "output_fixture.h"
#include "session/alignment_save.h"

TEST(SavePaths, RelativeToTheOutputFolder) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string deep = "/"; // a relative name past the system's limit: the path as given
  for (int i = 0; i < 2100; ++i)
    deep += "a/";
  const struct {
    std::string output, sequence, want;
  } cases[] = {
      {"/a/b.loc_align", "/a/s.fa", "s.fa"},
      {"/a/b.loc_align", "/a/d/s.fa", "d/s.fa"},
      {"/a/x/y/b.loc_align", "/c/s.fa", "../../../c/s.fa"},
      {"/a/s.fa/b.loc_align", "/a/s.fa", "../s.fa"}, // a folder named like the file
      {"/a/./x/../b.loc_align", "/a//s.fa", "s.fa"},
      {"out.loc_align", "data/s.fa", "data/s.fa"}, // from the working directory
      {std::string(cwd) + "/r/out.loc_align", "s.fa", "../s.fa"},
      {"/a/b.loc_align", "", ""},
      {deep + "x.loc_align", "/bbbb/s.fa", "/bbbb/s.fa"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(RelativeSequencePath(c.output.c_str(), c.sequence.c_str()), c.want) << c.output;
}

TEST(SaveNames, TypeOfNameAndDefaultExtension) {
  const struct {
    const char *name;
    int type, saveAs;
    const char *saved;
  } cases[] = {
      {"a.GAL", kFormatGlobal, kFormatSummary, "a.sum_align"},
      {"dir.v2/a.Loc_Al", kFormatLocal, kFormatGlobal, "dir.v2/a.glb_align"},
      {"a.lal  ", kFormatLocal, kFormatLocal, "a.lal"},
      {"a.sal", kFormatSummary, kFormatLocal, "a.loc_align"},
      {"a.txt", kFormatAny, kFormatAny, "a.txt"},
      {"a.", kFormatAny, kFormatLocal, "a.loc_align"},
      {"dir.v2/a", -1, kFormatSummary, "dir.v2/a.sum_align"},
      {"a", -1, kFormatAny, "a_align"},
      // The patterns after "All files" still take their own names.
      {"a.PAF", kFormatPaf, kFormatPaf, "a.PAF"},
      {"a.maf", kFormatMaf, kFormatPaf, "a.paf"},
      {"a.loc_align", kFormatLocal, kFormatMaf, "a.maf"},
      {"a.pafx", kFormatPaf, kFormatAny, "a_align"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(FileTypeOfName(c.name), c.type) << c.name;
    EXPECT_EQ(SaveNameWithExtension(c.name, c.saveAs), c.saved) << c.name;
  }
  EXPECT_EQ(FootnotesNameWithExtension("f.FTN_align"), "f.FTN_align");
  EXPECT_EQ(FootnotesNameWithExtension("f.txt"), "f.txt.ftn_align");
  EXPECT_EQ(FootnotesNameWithExtension("f"), "f.ftn_align");
}

using SaveQuestions = WriterTest;

TEST_F(SaveQuestions, OverwriteAndUnknownType) {
  load("ACGT", "ACGT");
  std::string out = setOutput("a.loc_align");
  EXPECT_TRUE(ConfirmOverwrite(out.c_str())); // nothing to overwrite: no question
  ASSERT_TRUE(SaveAlignmentFile(kFormatLocal, false));
  ui.answer = kAnswerNo;
  EXPECT_FALSE(ConfirmOverwrite(out.c_str()));
  ui.answer = kAnswerYes;
  EXPECT_TRUE(ConfirmOverwrite(out.c_str()));
  const Box question{"Overwrite Document", "Overwrite existing alignment: " + out + "?"};
  EXPECT_EQ(ui.boxes, std::vector<Box>(2, question));

  std::string any = setOutput("a_align");
  EXPECT_FALSE(SaveAlignmentFile(kFormatAny, false));
  EXPECT_FALSE(exists(any));
  EXPECT_EQ(ui.boxes.back(), Box("Error", "Unknown file type.\n    File: " + any + "\n"));
}
