#include "core/residue.h"

const char kResidueLetters[] = "ACGTNNNNacgtnnnnacgtnnnnacgtnnnn*|{[}]}] %d";

uint8_t residueCode(char letter) {
  switch (letter) {
  case 'A': case 'a': return kBaseA;
  case 'C': case 'c': return kBaseC;
  case 'G': case 'g': return kBaseG;
  case 'T': case 't': return kBaseT;
  default: return kResN;
  }
}
