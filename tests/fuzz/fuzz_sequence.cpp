// libFuzzer target: arbitrary bytes as a sequence file, read as residues and
// annotations, then as repeats, then finished both ways; the first bytes
// also as a typed interval.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/errors.h"
#include "core/flags.h"
#include "core/records.h"
#include "core/session.h"
#include "fuzz_input.h"
#include "io/sequence_body.h"
#include "io/sequence_finish.h"
#include "io/sequence_reader.h"

static std::string gPath;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  gPath = setUpFuzzInput("input.seq");
  setBodyBlockBytes(37); // block boundaries within small inputs
  return 0;
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  writeFuzzInput(gPath, data, size);
  Sequence *s = gSeq1;
  snprintf(s->fileName, sizeof s->fileName, "%s", gPath.c_str());
  snprintf(s->repeatSourceName, sizeof s->repeatSourceName, "%s", gPath.c_str());
  s->flags = kSeqInitialFlags;
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
      for (int i = 0; i < s->length; ++i)
        if (s->residues[i] & ~7)
          abort(); // marks cleared again over the same ranges
      if (s->from < 1 || s->from > s->to || s->to > s->length)
        abort();
    }
  }
  std::string head(reinterpret_cast<const char *>(data), size < 40 ? size : 40);
  parseIntervalText(s, head.c_str());
  return 0;
}
