// Times the Align search of one region (full diagonal scan) and the hash
// search over the mitochondrial pair and over a generated megabase pair.
// Usage: bench_search_region [side of the full-scan square on the big pair]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

#include "core/pool.h"
#include "core/residue.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/scores.h"
#include "engine/search.h"

namespace {

std::string readFasta(const std::string &path) {
  std::ifstream in(path);
  std::string line, s;
  std::getline(in, line);
  while (std::getline(in, line))
    for (char c : line)
      if (c > ' ')
        s += c;
  return s;
}

void fill(Sequence *seq, int which, const std::string &letters) {
  poolInit(&gSeqPool[which]);
  seq->residues = static_cast<uint8_t *>(poolAlloc(&gSeqPool[which], letters.size() + 1));
  for (size_t i = 0; i < letters.size(); ++i)
    seq->residues[i] = residueCode(letters[i]);
  seq->length = (int32_t)letters.size();
  seq->from = 1;
  seq->to = seq->length;
}

// About 85 % identity: 13 % substitutions, 2 % short insertions or deletions.
std::string relative(std::mt19937 &rng, const std::string &a) {
  std::string b;
  b.reserve(a.size() + a.size() / 50);
  std::uniform_real_distribution<double> u(0, 1);
  for (size_t i = 0; i < a.size(); ++i) {
    const double r = u(rng);
    if (r < 0.13)
      b += "ACGT"[(rng() & 3)];
    else if (r < 0.14)
      i += rng() % 4; // deletion
    else if (r < 0.15) {
      for (int k = 1 + rng() % 4; k > 0; --k)
        b += "ACGT"[rng() & 3];
      b += a[i];
    } else
      b += a[i];
  }
  return b;
}

struct Result {
  int hits = 0;
  int64_t covered = 0;
};

Result collect() {
  Result r;
  for (Hit *h = gHitHead1; h; h = h->next1)
    if (h->firstBlock) {
      ++r.hits;
      r.covered += h->end1 - h->start1;
    }
  return r;
}

void run(const char *name, int32_t x2, int32_t y2, bool words) {
  clearHits();
  gCurrent->reportFirst = gCurrent->reportSecond = 0;
  setActionParams(0x08, ScoreParams{}, IslandParams{});
  Hit *region = allocateHit();
  region->start1 = region->start2 = 0;
  region->end1 = x2;
  region->end2 = y2;
  const auto t0 = std::chrono::steady_clock::now();
  const std::clock_t c0 = std::clock();
  const int code = words ? seedByWords(region) : searchRegion(region);
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
  const Result r = collect();
  printf(
      "%-34s %-6s %9d x %-9d code %2d islands %9d hits %6d covered %9lld  %8.3f s (cpu %.3f s)\n",
      name, words ? "words" : "scan", x2, y2, code, gCurrent->reportFirst, r.hits,
      (long long)r.covered, s, cpu);
}

} // namespace

int main(int argc, char **argv) {
  const int32_t side = argc > 1 ? atoi(argv[1]) : 50000;
  setUi(nullptr);
  headlessUi().quiet = true;
  initSessionMemory();
  buildResidueTables();
  gCurrent = &gSlots[0];
  resetSlotDefaults(gCurrent);

  std::string dir = __FILE__;
  dir = dir.substr(0, dir.rfind('/')) + "/../tests/data/mito/";
  const std::string human = readFasta(dir + "MT-human.fa"), orang = readFasta(dir + "MT-orang.fa");
  if (!human.empty() && !orang.empty()) {
    fill(gSeq1, 0, human);
    fill(gSeq2, 1, orang);
    run("mito human x orangutan", gSeq1->length, gSeq2->length, false);
    run("mito human x orangutan", gSeq1->length, gSeq2->length, true);
  }

  std::mt19937 rng(20261206);
  std::string a(1000000, 'A');
  for (char &c : a)
    c = "ACGT"[rng() & 3];
  const std::string b = relative(rng, a);
  fill(gSeq1, 0, a);
  fill(gSeq2, 1, b);
  run("generated 1 Mb pair, 85 % identity", gSeq1->length, gSeq2->length, true);
  run("generated pair, corner square", side, side, false);
  releaseSessionMemory();
  return 0;
}
