// The actions of the sequence grammars and the sequence body recogniser:
// they fill the record being read from the reader's value register and word
// buffer.
#include <cstdio>
#include <cstring>

#include "core/errors.h"
#include "core/flags.h"
#include "core/pool.h"
#include "core/records.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "io/sequence_body.h"
#include "io/sequence_collect.h"
#include "io/sequence_internal.h"
#include "io/sequence_residues.h"

namespace {

enum class TextTarget { Gene, Note, Product, ProteinId };

// Deeper nesting of parentheses than any real file has: refused, so that a
// hostile file cannot exhaust the stack through the recursive grammars.
constexpr int kMaxNesting = 200;
// Longest definition kept (a FASTA header without line breaks could be the
// whole file).
constexpr size_t kMaxDefinition = size_t(1) << 20;

// The bump areas of a sequence's pool stay valid only while the pool is not
// re-initialised; they are recognised by the pool and its first page.
struct PoolBumps {
  BlockPool *pool = nullptr;
  PoolEntry *firstPage = nullptr;
  SequenceBumps bumps;
};

struct ReadState {
  Sequence *seq = nullptr;
  SequenceReadKind kind = SequenceReadKind::Sequence;
  bool fasta = false;
  Annotation **append = nullptr; // where the next annotation is linked
  Annotation *ann = nullptr;     // being filled; none: read but not kept
  TextTarget target = TextTarget::Note;
  TextCollector text;
  CoordinateCollector coordinates;
  int32_t first = 0; // first value of the element being read
  int depth = 0;
  ResidueCollector residues;
  bool softmask = false; // lower-case residues are annotated repeats
};

ReadState gState;
PoolBumps gBumps[2];

SequenceBumps *bumpsFor(Sequence *s, bool fresh) {
  PoolBumps &b = gBumps[s == gSeq2 ? 1 : 0];
  if (fresh || b.pool != s->pool || b.firstPage != s->pool->firstPage) {
    b.pool = s->pool;
    b.firstPage = s->pool->firstPage;
    resetBumps(&b.bumps);
  }
  return &b.bumps;
}

bool storing() { return gState.seq && gState.kind != SequenceReadKind::Interval; }

void actFastaStart() {
  gState.fasta = true;
  textStart(&gState.text, false, kMaxDefinition);
}
void actDefinitionStart() { textStart(&gState.text, true, kMaxDefinition); }
void actTextPut() { textPut(&gState.text, char(gReader.value.b)); }
void actTextBlank() { textBlank(&gState.text); }
void actTextQuote() { textPut(&gState.text, '"'); }
void actTextCharCollapse() {
  char c = char(gReader.value.b);
  if (c == ' ')
    textBlank(&gState.text);
  else
    textPut(&gState.text, c);
}
void setRecordName(const char *name, size_t length) {
  char *to = gState.seq->recordName;
  length = length < sizeof gState.seq->recordName ? length : sizeof gState.seq->recordName - 1;
  memcpy(to, name, length);
  to[length] = 0;
}

void actDefinitionEnd() {
  if (gState.kind != SequenceReadKind::Sequence || !gState.seq)
    return;
  size_t n = 0;
  const char *text = gState.seq->definition =
      textJoin(&gState.text, gState.seq->pool, bumpsFor(gState.seq, false), &n);
  if (gState.fasta && text) {
    text += strspn(text, " \t");
    setRecordName(text, strcspn(text, " \t"));
  }
}

void actLocusName() {
  if (gState.kind == SequenceReadKind::Sequence && gState.seq)
    setRecordName(readerWord(), strlen(readerWord()));
}

void actAccession() {
  if (gState.kind != SequenceReadKind::Sequence || !gState.seq)
    return;
  char *acc = gState.seq->accession;
  strncpy(acc, readerWord(), sizeof gState.seq->accession - 1);
  acc[sizeof gState.seq->accession - 1] = 0;
  setRecordName(readerWord(), strlen(readerWord()));
}
void actGi() {
  if (gState.kind == SequenceReadKind::Sequence && gState.seq)
    gState.seq->gi = gReader.value.i;
}

void startFeature(Annotation *a) {
  gState.ann = a;
  gState.depth = 0;
  coordinatesStart(&gState.coordinates);
}
void newAnnotation(uint8_t kind) {
  if (!storing() || !gState.append)
    return startFeature(nullptr);
  Annotation *a = bumpAnnotation(gState.seq->pool, bumpsFor(gState.seq, false));
  *a = Annotation();
  a->kind = kind;
  *gState.append = a;
  gState.append = &a->next;
  startFeature(a);
}
void actNewCds() { newAnnotation(kAnnCds); }
void actNewGene() { newAnnotation(kAnnGene); }
void actNewUtr5() { newAnnotation(kAnnUtr5); }
void actNewUtr3() { newAnnotation(kAnnUtr3); }
void actNewExon() { newAnnotation(kAnnExon); }
void actNewMrna() { newAnnotation(kAnnMrna); }
void actNewRepeat() { newAnnotation(kAnnRepeat); }
void actSkipFeature() { startFeature(nullptr); }

void nestOpen(int code) {
  if (++gState.depth > kMaxNesting)
    reportSyntaxError(code);
}
void actNestOpen() { nestOpen(kErrBadCoordinates); }
void actParenOpen() { nestOpen(kErrBadGenbankLine); }
void actNestClose() {
  if (gState.depth > 0)
    --gState.depth;
}
void actComplement() {
  if (gState.ann)
    gState.ann->kind |= kAnnComplement;
  nestOpen(kErrBadCoordinates);
}

void putPair(int32_t a, int32_t b) {
  if (!gState.ann)
    return;
  coordinatesPut(&gState.coordinates, a);
  coordinatesPut(&gState.coordinates, b);
}
void actLocFirst() { gState.first = gReader.value.i; }
void actLocSecond() { putPair(gState.first, gReader.value.i); }
void actLocSingle() { putPair(gState.first, gState.first); }
void actLocationEnd() {
  Annotation *a = gState.ann;
  if (!a)
    return;
  a->coordinates = coordinatesJoin(&gState.coordinates, gState.seq->pool,
                                   bumpsFor(gState.seq, false), &a->coordinateCount);
}

void actTargetGene() { gState.target = TextTarget::Gene; }
void actTargetNote() { gState.target = TextTarget::Note; }
void actTargetProduct() { gState.target = TextTarget::Product; }
void actTargetProteinId() { gState.target = TextTarget::ProteinId; }
void actQuoteStart() { textStart(&gState.text, false); }
void actQuoteEnd() {
  Annotation *a = gState.ann;
  if (!a)
    return;
  size_t n = 0;
  char *text = textJoin(&gState.text, gState.seq->pool, bumpsFor(gState.seq, false), &n);
  auto length = uint16_t(n); // texts are cut to fit
  switch (gState.target) {
  case TextTarget::Gene:
    a->gene = text;
    a->geneLength = length;
    break;
  case TextTarget::Note:
    a->note = text;
    a->noteLength = length;
    break;
  case TextTarget::Product:
    a->product = text;
    a->productLength = length;
    break;
  case TextTarget::ProteinId:
    a->proteinId = text;
    a->proteinIdLength = length;
    break;
  }
}
void actNumber() {
  if (gState.ann)
    gState.ann->number = uint16_t(gReader.value.i);
}

// The body reports its own progress; the engine's line input must not.
struct ProgressScope {
  BodyProgress saved = gReader.progress;
  ProgressScope() { gReader.progress = nullptr; }
  ~ProgressScope() { gReader.progress = saved; }
};

void warnStrays(const ResidueCollector &c) {
  char text[1024];
  snprintf(text, sizeof text,
           "Skipped %zu character%s in the sequence that %s not residues (tab, \"-\", \".\", "
           "\"*\").\n    File: %s, first in line %d\n",
           c.strays, c.strays == 1 ? "" : "s", c.strays == 1 ? "is" : "are", gReader.fileName,
           c.firstStrayLine);
  ui()->messageBox("Caution", text, Buttons::Ok, kAnswerOk);
}

bool recSequenceBody() {
  ResidueCollector &c = gState.residues;
  long expected = 0;
  if (gReader.dataFile) {
    long at = ftell(gReader.dataFile);
    if (at >= 0 && gReader.dataSize > at)
      expected = gReader.dataSize - at;
  }
  collectorStart(&c, size_t(expected) + strlen(gReader.pos), gState.softmask);
  ProgressScope scope;
  const char *stop =
      collectResidues(&c, gReader.pos, gReader.dataLine, gReader.pos == readerLine());
  gReader.pos = const_cast<char *>(stop);
  if (!*stop)
    readBodyBlocks(&c, gState.fasta, scope.saved);
  // Only the next record (FASTA) or the closing "//" (GenBank), at the start
  // of a line, ends a sequence: anything else would lose the rest unseen.
  const char end = gState.fasta ? '>' : '/';
  if (!atEndOfFile() && !(*gReader.pos == end && c.stopAtLineStart))
    reportSyntaxError(kErrBadFormat);
  if (c.strays && gState.kind == SequenceReadKind::Sequence)
    warnStrays(c);
  if (gState.kind == SequenceReadKind::Sequence && gState.seq) {
    Sequence *s = gState.seq;
    s->residues = collectorFinish(&c, s->pool, &s->length);
  } else {
    collectorDiscard(&c);
  }
  return true;
}

} // namespace

void beginSequenceRead(Sequence *s, SequenceReadKind kind) {
  collectorDiscard(&gState.residues);
  gState = ReadState();
  gState.seq = s;
  gState.kind = kind;
  if (!s)
    return;
  if (kind == SequenceReadKind::Sequence) {
    bumpsFor(s, true);
    gState.append = &s->annotations;
    gState.softmask = s->flags & kSeqSoftmask;
  } else if (kind == SequenceReadKind::Repeats) {
    Annotation **tail = &s->repeats;
    while (*tail)
      tail = &(*tail)->next;
    gState.append = tail;
  }
}

void endSequenceRead() {
  collectorDiscard(&gState.residues);
  gState.seq = nullptr;
  gState.ann = nullptr;
  gState.append = nullptr;
}

void registerSequenceActions() {
  static const ReaderAction kActions[] = {
      actFastaStart,       actTextPut,    actDefinitionEnd, actDefinitionStart,
      actTextCharCollapse, actTextBlank,  actAccession,     actGi,
      actNewCds,           actNewGene,    actNewUtr5,       actNewUtr3,
      actNewExon,          actNewMrna,    actNewRepeat,     actSkipFeature,
      actComplement,       actLocFirst,   actLocSecond,     actLocSingle,
      actLocationEnd,      actTargetGene, actTargetNote,    actTargetProduct,
      actTargetProteinId,  actQuoteStart, actQuoteEnd,      actNumber,
      actNestOpen,         actParenOpen,  actNestClose,     actTextQuote,
      actLocusName,
  };
  static_assert(sizeof kActions / sizeof kActions[0] == kActSequenceAfterLast - kActFastaStart,
                "one function per sequence action");
  for (int i = 0; i < kActSequenceAfterLast - kActFastaStart; ++i)
    registerAction(kActFastaStart + i, kActions[i]);
  registerRecogniser(kRecSequenceBody, recSequenceBody);
}
