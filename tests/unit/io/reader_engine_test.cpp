// The engine under the readers: line input, line ends, comments, shared
// grammars and the fatal error forms.
#include <cstring>

#include "reader_fixture.h"

using ReaderEngineTest = ReaderTest;

TEST_F(ReaderEngineTest, TablesAreComplete) {
  runCommandFile(""); // registers the command language
  EXPECT_EQ(checkGrammarTables(), nullptr);
  EXPECT_STREQ(literalText(kLitEquals), "=");
  EXPECT_STREQ(literalText(kLitEof), "\xAD");
  EXPECT_STREQ(literalText(kLitScoreBlank), "Score ");
  EXPECT_STREQ(literalText(kLitWordsize), "wordsize:");
  EXPECT_STREQ(literalText(kLitStart), "start");
  EXPECT_STREQ(literalText(kLitShortWithLength), "short with length");
  EXPECT_STREQ(literalText(kLitRem), "rem");
  EXPECT_EQ(literalText(kLitRem + 1), nullptr);
}

TEST_F(ReaderEngineTest, LongLinesArriveInCountedPieces) {
  // A 3 000-character comment command spans two pieces: the line after it
  // is line 5 of the file.
  std::string rem = "rem " + std::string(2996, 'x') + "\n";
  uint32_t s = run("start\nopen a\n" + rem + "align junk\n");
  EXPECT_EQ(result(s), kErrBadCommand);
  EXPECT_EQ(message().substr(0, 17), "ERROR in line 5: ");

  // A long comment line ("!") is skipped whole, not only its first piece.
  std::string comment = "!" + std::string(4999, 'y') + "\n";
  EXPECT_EQ(run("start\n" + comment + "open a\n" + comment + "refine\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:a refine");
}

TEST_F(ReaderEngineTest, LineEnds) {
  // CR LF reads as LF.
  EXPECT_EQ(run("start show\r\nopen a\r\nrefine\r\n\r\nalign\r\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind show open:a refine");

  // A lone CR is the fatal "NonPC file format" at place "Mc", without the
  // error bit.
  const char *macFiles[] = {"start\ropen a\r", "start\nopen a\nrefine\rkill\n",
                            "start\nopen a\nrem x\ry\n"};
  for (const char *text : macFiles) {
    uint32_t s = run(text);
    EXPECT_EQ(s, static_cast<uint32_t>(kErrNonPc)) << text;
    EXPECT_EQ(message(), "ERROR: NonPC file format. \nFile: " + path + ". \nBreakpoint in Mc\n");
    EXPECT_EQ(gHookLog.joined(), "bind") << text;
  }
}

TEST_F(ReaderEngineTest, FatalErrorsOfTheCommandFile) {
  std::string missing = dir + "/missing.cmd";
  uint32_t s = runCommandFile(missing.c_str());
  EXPECT_EQ(s, static_cast<uint32_t>(kErrCannotOpen));
  EXPECT_EQ(message(),
            "ERROR: Cannot open input file. \nFile: " + missing + ". \nBreakpoint in sqreadcm\n");
  EXPECT_STREQ(headlessUi().infoLine(), "ERROR: Cannot open input file. ");

  // An empty path returns the status bits as they stand.
  gReader.passFlags = 0x80000000u | kRunExitRequested;
  EXPECT_EQ(runCommandFile(""), kRunExitRequested);
}

TEST_F(ReaderEngineTest, EndOfFileMarkIsOnlyTheRealEnd) {
  // A byte 0xAD inside a line is text, not the end of the file.
  EXPECT_EQ(run("start\nopen a\nrem \xAD here\nrefine\n"), 1u);
  EXPECT_EQ(gHookLog.joined(), "bind bind open:a refine");
}

// Data reads with the shared grammars: exact literals, data line counter.
class DataReadTest : public ReaderTest {
protected:
  int read(const std::string &text, int grammar) {
    std::string p = writeFile(text, "data.txt");
    dataPath = p;
    return runDataRead(dataPath.c_str(), "sqreadsq", grammar);
  }
  std::string dataPath;
};

TEST_F(DataReadTest, IntervalForms) {
  struct Case {
    const char *text;
    int result, from, to;
  } cases[] = {
      {"100..250\n", 1, 100, 250}, {"250-100\n", 1, 250, 100}, {"  5 , 6\n", 1, 5, 6},
      {"7 8\n", 1, 7, 8},          {"9.10\n", 1, 9, 10},       {"0-0\n", 1, 0, 0},
      {"-5--6\n", 1, -5, -6},      {"abc\n", 2, 0, 0},         {"12\n", 2, 0, 0},
  };
  for (const Case &c : cases) {
    gReader.intervalFrom = gReader.intervalTo = 0;
    EXPECT_EQ(read(c.text, kGrammarInterval), c.result) << c.text;
    if (c.result == 1) {
      EXPECT_EQ(gReader.intervalFrom, c.from) << c.text;
      EXPECT_EQ(gReader.intervalTo, c.to) << c.text;
      EXPECT_TRUE(gReader.intervalGiven);
      EXPECT_STREQ(headlessUi().infoLine(), "Status: Ok.");
    }
  }
  EXPECT_STREQ(headlessUi().infoLine(), "Status: ERROR");
}

TEST_F(DataReadTest, TypedIntervalInTheLineBuffer) {
  ensureReaderEngine();
  setReaderLine("100..250\n");
  gReader.dataFile = nullptr;
  EXPECT_EQ(readWithDataReader(kGrammarInterval), 1);
  EXPECT_EQ(gReader.intervalFrom, 100);
  EXPECT_EQ(gReader.intervalTo, 250);
  setReaderLine("100\n"); // reading past it meets the end of the input
  EXPECT_EQ(readWithDataReader(kGrammarInterval), 2);
}

TEST_F(DataReadTest, FileNameGrammar) {
  EXPECT_EQ(read("   \"a b/c.fa\"  rest\n", kGrammarFileName), 1);
  EXPECT_STREQ(readerName(), "a b/c.fa");
  EXPECT_EQ(read("plain.fa next\n", kGrammarFileName), 1);
  EXPECT_STREQ(readerName(), "plain.fa");
  EXPECT_EQ(gReader.nameLength, 8);
  EXPECT_EQ(read("   \n", kGrammarFileName), 2);

  std::string longName(3000, 'q'); // two pieces, 255 characters kept
  EXPECT_EQ(read(longName + "\n", kGrammarFileName), 1);
  EXPECT_EQ(std::string(readerName()), longName.substr(0, 255));

  EXPECT_EQ(read("\"open quote\n", kGrammarFileName), kErrBadFilename);
  EXPECT_EQ(message(), "ERROR in line 1: Bad filename. \nFile: " + dataPath +
                           ", line: \n\"open quote\n \nend: \n\n\n");
  EXPECT_EQ(read("!comment\n!another\n\"x", kGrammarFileName), kErrBadFilename);
  EXPECT_EQ(message(), "ERROR: Bad filename. \nFile: " + dataPath + ", EOF reached.\n");
}

TEST_F(DataReadTest, CannotOpenAndProgress) {
  std::string missing = dir + "/nothing.fa";
  EXPECT_EQ(runDataRead(missing.c_str(), "sqreadsq", kGrammarInterval), kErrCannotOpen);
  EXPECT_EQ(message(),
            "ERROR: Cannot open input file. \nFile: " + missing + ". \nBreakpoint in sqreadsq\n");
  EXPECT_EQ(runDataRead("", "sqreadms", kGrammarInterval), kErrCannotOpen);
  EXPECT_EQ(message(), "ERROR: Cannot open input file. \nFile: . \nBreakpoint in sqreadms\n");

  static std::vector<long> positions;
  positions.clear();
  static int window;
  gLastError = kErrBadCommand;
  setProgressWindow(&window, [](void *w, long pos, long size) {
    EXPECT_EQ(w, &window);
    positions.push_back(pos);
    positions.push_back(size);
  });
  EXPECT_EQ(gLastError, 0);
  EXPECT_EQ(read("!c\n1-2\n", kGrammarInterval), 1);
  setProgressWindow(nullptr, nullptr);
  EXPECT_EQ(positions, (std::vector<long>{0, 7, 3, 7}));
}

TEST_F(DataReadTest, ModeAndFileNameComeBackAfterANestedRead) {
  gReader.mode = ReaderMode::Command;
  gReader.fileName = "outer.cmd";
  EXPECT_EQ(read("1-2\n", kGrammarInterval), 1);
  EXPECT_EQ(gReader.mode, ReaderMode::Command);
  EXPECT_STREQ(gReader.fileName, "outer.cmd");
  gReader.mode = ReaderMode::Data;
}

// Each recogniser alone, through a one-node grammar on a spare table slot.
class RecogniserTest : public ReaderTest {
protected:
  static constexpr int kSlot = kGrammarMax;
  static constexpr int kRecordAction = kActionCommandLast;
  void SetUp() override {
    ReaderTest::SetUp();
    ensureReaderEngine();
    if (grammarRegistered(kSlot))
      GTEST_SKIP() << "spare grammar slot is in use";
    registerAction(kRecordAction, [] { ++matches; });
  }
  void TearDown() override {
    registerGrammar(kSlot, nullptr, 0, nullptr);
    registerAction(kRecordAction, nullptr);
    ReaderTest::TearDown();
  }
  // Runs recogniser `rec` on `text`; returns whether it matched and leaves
  // the rest of the line in `rest`.
  bool match(int rec, const std::string &text) {
    nodes[0] = {static_cast<int8_t>(rec), kOk, kFail, static_cast<int8_t>(kRecordAction)};
    registerGrammar(kSlot, nodes, 1, "test");
    setReaderLine(text.c_str());
    matches = 0;
    int r = readWithDataReader(kSlot);
    rest = gReader.pos;
    EXPECT_EQ(matches, r == 1 ? 1 : 0);
    return r == 1;
  }
  GrammarNode nodes[1];
  std::string rest;
  static inline int matches = 0;
};

TEST_F(RecogniserTest, Numbers) {
  EXPECT_TRUE(match(kRecInteger, "  -12  x"));
  EXPECT_EQ(gReader.value.i, -12);
  EXPECT_EQ(rest, "x");
  EXPECT_TRUE(match(kRecInteger, "- 3"));
  EXPECT_EQ(gReader.value.i, 0);
  EXPECT_EQ(rest, "3");
  EXPECT_TRUE(match(kRecInteger, "4294967297")); // wraps, no overflow trap
  EXPECT_EQ(gReader.value.i, 1);
  EXPECT_FALSE(match(kRecInteger, "  +1"));
  EXPECT_EQ(rest, "  +1");

  EXPECT_TRUE(match(kRecDecimal, " 1.5e-3 y"));
  EXPECT_DOUBLE_EQ(gReader.value.d, 0.0015);
  EXPECT_EQ(rest, "y");
  EXPECT_TRUE(match(kRecDecimal, ".25E2"));
  EXPECT_DOUBLE_EQ(gReader.value.d, 25);
  EXPECT_TRUE(match(kRecDecimal, "-7.e+1"));
  EXPECT_DOUBLE_EQ(gReader.value.d, -7);
  EXPECT_EQ(rest, "+1");
  EXPECT_FALSE(match(kRecDecimal, "e5"));

  EXPECT_TRUE(match(kRecHex, "  4903fE00 g"));
  EXPECT_EQ(gReader.value.u, 0x4903fe00u);
  EXPECT_EQ(rest, " g");
  EXPECT_FALSE(match(kRecHex, "xyz"));
}

TEST_F(RecogniserTest, WordsTokensIdentifiers) {
  EXPECT_TRUE(match(kRecWord, " ab-C_d.e f"));
  EXPECT_STREQ(readerWord(), "ab-C_d.e");
  EXPECT_EQ(rest, "f");
  EXPECT_FALSE(match(kRecWord, ".x"));
  EXPECT_TRUE(match(kRecToken, "a:b=c\"d e"));
  EXPECT_STREQ(readerWord(), "a:b=c\"d");
  EXPECT_EQ(rest, "e");
  EXPECT_TRUE(match(kRecIdentifier, "_x1.y-z"));
  EXPECT_STREQ(readerWord(), "_x1.y");
  EXPECT_EQ(rest, "-z");
  EXPECT_FALSE(match(kRecIdentifier, "1x"));

  std::string longWord(300, 'w');
  EXPECT_TRUE(match(kRecWord, longWord + "  next"));
  EXPECT_EQ(std::string(readerWord()), longWord.substr(0, 255));
  EXPECT_EQ(rest, "next");
}

TEST_F(RecogniserTest, SingleCharactersAndLineEnds) {
  EXPECT_TRUE(match(kRecAlignLetter, "g"));
  EXPECT_EQ(gReader.value.b, 6);
  EXPECT_TRUE(match(kRecAlignLetter, "-"));
  EXPECT_EQ(gReader.value.b, '-');
  EXPECT_FALSE(match(kRecAlignLetter, "*"));
  EXPECT_TRUE(match(kRecNameChar, "._"));
  EXPECT_FALSE(match(kRecNameChar, "1"));
  EXPECT_FALSE(match(kRecLineChar, "\n"));
  EXPECT_TRUE(match(kRecAnyChar, "\n"));
  EXPECT_EQ(gReader.value.b, '\n');
  EXPECT_TRUE(match(kRecEndOfLine, "\r\nx"));
  EXPECT_EQ(rest, "x");
  EXPECT_FALSE(match(kRecEndOfLine, " \n"));
  EXPECT_TRUE(match(kRecAlways, "anything"));
  EXPECT_EQ(rest, "anything");

  // A CR before LF ends the line for the line-character recogniser; any
  // other CR is the NonPC error.
  EXPECT_FALSE(match(kRecLineChar, "\r\n"));
  EXPECT_EQ(rest, "\n");
  gReader.fileName = "typed";
  EXPECT_THROW(match(kRecLineChar, "\rx"), ReaderError);
  EXPECT_EQ(message(), "ERROR: NonPC file format. \nFile: typed. \nBreakpoint in Mc\n");
  EXPECT_THROW(match(kRecEndOfLine, "\ry"), ReaderError);
  EXPECT_EQ(gLastError, kErrNonPc);
}
