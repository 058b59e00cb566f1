// Open: a saved alignment becomes the session. The header is read, the
// sequences it names are read aside and the body is checked against them
// before anything of the present session is replaced: a failed Open leaves
// the session as it was.
#include "io/alignment_reader.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/params.h"
#include "core/pool.h"
#include "core/session.h"
#include "core/strands.h"
#include "engine/strands.h"
#include "io/alignment_reader_internal.h"
#include "io/reader_engine.h"
#include "io/sequence_reader.h"
#include "ops/filter.h"

namespace {
bool gReplaced = false; // the last Open got as far as replacing the session
const char kPlace[] = "sqreadsq";
OpenStartSessionFn gStartSession = nullptr;

bool isAbsolute(const char *name) { return name[0] == '/' || (name[0] && name[1] == ':'); }

// Every number of a saved alignment is one Velk wrote: one past the 32-bit
// range is damage, not a position to wrap.
int readAlignment(const char *path, int grammar) {
  gReader.numberRangeError = kErrBadFormat;
  int r = runDataRead(path, kPlace, grammar);
  gReader.numberRangeError = 0;
  return r;
}

int readBody(bool makeHits, const char *path) {
  gBodyMakesHits = makeHits;
  resetAlignmentBody();
  int r = readAlignment(path, kGrammarAlignBody);
  gBodyMakesHits = false;
  return r;
}

// A sequence read aside, with its own pool, until the whole file is known to
// fit it: only then does it replace the session's.
struct StagedSequence {
  Sequence seq{};
  BlockPool pool;
  ~StagedSequence() { poolFreeAll(&pool); }
};

// As New reads a sequence and its repeats; failures counted (and shown).
int stageSequence(StagedSequence &st, const char *name, const SavedHeader &h, int which) {
  Sequence &s = st.seq;
  s.pool = &st.pool;
  if (refuseLongPath(name, kPlace))
    return 1;
  snprintf(s.fileName, sizeof s.fileName, "%s", name);
  snprintf(s.repeatSourceName, sizeof s.repeatSourceName, "%s", name);
  s.flags = kSeqInitialFlags | kSeqMarkRepeats | (h.invert[which] ? kSeqInvertRequested : 0) |
            (h.softmask[which] ? kSeqSoftmask : 0);
  snprintf(s.record, sizeof s.record, "%s", h.record[which]);
  s.from = h.from[which];
  s.to = h.to[which];
  if (readSequence(&s) != 1) {
    s.length = 0;
    return 1;
  }
  s.flags &= ~kSeqNotRead;
  if (readRepeats(&s) != 1)
    return 1;
  s.flags &= ~kSeqRepeatsNotRead;
  return 0;
}

// The staged sequence becomes the session's, in the session's own pool.
void installSequence(StagedSequence &st, int which) {
  Sequence *s = sequenceOf(which);
  BlockPool *pool = s->pool;
  poolFreeAll(pool);
  *pool = st.pool;
  st.pool = BlockPool();
  *s = st.seq;
  s->pool = pool;
}

void applyHeader(const SavedHeader &h) {
  memcpy(gRequested, h.block, sizeof gRequested);
  WindowRecord *w = gCurrent;
  w->flagsB = h.flags;
  IslandParams align = h.align;
  clampIslandParams(align, true);
  w->alignIsland = align;
  IslandParams expand = w->expandIsland; // the header has no Expand word size
  expand.matchesPerFrame = h.expand.matchesPerFrame;
  expand.frameLength = h.expand.frameLength;
  expand.minTotalMatches = h.expand.minTotalMatches;
  expand.maxGap = h.expand.maxGap;
  clampIslandParams(expand, false);
  w->expandIsland = expand;
  w->pValue = clampedPValue(h.pValue);
  w->mergeMaxDistance = static_cast<int16_t>(h.mergeMaxDistance);
  w->score = clampedScores(h.score); // corrected as if typed
  w->listCursor = 0;
}

// The engine's placeholder of an empty session (a hit without blocks over
// the whole area) would otherwise count as overlapping every hit read.
void dropPlaceholders() {
  bool anyHit = false;
  for (Hit *h = gHitHead1; h && !anyHit; h = h->next1)
    anyHit = h->firstBlock != nullptr;
  if (!anyHit)
    return;
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock)
      deleteHit(h);
  }
}

int openPath(const char *path) {
  if (!gStartSession)
    return 1;
  ensureAlignmentHeaderGrammar();
  ensureAlignmentBodyGrammar();
  // Values the header does not carry keep those of the window.
  SavedHeader &h = gSavedHeader;
  h = SavedHeader();
  const WindowRecord *w = gCurrent;
  h.align = w->alignIsland;
  h.expand = w->expandIsland;
  h.pValue = w->pValue;
  h.mergeMaxDistance = w->mergeMaxDistance;
  h.score = w->score;
  h.flags = w->flagsB;
  if (readAlignment(path, kGrammarAlignHeader) != 1)
    return 1;
  const SavedHeader header = h;
  StagedSequence staged[2];
  int failures = 0;
  for (int i = 0; i < 2; ++i) {
    std::string name = ResolveSequencePath(header.name[i], path);
    // Opened through a link to its folder, "../" may climb elsewhere than
    // from the folder the file lies in.
    char real[PATH_MAX];
    if (access(name.c_str(), F_OK) != 0 && realpath(path, real)) {
      std::string there = ResolveSequencePath(header.name[i], real);
      if (access(there.c_str(), F_OK) == 0)
        name = there;
    }
    failures += stageSequence(staged[i], name.c_str(), header, i);
  }
  if (failures)
    return failures;
  // Every hit checked against the sequences as they will stand.
  for (int i = 0; i < 2; ++i) {
    gBodyGeometry.length[i] = staged[i].seq.length;
    gBodyGeometry.inverted[i] = header.invert[i];
  }
  if (readBody(false, path) != 1)
    return 1;

  // Nothing can fail from here on but memory.
  gReplaced = true;
  applyHeader(header);
  for (int i = 0; i < 2; ++i)
    installSequence(staged[i], i);
  gCurrent->flagsA |= kWinLoaded | kWinRelayout | kWinRepaint | kWinSeq1 | kWinSeq2;
  gStartSession();
  gCurrent->flagsA |= kWinSessionPresent;
  for (int i = 0; i < 2; ++i) {
    gBodyGeometry.length[i] = sequenceOf(i)->length;
    gBodyGeometry.inverted[i] = (sequenceOf(i)->flags & kSeqInverted) != 0;
  }
  if (readBody(true, path) != 1)
    ++failures;
  adoptOtherStrandHits();
  scoreOtherStrand();
  dropPlaceholders();
  rebuildLists(0, 0);
  // The marks themselves are not saved: the same residues give them again.
  if (header.interspersed)
    for (int i = 0; i < 2; ++i)
      AddInterspersedRepeats(i);
  return failures;
}
} // namespace

void setOpenStartSession(OpenStartSessionFn fn) { gStartSession = fn; }

std::string ResolveSequencePath(const char *name, const char *alignmentPath) {
  if (isAbsolute(name))
    return name;
  std::string dir = alignmentPath;
  size_t sep = dir.find_last_of("/\\");
  if (sep == std::string::npos)
    return name; // the alignment lies in the working directory
  dir.erase(sep);
  const char *rest = name;
  // Each "../" climbs out of one folder while there is one to leave.
  while (rest[0] == '.' && rest[1] == '.' && (rest[2] == '/' || rest[2] == '\\')) {
    size_t up = dir.find_last_of("/\\");
    std::string last = up == std::string::npos ? dir : dir.substr(up + 1);
    if (dir.empty() || last == ".." || dir == "/")
      break;
    dir.erase(up == std::string::npos ? 0 : up == 0 ? 1 : up);
    rest += 3;
  }
  std::string result = dir;
  if (!result.empty() && result.back() != '/')
    result += '/';
  result += rest;
  for (char &c : result)
    if (c == '\\')
      c = '/';
  return result;
}

bool OpenReplacedSession() { return gReplaced; }

int OpenAlignment() {
  gReplaced = false;
  size_t n = strlen(gPathBuffer);
  while (n && gPathBuffer[n - 1] == ' ')
    gPathBuffer[--n] = 0;
  if (gSaveFilter == 3)
    gSaveFilter = 1;
  WindowRecord *w = gCurrent;
  w->flagsA &= ~kWinLoaded;
  char path[sizeof gPathBuffer];
  snprintf(path, sizeof path, "%s", gPathBuffer);
  int failures = path[0] ? openPath(path) : 1;
  w = gCurrent;
  w->reportKind = 0;
  w->flagsB &= ~kOptClearedAfterAction;
  w->flagsA &= ~(kWinLoaded | kWinIntervalsChanged);
  gActionStatus = 0;
  return failures;
}
