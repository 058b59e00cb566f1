// The engine under the readers: line pieces, fatal errors, nested reads and
// the recognisers.
#include "reader_fixture.h"

namespace {

using ReaderEngineTest = ReaderTest;

TEST_F(ReaderEngineTest, GrammarTablesAreComplete) {
  runCommandFile(""); // registers the command language
  ensureSequenceGrammars();
  EXPECT_EQ(checkGrammarTables(), nullptr);
}

TEST_F(ReaderEngineTest, LongLinesArriveInCountedPieces) {
  // A 3 000-character comment command spans two pieces: the line after it
  // is line 5 of the file.
  std::string rem = "rem " + std::string(2996, 'x') + "\n";
  EXPECT_EQ(result(run("start\nopen a\n" + rem + "align junk\n")), kErrBadCommand);
  EXPECT_EQ(message().substr(0, 17), "ERROR in line 5: ");
  // A long comment line ("!") is skipped whole, not only its first piece.
  std::string comment = "!" + std::string(4999, 'y') + "\n";
  EXPECT_EQ(run("start\n" + comment + "open a\n" + comment + "refine\n"), 1u);
  EXPECT_EQ(gHookLog.calls, "bind bind open:a refine");
}

TEST_F(ReaderEngineTest, FatalErrorsNameTheirPlace) {
  const std::string missing = dir + "/missing";
  auto fatal = [&](const std::string &text, const std::string &file, const char *place) {
    return "ERROR: " + text + ". \nFile: " + file + ". \nBreakpoint in " + place + "\n";
  };
  EXPECT_EQ(runCommandFile(missing.c_str()), uint32_t(kErrCannotOpen));
  EXPECT_EQ(message(), fatal("Cannot open input file", missing, "sqreadcm"));
  setName(gSeq1, missing);
  EXPECT_EQ(readSequence(gSeq1), kErrCannotOpen);
  EXPECT_EQ(message(), fatal("Cannot open input file", missing, "sqreadsq"));

  // A pipe is no file to read: it is refused before anything waits on it.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], ">p\nAC\n", 7), 7);
  close(fds[1]);
  std::string pipePath = "/proc/self/fd/" + std::to_string(fds[0]);
  setName(gSeq1, pipePath);
  EXPECT_EQ(readSequence(gSeq1), kErrCannotOpen);
  close(fds[0]);
  EXPECT_EQ(message(), fatal("Cannot open input file", pipePath, "sqreadsq"));

  setSystemAlloc([](size_t) -> void * { return nullptr; });
  int r = load(">m\nACGT\n");
  setSystemAlloc(nullptr);
  EXPECT_EQ(r, kErrNoMemory);
  EXPECT_EQ(message(), "ERROR: Cannot create heap.\n");
  // The pool's first page only: the first text area's size is reported.
  static int allowed;
  allowed = 1;
  setSystemAlloc([](size_t n) -> void * { return allowed-- > 0 ? malloc(n) : nullptr; });
  r = load("LOCUS x 5 bp\nDEFINITION d\nACCESSION a\nVERSION A.1 GI:1\nFEATURES\n"
           "     exon 1..2\nORIGIN\n acgta\n");
  setSystemAlloc(nullptr);
  EXPECT_EQ(r, kErrNoMemory);
  EXPECT_EQ(message(), "ERROR: Not enough memory. \nExtra 2048 bytes are needed. \n"
                       "Brekpoint in heap_alloc.\n");

  // An empty path returns the status bits as they stand.
  gReader.passFlags = 0x80000000u | kRunExitRequested;
  EXPECT_EQ(runCommandFile(""), kRunExitRequested);
}

TEST_F(ReaderEngineTest, NestedReadRestoresModeAndFileName) {
  gReader.mode = ReaderMode::Command;
  gReader.fileName = "outer.cmd";
  std::string data = writeFile("1-2\n", "data.txt");
  EXPECT_EQ(runDataRead(data.c_str(), "sqreadsq", kGrammarInterval), 1);
  EXPECT_EQ(gReader.intervalTo, 2);
  EXPECT_EQ(gReader.mode, ReaderMode::Command);
  EXPECT_STREQ(gReader.fileName, "outer.cmd");
  gReader.mode = ReaderMode::Data;
}

// Each recogniser alone, through a one-node grammar on a spare table slot;
// the edge cases the command and sequence grammars and the fuzzer do not reach.
TEST_F(ReaderEngineTest, Recognisers) {
  constexpr int kSlot = kGrammarMax, kRecordAction = kActionCommandLast;
  ensureReaderEngine();
  ASSERT_FALSE(grammarRegistered(kSlot)) << "spare grammar slot is in use";
  static int matches;
  registerAction(kRecordAction, [] { ++matches; });
  GrammarNode nodes[1];
  auto match = [&](int rec, const std::string &text) {
    nodes[0] = {static_cast<int8_t>(rec), kOk, kFail, static_cast<int8_t>(kRecordAction)};
    registerGrammar(kSlot, nodes, 1, "test");
    setReaderLine(text.c_str());
    matches = 0;
    int r = readWithDataReader(kSlot);
    EXPECT_EQ(matches, r == 1 ? 1 : 0);
    return r == 1;
  };
  // number: the value register, word: the word buffer, rest: the line left
  // over (checked after a failure only where given).
  struct Case {
    int rec;
    std::string text;
    bool ok;
    double number;
    std::string word, rest;
  } cases[] = {
      {kRecInteger, "  -12  x", true, -12, "", "x"},
      {kRecInteger, "4294967297", true, 1, "", ""}, // wraps, no overflow trap
      {kRecInteger, "  +1", false, 0, "", "  +1"},
      {kRecDecimal, "-7.e+1", true, -7, "", "+1"},
      {kRecHex, "  4903fE00 g", true, 0x4903fe00, "", " g"},
      {kRecWord, std::string(300, 'w') + "  next", true, 0, std::string(255, 'w'), "next"},
      {kRecIdentifier, "_x1.y-z", true, 0, "_x1.y", "-z"},
      {kRecLineChar, "\r\n", false, 0, "", "\n"}, // CR before LF ends the line
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    bool ok = match(c.rec, c.text);
    EXPECT_EQ(ok, c.ok);
    const ReaderValue &v = gReader.value;
    double number = c.rec == kRecInteger   ? v.i
                    : c.rec == kRecDecimal ? v.d
                    : c.rec == kRecHex     ? v.u
                                           : v.b;
    if (ok && c.ok && !c.word.empty()) {
      EXPECT_EQ(std::string(readerWord()), c.word);
    } else if (ok && c.ok) {
      EXPECT_EQ(number, c.number);
    }
    if (ok == c.ok && (c.ok || !c.rest.empty())) {
      EXPECT_EQ(std::string(gReader.pos), c.rest);
    }
  }
  registerGrammar(kSlot, nullptr, 0, nullptr);
  registerAction(kRecordAction, nullptr);
}

} // namespace
