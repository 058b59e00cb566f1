#include "engine/trim.h"

#include "core/flags.h"
#include "core/hit_delete.h"
#include "core/session.h"
#include "core/ui_port.h"
#include "engine/columns.h"
#include "engine/scores.h"
#include "engine/search.h"

const ScoreParams *gTrimWeights = nullptr;

int32_t blockColumns(const HitBlock *b) {
  int32_t n = b->length;
  if (b->next) {
    int32_t room = b->linkKind == kLinkGapInX ? b->cut - b->y : b->cut - b->x;
    if (room < n)
      n = room;
  }
  return n > 0 ? n : 0;
}

int32_t countBlockIdentities(const Hit *hit, const HitBlock *b) {
  const uint8_t *s1 = gSeq1->residues + hit->start1 + b->x;
  const uint8_t *s2 = gSeq2->residues + hit->start2 + b->y;
  int32_t n = 0;
  for (int32_t k = 0, len = blockColumns(b); k < len; ++k)
    if (((s1[k] ^ s2[k]) & 3) == 0)
      ++n;
  return n;
}

void rebuildAroundSelected() {
  const Hit *s = gCurrent->selectedHit;
  if (s)
    rebuildLists(s->start1, s->start2);
  else
    rebuildLists(gCurrent->region[0], gCurrent->region[2]);
}

namespace {

// Maximal-score segment of the column walk. Positions count residues passed
// since the first block's start.
class TrimSink : public ColumnSink {
public:
  TrimSink(const ScoreParams &w, int32_t x, int32_t y)
      : w(w), pos1(x), pos2(y), cand1(x), cand2(y), bestStart1(x), bestStart2(y), bestEnd1(x),
        bestEnd2(y) {}

  void column(uint8_t r1, uint8_t r2) override {
    const bool gap = r1 == kGapCode || r2 == kGapCode;
    if (r1 != kGapCode)
      ++pos1;
    if (r2 != kGapCode)
      ++pos2;
    if (!gap) {
      gapRun = false;
      running += IdentityTable[r1 & 31][r2 & 31] ? w.match : w.mismatch;
    } else {
      if (!gapRun)
        running += w.gapOpen;
      running += w.gapElongation;
      gapRun = true;
    }
    if (running < 0) {
      running = 0;
      cand1 = pos1;
      cand2 = pos2;
    }
    if (running >= best) { // ties move the end later
      best = running;
      bestStart1 = cand1;
      bestStart2 = cand2;
      bestEnd1 = pos1;
      bestEnd2 = pos2;
    }
  }

  const ScoreParams &w;
  int32_t pos1, pos2, running = 0;
  int32_t cand1, cand2;
  int32_t best = 0, bestStart1, bestStart2, bestEnd1, bestEnd2;
  bool gapRun = false;
};

void freeFrom(HitBlock *b) {
  while (b) {
    HitBlock *next = b->next;
    freeBlock(b);
    b = next;
  }
}

} // namespace

bool trimHit(Hit *hit) {
  HitBlock *b = hit->firstBlock;
  if (!b) {
    deleteHit(hit);
    return true;
  }
  TrimSink sink(gTrimWeights ? *gTrimWeights : gCurrent->score, b->x, b->y);
  WalkHitColumns(hit, b, sink);
  const int32_t bs1 = sink.bestStart1, bs2 = sink.bestStart2;
  const int32_t be1 = sink.bestEnd1, be2 = sink.bestEnd2;
  if (be1 <= bs1) {
    deleteHit(hit);
    return true;
  }
  bool cut = false;
  while (b && b->x + blockColumns(b) <= bs1 && b->y + blockColumns(b) <= bs2) {
    HitBlock *next = b->next;
    freeBlock(b);
    b = next;
    cut = true;
  }
  if (!b) {
    hit->firstBlock = nullptr;
    deleteHit(hit);
    return true;
  }
  hit->firstBlock = b;
  b->prev = nullptr;
  int32_t shift = bs1 - b->x > bs2 - b->y ? bs1 - b->x : bs2 - b->y;
  if (shift > b->length)
    shift = b->length;
  if (shift > 0) {
    b->x += shift;
    b->y += shift;
    b->length -= shift;
    cut = true;
  }
  HitBlock *last = b;
  while (last->next && !(last->next->x >= be1 && last->next->y >= be2))
    last = last->next;
  int32_t columns = blockColumns(last);
  if (last->next) {
    freeFrom(last->next);
    last->next = nullptr;
    cut = true;
  }
  int32_t keep = be1 - last->x < be2 - last->y ? be1 - last->x : be2 - last->y;
  if (keep > columns)
    keep = columns;
  if (keep < 0)
    keep = 0;
  if (keep != last->length) {
    last->length = keep;
    cut = true;
  }
  last->linkKind = kLinkGapInY;
  last->cut = last->x + last->length;
  if (!cut)
    return false;

  b->identities = countBlockIdentities(hit, b);
  last->identities = countBlockIdentities(hit, last);
  const int32_t d1 = b->x, d2 = b->y;
  const int32_t end1 = last->x + last->length, end2 = last->y + last->length;
  for (HitBlock *p = b; p; p = p->next) {
    p->x -= d1;
    p->y -= d2;
    p->cut -= p->linkKind == kLinkGapInX ? d2 : d1;
    p->blockScore = (2 * p->identities - p->length) * 100;
    p->startX = p->x;
    p->startY = p->y;
    p->usedLength = p->length;
    p->usedMatches = p->identities;
  }
  hit->end1 = hit->start1 + end1;
  hit->end2 = hit->start2 + end2;
  hit->start1 += d1;
  hit->start2 += d2;
  hit->score = sink.best;
  hit->leftFlank = hit->rightFlank = hit->paneColumns = hit->paneFirstColumn = 0;
  return true;
}

void trimAction(bool all) {
  gTrimWeights = &gCurrent->score;
  int32_t area[4];
  actionArea(gCurrent, area);
  bool changed = false;
  for (Hit *h = gHitHead1, *next; h; h = next) {
    next = h->next1;
    if (!h->firstBlock || (h->flags & kHitApproved) || !HitInArea(h, area))
      continue;
    if (!all && !(h->flags & kHitNewFlag))
      continue;
    ++gCurrent->reportFirst;
    if (trimHit(h)) {
      ++gCurrent->reportSecond;
      changed = true;
    }
  }
  if (changed) {
    rebuildAroundSelected();
    ui()->requestRepaint();
  }
}
