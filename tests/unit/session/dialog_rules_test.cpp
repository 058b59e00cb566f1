// What the parameter dialogs store from typed text: the lenient number
// conversions, the score text form and each kind's corrections.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "core/flags.h"
#include "core/parameter_rules.h"
#include "core/records.h"
#include "core/session.h"
#include "session/dialog_model.h"

namespace {

WindowRecord defaults() {
  WindowRecord w{};
  w.alignIsland = IslandParams();
  w.expandIsland = IslandParams();
  w.score = ScoreParams();
  w.filter = FilterParams();
  w.flagsB = kOptDefaults;
  w.pValue = 1e-8;
  w.mergeMaxDistance = 20;
  w.shortLength = 50;
  w.flanksLength = 10;
  w.block[0] = 1, w.block[1] = 200, w.block[2] = 3, w.block[3] = 400;
  return w;
}

// Loads a kind from `w`, replaces the given texts, stores back into `w`.
void edit(int kind, WindowRecord &w, std::initializer_list<std::pair<int, const char *>> texts) {
  DialogValues v;
  loadDialogValues(kind, w, v);
  for (auto [i, t] : texts)
    snprintf(v.text[i], DialogValues::kTextSize, "%s", t);
  storeDialogValues(kind, v, w);
}

// Every value a dialog can store, flattened for comparison.
std::vector<double> parameters(const WindowRecord &w) {
  std::vector<double> all;
  for (const IslandParams *ip : {&w.alignIsland, &w.expandIsland})
    all.insert(all.end(), {double(ip->matchesPerFrame), double(ip->frameLength),
                           double(ip->minTotalMatches), double(ip->maxGap), double(ip->wordSize),
                           double(ip->repeatLimit), double(ip->seedShape)});
  all.insert(all.end(),
             {double(w.score.match), double(w.score.mismatch), double(w.score.gapOpen),
              double(w.score.gapElongation), w.filter.maxPeriodicP, double(w.filter.minOverlap),
              double(w.filter.minPile), double(w.flagsB), w.pValue, double(w.mergeMaxDistance),
              double(w.shortLength), double(w.flanksLength)});
  return all;
}

} // namespace

TEST(TypedNumbers, LenientConversions) {
  struct IntCase {
    const char *text;
    int32_t want;
  } ints[] = {{"12", 12},
              {"  -7x", -7},
              {"+3 4", 3},
              {"abc", 0},
              {"", 0},
              {"- 5", 0},
              {"1e3", 1},
              {"08", 8},
              {"99999999999", INT_MAX},
              {"-99999999999", INT_MIN}};
  for (const IntCase &c : ints)
    EXPECT_EQ(textToInt(c.text), c.want) << c.text;
  struct DoubleCase {
    const char *text;
    double want;
  } doubles[] = {{"1e-8", 1e-8}, {" .5", 0.5}, {"-2.5e1junk", -25}, {"x1", 0},
                 {"inf", 0},     {"nan", 0},   {"0x10", 0},         {"3.", 3}};
  for (const DoubleCase &c : doubles)
    EXPECT_DOUBLE_EQ(textToDouble(c.text), c.want) << c.text;
}

TEST(ScoreText, ShownWithoutTrailingZerosAndStoredRounded) {
  struct Shown {
    int32_t hundredths;
    const char *text;
  } shown[] = {{100, "1"}, {-150, "-1.5"}, {0, "0"}, {5, "0.05"}, {-300, "-3"}, {12345, "123.45"}};
  for (const Shown &c : shown) {
    char text[32];
    scoreToText(c.hundredths, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.hundredths;
  }
  EXPECT_EQ(matchBonusFromText("-2"), 200);
  EXPECT_EQ(matchBonusFromText("0.005"), 1);
  EXPECT_EQ(matchBonusFromText("0.004"), 0);
  EXPECT_EQ(penaltyFromText("1"), -100);
  EXPECT_EQ(penaltyFromText("-1.5"), -150);
  EXPECT_EQ(penaltyFromText("0.006"), -1);
  EXPECT_EQ(matchBonusFromText("1e30"), INT32_MAX);
}

TEST(DialogStore, IslandCorrections) {
  struct Case {
    const char *m, *n, *k, *gap, *word;
    int16_t wm, wn, wk, wgap, wword;
  } cases[] = {
      {"5", "0", "1", "20", "16", 5, 10, 5, 20, 16}, // n 0 -> 10, k raised to m
      {"9", "8", "2", "0", "50", 8, 8, 8, 1, 32},    // m lowered to n, gap >= 1, word <= 32
      {"1", "2", "1", "-4", "2", 1, 2, 1, 1, 4},     // word size 2 -> 4
      {"x", "70000", "5", "5", "16", 9830, 32767, 9830, 5, 16}, // saturated to 16 bits
  };
  for (const Case &c : cases) {
    WindowRecord w = defaults();
    edit(DIALOG_ALIGN, w, {{1, c.word}, {2, c.m}, {3, c.n}, {4, c.k}, {5, c.gap}});
    const IslandParams &a = w.alignIsland;
    EXPECT_EQ(a.matchesPerFrame, c.wm) << c.m << "/" << c.n;
    EXPECT_EQ(a.frameLength, c.wn) << c.m << "/" << c.n;
    EXPECT_EQ(a.minTotalMatches, c.wk) << c.m << "/" << c.n;
    EXPECT_EQ(a.maxGap, c.wgap) << c.m << "/" << c.n;
    EXPECT_EQ(a.wordSize, c.wword) << c.m << "/" << c.n;
    // Expand applies the same checks but has no word size.
    WindowRecord e = defaults();
    edit(DIALOG_EXPAND, e, {{0, c.m}, {1, c.n}, {2, c.k}, {3, c.gap}});
    EXPECT_EQ(e.expandIsland.matchesPerFrame, c.wm);
    EXPECT_EQ(e.expandIsland.frameLength, c.wn);
    EXPECT_EQ(e.expandIsland.minTotalMatches, c.wk);
    EXPECT_EQ(e.expandIsland.maxGap, c.wgap);
    EXPECT_EQ(e.expandIsland.wordSize, 16);
    EXPECT_EQ(e.alignIsland.frameLength, 8) << "Expand must not touch Align";
  }
}

TEST(DialogStore, SingleValueKindsAndPValues) {
  struct Case {
    int kind;
    const char *text;
    double want;
  } cases[] = {
      {DIALOG_FLANKS, "100", 32},
      {DIALOG_FLANKS, "-5", 0},
      {DIALOG_FLANKS, "7", 7},
      {DIALOG_SELECT_SHORT, "-3", 0},
      {DIALOG_SELECT_SHORT, "0", 0},
      {DIALOG_SELECT_SHORT, "120", 120},
      {DIALOG_MERGE, "0", 1},
      {DIALOG_MERGE, "35", 35},
      {DIALOG_SELECT_HIGH_PVALUE, "0", 1e-30},
      {DIALOG_SELECT_HIGH_PVALUE, "5", 1},
      {DIALOG_SELECT_HIGH_PVALUE, "1e-4", 1e-4},
      // Align keeps a usable P-value as the command line does.
      {DIALOG_ALIGN, "0", 1e-30},
      {DIALOG_ALIGN, "-1", 1e-30},
      {DIALOG_ALIGN, "3", 1},
      {DIALOG_ALIGN, "1e-12", 1e-12},
  };
  for (const Case &c : cases) {
    WindowRecord w = defaults();
    edit(c.kind, w, {{0, c.text}});
    double got = c.kind == DIALOG_FLANKS         ? w.flanksLength
                 : c.kind == DIALOG_SELECT_SHORT ? w.shortLength
                 : c.kind == DIALOG_MERGE        ? w.mergeMaxDistance
                                                 : w.pValue;
    EXPECT_DOUBLE_EQ(got, c.want) << dialogTitle(c.kind) << " " << c.text;
  }
}

TEST(DialogStore, ScoresFiltersCoordinatesAndChecks) {
  WindowRecord w = defaults();
  edit(DIALOG_SCORES, w, {{0, "-2"}, {1, "1"}, {2, "-3.5"}, {3, "0"}});
  EXPECT_EQ(w.score.match, 200);
  EXPECT_EQ(w.score.mismatch, -100);
  EXPECT_EQ(w.score.gapOpen, -350);
  EXPECT_EQ(w.score.gapElongation, 0);

  // The filter stores what was typed, without corrections.
  edit(DIALOG_FILTER_UPDATE, w, {{0, "0"}, {1, "-4"}, {2, "1"}});
  EXPECT_EQ(w.filter.maxPeriodicP, 0);
  EXPECT_EQ(w.filter.minOverlap, -4);
  EXPECT_EQ(w.filter.minPile, 1);

  edit(DIALOG_WINDOW_COORDINATES, w, {{0, "10"}, {1, " 20"}, {2, "x"}, {3, "-1"}});
  EXPECT_EQ(std::vector<int32_t>(gRequested, gRequested + 4),
            (std::vector<int32_t>{10, 20, 0, -1}));

  // Check buttons set and clear exactly their bits; the compound byte keeps
  // its other bits.
  DialogValues v;
  w.flagsB = 0xffffffffu;
  loadDialogValues(DIALOG_COMPOUND, w, v);
  for (bool &c : v.check)
    c = false;
  storeDialogValues(DIALOG_COMPOUND, v, w);
  EXPECT_EQ(w.flagsB, 0xffffffffu & ~0x3e00u);
  w.flagsB = 0;
  loadDialogValues(DIALOG_ALIGN, w, v);
  v.check[1] = v.check[3] = true;
  storeDialogValues(DIALOG_ALIGN, v, w);
  EXPECT_EQ(w.flagsB, kOptAlignMaskFilter | kOptAlignHash);
  loadDialogValues(DIALOG_GREEDY, w, v);
  v.check[0] = true;
  storeDialogValues(DIALOG_OPTIMAL, v, w);
  EXPECT_EQ(w.flagsB, kOptAlignMaskFilter | kOptAlignHash | kOptToFootnotes);
}

// The seed options of Align: shown from the window, the typed limit read
// as "align repeats=N" reads it, the check as "sensitive"/"nosensitive".
TEST(DialogStore, AlignRepeatLimitAndSensitiveMode) {
  WindowRecord w = defaults();
  DialogValues v;
  loadDialogValues(DIALOG_ALIGN, w, v);
  EXPECT_STREQ(v.text[6], "400");
  EXPECT_FALSE(v.check[4]);
  w.alignIsland.repeatLimit = 0;
  w.alignIsland.seedShape = 1;
  loadDialogValues(DIALOG_ALIGN, w, v);
  EXPECT_STREQ(v.text[6], "0");
  EXPECT_TRUE(v.check[4]);

  struct Case {
    const char *text;
    int32_t want;
  } cases[] = {
      {"25", 25},          {" 7 words", 7}, {"0", 0}, {"-3", 0}, {"99999999999", INT32_MAX},
      {"-99999999999", 0}, {"x12", 0},      {"", 0}};
  for (const Case &c : cases) {
    WindowRecord e = defaults();
    edit(DIALOG_ALIGN, e, {{6, c.text}});
    EXPECT_EQ(e.alignIsland.repeatLimit, c.want) << c.text;
    EXPECT_EQ(e.expandIsland.repeatLimit, kDefaultRepeatLimit) << "Expand has no limit";
  }
  // The command line's clamp is the same one.
  EXPECT_EQ(correctRepeatLimit(int64_t(INT32_MAX) + 1), INT32_MAX);
  EXPECT_EQ(correctRepeatLimit(INT32_MIN), 0);

  // The check sets and clears the seed shape and no option bit.
  for (bool sensitive : {true, false}) {
    const uint32_t flags = w.flagsB;
    loadDialogValues(DIALOG_ALIGN, w, v);
    v.check[4] = sensitive;
    snprintf(v.text[6], DialogValues::kTextSize, "%s", "12");
    storeDialogValues(DIALOG_ALIGN, v, w);
    EXPECT_EQ(w.alignIsland.seedShape, sensitive ? 1 : 0);
    EXPECT_EQ(w.alignIsland.repeatLimit, 12);
    EXPECT_EQ(w.flagsB, flags);
  }
}

// Opening a dialog and storing it untouched must change nothing: the texts
// carry every value exactly.
TEST(DialogStore, UntouchedDialogKeepsEveryValue) {
  const int kinds[] = {DIALOG_ALIGN,
                       DIALOG_EXPAND,
                       DIALOG_FILTER_CREATE,
                       DIALOG_SCORES,
                       DIALOG_SELECT_HIGH_PVALUE,
                       DIALOG_SELECT_SHORT,
                       DIALOG_MERGE,
                       DIALOG_GREEDY,
                       DIALOG_COMPOUND,
                       DIALOG_FLANKS};
  WindowRecord base = defaults();
  base.score = {150, -250, -333, -1};
  base.filter.maxPeriodicP = 2.5e-7;
  base.pValue = 3e-9;
  base.alignIsland.repeatLimit = 2147483647;
  base.alignIsland.seedShape = 1;
  for (int kind : kinds) {
    WindowRecord w = base;
    DialogValues v;
    loadDialogValues(kind, w, v);
    storeDialogValues(kind, v, w);
    EXPECT_EQ(parameters(w), parameters(base)) << dialogTitle(kind);
  }
}

// "Both strands" and "Extend hits (gapped)", the last checks of Align, are
// "align both"/"noboth" and "extend"/"noextend": each keeps its option in
// the Align parameters, apart from the other, and sets no option bit.
// Extended hits are not trimmed, so Trim has no say while Extend is ticked.
TEST(DialogStore, AlignBothStrandsAndExtendChecks) {
  WindowRecord w = defaults();
  DialogValues v;
  EXPECT_EQ(dialogCheckCount(DIALOG_ALIGN), 7);
  for (int both : {1, 0})
    for (int extend : {0, 1}) {
      const uint32_t flags = w.flagsB;
      const int16_t wasBoth = w.alignIsland.strands, wasExtend = w.alignIsland.extend;
      loadDialogValues(DIALOG_ALIGN, w, v);
      EXPECT_EQ(v.check[5], wasBoth != 0) << "shows what is stored";
      EXPECT_EQ(v.check[6], wasExtend != 0) << "shows what is stored";
      v.check[5] = both;
      v.check[6] = extend;
      for (int i = 0; i < 7; ++i)
        EXPECT_EQ(dialogCheckApplies(DIALOG_ALIGN, v, i), i != 2 || !extend) << i;
      EXPECT_TRUE(dialogCheckApplies(DIALOG_EXPAND, v, 2)) << "Expand's own Trim";
      storeDialogValues(DIALOG_ALIGN, v, w);
      EXPECT_EQ(w.alignIsland.strands, both);
      EXPECT_EQ(w.alignIsland.extend, extend);
      EXPECT_EQ(w.flagsB, flags);
      EXPECT_EQ(w.alignIsland.seedShape, 0);
    }
}
