#include "view/selection_walk.h"

#include <cstdlib>

#include "core/flags.h"
#include "core/session.h"
#include "core/strands.h"

bool shownInWindow(const Hit *hit, const WindowRecord *w) {
  return hit->firstBlock && anyHitInArea(hit, w->region);
}

namespace {
// The next hit of the list from h (h included), or null.
Hit *shownFrom(const WindowRecord *w, Hit *h) {
  for (; h; h = h->next1)
    if (shownInWindow(h, w))
      return h;
  return nullptr;
}
Hit *shownBefore(const WindowRecord *w, Hit *h) {
  for (; h; h = h->prev1)
    if (shownInWindow(h, w))
      return h;
  return nullptr;
}
} // namespace

Hit *firstListed(const WindowRecord *w) {
  Hit *h = shownFrom(w, gHitHead1);
  return h ? h : shownFrom(w, gOther.head1);
}

Hit *nextListed(const WindowRecord *w, const Hit *hit) {
  Hit *h = shownFrom(w, hit->next1);
  return h || onOtherStrand(hit) ? h : shownFrom(w, gOther.head1);
}

Hit *previousListed(const WindowRecord *w, const Hit *hit) {
  Hit *h = shownBefore(w, hit->prev1);
  return h || !onOtherStrand(hit) ? h : shownBefore(w, gHitTail1);
}

void moveSelection(WindowRecord *w, int n) {
  int count = 0, index = -1;
  Hit *first = firstListed(w);
  for (Hit *h = first; h; h = nextListed(w, h)) {
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
      h = previousListed(w, h);
      --index;
      --w->listCursor;
    } else if (n > 0 && index < count - 1) {
      h = nextListed(w, h);
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
