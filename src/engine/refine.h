// Refine: the solid stretches of a hit (anchors) stay; the loose parts
// between them are realigned globally and the gaps between blocks are slid
// to where they cost the fewest matches. Approved hits are never refined.
#pragma once
#include <cstdint>

#include "core/records.h"

// A solid stretch [start, end) of one block of a hit, offsets from the
// block's start.
struct RefineAnchor {
  Hit *hit;
  HitBlock *block;
  int32_t start, end;
};

// Fixed anchor rule, independent of the island parameters: every frame of
// 8 positions has at least 5 matches.
constexpr int32_t kAnchorFrame = 8;
constexpr int32_t kAnchorMatches = 5;
constexpr int32_t kAnchorMinPositions = 6; // shorter rests of a block are skipped
constexpr int32_t kAnchorBackOff = 7;      // a loose part may reach this far into an anchor
constexpr int32_t kRefineEdge = 8;         // the hit's outer positions stay as they are

void refineAction();

// Realigns the loose part between two anchors of one hit; a null anchor
// stands for the hit's start or end. `right` is updated to where its
// stretch lies afterwards. True when blocks were replaced.
bool refineBetween(RefineAnchor *left, RefineAnchor *right);

// Moves the gap between a block and its successor to where it loses fewest
// matches. True when it moved.
bool slideCut(Hit *hit, HitBlock *block);

// The next anchor at or after `offset` of `block`, searching on through the
// following blocks. False when there is none.
bool findAnchor(Hit *hit, HitBlock *block, int32_t offset, RefineAnchor *out);

// Links p -> n and moves n along its diagonal so that it starts where p
// ends in the sequence without a gap (kind 2 on the same diagonal).
void linkBlocks(HitBlock *p, HitBlock *n);

// Refine of one hit; true when its score ended higher.
bool refineHit(Hit *hit);
