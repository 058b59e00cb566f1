// The interspersed-repeat masker on a pair of FASTA files.
// usage: bench_masker SEQ1.fa SEQ2.fa [REPEATS.tsv]
// Prints the word length and threshold, the residues marked in each
// sequence and the time. With the generator's list of copies (gen_repeats.py)
// also the share of copy residues marked and of other residues marked.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/residue.h"
#include "ops/masker.h"

static std::vector<uint8_t> readFasta(const char *path) {
  std::ifstream in(path);
  std::vector<uint8_t> codes;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      if (!first)
        break;
      first = false;
      continue;
    }
    for (char c : line)
      if (c > ' ')
        codes.push_back(residueCode(c));
  }
  return codes;
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s SEQ1.fa SEQ2.fa [REPEATS.tsv]\n", argv[0]);
    return 2;
  }
  std::vector<uint8_t> seq[2] = {readFasta(argv[1]), readFasta(argv[2])};
  const uint8_t *codes[2] = {seq[0].data(), seq[1].data()};
  int32_t lengths[2] = {int32_t(seq[0].size()), int32_t(seq[1].size())};

  auto t0 = std::chrono::steady_clock::now();
  // VELK_MASK_K, _W, _Q, _GAP, _MINLEN, _XQ, _XGAP, _MIN override the tuning.
  MaskerTuning tuning = defaultMaskerTuning();
  const std::pair<const char *, int *> knobs[] = {
      {"VELK_MASK_K", &tuning.wordLength},       {"VELK_MASK_W", &tuning.window},
      {"VELK_MASK_Q", &tuning.minFrequentWords}, {"VELK_MASK_GAP", &tuning.joinGap},
      {"VELK_MASK_MINLEN", &tuning.minLength},   {"VELK_MASK_XQ", &tuning.extendWords},
      {"VELK_MASK_XGAP", &tuning.extendGap},     {"VELK_MASK_MIN", &tuning.minCount}};
  for (const auto &[name, value] : knobs)
    if (const char *v = getenv(name))
      *value = atoi(v);
  WordCounts counts;
  if (!counts.build(codes, lengths, 2, tuning)) {
    fprintf(stderr, "no memory for the word counts\n");
    return 1;
  }
  std::vector<RepeatStretch> found[2] = {counts.stretches(codes[0], lengths[0]),
                                         counts.stretches(codes[1], lengths[1])};
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  printf("word %d, threshold %d, %.3f s\n", counts.wordLength(), counts.threshold(), seconds);

  std::vector<uint8_t> marked[2];
  for (int s = 0; s < 2; ++s) {
    marked[s].assign(seq[s].size(), 0);
    int64_t n = 0;
    for (const RepeatStretch &r : found[s])
      for (int32_t i = r.from; i < r.to; ++i, ++n)
        marked[s][size_t(i)] = 1;
    printf("sequence %d: %d residues, %lld marked (%.2f %%) in %zu stretches\n", s + 1, lengths[s],
           (long long)n, 100.0 * double(n) / double(lengths[s] ? lengths[s] : 1), found[s].size());
  }
  if (argc > 3) {
    std::vector<uint8_t> truth[2] = {std::vector<uint8_t>(seq[0].size()),
                                     std::vector<uint8_t>(seq[1].size())};
    std::ifstream in(argv[3]);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      std::istringstream row(line);
      int s, from, to;
      if (row >> s >> from >> to)
        for (int i = from - 1; i < to; ++i)
          truth[s - 1][size_t(i)] = 1;
    }
    // Only sequence 1 lists every copy (old copies move in sequence 2).
    int64_t copies = 0, copiesMarked = 0, others = 0, othersMarked = 0;
    for (size_t i = 0; i < seq[0].size(); ++i) {
      if (truth[0][i]) {
        ++copies;
        copiesMarked += marked[0][i];
      } else {
        ++others;
        othersMarked += marked[0][i];
      }
    }
    printf("sequence 1: copies %.1f %% marked, other residues %.2f %% marked\n",
           100.0 * double(copiesMarked) / double(copies ? copies : 1),
           100.0 * double(othersMarked) / double(others ? others : 1));
  }
  return 0;
}
