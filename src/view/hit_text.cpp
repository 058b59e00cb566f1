#include "view/hit_text.h"

#include <algorithm>
#include <cstdio>

#include "core/flags.h"
#include "core/strands.h"

namespace {
// Whether positions along sequence `which` count from its end for this hit:
// an invert-complemented sequence, or the other strand of sequence 2.
bool countsFromEnd(const Hit *hit, int which) {
  const Sequence *s = which ? gSeq2 : gSeq1;
  return bool(s->flags & kSeqInvertRequested) != (which == 1 && onOtherStrand(hit));
}

// 1-based from and to of one side of a hit in its file's orientation.
void sideRange(const Sequence *s, bool fromEnd, int32_t start, int32_t end, int64_t &from,
               int64_t &to) {
  if (fromEnd) {
    from = int64_t(s->length) - start;
    to = int64_t(s->length) + 1 - end;
  } else {
    from = int64_t(start) + 1;
    to = end;
  }
}

char residueLetter(uint8_t code) {
  static const char kLetters[] = "ACGTNNNNacgtnnnnacgtnnnnacgtnnnn";
  return code == kPaneGap ? '-' : kLetters[code & 31];
}

char matchMark(uint8_t c1, uint8_t c2) {
  if (c1 == kPaneGap || c2 == kPaneGap || (c1 & 7) >= 4 || (c1 & 7) != (c2 & 7))
    return ' ';
  return (c1 & kPaneFlank) ? ':' : '|';
}
} // namespace

std::string listRowText(const Hit *hit) {
  const int64_t len1 = hit->end1 - hit->start1, len2 = hit->end2 - hit->start2;
  int64_t identities = 0;
  for (const HitBlock *b = hit->firstBlock; b; b = b->next)
    identities += b->identities;
  const int64_t longer = std::max<int64_t>(1, std::max(len1, len2));
  const int64_t identity = (longer / 2 + 100 * identities) / longer;
  int64_t from1, to1, from2, to2;
  sideRange(gSeq1, countsFromEnd(hit, 0), hit->start1, hit->end1, from1, to1);
  sideRange(gSeq2, countsFromEnd(hit, 1), hit->start2, hit->end2, from2, to2);
  char text[160];
  snprintf(text, sizeof text, " %s%lld%%  %lld .. %lld (%lld)  %lld .. %lld (%lld) ",
           onOtherStrand(hit) ? "-" : "", (long long)identity, (long long)from1, (long long)to1,
           (long long)len1, (long long)from2, (long long)to2, (long long)len2);
  return text;
}

int64_t panePosition(const Hit *hit, int which, int32_t offset) {
  const Sequence *s = which ? gSeq2 : gSeq1;
  const int64_t p = int64_t(which ? hit->start2 : hit->start1) + offset;
  return countsFromEnd(hit, which) ? s->length - p : p + 1;
}

const uint8_t *paneSequence2(const Hit *hit, int32_t leftFlank, int32_t rightFlank,
                             std::vector<uint8_t> &other) {
  if (!onOtherStrand(hit))
    return gSeq2->residues + hit->start2;
  const int32_t from = hit->start2 + std::min(0, leftFlank);
  otherStrandResidues(from, hit->end2 + std::max(0, rightFlank), other);
  return other.data() + (hit->start2 - from);
}

void preparePane(Hit *hit, int32_t flanksLength, int32_t columns, PaneText &pane) {
  int set = 0;
  if (hit->leftFlank == 0 && flanksLength != 0) {
    hit->leftFlank = -std::min({flanksLength, hit->start1, hit->start2});
    ++set;
  }
  if (hit->rightFlank == 0 && flanksLength != 0) {
    hit->rightFlank =
        std::min({flanksLength, gSeq1->length - hit->end1, gSeq2->length - hit->end2});
    ++set;
  }
  if (set == 2)
    hit->paneFirstColumn = 0;
  for (int round = 0; round < 2; ++round) {
    if (hit->paneFirstColumn + columns > hit->paneColumns)
      hit->paneFirstColumn = hit->paneColumns - columns;
    if (hit->paneFirstColumn < hit->leftFlank)
      hit->paneFirstColumn = hit->leftFlank;
    for (std::string &row : pane.rows)
      row.assign(size_t(std::max(0, columns)), ' ');
    int32_t column = hit->leftFlank, off1 = hit->leftFlank, off2 = hit->leftFlank;
    const int32_t shift = hit->paneFirstColumn;
    paneWalk(hit, hit->leftFlank, hit->rightFlank, [&](uint8_t c1, uint8_t c2) {
      const int32_t k = column - shift;
      if (k >= 0 && k < columns) {
        pane.rows[0][k] = residueLetter(c1);
        pane.rows[1][k] = matchMark(c1, c2);
        pane.rows[2][k] = residueLetter(c2);
        if (k == 0)
          pane.first[0] = off1, pane.first[1] = off2;
        pane.last[0] = off1, pane.last[1] = off2;
      }
      ++column;
      if (c1 != kPaneGap)
        ++off1;
      if (c2 != kPaneGap)
        ++off2;
    });
    if (hit->paneColumns != 0 || round == 1) {
      const int32_t shown = std::max(0, std::min(hit->paneColumns - hit->paneFirstColumn, columns));
      for (std::string &row : pane.rows)
        row.resize(size_t(shown));
      return;
    }
    hit->paneColumns = column;
  }
}
