#include "hit_builders.h"

#include "core/session.h"

Hit *makeTestHit(int32_t s1, int32_t e1, int32_t s2, int32_t e2) {
  Hit *h = allocateHit();
  h->start1 = s1;
  h->end1 = e1;
  h->start2 = s2;
  h->end2 = e2;
  HitBlock *b = allocateBlock();
  b->length = e1 - s1 < e2 - s2 ? e1 - s1 : e2 - s2;
  b->identities = b->length;
  b->blockScore = b->length * 100;
  h->firstBlock = b;
  return h;
}

std::vector<Hit *> mainListOrder() {
  std::vector<Hit *> v;
  for (Hit *h = gHitHead1; h; h = h->next1)
    v.push_back(h);
  return v;
}

std::vector<Hit *> secondListOrder() {
  std::vector<Hit *> v;
  for (Hit *h = gHitHead2; h; h = h->next2)
    v.push_back(h);
  return v;
}
