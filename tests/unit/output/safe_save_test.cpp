#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/replace_file.h"
#include "output/alignment_files.h"
#include "output/alignment_writer.h"
#include "output_fixture.h"

namespace {

class SafeSave : public WriterTest {
protected:
  // Names in the scratch folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    DIR *d = opendir(dir.c_str());
    while (dirent *e = d ? readdir(d) : nullptr)
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0)
        out.push_back(e->d_name);
    if (d)
      closedir(d);
    std::sort(out.begin(), out.end());
    return out;
  }
  void writeText(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
  }
};

// The sequences' own files, under whatever name they are reached, are not
// replaced; other files are, through a link too, keeping their permissions.
TEST_F(SafeSave, NeverOverASequenceFile) {
  load("ACGTACGT", "ACGTACGT");
  makeDiagonalHit(0, 0, 8);
  writeText(dir + "/s1.fa", ">one\nACGTACGT\n");
  writeText(dir + "/s2.fa", ">two\nACGTACGT\n");
  ASSERT_EQ(link((dir + "/s2.fa").c_str(), (dir + "/hard.fa").c_str()), 0);
  ASSERT_EQ(symlink("s1.fa", (dir + "/soft.fa").c_str()), 0);
  for (const char *name : {"s1.fa", "./s2.fa", "hard.fa", "soft.fa"}) {
    SCOPED_TRACE(name);
    ui.boxes.clear();
    std::string path = setOutput(name);
    EXPECT_FALSE(WriteLocalFile(false));
    const Box refused{
        "Error", "Cannot save over a sequence file of this session.\n    File: " + path + "\n"};
    EXPECT_EQ(ui.boxes, std::vector<Box>{refused});
  }
  EXPECT_EQ(readFile(dir + "/s1.fa"), ">one\nACGTACGT\n");
  EXPECT_EQ(readFile(dir + "/s2.fa"), ">two\nACGTACGT\n");

  writeText(dir + "/old.loc_align", "old");
  ASSERT_EQ(chmod((dir + "/old.loc_align").c_str(), 0640), 0);
  ASSERT_EQ(symlink("old.loc_align", (dir + "/link.loc_align").c_str()), 0);
  setOutput("link.loc_align");
  ASSERT_TRUE(WriteLocalFile(false));
  struct stat st;
  ASSERT_EQ(lstat((dir + "/link.loc_align").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir + "/old.loc_align").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_NE(readFile(dir + "/old.loc_align").find("Score: 8,"), std::string::npos);
  EXPECT_EQ(names(), (std::vector<std::string>{"hard.fa", "link.loc_align", "old.loc_align",
                                               "s1.fa", "s2.fa", "soft.fa"}));
}

// A save killed part way (here by the file-size signal, as `ulimit -f`
// does it) leaves the old file whole.
TEST_F(SafeSave, KilledWhileWritingLeavesTheOldFile) {
  std::string p = randomBases(20000, 3);
  load(p.c_str(), p.c_str());
  makeDiagonalHit(0, 0, 20000);
  const std::string out = setOutput("x.loc_align");
  writeText(out, "the alignment saved before\n");
  fflush(nullptr);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_DFL);
    struct rlimit limit = {8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
    WriteLocalFile(false);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(readFile(out), "the alignment saved before\n");

  // Where the signal is ignored, as the program does, the write fails, is
  // reported, and leaves nothing behind.
  child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {8192, 8192};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(WriteLocalFile(false) || ui.boxes.size() != 1 ? 1 : 0);
  }
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(readFile(out), "the alignment saved before\n");
  std::vector<std::string> left = names();
  EXPECT_EQ(left.size(), 2u); // x.loc_align and the killed save's file
  ASSERT_TRUE(WriteLocalFile(false));
  EXPECT_GT(readFile(out).size(), 60000u);
}

// A file the user may not write (here read-only, which stops root too) and
// files the run uses are refused as they are, with no hidden file left.
TEST_F(SafeSave, RefusedTargetsStayAsTheyWere) {
  load("ACGTACGT", "ACGTACGT");
  makeDiagonalHit(0, 0, 8);
  writeText(dir + "/locked.loc_align", "locked");
  ASSERT_EQ(chmod((dir + "/locked.loc_align").c_str(), 0444), 0);
  writeText(dir + "/run.cmd", "start\n");
  protectFile((dir + "/run.cmd").c_str(), "the running command file");
  protectFile((dir + "/later.svg").c_str(), "the picture file of this run");
  struct Case {
    const char *name, *what;
  } cases[] = {{"locked.loc_align", "a read-only file"},
               {"run.cmd", "the running command file"},
               {"./later.svg", "the picture file of this run"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ui.boxes.clear();
    const std::string path = setOutput(c.name);
    EXPECT_FALSE(WriteLocalFile(false));
    const Box refused{"Error",
                      std::string("Cannot save over ") + c.what + ".\n    File: " + path + "\n"};
    EXPECT_EQ(ui.boxes, std::vector<Box>{refused});
  }
  unprotectFile((dir + "/run.cmd").c_str());
  unprotectFile((dir + "/later.svg").c_str());
  EXPECT_EQ(readFile(dir + "/locked.loc_align"), "locked");
  EXPECT_EQ(readFile(dir + "/run.cmd"), "start\n");
  EXPECT_EQ(names(), (std::vector<std::string>{"locked.loc_align", "run.cmd"}));
  setOutput("later.svg");
  EXPECT_TRUE(WriteLocalFile(false));
}

// Ended by a signal during a save, the run takes its hidden file with it;
// the old file stays.
TEST_F(SafeSave, SignalDuringASaveRemovesTheHiddenFile) {
  load("ACGTACGT", "ACGTACGT");
  const std::string out = setOutput("x.loc_align");
  writeText(out, "the alignment saved before\n");
  for (int sig : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(sig);
    fflush(nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (writerOpen(gPathBuffer))
        raise(sig);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_EQ(names(), std::vector<std::string>{"x.loc_align"});
    EXPECT_EQ(readFile(out), "the alignment saved before\n");
  }
}

} // namespace
