#include "view/manual.h"

extern const unsigned char kUserManual[]; // generated from docs/manual.txt

std::string_view userManual() {
  return std::string_view(reinterpret_cast<const char *>(kUserManual), VELK_MANUAL_SIZE);
}

std::string_view aboutText() {
  return "Version 1.4a\n"
         "Pairwise alignment of long DNA sequences:\n"
         "islands, local alignments, conflicts and a collinear chain.\n"
         "The user manual is under Help, and installed as manual.txt.";
}
