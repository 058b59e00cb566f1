#include "fasta_pair.h"

#include <cctype>
#include <fstream>

#include "seq_builders.h"

std::string readFastaRecord(const std::string &path) {
  std::ifstream in(path);
  std::string line, residues;
  bool inRecord = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      if (inRecord)
        break;
      inRecord = true;
      continue;
    }
    for (char c : line)
      if (std::isalpha(static_cast<unsigned char>(c)))
        residues += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return residues;
}

bool loadFastaPair(const std::string &path1, const std::string &path2) {
  const std::string a = readFastaRecord(path1), b = readFastaRecord(path2);
  if (a.empty() || b.empty())
    return false;
  loadTestSequences(a.c_str(), b.c_str());
  return true;
}
