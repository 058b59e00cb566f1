// Residue codes: one byte per residue. The base sits in the low two bits so
// that complementing is a single XOR; the higher bits are marks that travel
// with the residue through every copy.
#pragma once
#include <cstdint>

constexpr uint8_t kBaseA = 0, kBaseC = 1, kBaseG = 2, kBaseT = 3;
constexpr uint8_t kBaseMask = 0x03;
constexpr uint8_t kResN = 0x04;        // any letter other than A, C, G, T
constexpr uint8_t kResRepeat = 0x08;   // inside an annotated repeat
constexpr uint8_t kResFilter = 0x10;   // inside a segment of the filter
constexpr uint8_t kResSentinel = 0x20; // engine's end-of-region mark

// Letters for the 32 codes (marked residues in lower case), followed by the
// mark characters of the global output format ("*|{[}]}]") and " %d".
extern const char kResidueLetters[];

inline uint8_t complementResidue(uint8_t r) { return r ^ kBaseMask; }
// Reverses and complements n codes in place (an odd middle is complemented).
void reverseComplement(uint8_t *r, int64_t n);
inline char residueLetter(uint8_t r) { return kResidueLetters[r & 31]; }
// Code of a sequence-file letter (case-insensitive; anything else is N).
uint8_t residueCode(char letter);

// 1 where two codes are the same base and neither is N; marks are ignored.
extern int32_t IdentityTable[32][32];
void buildIdentityTable();
