#include "session/dialog_model.h"

#include <cstdio>

#include "core/flags.h"
#include "core/parameter_rules.h"
#include "core/params.h"
#include "core/records.h"
#include "core/session.h"

namespace {

struct KindInfo {
  const char *title, *store, *action;
  int texts, checks;
  const uint32_t *bits; // flagsB bit of each check button; 0 for one kept elsewhere
};

constexpr uint32_t kAlignBits[] = {
    kOptAlignMaskRepeats, kOptAlignMaskFilter, kOptAlignTrim, kOptAlignHash, 0, 0, 0};
constexpr int kAlignSensitive = 4; // check of the seed shape
// Check of the strands searched.
constexpr int kAlignBothStrands = 5;
constexpr int kAlignExtend = 6; // check of the gapped extension
constexpr uint32_t kExpandBits[] = {kOptExpandMaskRepeats, kOptExpandMaskFilter, kOptExpandTrim};
constexpr uint32_t kFilterBits[] = {kOptFilterPeriodic, kOptFilterPiles, kOptFilterInterspersed};
constexpr uint32_t kFootnoteBits[] = {kOptToFootnotes};
constexpr uint32_t kCompoundBits[] = {kOptCompoundAlign, kOptCompoundExpand, kOptCompoundMerge,
                                      kOptCompoundTrim, kOptCompoundReconcile};

const KindInfo *info(int kind) {
  static const KindInfo kinds[] = {
      {"New", "&Ok", nullptr, 0, 0, nullptr},
      {"Windows coordinates", "&Ok", nullptr, 4, 0, nullptr},
      {"Search parameters", "&Save", "&Align", 7, 7, kAlignBits},
      {"Expand parameters", "&Save", "&Expand", 4, 3, kExpandBits},
      {"Filter parameter", "&Save", "Create", 3, 3, kFilterBits},
      {"Filter parameter", "&Save", "Update", 3, 3, kFilterBits},
      {"Score values", "&Save", nullptr, 4, 0, nullptr},
      {"Select alignments with high P-value", "&Select", nullptr, 1, 0, nullptr},
      {"Select short similarities", "&Select", nullptr, 1, 0, nullptr},
      {"Merge paramer", "&Save", "&Merge", 1, 0, nullptr},
      {"Greedy Parameter", "&Save", "Resolve", 0, 1, kFootnoteBits},
      {"Optimal chain", "&Save", "Resolve", 0, 1, kFootnoteBits},
      {"Compound parameters", "&Save", "Compound", 0, 5, kCompoundBits},
      {nullptr, nullptr, nullptr, 0, 0, nullptr},
      {"Specify length of flanking regions", "&Set", nullptr, 1, 0, nullptr},
  };
  static const KindInfo none = {"", "&Ok", nullptr, 0, 0, nullptr};
  if (kind < 0 || kind >= int(sizeof kinds / sizeof kinds[0]) || !kinds[kind].title)
    return &none;
  return &kinds[kind];
}

template <typename... A> void put(DialogValues &v, int i, const char *format, A... args) {
  snprintf(v.text[i], DialogValues::kTextSize, format, args...);
}

void loadIsland(DialogValues &v, int first, const IslandParams &ip) {
  put(v, first, "%d", ip.matchesPerFrame);
  put(v, first + 1, "%d", ip.frameLength);
  put(v, first + 2, "%d", ip.minTotalMatches);
  put(v, first + 3, "%d", ip.maxGap);
}

void storeIsland(const DialogValues &v, int first, IslandParams &ip) {
  ip.matchesPerFrame = toInt16(textToInt(v.text[first]));
  ip.frameLength = toInt16(textToInt(v.text[first + 1]));
  ip.minTotalMatches = toInt16(textToInt(v.text[first + 2]));
  ip.maxGap = toInt16(textToInt(v.text[first + 3]));
}

} // namespace

const char *dialogTitle(int kind) { return info(kind)->title; }
const char *dialogStoreLabel(int kind) { return info(kind)->store; }
const char *dialogActionLabel(int kind) { return info(kind)->action; }
int dialogTextCount(int kind) { return info(kind)->texts; }
int dialogCheckCount(int kind) { return info(kind)->checks; }
uint32_t filterCheckBit(int index) { return kFilterBits[index ? 1 : 0]; }

bool dialogCheckApplies(int kind, const DialogValues &v, int index) {
  if (kind != DIALOG_ALIGN || index < 0 || index >= info(kind)->checks)
    return true;
  return !(kAlignBits[index] == kOptAlignTrim && v.check[kAlignExtend]);
}

void loadDialogValues(int kind, const WindowRecord &w, DialogValues &v) {
  v = DialogValues();
  const KindInfo *k = info(kind);
  for (int i = 0; i < k->checks; ++i)
    v.check[i] = (w.flagsB & k->bits[i]) != 0;
  switch (kind) {
  case DIALOG_WINDOW_COORDINATES:
    for (int i = 0; i < 4; ++i)
      put(v, i, "%d", w.block[i]);
    break;
  case DIALOG_ALIGN:
    put(v, 0, "%g", w.pValue);
    put(v, 1, "%d", w.alignIsland.wordSize);
    loadIsland(v, 2, w.alignIsland);
    put(v, 6, "%d", w.alignIsland.repeatLimit);
    v.check[kAlignSensitive] = w.alignIsland.seedShape != 0;
    v.check[kAlignBothStrands] = w.alignIsland.strands != 0;
    v.check[kAlignExtend] = w.alignIsland.extend != 0;
    break;
  case DIALOG_EXPAND:
    loadIsland(v, 0, w.expandIsland);
    break;
  case DIALOG_FILTER_CREATE:
  case DIALOG_FILTER_UPDATE:
    put(v, 0, "%g", w.filter.maxPeriodicP);
    put(v, 1, "%d", w.filter.minOverlap);
    put(v, 2, "%d", w.filter.minPile);
    break;
  case DIALOG_SCORES: {
    const int32_t s[4] = {w.score.match, w.score.mismatch, w.score.gapOpen, w.score.gapElongation};
    for (int i = 0; i < 4; ++i)
      scoreToText(s[i], v.text[i], DialogValues::kTextSize);
    break;
  }
  case DIALOG_SELECT_HIGH_PVALUE:
    put(v, 0, "%g", w.pValue);
    break;
  case DIALOG_SELECT_SHORT:
    put(v, 0, "%d", w.shortLength);
    break;
  case DIALOG_MERGE:
    put(v, 0, "%d", w.mergeMaxDistance);
    break;
  case DIALOG_FLANKS:
    put(v, 0, "%d", w.flanksLength);
    break;
  default:
    break;
  }
}

void storeDialogValues(int kind, const DialogValues &v, WindowRecord &w) {
  const KindInfo *k = info(kind);
  for (int i = 0; i < k->checks; ++i) {
    w.flagsB &= ~k->bits[i];
    if (v.check[i])
      w.flagsB |= k->bits[i];
  }
  switch (kind) {
  case DIALOG_WINDOW_COORDINATES:
    for (int i = 0; i < 4; ++i)
      gRequested[i] = textToInt(v.text[i]);
    break;
  case DIALOG_ALIGN:
    // A P-value of 0 or above 1 would leave the statistics without a
    // usable minimal score; the command line corrects it the same way.
    w.pValue = clampedPValue(textToDouble(v.text[0]));
    w.alignIsland.wordSize = toInt16(textToInt(v.text[1]));
    storeIsland(v, 2, w.alignIsland);
    // The command's own conversion, so a dialog and a command file with
    // the same choices save the same header.
    w.alignIsland.repeatLimit = correctRepeatLimit(textToInt(v.text[6]));
    w.alignIsland.seedShape = v.check[kAlignSensitive] ? 1 : 0;
    w.alignIsland.strands = v.check[kAlignBothStrands] ? 1 : 0;
    w.alignIsland.extend = v.check[kAlignExtend] ? 1 : 0;
    clampIslandParams(w.alignIsland, true);
    break;
  case DIALOG_EXPAND:
    storeIsland(v, 0, w.expandIsland);
    clampIslandParams(w.expandIsland, false);
    break;
  case DIALOG_FILTER_CREATE:
  case DIALOG_FILTER_UPDATE:
    w.filter.maxPeriodicP = textToDouble(v.text[0]);
    w.filter.minOverlap = textToInt(v.text[1]);
    w.filter.minPile = textToInt(v.text[2]);
    break;
  case DIALOG_SCORES:
    w.score = clampedScores({matchBonusFromText(v.text[0]), penaltyFromText(v.text[1]),
                             penaltyFromText(v.text[2]), penaltyFromText(v.text[3])});
    break;
  case DIALOG_SELECT_HIGH_PVALUE:
    w.pValue = clampedPValue(textToDouble(v.text[0]));
    break;
  case DIALOG_SELECT_SHORT:
    w.shortLength = correctShortLength(textToInt(v.text[0]));
    break;
  case DIALOG_MERGE:
    w.mergeMaxDistance = correctMergeDistance(textToInt(v.text[0]));
    break;
  case DIALOG_FLANKS:
    w.flanksLength = correctFlanksLength(textToInt(v.text[0]));
    break;
  default:
    break;
  }
}
