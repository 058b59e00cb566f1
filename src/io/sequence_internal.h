// Shared between the sequence grammars and their actions.
#pragma once
#include <cstdint>

#include "io/reader_engine.h"

struct Sequence;
struct Annotation;

// Sub-grammars of the sequence readers.
enum : int {
  kGrSequenceFile = kGrammarSequenceFirst, // FASTA or GenBank, first record
  kGrRepeatFile,                           // repeat_region features of a GenBank file
  kGrLocus,                                // up to and including the LOCUS line
  kGrVersionFeatures,                      // the VERSION line, then up to and including FEATURES
  kGrLocation,                             // a feature location and its line end
  kGrElementList,                          // elements separated by commas
  kGrElement,                              // one position or range
  kGrStoredQualifiers,                     // the qualifiers of a stored feature
  kGrSkippedQualifier,                     // one qualifier read and dropped
  kGrParenValue,                           // a parenthesised qualifier value, after its "("
  kGrTypedInterval,                        // the interval of the input dialog
};
static_assert(int(kGrTypedInterval) <= int(kGrammarSequenceLast), "sequence grammars out of range");

// Actions of the sequence readers.
enum : int {
  kActFastaStart = kActionSequenceFirst,
  kActTextPut,
  kActDefinitionEnd,
  kActDefinitionStart,
  kActTextCharCollapse,
  kActTextBlank,
  kActAccession,
  kActGi,
  kActNewCds,
  kActNewGene,
  kActNewUtr5,
  kActNewUtr3,
  kActNewExon,
  kActNewMrna,
  kActNewRepeat,
  kActSkipFeature,
  kActComplement,
  kActLocFirst,
  kActLocSecond,
  kActLocSingle,
  kActLocationEnd,
  kActTargetGene,
  kActTargetNote,
  kActTargetProduct,
  kActTargetProteinId,
  kActQuoteStart,
  kActQuoteEnd,
  kActNumber,
  kActNestOpen,  // "join(" or "order(" in a location
  kActParenOpen, // "(" in a qualifier value
  kActNestClose, // the matching ")"
  kActTextQuote, // a doubled quote inside a stored text
  kActLocusName, // the record's name until a VERSION line names it
  kActSequenceAfterLast,
};
static_assert(int(kActSequenceAfterLast) - 1 <= kActionSequenceLast,
              "sequence actions out of range");

// What a read fills; set by the reader before the grammar runs.
enum class SequenceReadKind { Sequence, Repeats, Interval };
void beginSequenceRead(Sequence *s, SequenceReadKind kind);
void endSequenceRead(); // releases what a failed read still holds

void registerSequenceActions();
