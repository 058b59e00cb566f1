// Hash mode of Align: sequence 1 is indexed once by words of w usable
// residues, sequence 2 is streamed against the index, and every seed (a word
// shared by both, not inside a longer run) is grown into a chain.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "engine/progress.h"
#include "engine/scores.h"
#include "engine/search_internal.h"
#include "engine/word_index.h"

namespace {

// The blocks of the chains kept so far, by diagonal, and each chain's end:
// what lets a seed tell whether an earlier seed's chain covers it.
struct KeptChains {
  struct Span {
    int32_t xEnd, chain;
  };
  std::map<int64_t, Span> spans;                 // key: diagonal, then start x
  std::vector<std::pair<int32_t, int32_t>> ends; // end x, end y
  int32_t seedEndX = 0, seedEndY = 0;            // end of the running seed's word

  static int64_t key(int32_t diagonal, int32_t x) {
    return (int64_t)diagonal * (INT64_C(1) << 32) + x;
  }

  void add(const HitBlock *first) {
    const int32_t chain = (int32_t)ends.size();
    int32_t endX = 0, endY = 0;
    for (const HitBlock *b = first; b; b = b->next) {
      spans[key(b->x - b->y, b->x)] = Span{b->x + b->length, chain};
      endX = std::max(endX, b->x + b->length);
      endY = std::max(endY, b->y + b->length);
    }
    ends.emplace_back(endX, endY);
  }

  // Kept chain with a block over pair (x, y), or -1. Chains may overlap, so
  // a few earlier blocks of the diagonal are looked at.
  int32_t chainAt(int32_t x, int32_t y) const {
    const int32_t diagonal = x - y;
    auto it = spans.upper_bound(key(diagonal, x));
    for (int tries = 0; tries < 4 && it != spans.begin(); ++tries) {
      --it;
      if (it->first < key(diagonal, 0))
        break;
      if (x < it->second.xEnd)
        return it->second.chain;
    }
    return -1;
  }
};
KeptChains *gKept; // set while a hash search runs

struct KeptScope {
  explicit KeptScope(KeptChains *chains) { gKept = chains; }
  ~KeptScope() { gKept = nullptr; }
  KeptScope(const KeptScope &) = delete;
  KeptScope &operator=(const KeptScope &) = delete;
};

void freeChain(HitBlock *any) {
  while (any->prev)
    any = any->prev;
  for (HitBlock *b = any, *next; b; b = next) {
    next = b->next;
    freeBlock(b);
  }
}

// One seed ending at (i1, i2): grown into a chain, kept when it passes the
// global test.
void growSeed(int32_t i1, int32_t i2, std::vector<HitBlock *> &kept) {
  EngineContext &e = gEngine;
  const int32_t sx = i1 - e.w + 1, sy = i2 - e.w + 1;
  if (sx > 0 && sy > 0 && pairCode(sx - 1, sy - 1) == 1)
    return; // inside a longer run that an earlier seed covers
  gKept->seedEndX = i1 + 1;
  gKept->seedEndY = i2 + 1;
  // A cut of a kept chain may fall inside the word: either end will do.
  if (wordRunVerdict(sx, sy) == kRunCovered || wordRunVerdict(i1, i2) == kRunCovered) {
    ++e.abandoned;
    return;
  }
  int32_t length = e.w;
  while (pairCode(sx + length, sy + length) == 1)
    ++length;
  HitBlock *isl = newIsland(sx, sy, length, length);
  e.seedAbandoned = false;
  extendFrameBackward(isl, std::min(sx, sy), true);
  if (!e.seedAbandoned) {
    extendFrameForward(isl, std::min(e.W - (isl->x + isl->length), e.H - (isl->y + isl->length)));
    resetSecondCopy(isl);
    chainBackward(isl, true);
    if (!e.seedAbandoned) {
      HitBlock *last = isl;
      while (last->next)
        last = last->next;
      chainForward(last);
    }
  }
  if (e.seedAbandoned) {
    freeChain(isl);
    return;
  }
  HitBlock *blocks = chainToBlocks(isl);
  if (!blocks)
    return;
  Hit probe{};
  probe.start1 = e.x1;
  probe.start2 = e.y1;
  probe.firstBlock = blocks;
  if (globalMargin(&probe) >= 0) {
    kept.push_back(blocks);
    gKept->add(blocks);
  } else
    freeChain(blocks);
}

// Streams sequence 2 against the index; kept chains collect in `kept`.
// Word ends whose preceding pair matches are inside a longer run that an
// earlier seed covers: the index never hands them out.
void streamSecond(const WordIndex &index, const SeedShape &shape, std::vector<HitBlock *> &kept) {
  EngineContext &e = gEngine;
  // Keys are rolled a batch ahead so that their buckets can be fetched early.
  constexpr int32_t kBatch = 32;
  WordRoller roll(shape);
  uint64_t keys[kBatch];
  int32_t ends[kBatch];
  bool done = false;
  for (int32_t j = 0; !done;) {
    const int32_t from = j, stop = j + kBatch;
    int32_t words = 0;
    for (; j < stop; ++j) {
      const uint8_t r = e.seq2[j];
      if (r & kResSentinel) {
        done = true;
        break;
      }
      if (roll.push(r, keys[words])) {
        index.prefetch(keys[words]);
        ends[words++] = j;
      }
    }
    for (int32_t t = 0; t < words; ++t) {
      progressPoll();
      if (stopBitSet())
        return;
      const int32_t end = ends[t];
      const int skip = WordIndex::residueClass(e.seq2, end - shape.span + 1);
      const int32_t n = index.visit(keys[t], skip == WordIndex::kEdge ? -1 : skip, e.repeatLimit,
                                    [&](int32_t i) { growSeed(i, end, kept); });
      if (e.repeatLimit > 0 && n > e.repeatLimit)
        ++e.repeatWords;
    }
    gProgress.scanned += (int64_t)(j - from) * e.W;
  }
}

// The words the repeat limit left out, into the window's report.
void countRepeatWords() {
  int32_t &count = gCurrent->reportRepeats;
  count = (int32_t)std::min<int64_t>((int64_t)count + gEngine.repeatWords, INT32_MAX);
}

int seedRegion() {
  EngineContext &e = gEngine;
  if (e.w > 32)
    e.w = 32;
  if (e.W < e.w || e.H < e.w || e.w < 1)
    return kSearchNormal;
  e.g = std::min(e.g, std::min(e.W, e.H));
  e.diagBase = e.H + e.g - 1;
  const SeedShape shape = SeedShape::contiguous(e.w);
  WordIndex index;
  if (!index.build(e.seq1, e.W, shape))
    return kSearchPoolExhausted;

  std::vector<HitBlock *> kept;
  try {
    KeptChains chains;
    KeptScope scope(&chains);
    streamSecond(index, shape, kept);
  } catch (const EngineAbort &) {
    for (HitBlock *blocks : kept)
      freeChain(blocks);
    countRepeatWords();
    throw;
  }
  countRepeatWords();
  if (kept.empty())
    return kSearchNormal;
  e.newHitFlags = kHitNewFlag;
  for (size_t i = kept.size(); i-- > 0;) {
    Hit *hit = i + 1 == kept.size() ? e.regionRecord : allocateHit();
    makeHit(hit, kept[i]);
    countNewHit();
  }
  rebuildLists(e.x1, e.y1);
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if ((h->flags & kHitNewFlag) && h->score == 0) {
      unlinkHit(h);
      freeHit(h);
    }
  }
  return kSearchNormal;
}

} // namespace

int wordRunVerdict(int32_t x, int32_t y) {
  if (!gKept)
    return kRunCovered;
  const int32_t chain = gKept->chainAt(x, y);
  if (chain < 0)
    return kRunFree;
  const auto &end = gKept->ends[(size_t)chain];
  return end.first >= gKept->seedEndX && end.second >= gKept->seedEndY ? kRunCovered : kRunStop;
}

int wordIndexBits(int32_t width, int32_t height, int32_t wordSize) {
  const int c = (int)(std::log((double)width * (double)height) / std::log(4.0) - 4.5);
  return std::min(std::min(wordSize, 11), std::max(c, 4));
}

int seedByWords(Hit *regionRecord) {
  RegionGuard guard(regionRecord, regionRecord->end1, regionRecord->end2, kModeAlign);
  try {
    return seedRegion();
  } catch (const EngineAbort &abort) {
    return abort.code;
  }
}
