#include "core/residue.h"

const char kResidueLetters[] = "ACGTNNNNacgtnnnnacgtnnnnacgtnnnn*|{[}]}] %d";

uint8_t residueCode(char letter) {
  switch (letter) {
  case 'A':
  case 'a':
    return kBaseA;
  case 'C':
  case 'c':
    return kBaseC;
  case 'G':
  case 'g':
    return kBaseG;
  case 'T':
  case 't':
    return kBaseT;
  default:
    return kResN;
  }
}

void reverseComplement(uint8_t *r, int64_t n) {
  if (!r || n <= 0)
    return;
  uint8_t *a = r, *b = r + n - 1;
  for (; a < b; ++a, --b) {
    const uint8_t t = complementResidue(*a);
    *a = complementResidue(*b);
    *b = t;
  }
  if (a == b)
    *a = complementResidue(*a);
}

int32_t IdentityTable[32][32];

void buildIdentityTable() {
  for (int a = 0; a < 32; ++a)
    for (int b = 0; b < 32; ++b)
      IdentityTable[a][b] = ((a & 3) == (b & 3) && !(a & 4) && !(b & 4)) ? 1 : 0;
}
