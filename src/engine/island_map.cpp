#include "engine/island_map.h"

#include <algorithm>
#include <memory>
#include <new>

#include "engine/search_internal.h"

namespace {

// The map of the running hash search, built once its bounded scans have
// read as many positions as the region holds.
std::unique_ptr<IslandMap> gMap;
bool gMapAllowed = false;

// An island as a scan reports it: [from, to) of a diagonal without the
// non-matches at either end (empty when nothing is left).
template <typename At> void dropMismatchedEnds(At at, int32_t &from, int32_t &to) {
  while (from < to && at(from) != 1)
    ++from;
  while (to > from && at(to - 1) != 1)
    --to;
}

} // namespace

int32_t IslandMap::length(int32_t k) const {
  const int32_t x0 = start(k), y0 = x0 - k;
  return std::min(W_ - x0, H_ - y0);
}

bool IslandMap::build() {
  const EngineContext &e = gEngine;
  W_ = e.W;
  H_ = e.H;
  const int n = e.n, m = e.m, k = e.k;
  const bool runs = runsBound(*e.score);
  const int32_t up = e.score->match + runStep(*e.score),
                down = e.score->mismatch + runStep(*e.score);
  try {
    kept_.clear();
    bestRun_.assign(runs ? (size_t)W_ + H_ : 0, 0);
    byDiagonal_.assign((size_t)W_ + H_ - 1, 0);
    buckets_.assign((size_t)W_ / kBucket + 1, {});
    // Each diagonal's codes, read once: the frames read every one twice.
    std::vector<uint8_t> codes((size_t)std::min(W_, H_));
    for (int32_t d = 1 - H_; d < W_; ++d) {
      byDiagonal_[(size_t)(d + H_ - 1)] = (uint32_t)kept_.size();
      const int32_t x0 = start(d), s = length(d);
      const uint8_t *p1 = e.seq1 + x0, *p2 = e.seq2 + (x0 - d);
      for (int32_t t = 0; t < s; ++t)
        codes[(size_t)t] = (uint8_t)scanCode(p1[t], p2[t]);
      const uint8_t *code = codes.data();
      auto at = [code](int32_t t) { return (int)code[t]; };
      // The best run, as the frames read the diagonal. A diagonal is no
      // longer than the map's area allows: 32 bits hold it.
      const int32_t step[3] = {down, up, down};
      int32_t run = 0, best = 0;
      auto walk = [&](int v) {
        run += step[v];
        run = run > 0 ? run : 0;
        best = best > run ? best : run;
      };
      if (s < n) {
        for (int32_t t = 0; runs && t < s; ++t)
          walk(at(t));
        if (runs)
          bestRun_[(size_t)(d + H_ - 1)] = best;
        continue;
      }
      int count = 0;
      for (int32_t t = 0; t < n; ++t) {
        const int v = at(t);
        count += v;
        walk(v);
      }
      int32_t fa = n - 1, total = count;
      for (int32_t t = n; t < s; ++t) {
        const int v = at(t);
        walk(v);
        count += v - at(t - n);
        if (count >= m) {
          total += v;
          continue;
        }
        if (total >= k) {
          int32_t from = fa - n + 2, to = t;
          dropMismatchedEnds(at, from, to);
          kept_.push_back(Kept{fa, t, total, from, to, 0, 0});
        }
        fa = t;
        total = count;
      }
      if (total >= k) // ended by the region's end; reported as the scan reaches it
        kept_.push_back(Kept{fa, s, total, 0, 0, 0, 0});
      if (runs)
        bestRun_[(size_t)(d + H_ - 1)] = best;
    }
    byDiagonal_.push_back((uint32_t)kept_.size());
    findWordRuns();
    spans_.clear();
    spans_.reserve(kept_.size());
    for (int32_t d = 1 - H_; d < W_; ++d) {
      const int32_t x0 = start(d);
      for (uint32_t i = byDiagonal_[(size_t)(d + H_ - 1)]; i < byDiagonal_[(size_t)(d + H_)]; ++i) {
        const Span span{d, x0 + kept_[i].fa, x0 + kept_[i].fb};
        spans_.push_back(span);
        for (int32_t b = span.xa / kBucket, last = span.xb / kBucket;
             b <= last && b < (int32_t)buckets_.size(); ++b)
          buckets_[(size_t)b].push_back(span);
      }
    }
  } catch (const std::bad_alloc &) {
    kept_.clear();
    bestRun_.clear();
    byDiagonal_.clear();
    buckets_.clear();
    spans_.clear();
    return false;
  }
  return true;
}

void IslandMap::findWordRuns() {
  const EngineContext &e = gEngine;
  runs_.clear();
  for (int32_t d = 1 - H_; d < W_; ++d)
    for (uint32_t i = byDiagonal_[(size_t)(d + H_ - 1)]; i < byDiagonal_[(size_t)(d + H_)]; ++i) {
      Kept &kept = kept_[i];
      kept.runs = (uint32_t)runs_.size();
      const int32_t x = start(d) + kept.from, y = x - d;
      int32_t run = 0; // matches just before, as far as they make a word
      while (run < e.w - 1 && x > run && y > run && pairCode(x - run - 1, y - run - 1) == 1)
        ++run;
      for (int32_t j = 0; j < kept.to - kept.from; ++j) {
        run = pairCode(x + j, y + j) == 1 ? run + 1 : 0;
        if (run == e.w)
          runs_.push_back(j);
      }
      kept.runCount = (uint32_t)runs_.size() - kept.runs;
    }
}

const int32_t *IslandMap::wordRuns(int32_t x, int32_t y, int32_t length, int32_t &count) const {
  const int32_t k = x - y, t = x - start(k);
  if (k <= -H_ || k >= W_)
    return nullptr;
  const Kept *lo = kept_.data() + byDiagonal_[(size_t)(k + H_ - 1)];
  const Kept *hi = kept_.data() + byDiagonal_[(size_t)(k + H_)];
  const Kept *it = std::lower_bound(lo, hi, t, [](const Kept &a, int32_t f) { return a.to <= f; });
  if (it == hi || it->from != t || it->to - it->from != length)
    return nullptr;
  count = (int32_t)it->runCount;
  return runs_.data() + it->runs;
}

const IslandMap::Kept *IslandMap::firstFrom(int32_t k, int32_t fa) const {
  const Kept *lo = kept_.data() + byDiagonal_[(size_t)(k + H_ - 1)];
  const Kept *hi = kept_.data() + byDiagonal_[(size_t)(k + H_)];
  const Kept *it = std::lower_bound(lo, hi, fa, [](const Kept &a, int32_t f) { return a.fa < f; });
  return it == hi ? nullptr : it;
}

bool IslandMap::scan(int32_t x, int32_t y, int32_t xLimit, int32_t yLimit, int32_t room,
                     int32_t &islandX, int32_t &islandY, int32_t &length, int32_t &matches,
                     bool *alone) const {
  if (alone)
    *alone = false;
  const int32_t budget = std::min(xLimit - x, yLimit - y);
  if (budget < 1 || x < 0 || y < 0)
    return false;
  const EngineContext &e = gEngine;
  const int n = e.n, m = e.m;
  const int32_t k = x - y, x0 = start(k), ts = x - x0;
  const int64_t stop = std::min<int64_t>(this->length(k), (int64_t)ts + room);
  if ((int64_t)ts + n > stop)
    return false;
  const Kept *first = kept_.data() + byDiagonal_[(size_t)(k + H_ - 1)];
  const Kept *last = kept_.data() + byDiagonal_[(size_t)(k + H_)];
  const Kept *next =
      std::lower_bound(first, last, ts + n, [](const Kept &a, int32_t f) { return a.fa < f; });
  if (next > first && next[-1].fb >= ts + n) // a kept island holds the first frames
    return scanInside(x, y, budget, room, islandX, islandY, length, matches);
  if (next == last || next->fa >= stop)
    return false;
  // The first frames hold no island: the scan resets before this one and
  // pays every position up to its failing frame, and one more when the
  // first frame passes.
  const int32_t spent = next->fa - ts - n + 1;
  if (budget - spent < 1)
    return false;
  if (budget - spent == 1) {
    const uint8_t *p1 = e.seq1 + x, *p2 = e.seq2 + y;
    int count = 0;
    for (int i = 0; i < n; ++i)
      count += scanCode(p1[i], p2[i]);
    if (count >= m)
      return false;
  }
  if (next->fb >= stop) // cut short by the room or the region's end
    return scanInside(x, y, budget, room, islandX, islandY, length, matches);
  if (next->to <= next->from)
    return false;
  islandX = x0 + next->from;
  islandY = islandX - k;
  length = next->to - next->from;
  matches = next->matches;
  // From its end the scan starts past this island's frames, before the next
  // island's: with none, it finds nothing.
  if (alone)
    *alone = next + 1 == last && next->fb < next->to + n;
  return true;
}

// The scan read position by position up to its first reset, as the frame
// rule goes; what follows comes from the kept islands.
bool IslandMap::scanInside(int32_t x, int32_t y, int32_t budget, int32_t room, int32_t &islandX,
                           int32_t &islandY, int32_t &length, int32_t &matches) const {
  const EngineContext &e = gEngine;
  const int n = e.n, m = e.m, kMin = e.k;
  const int32_t k = x - y, x0 = start(k), ts = x - x0;
  const int32_t stop = (int32_t)std::min<int64_t>(this->length(k), (int64_t)ts + room);
  const uint8_t *p1 = e.seq1 + x0, *p2 = e.seq2 + (x0 - k);
  auto at = [&](int32_t t) { return scanCode(p1[t], p2[t]); };

  // The frames from the start up to the first that fails, as the scan
  // reads them.
  int count = 0;
  for (int32_t t = ts; t < ts + n; ++t)
    count += at(t);
  int32_t run = count >= m, total = count, t = ts + n;
  for (; t < stop; ++t) {
    const int v = at(t);
    const int next = count + v - at(t - n);
    if (next < m)
      break;
    count = next;
    total += v;
    ++run;
  }
  int32_t end;
  if (t == stop) {
    end = count >= m ? stop : stop - 1;
    if (total < kMin)
      return false;
  } else if (total >= kMin) {
    end = t;
  } else {
    // Reset at t: from here on the kept islands tell what comes. Every
    // reset costs the positions since the one before.
    budget -= run + 1;
    if (budget < 1)
      return false;
    const Kept *next = firstFrom(k, t);
    if (!next || next->fa >= stop || (next->fa > t && budget - (next->fa - t) < 1))
      return false;
    if (next->fb < stop) {
      end = next->fb;
      run = next->fb - next->fa - 1;
      total = next->matches;
    } else { // cut short by the room
      count = 0;
      for (int32_t u = next->fa - n + 1; u <= next->fa; ++u)
        count += at(u);
      total = count;
      for (int32_t u = next->fa + 1; u < stop; ++u)
        total += at(u);
      if (total < kMin)
        return false;
      run = stop - 1 - next->fa;
      end = run > 0 ? stop : stop - 1;
    }
  }
  // The island as reported: the last n + run - 1 positions, without the
  // non-matches at either end.
  int32_t from = std::max(ts, end - n - run + 1);
  dropMismatchedEnds(at, from, end);
  if (end <= from)
    return false;
  islandX = x0 + from;
  islandY = islandX - k;
  length = end - from;
  matches = total;
  return true;
}

void IslandMap::nearDiagonals(int32_t k0, int32_t g, int32_t firstSide, int32_t xFrom, int32_t xTo,
                              int32_t yFrom, int32_t yTo, std::vector<int32_t> &out) const {
  // The distances of the diagonals found on either side, as bits.
  const size_t words = (size_t)g / 64 + 1;
  below_.assign(words, 0);
  above_.assign(words, 0);
  // Without branches: whether a span meets the box, and on which side it
  // lies, follow no pattern. k0 itself lands on bit 0 above, cleared below.
  auto mark = [&](const Span &s) {
    const uint64_t meets =
        (s.xb >= xFrom) & (s.xa <= xTo) & (s.xb - s.k >= yFrom) & (s.xa - s.k <= yTo);
    const int32_t d = s.k - k0, distance = d < 0 ? -d : d;
    uint64_t *side = d < 0 ? below_.data() : above_.data();
    side[distance / 64] |= meets << (distance % 64);
  };
  const int32_t kFrom = std::max(k0 - g + 1, 1 - H_), kTo = std::min(k0 + g - 1, W_ - 1);
  if (kFrom > kTo)
    return (void)out.clear();
  // Every island of the diagonals in reach, or those of the buckets over
  // [xFrom, xTo] (each a search in); whichever is cheaper.
  const uint32_t inReach = byDiagonal_[(size_t)(kTo + H_)] - byDiagonal_[(size_t)(kFrom + H_ - 1)];
  const int32_t bFrom = std::max(xFrom, 0) / kBucket,
                bTo = std::min({xTo, W_ - 1, (int32_t)buckets_.size() * kBucket - 1}) / kBucket;
  if (inReach <= 32 * (uint32_t)std::max(bTo - bFrom + 1, 1)) {
    const Span *s = spans_.data() + byDiagonal_[(size_t)(kFrom + H_ - 1)];
    for (const Span *end = s + inReach; s != end; ++s)
      mark(*s);
  } else {
    for (int32_t b = bFrom; b <= bTo; ++b) {
      const std::vector<Span> &spans = buckets_[(size_t)b];
      for (auto it = std::lower_bound(spans.begin(), spans.end(), kFrom,
                                      [](const Span &a, int32_t k) { return a.k < k; });
           it != spans.end() && it->k <= kTo; ++it)
        mark(*it);
    }
  }
  above_[0] &= ~UINT64_C(1);
  const std::vector<uint64_t> &first = firstSide > 0 ? above_ : below_,
                              &second = firstSide > 0 ? below_ : above_;
  // Room for every diagonal and one more write.
  if (order_.size() < 2 * (size_t)g + 1)
    order_.resize(2 * (size_t)g + 1);
  int32_t *o = order_.data();
  for (size_t w = 0; w < words; ++w)
    for (uint64_t bits = below_[w] | above_[w]; bits; bits &= bits - 1) {
      const int32_t bit = __builtin_ctzll(bits), d = (int32_t)(64 * w) + bit;
      // Written at the next place either way; kept only when there.
      *o = k0 + firstSide * d;
      o += (first[w] >> bit) & 1;
      *o = k0 - firstSide * d;
      o += (second[w] >> bit) & 1;
    }
  out.assign(order_.data(), o);
}

IslandMapScope::IslandMapScope() {
  gMap.reset();
  gMapAllowed = true;
  gEngine.islands = nullptr;
  gEngine.chainScanned = 0;
}

IslandMapScope::~IslandMapScope() {
  gMapAllowed = false;
  gEngine.islands = nullptr;
  gMap.reset();
}

void considerIslandMap() {
  EngineContext &e = gEngine;
  if (!gMapAllowed || e.islands || e.g < kIslandMapFromGap ||
      e.chainScanned <= (int64_t)e.W * e.H / 2 || (int64_t)e.W * e.H > kIslandMapMaxArea)
    return;
  gMapAllowed = false; // once, built or not
  std::unique_ptr<IslandMap> map(new (std::nothrow) IslandMap);
  if (map && map->build()) {
    gMap = std::move(map);
    e.islands = gMap.get();
  }
}
