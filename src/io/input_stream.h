// Sequence files as people keep them: gzip-compressed (known by the first
// two bytes of the file, whatever its name) and many records to a file.
//
// A compressed file reads through a stdio stream of its own, so every
// reader keeps working on a FILE. The stream keeps the text it has just
// handed out: the readers step back over a block they read too far, and
// the record search steps back to the start of a record's first line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// `raw` as the grammar reads it: itself, or a stream of its uncompressed
// text that owns `raw` (closing it closes both). Damage found while
// reading is reported as fatal error 67 with `place`.
FILE *openDecompressed(FILE *raw, const char *fileName, const char *place);
bool isDecompressed(FILE *f);

// Position in the file on disk, for progress: for a compressed stream the
// compressed bytes consumed so far.
long sourcePosition(FILE *f);

// Raises the damaged-file error when a compressed stream has met damage.
void checkStreamDamage(FILE *f);
// The same after reading what is left of a compressed stream.
void checkWholeStream(FILE *f);

// True when the file is gzip-compressed and its whole stream is sound (or
// not compressed at all, or not readable: the read says so). A damaged
// stream is reported as fatal error 67 with `place` before anything of
// the session is touched.
bool verifyCompressedFile(const char *fileName, const char *place);

// The records of a file, in order; each with the names it answers to
// (FASTA: the first word of its header; GenBank: LOCUS, ACCESSION and
// VERSION) and the name it is known by (FASTA the first word, GenBank the
// VERSION identifier, else the LOCUS name).
struct RecordEntry {
  std::string name;
  std::vector<std::string> aliases;
  int64_t offset = 0; // of its first line
  long line = 0;      // lines before it
};

// The record chosen by `choice` ("#N": the Nth; a name; digits that name no
// record: the Nth). What the search found.
struct RecordFound {
  int index = 0; // 1-based
  long line = 0; // lines before the record
  std::string name;
  std::string canonical; // the choice that finds it again: its name, or "#N"
};

// A data read's choice of record: "" reads the file from its start.
struct RecordRequest {
  const char *choice = "";
  RecordFound found;
  // A compressed file is read to its end after the record, to be sure it is
  // sound; a second read of a file just checked need not.
  bool checkWhole = true;
};

// Positions `f` at the first line of the chosen record. An unknown choice
// is fatal error 68, its message listing the first names of the file.
void seekRecord(FILE *f, const char *choice, RecordFound &found, const char *fileName,
                const char *place);

// Up to `keep` records of the file (all of them are counted in *total).
// False when the file cannot be read.
bool listRecords(const char *fileName, std::vector<RecordEntry> &records, size_t keep,
                 size_t *total);
