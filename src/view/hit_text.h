// Texts the window shows for a hit: its row in the list of hit locations and
// the three rows of the alignment pane with flanking sequence.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Hit;
struct WindowRecord;

// " 87%  1 .. 950 (950)  20 .. 969 (950) ": identity, then from .. to
// (length) in each sequence, 1-based in the files' orientation. A hit of
// the other strand shows "-" before its identity, and its positions in
// sequence 2 run the other way.
std::string listRowText(const Hit *hit);

// Code of a gap in a pane column, and the bit that marks a flank residue.
constexpr uint8_t kPaneGap = 45;
constexpr uint8_t kPaneFlank = 64;

// Visits every column of the hit's alignment with its flanks: the left
// flank (leftFlank <= 0 columns), the blocks with the unaligned residues of
// the two sequences alternating between them, then the right flank.
template <typename Visit>
void paneWalk(const Hit *hit, int32_t leftFlank, int32_t rightFlank, Visit visit);

// Sequence 2's residue at the hit's start2, as the walk reads it: its own,
// or for a hit of the other strand that strand's, copied into `other` as
// far as the flanks reach.
const uint8_t *paneSequence2(const Hit *hit, int32_t leftFlank, int32_t rightFlank,
                             std::vector<uint8_t> &other);

// The pane as painted: three rows, and the first and last displayed
// residue offsets from the hit's starts in each sequence.
struct PaneText {
  std::string rows[3];
  int32_t first[2] = {0, 0}, last[2] = {0, 0};
};

// Computes the hit's flanks and column count when not yet known, clamps its
// first displayed column into range and fills the rows for `columns`.
void preparePane(Hit *hit, int32_t flanksLength, int32_t columns, PaneText &pane);

// A displayed position of the pane: offset from the start in sequence
// `which` (0 or 1), 1-based in the file's orientation.
int64_t panePosition(const Hit *hit, int which, int32_t offset);

#include "view/hit_text_walk.h"
