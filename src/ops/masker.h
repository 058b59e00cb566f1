// The interspersed-repeat masker: stretches of a sequence dominated by words
// that are frequent in the pair, found in time and memory linear in the
// sequences. Canonical words (a word and its reverse complement count as
// one) because copies sit on either strand.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

struct RepeatStretch {
  int32_t from, to; // 0-based, end exclusive
  bool operator==(const RepeatStretch &o) const { return from == o.from && to == o.to; }
};

struct MaskerTuning {
  int wordLength = 0;       // 0: from the longer sequence's length
  int window = 0;           // residues whose words are judged together
  int minFrequentWords = 0; // frequent words a window needs to be marked
  int joinGap = 0;          // marked stretches closer than this merge
  int minLength = 0;        // shorter stretches are left out
  int extendWords = 0;      // looser window rule around a stretch
  int extendGap = 0;
  int minCount = 0; // a word is frequent from this count on (at least)
  // How far (percent) the distribution's threshold may lie above chance's
  // count before it is taken to stand on a family, and chance's holds;
  // below 0: chance is not asked.
  int chanceMargin = -1;
};
MaskerTuning defaultMaskerTuning();

// Word counts of the pair. A word's count is the larger of its counts in
// the two sequences, so the homology between them does not make its words
// frequent, while a family with many copies in one sequence marks its
// copies in both.
class WordCounts {
public:
  // Residue codes (bases in bits 0-1, N in bit 2; other bits ignored).
  bool build(const uint8_t *const codes[], const int32_t lengths[], int count,
             const MaskerTuning &tuning);
  // Count from which a word is frequent: from the distribution of the
  // counts, or chance's count where that lies far below it.
  int threshold() const { return threshold_; }
  // The count chance gives (255 when not used).
  int thresholdFromChance() const { return fromChance_; }
  int wordLength() const { return k_; }
  // Stretches of one sequence to mark.
  std::vector<RepeatStretch> stretches(const uint8_t *codes, int32_t length) const;

private:
  int k_ = 0, threshold_ = 0, fromChance_ = 0;
  MaskerTuning tuning_;
  std::vector<uint64_t> frequent_; // a bit by canonical word
};

// The count that fewer than one word class is expected to reach by chance
// in any of the given random sequences (by their bases: A, C, G, T).
using BaseCounts = std::array<int64_t, 4>;
int chanceCount(const std::vector<BaseCounts> &bases, int k);

// Stretches of frequent words (`starts`: a bit by position, set where a
// frequent word starts) that a window of `window` word starts holding at
// least `minWords` of them takes in; words closer than `joinGap` join.
std::vector<RepeatStretch> denseStretches(const std::vector<uint64_t> &starts, int32_t length,
                                          int k, int32_t window, int minWords, int32_t joinGap,
                                          int32_t minLength);
