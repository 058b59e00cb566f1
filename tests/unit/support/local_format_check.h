// Self-consistency of a saved local-format file against the sequences of
// the session: every hit's rows, with their gaps taken out, must be the
// residues at the positions its coordinate line states, and the figures of
// its score line must agree with its columns, and no gap may stand beside a
// gap in the other sequence.
#pragma once
#include <string>

// "" when the file is consistent, else a description of the first fault.
// `hits` receives the number of hits read.
std::string checkLocalFile(const std::string &path, int *hits = nullptr);
