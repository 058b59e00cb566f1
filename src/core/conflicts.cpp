#include "core/conflicts.h"

#include <algorithm>
#include <cstdio>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"
#include "core/ui_port.h"

// One pass per list order: a hit conflicts when it overlaps its successor
// along the order's sequence, or starts in the other sequence before some
// earlier hit of the order has ended there.
void MarkConflicts() {
  for (Hit *h = gHitHead1; h; h = h->next1)
    h->flags &= ~kHitConflict;
  if (!gHitHead1 || !gHitHead2)
    return;
  int32_t reach = gHitHead2->start2 - 1;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    Hit *n = h->next1;
    if ((n && h->end1 > n->start1) || h->start2 < reach)
      h->flags |= kHitConflict;
    reach = std::max(reach, h->end2);
  }
  reach = gHitHead1->start1 - 1;
  for (Hit *h = gHitHead2; h; h = h->next2) {
    Hit *n = h->next2;
    if ((n && h->end2 > n->start2) || h->start1 < reach)
      h->flags |= kHitConflict;
    reach = std::max(reach, h->end1);
  }
}

void CountWindowHits() {
  WindowRecord *w = gCurrent;
  if (!(w->flagsA & kWinRecount))
    return;
  w->flagsA &= ~kWinRecount;
  int32_t total = 0, conflicting = 0;
  for (const Hit *h = gHitHead1; h; h = h->next1) {
    if (!h->firstBlock || !HitInArea(h, w->region))
      continue;
    ++total;
    if (h->flags & kHitConflict)
      ++conflicting;
  }
  w->hitCount = total;
  w->conflictCount = conflicting;
  int32_t reverse = 0;
  for (const Hit *h = gOther.head1; h; h = h->next1)
    if (h->firstBlock && otherHitInArea(h, w->region))
      ++reverse;
  w->reverseCount = reverse;
}

bool ConfirmConflictLimit(int32_t limit, const char *name) {
  CountWindowHits();
  if (gCurrent->conflictCount < limit)
    return true;
  char text[256];
  snprintf(text, sizeof text,
           "Number of conflicts exceed %d.\n%s can take a while.\nDo you still want to continue?",
           limit, name);
  return ui()->messageBox("Sorry", text, Buttons::YesNo, kAnswerYes) == kAnswerYes;
}
