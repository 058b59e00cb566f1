#include "engine/drivers.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/flags.h"
#include "core/session.h"

namespace {

// Depth of the hits' spans along one sequence: breakpoints and the depth
// from each on.
struct DepthProfile {
  std::vector<int32_t> at;
  std::vector<int32_t> depth;
  void build(std::vector<std::pair<int32_t, int32_t>> &events) {
    std::sort(events.begin(), events.end());
    int32_t d = 0;
    for (size_t i = 0; i < events.size(); ++i) {
      d += events[i].second;
      if (i + 1 < events.size() && events[i + 1].first == events[i].first)
        continue;
      at.push_back(events[i].first);
      depth.push_back(d);
    }
  }
  int32_t depthAt(int32_t x) const {
    size_t i = size_t(std::upper_bound(at.begin(), at.end(), x) - at.begin());
    return i ? depth[i - 1] : 0;
  }
  // Residues covered at least `minDepth` deep.
  int64_t residuesAtLeast(int32_t minDepth) const {
    int64_t n = 0;
    for (size_t i = 0; i + 1 < at.size(); ++i)
      if (depth[i] >= minDepth)
        n += at[i + 1] - at[i];
    return n;
  }
};

} // namespace

RepeatPile measureRepeatPile() {
  RepeatPile p;
  std::vector<std::pair<int32_t, int32_t>> events[2];
  for (const Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    ++p.hits;
    events[0].push_back({h->start1, 1});
    events[0].push_back({h->end1, -1});
    events[1].push_back({h->start2, 1});
    events[1].push_back({h->end2, -1});
  }
  DepthProfile profile[2];
  for (int s = 0; s < 2; ++s)
    profile[s].build(events[s]);
  for (const Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock && (profile[0].depthAt(h->start1 + (h->end1 - h->start1) / 2) >= kPileDepth ||
                          profile[1].depthAt(h->start2 + (h->end2 - h->start2) / 2) >= kPileDepth))
      ++p.piled;
  p.pileResidues =
      std::max(profile[0].residuesAtLeast(kPileDepth), profile[1].residuesAtLeast(kPileDepth));
  return p;
}
