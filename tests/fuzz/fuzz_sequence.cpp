// libFuzzer target: arbitrary bytes as a sequence file, read as residues and
// annotations, then as repeats, then finished both ways; the first bytes
// also as a typed interval. A first byte from 1 to 15 chooses how the rest
// is read: 1 gzip-compressed, 2 with the compressed stream cut short, 4
// soft-masked, 8 its second record. A sequence read whole is then loaded
// by New against itself and worked on: Align (both strands when the input's
// size is odd), Expand, Merge, Reconcile, Greedy and a save whose rows are
// checked.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <zlib.h>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/session.h"
#include "fuzz_input.h"
#include "fuzz_session.h"
#include "io/sequence_body.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.seq");
  fuzz::setUpActions(gPath);
  setBodyBlockBytes(37); // block boundaries within small inputs
  return 0;
}

// The input as both sequences of a session, through the actions. Small
// inputs only: the engine's cost is not what is fuzzed here.
static void runActions(unsigned mode, bool bothStrands) {
  fuzz::freshSession();
  for (Sequence *s : {gSeq1, gSeq2}) {
    snprintf(s->fileName, sizeof s->fileName, "input.seq");
    snprintf(s->record, sizeof s->record, "%s", mode & 8 ? "#2" : "");
    s->flags = kSeqInitialFlags | (mode & 4 ? kSeqSoftmask : 0);
    s->from = s->to = 0;
  }
  gCurrent->alignIsland.strands = bothStrands;
  if (gCommandActions.newSession() != 0 || !gSeq1->length || gSeq1->length > 4000)
    return;
  fuzz::workAndSave(true);
}

static bool knownResult(int r) { return r == 1 || (r >= kErrInternal && r <= kErrLast); }

static void checkAnnotations(const Sequence *s, const Annotation *a) {
  for (; a; a = a->next) {
    if (a->coordinateCount < 0 || (a->coordinateCount && !a->coordinates))
      abort();
    for (int i = 0; i < a->coordinateCount; ++i)
      if (a->coordinates[i] < 1 || (s->length > 0 && a->coordinates[i] > s->length))
        abort();
  }
}

// The text gzip-compressed, cut to half its length when asked.
static void writeCompressed(const uint8_t *data, size_t size, bool cut) {
  uLongf bound = compressBound(uLong(size)) + 32;
  std::string packed(bound, '\0');
  z_stream z{};
  if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    abort();
  z.next_in = const_cast<Bytef *>(data);
  z.avail_in = uInt(size);
  z.next_out = reinterpret_cast<Bytef *>(&packed[0]);
  z.avail_out = uInt(bound);
  if (deflate(&z, Z_FINISH) != Z_STREAM_END)
    abort();
  packed.resize(z.total_out);
  deflateEnd(&z);
  if (cut)
    packed.resize(packed.size() / 2);
  writeFuzzInput(gPath, reinterpret_cast<const uint8_t *>(packed.data()), packed.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::freshSession();
  const unsigned mode = size && data[0] >= 1 && data[0] <= 15 ? data[0] : 0;
  if (mode & 1)
    writeCompressed(data + 1, size - 1, mode & 2);
  else
    writeFuzzInput(gPath, data, size);
  Sequence *s = gSeq1;
  snprintf(s->fileName, sizeof s->fileName, "%s", gPath.c_str());
  snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", gPath.c_str());
  snprintf(s->record, sizeof s->record, "%s", mode & 8 ? "#2" : "");
  s->flags = kSeqInitialFlags | (mode & 4 ? kSeqSoftmask : 0);
  s->from = s->to = 0;
  gLastError = 0;
  int r = readSequence(s);
  if (!knownResult(r))
    abort();
  checkAnnotations(s, s->annotations);
  if (r == 1) {
    if (s->length < 0 || (s->length > 0 && !s->residues) || (s->residues && s->residues[s->length]))
      abort();
    s->flags &= ~kSeqNotRead;
    int rr = readRepeats(s);
    if (!knownResult(rr) && rr != 2)
      abort();
    checkAnnotations(s, s->repeats);
    if (s->length > 0) {
      s->flags |= kSeqMarkRepeats | kSeqInvertRequested;
      finishSequence(s);
      s->flags &= ~(kSeqMarkRepeats | kSeqInvertRequested);
      finishSequence(s);
      const uint8_t kept = s->flags & kSeqSoftmask ? 15 : 7; // soft marks are the residue's own
      for (int i = 0; i < s->length; ++i)
        if (s->residues[i] & ~kept)
          abort(); // marks cleared again over the same ranges
      if (s->from < 1 || s->from > s->to || s->to > s->length)
        abort();
    }
  }
  std::string head(reinterpret_cast<const char *>(data), size < 40 ? size : 40);
  parseIntervalText(s, head.c_str());
  if (r == 1 && s->length > 0 && s->length <= 4000)
    runActions(mode, size & 1);
  return 0;
}
