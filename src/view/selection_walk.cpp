#include "view/selection_walk.h"

#include <cstdlib>

#include "core/flags.h"
#include "core/session.h"

bool shownInWindow(const Hit *hit, const WindowRecord *w) {
  return hit->firstBlock && HitInArea(hit, w->region);
}

void moveSelection(WindowRecord *w, int n) {
  int count = 0, index = -1;
  Hit *first = nullptr;
  for (Hit *h = gHitHead1; h; h = h->next1) {
    if (!shownInWindow(h, w))
      continue;
    if (!first)
      first = h;
    if (h == w->selectedHit)
      index = count;
    ++count;
  }
  w->flagsB &= ~kOptNoHit;
  if (count == 0) {
    w->flagsB |= kOptNoHit;
    return;
  }
  // A selection outside the region starts again at the region's first hit.
  if (index < 0) {
    w->selectedHit = first;
    index = 0;
  }
  for (int k = std::abs(n); k > 0; --k) {
    Hit *h = w->selectedHit;
    if (n < 0 && index > 0) {
      do
        h = h->prev1;
      while (!shownInWindow(h, w));
      --index;
      --w->listCursor;
    } else if (n > 0 && index < count - 1) {
      do
        h = h->next1;
      while (!shownInWindow(h, w));
      ++index;
      ++w->listCursor;
    }
    w->selectedHit = h;
  }
  int &cursor = w->listCursor;
  if (cursor > index) {
    cursor = index;
  } else if (cursor < 1 && index > 0) {
    cursor += 1;
    return;
  }
  if (cursor >= w->listRows - 1 && index != count - 1)
    cursor -= 1;
}
