// Sequence files: FASTA (first record) and GenBank with their feature
// annotations, and the repeat annotations read in a second pass over the
// same file. All of it runs on the data reader of the reader engine.
#pragma once

struct Sequence;

// Fills the record from its file: residues, definition, accession, GI and
// the CDS, gene, UTR, exon and mRNA annotations. 1 on success, otherwise the
// code of the error that ended the read (already shown).
int readSequence(Sequence *s);

// The repeat_region annotations of the record's repeat-source file. 2 without
// reading when the sequence is not read or empty, 1 without reading when
// there is no repeat source, else the read's result.
int readRepeats(Sequence *s);

// The typed interval ("100..250", "250-100", " 1 - 100") of the input
// dialog, already in the line buffer with its line end. On success (1) the
// record's from and to are set; otherwise (2 or an error code) they stay.
int parseInterval(Sequence *s);
// The same from a text (a line end is added).
int parseIntervalText(Sequence *s, const char *text);

// Registers the grammars, actions and recognisers of the sequence readers
// with the reader engine; idempotent.
void ensureSequenceGrammars();
