// Loads the first record of two FASTA files as the session's sequences
// (upper-cased, so no residue carries the repeat mark). Test-only.
#pragma once
#include <string>

std::string readFastaRecord(const std::string &path); // empty when unreadable
bool loadFastaPair(const std::string &path1, const std::string &path2);
