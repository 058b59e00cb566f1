// The interspersed-repeat masker on a pair of sequence files.
// usage: bench_masker SEQ1 SEQ2 [REPEATS.tsv]
// Prints the word length and threshold, the residues marked in each
// sequence, the time and the memory above the two sequences. The time is
// also given as a ratio to reading the two files with the sequence reader
// in the same run. With the generator's list of copies (gen_repeats.py)
// also the share of copy residues marked and of other residues marked.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/pool.h"
#include "core/records.h"
#include "core/session.h"
#include "io/sequence_reader.h"
#include "ops/masker.h"

namespace {

struct Clock {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  clock_t cpu = clock();
  double wallSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
  }
  double cpuSeconds() const { return double(clock() - cpu) / CLOCKS_PER_SEC; }
};

// Resident and peak resident bytes (Linux); writing 5 to clear_refs
// restarts the peak.
long statusBytes(const char *field) {
  FILE *f = fopen("/proc/self/status", "r");
  if (!f)
    return 0;
  char line[256];
  long kb = 0;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, field, strlen(field)) == 0)
      kb = atol(line + strlen(field));
  fclose(f);
  return kb * 1024;
}
void restartPeak() {
  if (FILE *f = fopen("/proc/self/clear_refs", "w")) {
    fputs("5", f);
    fclose(f);
  }
}

} // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s SEQ1 SEQ2 [REPEATS.tsv]\n", argv[0]);
    return 2;
  }
  if (!initSessionMemory())
    return 1;
  Sequence *seq[2] = {gSeq1, gSeq2};
  const Clock reading;
  for (int s = 0; s < 2; ++s) {
    snprintf(seq[s]->fileName, sizeof seq[s]->fileName, "%s", argv[1 + s]);
    if (readSequence(seq[s]) != 1) {
      fprintf(stderr, "cannot read %s\n", argv[1 + s]);
      return 1;
    }
  }
  const double readWall = reading.wallSeconds(), readCpu = reading.cpuSeconds();
  const uint8_t *codes[2] = {seq[0]->residues, seq[1]->residues};
  const int32_t lengths[2] = {seq[0]->length, seq[1]->length};

  // VELK_MASK_K, _W, _Q, _GAP, _MINLEN, _XQ, _XGAP, _MIN, _CHANCE override the
  // tuning.
  MaskerTuning tuning = defaultMaskerTuning();
  const std::pair<const char *, int *> knobs[] = {
      {"VELK_MASK_K", &tuning.wordLength},       {"VELK_MASK_W", &tuning.window},
      {"VELK_MASK_Q", &tuning.minFrequentWords}, {"VELK_MASK_GAP", &tuning.joinGap},
      {"VELK_MASK_MINLEN", &tuning.minLength},   {"VELK_MASK_XQ", &tuning.extendWords},
      {"VELK_MASK_XGAP", &tuning.extendGap},     {"VELK_MASK_MIN", &tuning.minCount},
      {"VELK_MASK_CHANCE", &tuning.chanceMargin}};
  for (const auto &[name, value] : knobs)
    if (const char *v = getenv(name))
      *value = atoi(v);
  const long before = statusBytes("VmRSS:");
  restartPeak();
  const Clock masking;
  std::vector<RepeatStretch> found[2];
  {
    WordCounts counts;
    if (!counts.build(codes, lengths, 2, tuning)) {
      fprintf(stderr, "no memory for the word counts\n");
      return 1;
    }
    for (int s = 0; s < 2; ++s)
      found[s] = counts.stretches(codes[s], lengths[s]);
    printf("word %d, threshold %d (by chance %d)", counts.wordLength(), counts.threshold(),
           counts.thresholdFromChance());
  }
  const double wall = masking.wallSeconds(), cpu = masking.cpuSeconds();
  const long above = statusBytes("VmHWM:") - before;
  const double residues = double(lengths[0]) + double(lengths[1]);
  printf(", %.3f s (cpu %.3f s, %.2f x reading the files: %.3f s, cpu %.3f s)\n", wall, cpu,
         cpu / (readCpu > 0 ? readCpu : 1e-9), readWall, readCpu);
  printf("memory above the sequences: %.1f MB, %.2f bytes a residue\n", above / 1e6,
         residues > 0 ? above / residues : 0.0);

  std::vector<uint8_t> marked[2];
  for (int s = 0; s < 2; ++s) {
    marked[s].assign(size_t(lengths[s]), 0);
    int64_t n = 0;
    for (const RepeatStretch &r : found[s])
      for (int32_t i = r.from; i < r.to; ++i, ++n)
        marked[s][size_t(i)] = 1;
    printf("sequence %d: %d residues, %lld marked (%.2f %%) in %zu stretches\n", s + 1, lengths[s],
           (long long)n, 100.0 * double(n) / double(lengths[s] ? lengths[s] : 1), found[s].size());
  }
  if (argc > 3) {
    std::vector<uint8_t> truth(size_t(lengths[0]), 0);
    std::ifstream in(argv[3]);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      std::istringstream row(line);
      int s, from, to;
      if (row >> s >> from >> to && s == 1)
        for (int i = from - 1; i < to && i < lengths[0]; ++i)
          truth[size_t(i)] = 1;
    }
    // Only sequence 1 lists every copy (old copies move in sequence 2).
    int64_t copies = 0, copiesMarked = 0, others = 0, othersMarked = 0;
    for (size_t i = 0; i < truth.size(); ++i) {
      if (truth[i]) {
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
  releaseSessionMemory();
  return 0;
}
