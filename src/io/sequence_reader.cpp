#include "io/sequence_reader.h"

#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/records.h"
#include "io/input_stream.h"
#include "io/sequence_finish.h"
#include "io/sequence_internal.h"

namespace {

Sequence *gOpening = nullptr; // the record whose file has just been opened

// After the file is open: the previous read of this sequence is released.
void prepareSequenceRecord() {
  Sequence *s = gOpening;
  if (!poolInit(s->pool))
    reportPoolCreationFailure();
  s->flags &= ~(kSeqRepeatsMarked | kSeqInverted | kSeqInterspersed);
  memset(s->accession, 0, sizeof s->accession);
  s->gi = 0;
  s->definition = nullptr;
  s->length = 0;
  s->residues = nullptr;
  s->annotations = nullptr;
  s->repeats = nullptr;
  s->recordName[0] = 0;
}

// Also after a failed read, so that a partly read list stays usable.
void clampCoordinates(Annotation *list, int32_t length) {
  for (Annotation *a = list; a; a = a->next)
    for (int i = 0; i < a->coordinateCount; ++i) {
      int32_t &v = a->coordinates[i];
      if (v > length)
        v = length;
      if (v < 1)
        v = 1;
    }
}

// A record without residues (a FASTA header alone, an empty ORIGIN) would
// otherwise fail later without a word.
int reportNoResidues(const char *fileName) {
  try {
    reportFatal(kErrNoResidues, fileName, "sqreadsq");
  } catch (const ReaderError &e) {
    return e.code;
  }
}

} // namespace

int readSequence(Sequence *s) {
  ensureSequenceGrammars();
  s->fileName[sizeof s->fileName - 1] = 0;
  gOpening = s;
  beginSequenceRead(s, SequenceReadKind::Sequence);
  s->record[sizeof s->record - 1] = 0;
  RecordRequest request;
  request.choice = s->record;
  int result =
      runDataRead(s->fileName, "sqreadsq", kGrSequenceFile, prepareSequenceRecord, &request);
  endSequenceRead();
  gOpening = nullptr;
  // Saved files name the record so that Open finds the same one.
  if (result == 1 && s->record[0])
    snprintf(s->record, sizeof s->record, "%s", request.found.canonical.c_str());
  if (result == 1 && s->length == 0)
    result = reportNoResidues(s->fileName);
  clampCoordinates(s->annotations, s->length);
  return result;
}

int readRepeats(Sequence *s) {
  if ((s->flags & kSeqNotRead) || s->length == 0)
    return 2;
  s->repeatSourceName[sizeof s->repeatSourceName - 1] = 0;
  if (!s->repeatSourceName[0])
    return 1;
  ensureSequenceGrammars();
  // A read replaces the list; marks of the old one go first so that marks
  // and list agree (a second read would otherwise add every repeat twice).
  if (s->flags & kSeqRepeatsMarked) {
    markRepeats(s, false);
    s->flags &= ~kSeqRepeatsMarked;
  }
  s->repeats = nullptr;
  beginSequenceRead(s, SequenceReadKind::Repeats);
  RecordRequest request;
  request.choice = s->record;
  request.checkWhole = false; // the sequence read has just checked it
  int result = runDataRead(s->repeatSourceName, "sqreadms", kGrRepeatFile, nullptr, &request);
  endSequenceRead();
  clampCoordinates(s->repeats, s->length);
  return result;
}

int parseInterval(Sequence *s) {
  ensureSequenceGrammars();
  beginSequenceRead(nullptr, SequenceReadKind::Interval);
  int result;
  // A typed number past the range would wrap into another interval; it is
  // refused as any other text that is no interval.
  gReader.numberRangeMismatch = true;
  try {
    result = readWithDataReader(kGrTypedInterval);
  } catch (const ReaderError &e) {
    result = e.code;
  }
  gReader.numberRangeMismatch = false;
  if (result == 1) {
    s->from = gReader.intervalFrom;
    s->to = gReader.intervalTo;
  }
  endSequenceRead();
  return result;
}

int parseIntervalText(Sequence *s, const char *text) {
  char line[kLineBytes];
  snprintf(line, sizeof line, "%.*s\n", kLinePiece - 1, text);
  setReaderLine(line);
  return parseInterval(s);
}
