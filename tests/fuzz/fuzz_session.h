// What the fuzz targets that run actions share: the command hooks as the
// program installs them, with every save kept inside the target's folder; a
// fresh session for each input; tiny sequences to read; and the checks on
// the hits an input leaves.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>

#include "core/pool.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "fuzz_rows.h"
#include "io/command_actions.h"
#include "ops/journal.h"
#include "session/command_wiring.h"
#include "session/resolve_commands.h"
#include "session/sequence_commands.h"
#include "session/set_commands.h"

namespace fuzz {

inline std::string gFolder;
inline const char *const kFixed[] = {
    "a.fa", "b.fa", "b_rc.fa", "r.fa", "input.cmd", "input.loc_align", "input.seq"};
inline void (*gSave)(int) = nullptr;

inline bool fixedName(const std::string &name) {
  for (const char *f : kFixed)
    if (name == f)
      return true;
  return false;
}

inline void copyFile(const std::string &from, const std::string &to) {
  FILE *in = fopen(from.c_str(), "rb");
  FILE *out = fopen(to.c_str(), "wb");
  if (!in || !out)
    abort();
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
    fwrite(buffer, 1, n, out);
  fclose(in);
  fclose(out);
}

// A save goes to the folder under the last part of the name asked for; the
// fixed files are not replaced. Nothing outside the folder is written.
inline void confinedSave(int format) {
  const char *slash = strrchr(gPathBuffer, '/');
  std::string name = slash ? slash + 1 : gPathBuffer;
  if (name.empty() || name == "." || name == ".." || fixedName(name))
    name = "scratch.out";
  snprintf(gPathBuffer, sizeof gPathBuffer, "%s/%s", gFolder.c_str(), name.c_str());
  gSave(format);
}

// The folder of `inputPath` holds the tiny sequences and is made the working
// folder, so that the relative names an input uses are read there. Reports
// go to stdout; they are dropped.
inline void setUpActions(const std::string &inputPath) {
  gFolder = inputPath.substr(0, inputPath.rfind('/'));
  for (const char *name : {"a.fa", "b.fa", "b_rc.fa", "r.fa"})
    copyFile(std::string(VELK_FUZZ_SEQUENCES "/") + name, gFolder + "/" + name);
  if (chdir(gFolder.c_str()) != 0 || !freopen("/dev/null", "w", stdout))
    abort();
  buildResidueTables();
  installConstructCommands();
  installOpenCommand();
  installSequenceCommands();
  installConflictCommands();
  installSetCommands();
  gSave = gCommandActions.save;
  gCommandActions.save = confinedSave;
}

// No hit, no sequence, no journal, slot 0 current with its defaults, and
// none of the files an earlier input saved.
inline void freshSession() {
  releaseSessionMemory();
  if (!initSessionMemory())
    abort();
  journalShutdown();
  for (WindowRecord &w : gSlots)
    resetSlotDefaults(&w);
  gCurrent = &gSlots[0];
  memset(gRequested, 0, sizeof gRequested);
  gActionStatus = 0;
  if (DIR *d = opendir(gFolder.c_str())) {
    while (dirent *e = readdir(d))
      if (e->d_name[0] != '.' && !fixedName(e->d_name))
        unlink((gFolder + "/" + e->d_name).c_str());
    closedir(d);
  }
}

inline bool blocksInside(const Hit *h) {
  if (h->start1 < 0 || h->start2 < 0 || h->end1 > gSeq1->length || h->end2 > gSeq2->length)
    return false;
  for (const HitBlock *b = h->firstBlock; b; b = b->next) {
    const int64_t x = int64_t(h->start1) + b->x, y = int64_t(h->start2) + b->y;
    if (b->length < 1 || x < 0 || y < 0 || x + b->length > gSeq1->length ||
        y + b->length > gSeq2->length)
      return false;
  }
  return true;
}

// Every hit of either strand lies inside both sequences with blocks that
// do; its column walk (which reads the residues) runs, the other strand's
// along that strand.
inline bool hitsInside() {
  for (const Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock)
      continue;
    if (!blocksInside(h))
      return false;
    CountHitColumns(h, h->firstBlock);
  }
  OtherStrandResidues turned;
  for (const Hit *h = gOther.head1; h; h = h->next1) {
    if (!h->firstBlock || !onOtherStrand(h) || !blocksInside(h))
      return false;
    CountHitColumns(h, h->firstBlock);
  }
  return true;
}

// Align, Expand, Merge, Reconcile and Greedy on the session, each leaving
// its hits inside the sequences, then a local save whose rows are checked.
inline void workAndSave(bool oppositeGaps) {
  for (void (*action)() : {gCommandActions.align, gCommandActions.expand, gCommandActions.merge,
                           gCommandActions.reconcile, gCommandActions.greedy}) {
    gCurrent->reportFirst = gCurrent->reportSecond = 0;
    action();
    gActionStatus = 0;
    if (!hitsInside())
      abort();
  }
  snprintf(gPathBuffer, sizeof gPathBuffer, "saved.loc_align");
  gCommandActions.save(kSaveLocal);
  checkRows(gFolder + "/saved.loc_align", oppositeGaps);
}

} // namespace fuzz
