// Hash mode of Align: sequence 1 is indexed once by words of w usable
// residues, sequence 2 is streamed against the index, and every seed (a word
// shared by both, not inside a longer run) is grown into a chain.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <unordered_map>
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
const SeedShape *gSpaced; // the spaced pattern while a sensitive search runs
// Sensitive search under "extend": a spaced word also seeds where one
// compared position holds a transition, as older copies differ mostly by
// transitions and often share no word exactly.
bool gTransitionSeeds;
// Under "extend" every chain is kept: a seed of an older copy rarely passes
// the maximal P-value alone, and the extension and the judging after it
// decide what stays.
bool gKeepEveryChain;

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

  // Sensitive mode: how far along each diagonal chains that were not kept
  // reached. Spaced seeds hit many times along one stretch; it is chained once.
  std::unordered_map<int32_t, int32_t> tried;
  void noteTried(const HitBlock *any) {
    if (!gSpaced)
      return;
    while (any->prev)
      any = any->prev;
    for (const HitBlock *b = any; b; b = b->next) {
      int32_t &end = tried[b->x - b->y];
      end = std::max(end, b->x + b->length);
    }
  }
  bool triedBefore(int32_t x, int32_t y, int32_t wordEnd) const {
    auto it = tried.find(x - y);
    return it != tried.end() && it->second > wordEnd;
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
    // The identity's box is the whole matrix: it would hold every copy.
    if (!wantBoxes || (gEngine.hideIdentity && first->x - first->y == gEngine.identityDiagonal))
      return;
    boxes.push_back(Box{first->x, first->y, endX, endY});
    const size_t lastCell = (size_t)(endX - 1) / kCell;
    if (cells.size() <= lastCell)
      cells.resize(lastCell + 1);
    for (size_t c = (size_t)first->x / kCell; c <= lastCell; ++c)
      cells[c].push_back(chain);
  }

  // Boxes of the kept chains (their extent in both sequences), listed in
  // every column of kCell residues of sequence 1 they reach.
  struct Box {
    int32_t x0, y0, x1, y1;
  };
  static constexpr int32_t kCell = 4096;
  bool wantBoxes = false; // only frequent words ask for them
  std::vector<Box> boxes;
  std::vector<std::vector<int32_t>> cells;

  // A kept chain's box holds the word [x0, x1) x [y0, y1). Seeds come in
  // order of their word's end in sequence 2 and every box starts at or
  // before the running seed, so a box that ends before the word never
  // holds a later one and leaves its column.
  bool boxHolds(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    if ((size_t)x0 / kCell >= cells.size())
      return false;
    std::vector<int32_t> &column = cells[(size_t)x0 / kCell];
    for (size_t i = 0; i < column.size();) {
      const Box &b = boxes[(size_t)column[i]];
      if (b.y1 < y1) {
        column[i] = column.back();
        column.pop_back();
        continue;
      }
      if (b.x0 <= x0 && b.y0 <= y0 && x1 <= b.x1)
        return true;
      ++i;
    }
    return false;
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
  KeptScope(KeptChains *chains, const SeedShape *spaced) {
    gKept = chains;
    gSpaced = spaced;
  }
  ~KeptScope() {
    gKept = nullptr;
    gSpaced = nullptr;
    gTransitionSeeds = false;
    gKeepEveryChain = false;
  }
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

// Under "extend", a sequence aligned against itself: the identity diagonal
// is hidden from the chaining for the search, so that close tandem copies
// are chained on their own.
struct IdentityScope {
  IdentityScope() {
    EngineContext &e = gEngine;
    e.hideIdentity = false;
    if (!gCurrent->alignIsland.extend)
      return;
    const int32_t from = std::max(e.x1, e.y1), to = std::min(e.x1 + e.W, e.y1 + e.H);
    if (to - from < e.w)
      return;
    for (int32_t i = from; i < to; ++i)
      if ((gSeq1->residues[i] & 31) != (gSeq2->residues[i] & 31))
        return;
    e.hideIdentity = true;
    e.identityDiagonal = e.y1 - e.x1;
  }
  ~IdentityScope() { gEngine.hideIdentity = false; }
  IdentityScope(const IdentityScope &) = delete;
  IdentityScope &operator=(const IdentityScope &) = delete;
};

// Sensitive mode: spaced seeds, with frames that let more mismatches in.
const char kSensitivePattern[] = "1110100110010101111";
constexpr int32_t kSpacedIslandScore = 20; // in matches beyond the mismatches

// Every compared position of the spaced word starting at (x, y) matches.
bool spacedHit(int32_t x, int32_t y) {
  const SeedShape &s = *gSpaced;
  for (uint8_t shift : s.shifts)
    if (pairCode(x + s.span - 1 - shift / 2, y + s.span - 1 - shift / 2) != 1)
      return false;
  return true;
}

// The compared positions of the spaced word starting at (x, y) match but
// for one transition at most.
bool spacedHitWithTransition(int32_t x, int32_t y) {
  const SeedShape &s = *gSpaced;
  int transitions = 0;
  for (uint8_t shift : s.shifts) {
    const int32_t i = s.span - 1 - shift / 2;
    if (pairCode(x + i, y + i) == 1)
      continue;
    const uint8_t a = gEngine.seq1[x + i], b = gEngine.seq2[y + i];
    if (++transitions > 1 || pairCode(x + i, y + i) != 0 || ((a ^ b) & 3) != 2 ||
        !IslandMatchTable[a & 31][a & 31] || !IslandMatchTable[b & 31][b & 31])
      return false;
  }
  return true;
}

// One seed ending at (i1, i2) (a word with one transition when
// `transition`): grown into a chain, kept when it passes the global test
// (or always, under "extend").
// A `frequent` word (more copies than the default repeat limit) is not
// grown inside a kept chain's box: in a low-complexity or tandem stretch
// every copy would grow an island as long as the stretch and scan its
// neighbour diagonals, and the chain would end as a duplicate of the kept
// one.
void growSeed(int32_t i1, int32_t i2, bool frequent, std::vector<HitBlock *> &kept,
              bool transition = false) {
  EngineContext &e = gEngine;
  const int32_t sx = i1 - e.w + 1, sy = i2 - e.w + 1;
  // A seed whose word also hits one pair earlier lies inside a stretch that
  // an earlier seed covers.
  if (sx > 0 && sy > 0 &&
      (transition ? spacedHitWithTransition(sx - 1, sy - 1)
       : gSpaced  ? spacedHit(sx - 1, sy - 1)
                  : pairCode(sx - 1, sy - 1) == 1))
    return;
  gKept->seedEndX = i1 + 1;
  gKept->seedEndY = i2 + 1;
  // A cut of a kept chain may fall inside the word: either end will do.
  if (wordRunVerdict(sx, sy) == kRunCovered || wordRunVerdict(i1, i2) == kRunCovered) {
    ++e.abandoned;
    return;
  }
  if (gSpaced && gKept->triedBefore(sx, sy, i1))
    return;
  if (frequent && gKept->boxHolds(sx, sy, i1 + 1, i2 + 1)) {
    ++e.abandoned;
    return;
  }
  int32_t length = e.w, matches = e.w;
  if (gSpaced) // both ends of the pattern compare: the span starts and ends on matches
    for (int32_t i = 0; i < e.w; ++i)
      matches -= pairCode(sx + i, sy + i) != 1;
  for (; pairCode(sx + length, sy + length) == 1; ++length)
    ++matches;
  HitBlock *isl = newIsland(sx, sy, length, matches);
  e.seedAbandoned = false;
  extendFrameBackward(isl, std::min(sx, sy), true);
  if (!e.seedAbandoned) {
    extendFrameForward(isl, std::min(e.W - (isl->x + isl->length), e.H - (isl->y + isl->length)));
    // Spaced words hit by chance far more often than runs of w matches do:
    // a seed is chained only when its gapless island stands out.
    if (gSpaced && isl->blockScore < kSpacedIslandScore * e.score->match) {
      freeChain(isl);
      return;
    }
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
    gKept->noteTried(isl);
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
  if (gKeepEveryChain || globalMargin(&probe) >= 0) {
    kept.push_back(blocks);
    gKept->add(blocks);
  } else {
    gKept->noteTried(blocks);
    freeChain(blocks);
  }
}

// Streams sequence 2 against the index; kept chains collect in `kept`.
// Word ends whose preceding pair matches (for a spaced word: whose preceding
// word is the same) are inside a stretch that an earlier seed covers: the
// index never hands them out. With `transitions`, only the words one
// transition away are looked up: a second pass, so that the seeds of exact
// words are all chained first, and the others only add what they missed.
void streamSecond(const WordIndex &index, const SeedShape &shape, std::vector<HitBlock *> &kept,
                  bool transitions) {
  EngineContext &e = gEngine;
  // Keys are rolled a batch ahead so that their buckets can be fetched early.
  constexpr int32_t kBatch = 32;
  const bool mayBeFrequent = gKept->wantBoxes;
  WordRoller roll(shape);
  uint64_t keys[kBatch], previous[kBatch];
  int32_t ends[kBatch];
  bool hasPrevious[kBatch];
  uint64_t lastKey = 0;
  int32_t lastEnd = -2;
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
        hasPrevious[words] = lastEnd == j - 1;
        previous[words] = lastKey;
        lastKey = keys[words];
        lastEnd = j;
        ends[words++] = j;
      }
    }
    for (int32_t t = 0; t < words; ++t) {
      progressPoll();
      if (stopBitSet())
        return;
      const int32_t end = ends[t];
      if (transitions) {
        for (int32_t p = 0; p < shape.weight; ++p) {
          // The word with a transition at compared position p.
          const uint64_t variant = keys[t] ^ (UINT64_C(2) << (2 * p));
          int frequent = mayBeFrequent ? -1 : 0;
          index.visit(variant, -1, 0, e.repeatLimit, [&](int32_t i) {
            if (frequent < 0)
              frequent = index.count(variant) > kDefaultRepeatLimit;
            growSeed(i, end, frequent == 1, kept, true);
          });
        }
        continue;
      }
      // What makes a seed lie inside a stretch an earlier seed covers: the
      // pair before the word matches, or for a spaced word, the word just
      // before it is the same.
      int skip = -1;
      uint64_t skipPrevious = 0;
      if (gSpaced && hasPrevious[t]) {
        skip = 0;
        skipPrevious = previous[t];
      } else if (!gSpaced) {
        skip = WordIndex::residueClass(e.seq2, end - shape.span + 1);
        if (skip == WordIndex::kEdge)
          skip = -1;
      }
      // Counted at the first seed (most words have none), and only when the
      // limit lets frequent words through at all.
      int frequent = mayBeFrequent ? -1 : 0;
      const int32_t n = index.visit(keys[t], skip, skipPrevious, e.repeatLimit, [&](int32_t i) {
        if (frequent < 0)
          frequent = index.count(keys[t]) > kDefaultRepeatLimit;
        growSeed(i, end, frequent == 1, kept);
      });
      if (e.repeatLimit > 0 && n > e.repeatLimit)
        ++e.repeatWords;
    }
    if (!transitions)
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
  const SeedShape shape =
      e.spaced ? SeedShape::spaced(kSensitivePattern) : SeedShape::contiguous(e.w);
  if (e.spaced) {
    // Runs of w matches stand for earlier seeds: a run as long as the
    // pattern holds one. Frames take two more mismatches.
    e.w = shape.span;
    e.m = std::max(e.m - 2, 3 * e.n / 10);
    e.k = std::max(e.k - 2, e.m);
    if (e.W < e.w || e.H < e.w)
      return kSearchNormal;
  }
  WordIndex index;
  if (!index.build(e.seq1, e.W, shape))
    return kSearchPoolExhausted;
  PackedBases bases;
  PackedScope packed(bases);
  IslandMapScope islands;

  std::vector<HitBlock *> kept;
  IdentityScope identity;
  try {
    KeptChains chains;
    chains.wantBoxes = e.repeatLimit == 0 || e.repeatLimit > kDefaultRepeatLimit;
    KeptScope scope(&chains, e.spaced ? &shape : nullptr);
    gTransitionSeeds = e.spaced && gCurrent->alignIsland.extend;
    gKeepEveryChain = gCurrent->alignIsland.extend != 0;
    streamSecond(index, shape, kept, false);
    if (gTransitionSeeds)
      streamSecond(index, shape, kept, true);
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
