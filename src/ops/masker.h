// The interspersed-repeat masker: stretches of a sequence dominated by words
// that are frequent in the pair, found in time and memory linear in the
// sequences. Canonical words (a word and its reverse complement count as
// one) because copies sit on either strand.
#pragma once
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
  // Count from which a word is frequent, derived from the distribution.
  int threshold() const { return threshold_; }
  int wordLength() const { return k_; }
  // Stretches of one sequence to mark.
  std::vector<RepeatStretch> stretches(const uint8_t *codes, int32_t length) const;

private:
  int k_ = 0, threshold_ = 0;
  MaskerTuning tuning_;
  std::vector<uint8_t> counts_; // by canonical word, saturating
};
