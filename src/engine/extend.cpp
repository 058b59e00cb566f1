#include "engine/extend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"
#include "engine/columns.h"
#include "engine/drivers_internal.h"
#include "engine/nw.h"
#include "engine/scores.h"
#include "engine/search.h"

namespace {

using Path = std::vector<int32_t>;

// Appends one step, a gap run joining the run before it of the same sign.
void addStep(Path &path, int32_t step) {
  if (step != 0 && !path.empty() && (path.back() > 0) == (step > 0) && path.back() != 0)
    path.back() += step;
  else
    path.push_back(step);
}

// A hit's columns as a path from its start.
class PathSink : public ColumnSink {
public:
  void column(uint8_t r1, uint8_t r2) override {
    addStep(path, r1 == kGapCode ? -1 : r2 == kGapCode ? 1 : 0);
  }
  Path path;
};

// Diverged copies differ mostly by transitions and by indels: the
// extension charges a transition less than a transversion, and a gap's
// length little beside its opening, so it crosses an older copy's weak,
// gap-dense stretches that the fixed scores stop at.
constexpr ScoreParams kExtendScores{100, -120, -400, -30};
constexpr int32_t kTransition = -40;
// A window of the extension: the matrix is (side + 1)^2 cells; an
// extension still alive at its far edge goes on in another.
constexpr int32_t kWindow = 1000;
// A failed extension's other parts: judged down to this many levels, and
// none shorter than this many steps of its path.
constexpr int kPartLevels = 3;
constexpr size_t kMinPart = 30;

void buildExtendTable() {
  for (int a = 0; a < 32; ++a)
    for (int b = 0; b < 32; ++b) {
      const bool transition = !((a | b) & 4) && ((a ^ b) & 3) == 2;
      ScoreTable[a][b] = IdentityTable[a][b] ? kExtendScores.match
                         : transition        ? kTransition
                                             : kExtendScores.mismatch;
    }
}

// The blocks of the hits around a hit, as dead runs of a window whose
// residue 0 lies at (x0, y0), walked forward (step +1) or backward (-1).
void deadRunsOf(const std::vector<const Hit *> &around, int32_t x0, int32_t y0, int step, int32_t W,
                int32_t H, int32_t band, std::vector<NwDeadRun> *dead) {
  dead->clear();
  const int32_t reach = band + (W > H ? W - H : H - W);
  for (const Hit *c : around)
    for (const HitBlock *b = c->firstBlock; b; b = b->next) {
      const int32_t gx = c->start1 + b->x, gy = c->start2 + b->y;
      NwDeadRun r;
      if (step > 0)
        r = {(gx - gy) - (x0 - y0), gy - y0, gy + b->length - y0};
      else
        r = {(x0 - y0) - (gx - gy), y0 - gy - b->length, y0 - gy};
      if (r.to > 0 && r.from < H && r.diagonal <= reach && r.diagonal >= -reach)
        dead->push_back(r);
    }
}

// The extension from residue x of sequence 1 and y of sequence 2 forward
// (step +1) or backward (-1), up to `room1` and `room2` residues, as a path
// walked away from the hit, never onto the alignments of `around`. Returns
// how far it reaches in each sequence.
void extendOneWay(int32_t x, int32_t y, int step, int32_t room1, int32_t room2, int32_t drop,
                  int32_t band, const std::vector<const Hit *> &around, Path *out, int32_t *used1,
                  int32_t *used2) {
  std::vector<uint8_t> a, b;
  std::vector<NwDeadRun> dead;
  int32_t done1 = 0, done2 = 0;
  while (true) {
    const int32_t W = std::min(kWindow, room1 - done1), H = std::min(kWindow, room2 - done2);
    if (W <= 0 || H <= 0)
      break;
    a.resize(W);
    b.resize(H);
    for (int32_t i = 0; i < W; ++i)
      a[i] = gSeq1->residues[x + step * (done1 + i) - (step < 0)];
    for (int32_t i = 0; i < H; ++i)
      b[i] = gSeq2->residues[y + step * (done2 + i) - (step < 0)];
    deadRunsOf(around, x + step * done1, y + step * done2, step, W, H, band, &dead);
    Path path;
    int32_t gain = 0;
    bool open = false;
    if (extendSegmentsNW(a.data(), W, b.data(), H, kExtendScores, drop, band, &dead, &path, &gain,
                         &open) != kSearchNormal ||
        gain <= 0)
      break;
    int32_t w = 0, h = 0;
    for (int32_t s : path) {
      w += s >= 0 ? std::max(s, 1) : 0;
      h += s <= 0 ? std::max(-s, 1) : 0;
      addStep(*out, s);
    }
    done1 += w;
    done2 += h;
    if (!open)
      break;
  }
  *used1 = done1;
  *used2 = done2;
}

// The extension's table stands in for the session's only while extending:
// the session's is back for judging, and whatever way the action ends.
class ExtendTable {
public:
  ExtendTable() { memcpy(saved_, ScoreTable, sizeof saved_); }
  ~ExtendTable() { restore(); }
  ExtendTable(const ExtendTable &) = delete;
  ExtendTable &operator=(const ExtendTable &) = delete;
  void use() { buildExtendTable(); }
  void restore() { memcpy(ScoreTable, saved_, sizeof saved_); }

private:
  int32_t saved_[32][32];
};

// Blocks of `path` from (start1, start2) made h's alignment.
void rebuild(Hit *h, const Path &path, int32_t start1, int32_t start2) {
  HitBlock *made = nullptr, *first = nullptr;
  try {
    first = blocksOfPath(path, gSeq1->residues + start1, gSeq2->residues + start2, gCurrent->score,
                         &made);
  } catch (const EngineAbort &) {
    freeBlockList(made);
    return;
  }
  freeBlockList(h->firstBlock);
  h->firstBlock = nullptr;
  h->start1 = start1;
  h->start2 = start2;
  RegionGuard guard(h, gSeq1->length, gSeq2->length, kModeMergeBridge);
  makeHit(h, first);
}

// Moves (x, y) past one step of a path: a pair, or a gap in one sequence.
void step(int32_t move, int32_t *x, int32_t *y) {
  *x += move >= 0 ? std::max(move, 1) : 0;
  *y += move <= 0 ? std::max(-move, 1) : 0;
}

// The part of `path` (from start1, start2) that scores best as the maximal
// P-value judges a hit: the row of its identity, gaps as CountingSink
// counts them. The row is that of the part found before, until it holds.
// The part's steps are [*first, *last) of `path`, when asked for.
Path bestJudgedPart(const Path &path, int32_t *start1, int32_t *start2, size_t *first = nullptr,
                    size_t *last = nullptr) {
  const uint8_t *s1 = gSeq1->residues + *start1, *s2 = gSeq2->residues + *start2;
  size_t from = 0, to = path.size();
  int32_t offset1 = 0, offset2 = 0;
  for (int round = 0; round < 3; ++round) {
    int64_t matches = 0, aligned = 0;
    int32_t x = offset1, y = offset2;
    for (size_t k = from; k < to; ++k) {
      if (path[k] == 0) {
        matches += IdentityTable[s1[x] & 31][s2[y] & 31];
        ++aligned;
      }
      step(path[k], &x, &y);
    }
    const StatRow &row = StatTable[identityIndex(matches, aligned)];
    int64_t run = 0, best = 0;
    size_t runFrom = 0, bestFrom = 0, bestTo = 0;
    int32_t rx = 0, ry = 0, bx = 0, by = 0;
    x = y = 0;
    for (size_t k = 0; k < path.size(); ++k) {
      if (run <= 0) {
        run = 0;
        runFrom = k;
        rx = x;
        ry = y;
      }
      if (path[k] == 0)
        run += IdentityTable[s1[x] & 31][s2[y] & 31] ? row.matchScore : row.mismatchScore;
      else
        run -= 300 + 100 * int64_t(std::abs(path[k]));
      step(path[k], &x, &y);
      if (run > best) {
        best = run;
        bestFrom = runFrom;
        bestTo = k + 1;
        bx = rx;
        by = ry;
      }
    }
    if (bestFrom == from && bestTo == to)
      break;
    from = bestFrom;
    to = bestTo;
    offset1 = bx;
    offset2 = by;
  }
  *start1 += offset1;
  *start2 += offset2;
  if (first)
    *first = from;
  if (last)
    *last = to;
  return Path(path.begin() + from, path.begin() + to);
}

// An extension that fails as a whole may hold more than one part that its
// identity carries, as a copy with a weak stretch inside: beside the part
// kept (steps [keptFrom, keptTo) of `path`, from start1, start2), the rest
// on either side is judged again, and what passes becomes a hit like `like`.
void keepOtherParts(const Hit *like, const Path &path, int32_t start1, int32_t start2,
                    size_t keptFrom, size_t keptTo, int levels, std::vector<Hit *> *made) {
  if (levels == 0)
    return;
  int32_t w = 0, h = 0;
  for (size_t k = 0; k < keptTo; ++k)
    step(path[k], &w, &h);
  const Path before(path.begin(), path.begin() + keptFrom),
      after(path.begin() + keptTo, path.end());
  const struct {
    const Path &rest;
    int32_t start1, start2;
  } sides[2] = {{before, start1, start2}, {after, start1 + w, start2 + h}};
  for (const auto &side : sides) {
    if (side.rest.size() < kMinPart)
      continue;
    int32_t from1 = side.start1, from2 = side.start2;
    size_t from = 0, to = 0;
    const Path part = bestJudgedPart(side.rest, &from1, &from2, &from, &to);
    if (part.size() < kMinPart)
      continue;
    Hit *n;
    try {
      n = allocateHit();
    } catch (const EngineAbort &) {
      return; // short of memory: the part kept is enough
    }
    n->flags = like->flags;
    rebuild(n, part, from1, from2);
    if (!n->firstBlock || globalMargin(n) < 0) {
      deleteNow(n);
      continue;
    }
    made->push_back(n);
    keepOtherParts(like, side.rest, side.start1, side.start2, from, to, levels - 1, made);
  }
}

// A hit this Align made, which the user has not approved.
bool removable(const Hit *h) { return (h->flags & kHitNewFlag) && !(h->flags & kHitApproved); }

// a's box within b's.
bool inside(const Hit *a, const Hit *b) {
  return a->start1 >= b->start1 && a->end1 <= b->end1 && a->start2 >= b->start2 &&
         a->end2 <= b->end2;
}

} // namespace

int32_t removeExtendedFragments() {
  int32_t removed = 0;
  for (Hit *h1 = gHitHead1, *next1; h1; h1 = next1) {
    next1 = h1->next1;
    if (!h1->firstBlock)
      continue;
    for (Hit *h2 = h1->next1, *next2; h2 && h2->start1 <= h1->end1; h2 = next2) {
      next2 = h2->next1;
      if (!h2->firstBlock)
        continue;
      // The one inside goes, whatever its score: the extension scored
      // both alike and kept the longer.
      if (inside(h2, h1) && removable(h2) && startsOnPath(h1, h2)) {
        if (next1 == h2)
          next1 = next2;
        deleteNow(h2);
        ++removed;
      } else if (inside(h1, h2) && removable(h1) && startsOnPath(h2, h1)) {
        deleteNow(h1);
        ++removed;
        break;
      }
    }
  }
  return removed;
}

namespace {

// Residues of `shorter` aligned within `near` diagonals of where `longer`
// aligns the same residue of sequence 1. Both walk their blocks once.
int64_t columnsBeside(const Hit *shorter, const Hit *longer, int32_t near) {
  int64_t count = 0;
  const HitBlock *l = longer->firstBlock;
  for (const HitBlock *b = shorter->firstBlock; b; b = b->next) {
    const int32_t bx = shorter->start1 + b->x, diagonal = (shorter->start2 + b->y) - bx;
    for (int32_t x = bx, end = bx + b->length; x < end && l;) {
      const int32_t lx = longer->start1 + l->x;
      if (lx + l->length <= x) {
        l = l->next;
        continue;
      }
      const int32_t from = std::max(x, lx), to = std::min(end, lx + l->length);
      if (from < to && std::abs((longer->start2 + l->y) - lx - diagonal) <= near)
        count += to - from;
      x = to;
    }
  }
  return count;
}

int64_t alignedColumns(const Hit *h) {
  int64_t n = 0;
  for (const HitBlock *b = h->firstBlock; b; b = b->next)
    n += b->length;
  return n;
}

} // namespace

int32_t removeExtendedDuplicates() {
  struct Entry {
    Hit *hit;
    int64_t columns;
    int32_t margin;
    bool doomed;
  };
  std::vector<Entry> hits;
  for (Hit *h = gHitHead1; h; h = h->next1)
    // Near the diagonal of a sequence against itself, a short unit's
    // tandem copies lie a period apart, and a hit beside its mirror image:
    // all of them copies of their own.
    if (h->firstBlock && std::abs(h->start2 - h->start1) > 2 * kDuplicateDiagonals &&
        std::abs(h->end2 - h->end1) > 2 * kDuplicateDiagonals)
      hits.push_back({h, alignedColumns(h), globalMargin(h), false});
  std::sort(hits.begin(), hits.end(),
            [](const Entry &a, const Entry &b) { return a.hit->start1 < b.hit->start1; });
  int32_t removed = 0;
  for (size_t i = 0; i < hits.size(); ++i) {
    Entry &a = hits[i];
    for (size_t j = i + 1; !a.doomed && j < hits.size() && hits[j].hit->start1 < a.hit->end1; ++j) {
      Entry &b = hits[j];
      if (b.doomed || b.hit->start2 >= a.hit->end2 || a.hit->start2 >= b.hit->end2)
        continue;
      const Entry &shorter = a.columns < b.columns ? a : b, &longer = &shorter == &a ? b : a;
      if (100 * columnsBeside(shorter.hit, longer.hit, kDuplicateDiagonals) <
          kDuplicateShare * shorter.columns)
        continue;
      Entry &worse = a.margin < b.margin || (a.margin == b.margin && a.columns < b.columns) ? a : b;
      if (!removable(worse.hit))
        continue;
      worse.doomed = true;
      ++removed;
    }
  }
  for (const Entry &e : hits)
    if (e.doomed)
      deleteNow(e.hit);
  return removed;
}

int32_t extendNewHits(int32_t drop, int32_t band) {
  int32_t area[4];
  actionArea(gCurrent, area);
  computeMinScores(area[1] - area[0], area[3] - area[2]);
  ExtendTable table;
  table.use();
  int32_t extended = 0;
  std::vector<Hit *> hits, all;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock) {
      all.push_back(h);
      if (h->flags & kHitNewFlag)
        hits.push_back(h);
    }
  // Longest first: a hit's containers come before it.
  auto span = [](const Hit *h) { return int64_t(h->end1 - h->start1) + (h->end2 - h->start2); };
  std::sort(all.begin(), all.end(), [&](const Hit *a, const Hit *b) { return span(a) > span(b); });
  std::vector<const Hit *> around;
  std::vector<Hit *> doomed;      // deleted once no list of hits points at them
  std::vector<const Hit *> grown; // extended hits that may still hold the next ones
  for (Hit *h : hits) {
    // Already inside an extension, on its path: a fragment of it, which
    // would only be extended the same way again.
    grown.erase(std::remove_if(grown.begin(), grown.end(),
                               [h](const Hit *g) { return g->end1 < h->start1; }),
                grown.end());
    if (std::any_of(grown.begin(), grown.end(),
                    [h](const Hit *g) { return inside(h, g) && startsOnPath(g, h); })) {
      doomed.push_back(h);
      continue;
    }
    // A hit whose box holds h's is another alignment of the same residues
    // (as the diagonal of a sequence against itself is beside a tandem
    // copy): the extension must not run onto it.
    around.clear();
    for (const Hit *c : all) {
      if (span(c) <= span(h))
        break;
      if (inside(h, c))
        around.push_back(c);
    }
    PathSink own;
    WalkHitColumns(h, h->firstBlock, own);
    Path left, right;
    int32_t l1 = 0, l2 = 0, r1 = 0, r2 = 0;
    extendOneWay(h->start1, h->start2, -1, h->start1 - area[0], h->start2 - area[2], drop, band,
                 around, &left, &l1, &l2);
    extendOneWay(h->end1, h->end2, 1, area[1] - h->end1, area[3] - h->end2, drop, band, around,
                 &right, &r1, &r2);
    if (left.empty() && right.empty()) {
      if (globalMargin(h) < 0)
        doomed.push_back(h);
      continue;
    }
    const int32_t start1 = h->start1, start2 = h->start2;
    Path whole;
    for (auto it = left.rbegin(); it != left.rend(); ++it)
      addStep(whole, *it);
    for (int32_t s : own.path)
      addStep(whole, s);
    for (int32_t s : right)
      addStep(whole, s);
    table.restore();
    rebuild(h, whole, start1 - l1, start2 - l2);
    // Past what its identity can carry: its best part, else as it was.
    bool cut = false;
    size_t partFrom = 0, partTo = 0;
    if (h->firstBlock && globalMargin(h) < 0) {
      int32_t from1 = start1 - l1, from2 = start2 - l2;
      const Path part = bestJudgedPart(whole, &from1, &from2, &partFrom, &partTo);
      if (!part.empty()) {
        rebuild(h, part, from1, from2);
        cut = true;
      }
    }
    if (h->firstBlock && globalMargin(h) < 0) {
      rebuild(h, own.path, start1, start2);
      if (h->firstBlock && globalMargin(h) < 0)
        doomed.push_back(h);
    } else {
      ++extended;
      grown.push_back(h);
      if (cut) {
        std::vector<Hit *> made;
        keepOtherParts(h, whole, start1 - l1, start2 - l2, partFrom, partTo, kPartLevels, &made);
        grown.insert(grown.end(), made.begin(), made.end());
        extended += (int32_t)made.size();
      }
    }
    table.use();
  }
  table.restore();
  for (Hit *h : doomed)
    deleteNow(h);
  return extended;
}
