#include "local_format_check.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/flags.h"
#include "core/residue.h"
#include "core/session.h"

namespace {
struct ParsedHit {
  int score = 0, matches = 0, mismatches = 0, gaps = 0, gapLength = 0;
  unsigned from[2] = {0, 0}, to[2] = {0, 0};
  int length[2] = {0, 0};
  std::string rows[2], middle;
};

// The residues of sequence `which` from file position `from` on, `n` of
// them, as letters (an inverted sequence counts down in file positions).
std::string residuesAt(int which, unsigned from, int n) {
  const Sequence *s = sequenceOf(which);
  bool inverted = s->flags & kSeqInverted;
  int index = inverted ? s->length - static_cast<int>(from) : static_cast<int>(from) - 1;
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (index + i < 0 || index + i >= s->length)
      return out + "?";
    out += residueLetter(s->residues[index + i]);
  }
  return out;
}

std::string checkHit(const ParsedHit &h, int number) {
  char where[32];
  snprintf(where, sizeof where, "hit %d: ", number);
  const std::string &r1 = h.rows[0], &r2 = h.rows[1];
  if (r1.size() != r2.size() || h.middle.size() != r1.size())
    return where + std::string("rows of unequal length");
  int matches = 0, mismatches = 0, gaps = 0, gapLength = 0, run = 0;
  char gapSide = 0; // the row of the gap in the previous column
  std::string bare[2];
  for (size_t i = 0; i < r1.size(); ++i) {
    char a = r1[i], b = r2[i];
    char side = a == '-' ? 1 : b == '-' ? 2 : 0;
    if (side && gapSide && side != gapSide)
      return where + std::string("opposite gaps side by side at column ") + std::to_string(i + 1);
    gapSide = side;
    if (a != '-')
      bare[0] += a;
    if (b != '-')
      bare[1] += b;
    bool pair = a != '-' && b != '-';
    bool same = pair && (a | 0x20) == (b | 0x20) && (a | 0x20) != 'n';
    if (h.middle[i] != (same ? '|' : ' '))
      return where + std::string("middle mark of column ") + std::to_string(i + 1);
    if (!pair) {
      ++run;
      continue;
    }
    (same ? matches : mismatches)++;
    if (run) {
      ++gaps;
      gapLength += run;
      run = 0;
    }
  }
  for (int k = 0; k < 2; ++k) {
    if (static_cast<int>(bare[k].size()) != h.length[k])
      return where + std::string("length of sequence ") + std::to_string(k + 1);
    unsigned span = h.to[k] > h.from[k] ? h.to[k] - h.from[k] : h.from[k] - h.to[k];
    if (static_cast<int>(span) + 1 != h.length[k])
      return where + std::string("interval of sequence ") + std::to_string(k + 1);
    if (residuesAt(k, h.from[k], h.length[k]) != bare[k])
      return where + std::string("residues of sequence ") + std::to_string(k + 1);
  }
  if (matches != h.matches || mismatches != h.mismatches || gaps != h.gaps ||
      gapLength != h.gapLength)
    return where + std::string("counts");
  int score = 100 * (matches - mismatches - 3 * gaps - gapLength);
  if ((score + 50) / 100 != h.score)
    return where + std::string("score");
  return "";
}
} // namespace

std::string checkLocalFile(const std::string &path, int *hits) {
  std::ifstream in(path);
  if (!in)
    return "cannot read " + path;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  int count = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, 7, "Score: ") != 0)
      continue;
    ParsedHit h;
    if (sscanf(lines[i].c_str(),
               "Score: %d, Matches: %d, Mismatches: %d, Gaps #: %d Gaps length: %d", &h.score,
               &h.matches, &h.mismatches, &h.gaps, &h.gapLength) != 5 ||
        i + 1 >= lines.size() ||
        sscanf(lines[i + 1].c_str(), "     1st: %u .. %u (%d)   2nd: %u .. %u (%d)", &h.from[0],
               &h.to[0], &h.length[0], &h.from[1], &h.to[1], &h.length[1]) != 6)
      return "hit " + std::to_string(count + 1) + ": score or coordinate line";
    size_t j = i + 2;
    // Groups of three lines and a blank line, up to the next hit.
    while (j + 2 < lines.size() && !lines[j].empty() && lines[j].compare(0, 7, "Score: ") != 0) {
      // Every group but the last is full.
      if (lines[j].size() > 100 || (!h.rows[0].empty() && h.rows[0].size() % 100 != 0))
        return "hit " + std::to_string(count + 1) + ": group not of 100 columns";
      h.rows[0] += lines[j];
      h.middle += lines[j + 1];
      h.rows[1] += lines[j + 2];
      j += 4;
    }
    ++count;
    std::string fault = checkHit(h, count);
    if (!fault.empty())
      return fault;
    i = j - 1;
  }
  if (hits)
    *hits = count;
  return "";
}
