#include <gtest/gtest.h>

#include <string>

#include "core/pool.h"
#include "core/residue.h"
#include "io/sequence_collect.h"
#include "io/sequence_residues.h"

namespace {

struct SessionMemory : ::testing::Test {
  BlockPool pool;
  SequenceBumps bumps;
  void SetUp() override {
    ASSERT_TRUE(initSessionMemory());
    ASSERT_TRUE(poolInit(&pool));
  }
  void TearDown() override {
    poolFreeAll(&pool);
    releaseSessionMemory();
  }
};

using TextCollection = SessionMemory;

TEST_F(TextCollection, BlanksCollapseAndSpanChunks) {
  TextCollector t;
  textStart(&t, true);
  textBlank(&t);
  for (const char *p = "Human  beta"; *p; ++p)
    *p == ' ' ? textBlank(&t) : textPut(&t, *p);
  textBlank(&t); // a line break, then the next line's blanks
  textBlank(&t);
  textPut(&t, 'x');
  textBlank(&t);
  size_t n = 0;
  char *s = textJoin(&t, &pool, &bumps, &n);
  EXPECT_STREQ(s, "Human beta x");
  EXPECT_EQ(n, 12u);

  // Quoted texts keep one blank at either end.
  textStart(&t, false);
  textBlank(&t);
  textPut(&t, 'a');
  textBlank(&t);
  EXPECT_STREQ(textJoin(&t, &pool, &bumps, &n), " a ");

  // Longer than a chunk, and a second time over the same chunks.
  for (int round = 0; round < 2; ++round) {
    textStart(&t, true);
    std::string want;
    for (int i = 0; i < 5000; ++i) {
      char c = char('a' + (i + round) % 26);
      textPut(&t, c);
      want.push_back(c);
    }
    EXPECT_EQ(std::string(textJoin(&t, &pool, &bumps, &n)), want);
    EXPECT_EQ(n, 5000u);
  }
}

TEST_F(TextCollection, TextAndCoordinateLimits) {
  TextCollector t;
  textStart(&t, true, 3);
  for (const char *p = "abcdef"; *p; ++p)
    textPut(&t, *p);
  size_t n = 0;
  EXPECT_STREQ(textJoin(&t, &pool, &bumps, &n), "abc");

  CoordinateCollector c;
  coordinatesStart(&c);
  int16_t count = -1;
  EXPECT_EQ(coordinatesJoin(&c, &pool, &bumps, &count), nullptr);
  EXPECT_EQ(count, 0);
  for (int32_t i = 0; i < 40000; ++i)
    coordinatesPut(&c, i * 3);
  int32_t *v = coordinatesJoin(&c, &pool, &bumps, &count);
  ASSERT_EQ(count, int16_t(kMaxCoordinates));
  for (int32_t i = 0; i < count; ++i)
    ASSERT_EQ(v[i], i * 3) << i;
}

TEST(ResidueBody, LettersSkipsAndEnds) {
  ResidueCollector c;
  collectorStart(&c, 0);
  // Lower case, digits, blanks and "@" read the same as the plain letters.
  const char *stop = collectResidues(&c, "  1 acgtURn@x\r\n");
  EXPECT_EQ(*stop, 0);
  stop = collectResidues(&c, "ACG\tTT\n");
  EXPECT_EQ(*stop, '\t');
  stop = collectResidues(&c, "\xad");
  EXPECT_EQ(*stop, '\xad');
  BlockPool pool;
  ASSERT_TRUE(poolInit(&pool));
  int32_t length = 0;
  uint8_t *r = collectorFinish(&c, &pool, &length);
  ASSERT_EQ(length, 11);
  std::string letters;
  for (int i = 0; i < length; ++i)
    letters.push_back(residueLetter(r[i]));
  EXPECT_EQ(letters, "ACGTNNNNACG");
  EXPECT_EQ(r[length], 0);
  EXPECT_EQ(c.data, nullptr);
  poolFreeAll(&pool); // releases the adopted array (checked under ASan)
}

TEST(ResidueBody, GrowsPastTheFirstGuess) {
  ResidueCollector c;
  collectorStart(&c, 10);
  std::string line(2046, 'G');
  for (int i = 0; i < 100; ++i)
    collectResidues(&c, line.c_str());
  BlockPool pool;
  ASSERT_TRUE(poolInit(&pool));
  int32_t length = 0;
  uint8_t *r = collectorFinish(&c, &pool, &length);
  EXPECT_EQ(length, 204600);
  EXPECT_EQ(r[204599], kBaseG);
  EXPECT_EQ(r[204600], 0);
  poolFreeAll(&pool);
  collectorDiscard(&c); // harmless on an empty collector
}

} // namespace
