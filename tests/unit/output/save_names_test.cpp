#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "output/alignment_files.h"
#include "output_fixture.h"

TEST(SavePaths, RelativeToTheOutputFolder) {
  EXPECT_EQ(RelativeSequencePath("/a/b.loc_align", "/a/s.fa"), "s.fa");
  EXPECT_EQ(RelativeSequencePath("/a/b.loc_align", "/a/d/s.fa"), "d/s.fa");
  EXPECT_EQ(RelativeSequencePath("/a/x/b.loc_align", "/a/s.fa"), "../s.fa");
  EXPECT_EQ(RelativeSequencePath("/a/x/y/b.loc_align", "/c/s.fa"), "../../../c/s.fa");
  // A folder named like the sequence file is still a folder.
  EXPECT_EQ(RelativeSequencePath("/a/s.fa/b.loc_align", "/a/s.fa"), "../s.fa");
  EXPECT_EQ(RelativeSequencePath("/a/./x/../b.loc_align", "/a//s.fa"), "s.fa");
  // Names without a folder are taken from the working directory.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(RelativeSequencePath("out.loc_align", "data/s.fa"), "data/s.fa");
  EXPECT_EQ(RelativeSequencePath((std::string(cwd) + "/r/out.loc_align").c_str(), "s.fa"),
            "../s.fa");
  EXPECT_EQ(RelativeSequencePath("/a/b.loc_align", ""), "");
  // Never longer than a saved name may be.
  std::string deep = "/";
  for (int i = 0; i < 90; ++i)
    deep += "a/";
  deep += "x.loc_align";
  EXPECT_EQ(RelativeSequencePath(deep.c_str(), "/bbbb/s.fa"), "/bbbb/s.fa");
}

TEST(SaveNames, TypeOfExtension) {
  EXPECT_EQ(FileTypeOfName("a.glb_align"), kFormatGlobal);
  EXPECT_EQ(FileTypeOfName("a.GAL"), kFormatGlobal);
  EXPECT_EQ(FileTypeOfName("dir.v2/a.Loc_Al"), kFormatLocal);
  EXPECT_EQ(FileTypeOfName("a.lal  "), kFormatLocal);
  EXPECT_EQ(FileTypeOfName("a.sal"), kFormatSummary);
  EXPECT_EQ(FileTypeOfName("a.txt"), kFormatAny);
  EXPECT_EQ(FileTypeOfName("a."), kFormatAny);
  EXPECT_EQ(FileTypeOfName("dir.v2/a"), -1);
  EXPECT_EQ(FileTypeOfName("a"), -1);

  EXPECT_EQ(SaveNameWithExtension("a.loc_align  ", kFormatLocal), "a.loc_align");
  EXPECT_EQ(SaveNameWithExtension("a.txt", kFormatLocal), "a.loc_align");
  EXPECT_EQ(SaveNameWithExtension("a", kFormatGlobal), "a.glb_align");
  EXPECT_EQ(SaveNameWithExtension("d.x/a", kFormatSummary), "d.x/a.sum_align");
  EXPECT_EQ(SaveNameWithExtension("a.gal", kFormatSummary), "a.sum_align");
  EXPECT_EQ(SaveNameWithExtension("a.txt", kFormatAny), "a.txt");
  EXPECT_EQ(SaveNameWithExtension("a", kFormatAny), "a_align");

  EXPECT_EQ(FootnotesNameWithExtension("f.ftn"), "f.ftn");
  EXPECT_EQ(FootnotesNameWithExtension("f.FTN_align"), "f.FTN_align");
  EXPECT_EQ(FootnotesNameWithExtension("f.txt"), "f.txt.ftn_align");
  EXPECT_EQ(FootnotesNameWithExtension("f"), "f.ftn_align");
}

using SaveQuestions = WriterTest;

TEST_F(SaveQuestions, OverwriteAndUnknownType) {
  load("ACGT", "ACGT");
  std::string out = setOutput("a.loc_align");
  EXPECT_TRUE(ConfirmOverwrite(out.c_str()));
  EXPECT_TRUE(ui.boxes.empty());
  ASSERT_TRUE(WriteAlignmentFile(kFormatLocal, false));
  ui.answer = kAnswerNo;
  EXPECT_FALSE(ConfirmOverwrite(out.c_str()));
  ui.answer = kAnswerYes;
  EXPECT_TRUE(ConfirmOverwrite(out.c_str()));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].title, "Overwrite Document");
  EXPECT_EQ(ui.boxes[0].text, "Overwrite existing alignment: " + out + "?");

  std::string any = setOutput("a_align");
  EXPECT_FALSE(WriteAlignmentFile(kFormatAny, false));
  EXPECT_FALSE(exists(any));
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_EQ(ui.boxes[2].title, "Error");
  EXPECT_EQ(ui.boxes[2].text, "Unknown file type.\n    File: " + any + "\n");
}
