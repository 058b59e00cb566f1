// The bulk of a sequence body, read straight from the data file in blocks
// once the line buffer is used up: a long sequence is nearly all of its
// file, and line-by-line input would cost several times the reading itself.
#pragma once
#include <cstddef>

struct ResidueCollector;

using BodyProgress = void (*)(void *window, long position, long size);

// Collects residues until a character ends the sequence or the file ends.
// Comment lines ("!" at a line start) are skipped and lines counted as the
// line input does; afterwards the line buffer holds the line in which the
// sequence ended, from its ending character on, or the end-of-file mark, and
// the file continues after it. `progress` (may be null) gets the position
// before each block, doubled for a FASTA file, in hundreds of bytes for a
// file larger than 20 000 000 bytes.
void readBodyBlocks(ResidueCollector *c, bool fasta, BodyProgress progress);

// Reads blocks of at most `bytes` (1 to 65 536; 0 restores the default) so
// that tests and the fuzzer reach the block boundaries with small files.
void setBodyBlockBytes(size_t bytes);
