// Reads one sequence file with the sequence reader and prints the time it
// took and the memory it needed above the idle process (see read_fasta.sh).
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

#include "core/pool.h"
#include "core/records.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/sequence_reader.h"

static long residentBytes() {
  long pages = 0, resident = 0;
  FILE *f = fopen("/proc/self/statm", "r");
  if (!f)
    return 0;
  if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
    resident = 0;
  fclose(f);
  return resident * sysconf(_SC_PAGESIZE);
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: bench_read_fasta FILE\n");
    return 2;
  }
  if (!initSessionMemory())
    return 1;
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "%s", argv[1]);
  long idle = residentBytes();
  auto start = std::chrono::steady_clock::now();
  int result = readSequence(gSeq1);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  long peak = usage.ru_maxrss * 1024L;
  if (result != 1)
    return 1;
  long above = peak - idle;
  printf("residues %d seconds %.3f bytes_above_idle %ld bytes_per_residue %.3f\n", gSeq1->length,
         seconds, above, gSeq1->length ? double(above) / gSeq1->length : 0.0);
  releaseSessionMemory();
  return 0;
}
