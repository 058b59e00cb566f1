// The second set of hits: alignments of sequence 1 with the other strand of
// sequence 2, found by Align on both strands. They are kept apart from the
// session's hits (the main and second lists), so that conflicts, chains and
// every action on the session's hits keep their meaning; the view draws,
// lists and selects them, Delete and Move to footnotes remove them, the
// writers save them in a section of their own, and Reverse exchanges the
// two sets.
//
// A hit of the second set counts its sequence-2 positions along the other
// strand: its index i there is residue length2 - 1 - i of sequence 2 as it
// stands. Turned to that strand (turnSequence2Residues), sequence 2 holds
// its residues at those indices, so every walk made for the session's hits
// reads it unchanged.
#pragma once
#include <cstdint>
#include <vector>

#include "core/flags.h"
#include "core/records.h"
#include "core/session.h"

extern HitList gOther;

inline bool onOtherStrand(const Hit *h) { return (h->flags & kHitOtherStrand) != 0; }

// Every hit of the second set back to the store.
void clearOtherStrand();

// Moves the hits of the session's list that carry kHitOtherStrand into the
// second set and sorts it (readers build both sets on the one list).
void adoptOtherStrandHits();
void sortOtherStrand();

// A hit of the second set in an area given along sequence 2 as it stands.
bool otherHitInArea(const Hit *h, const int32_t area[4]);
// A hit of either set in the area (the session's test, or the one above).
bool anyHitInArea(const Hit *h, const int32_t area[4]);

// Residues of the other strand at its indices [from, to), into `out`.
void otherStrandResidues(int32_t from, int32_t to, std::vector<uint8_t> &out);

// Reverses and complements sequence 2's residues and toggles its invert
// request and state: nothing else. Twice is the identity.
void turnSequence2Residues();

// Sequence 2 read along its other strand for the life of the object, so
// that second-set hits can be counted and printed by the same walks.
class OtherStrandResidues {
public:
  OtherStrandResidues() { turnSequence2Residues(); }
  ~OtherStrandResidues() { turnSequence2Residues(); }
  OtherStrandResidues(const OtherStrandResidues &) = delete;
  OtherStrandResidues &operator=(const OtherStrandResidues &) = delete;
};

// The session turned to the other strand: the residues, and every open
// window's region, selected area and remembered point along sequence 2.
void turnSequence2();

// The session's hits and the second set change places; blockless records
// (placeholder, regions) are dropped and conflict marks cleared. Both sets
// are left unsorted: the caller rebuilds the lists.
void exchangeHitSets();

// Set while Align searches the other strand with the sets exchanged, so that
// a repaint meanwhile keeps each set's colour.
extern bool gStrandPassRunning;
