// The check tests/e2e/check_rows.py makes on golden files, for the files
// the fuzz targets save: every hit of a local or footnotes file, of either
// strand, has the counts, score and coordinates of its printed rows; no
// column holds two gaps, no hit ends in a gap; and, when asked, no gap in one
// sequence stands beside a gap in the other.
#pragma once
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace fuzz {

struct RowCounts {
  long matches = 0, mismatches = 0, gaps = 0, gapLength = 0;
};

// A header line whole, or false.
inline bool scoreLine(const std::string &line, long v[5]) {
  int end = -1;
  sscanf(line.c_str(), "Score: %ld, Matches: %ld, Mismatches: %ld, Gaps #: %ld Gaps length: %ld%n",
         &v[0], &v[1], &v[2], &v[3], &v[4], &end);
  return end >= 0 && size_t(end) == line.size();
}

inline bool coordinateLine(const std::string &line, long v[6]) {
  int end = -1;
  sscanf(line.c_str(), " 1st: %ld .. %ld (%ld) 2nd: %ld .. %ld (%ld)%n", &v[0], &v[1], &v[2], &v[3],
         &v[4], &v[5], &end);
  return end > 0 && line.compare(0, 5, "     ") == 0;
}

// The first fault of one hit's joined rows, or "".
inline std::string rowFault(const std::string &top, const std::string &bottom, const long head[5],
                            const long *coords, bool oppositeGaps) {
  if (top.size() != bottom.size())
    return "rows of unequal length";
  RowCounts c;
  long pending = 0;
  int previous = 0;
  for (size_t i = 0; i < top.size(); ++i) {
    const char a = char(toupper(top[i])), b = char(toupper(bottom[i]));
    if (a == '-' && b == '-')
      return "a column of two gaps";
    const int kind = a == '-' ? 1 : b == '-' ? 2 : 0;
    if (oppositeGaps && kind && previous && kind != previous)
      return "opposite gaps side by side";
    previous = kind;
    if (kind) {
      ++pending;
      continue;
    }
    ++(a == b && a != 'N' ? c.matches : c.mismatches);
    if (pending) {
      ++c.gaps;
      c.gapLength += pending;
      pending = 0;
    }
  }
  if (pending)
    return "a gap at the end";
  if (head[1] != c.matches || head[2] != c.mismatches || head[3] != c.gaps ||
      head[4] != c.gapLength)
    return "header counts differ from the rows'";
  // The score line rounds the hundredths half up, truncating toward zero.
  const long score = c.matches - c.mismatches - 3 * c.gaps - c.gapLength;
  if (head[0] != (score < 0 ? score + 1 : score))
    return "header score differs from the rows'";
  if (coords) {
    long r1 = 0, r2 = 0;
    for (size_t i = 0; i < top.size(); ++i) {
      r1 += top[i] != '-';
      r2 += bottom[i] != '-';
    }
    if (labs(coords[1] - coords[0]) + 1 != r1 || coords[2] != r1 ||
        labs(coords[4] - coords[3]) + 1 != r2 || coords[5] != r2)
      return "coordinates differ from the rows' residues";
  }
  return "";
}

// The first fault of the file, with its place, or ""; a file without hits
// has none.
inline std::string rowsFault(const std::string &path, bool oppositeGaps) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  long head[5], coords[6], other[5];
  for (size_t i = 0; i < lines.size();) {
    if (!scoreLine(lines[i], head)) {
      ++i;
      continue;
    }
    const bool hasCoords = i + 1 < lines.size() && coordinateLine(lines[i + 1], coords);
    i += 2;
    std::string top, bottom;
    while (i + 2 < lines.size() && !lines[i].empty() && !scoreLine(lines[i], other)) {
      top += lines[i];
      bottom += lines[i + 2];
      i += 4;
    }
    const std::string fault =
        rowFault(top, bottom, head, hasCoords ? coords : nullptr, oppositeGaps);
    if (!fault.empty())
      return path + ": hit ending on line " + std::to_string(i) + ": " + fault;
  }
  return "";
}

// Aborts on the first fault of the file, after printing it.
inline void checkRows(const std::string &path, bool oppositeGaps) {
  const std::string fault = rowsFault(path, oppositeGaps);
  if (!fault.empty()) {
    fprintf(stderr, "%s\n", fault.c_str());
    abort();
  }
}

} // namespace fuzz
