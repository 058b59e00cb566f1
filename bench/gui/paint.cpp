// Times the repaint of a window holding many hits: the whole view composed
// off screen by the painter and copied to the canvas, as every paint does.
// Needs a display (run under xvfb-run). Prints the mean time of 50 paints
// with N hits (default 10 000) and, as the reference of the same run, with
// no hit at all.
// Usage: bench_paint [N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/flags.h"
#include "core/pool.h"
#include "core/residue.h"
#include "core/session.h"
#include "engine/scores.h"
#include "gui/fonts.h"
#include "gui/velk_window.h"

namespace {

void fill(Sequence *seq, int which, int32_t length, std::mt19937 &rng) {
  poolInit(&gSeqPool[which]);
  seq->residues = static_cast<uint8_t *>(poolAlloc(&gSeqPool[which], size_t(length) + 1));
  for (int32_t i = 0; i < length; ++i)
    seq->residues[i] = uint8_t(rng() & 3);
  seq->length = length;
  seq->from = 1;
  seq->to = length;
  snprintf(seq->fileName, sizeof seq->fileName, "random%d.fa", which + 1);
}

// Hits of two blocks each, strewn near the diagonal, a tenth of them marked
// and in conflict so that every kind of shading is drawn.
void makeHits(int count, int32_t length, std::mt19937 &rng) {
  clearHits();
  for (int i = 0; i < count; ++i) {
    const int32_t s1 = int32_t(rng() % uint32_t(length - 400));
    const int32_t s2 =
        std::min<int32_t>(length - 400, std::max<int32_t>(0, s1 + int32_t(rng() % 2000) - 1000));
    Hit *h = allocateHit();
    h->start1 = s1, h->start2 = s2;
    HitBlock *a = allocateBlock(), *b = allocateBlock();
    a->x = 0, a->y = 0, a->length = 100, a->identities = 90;
    b->x = 110, b->y = 105, b->length = 200, b->identities = 170;
    a->next = b, b->prev = a;
    h->firstBlock = a;
    h->end1 = s1 + 310, h->end2 = s2 + 305;
  }
  rebuildLists(0, 0);
  int i = 0;
  for (Hit *h = gHitHead1; h; h = h->next1, ++i)
    if (i % 10 == 0)
      h->flags |= kHitSelAll | kHitConflict;
}

double paintMillis(VelkWindow *window, FXApp &app, int paints) {
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < paints; ++k) {
    window->getCanvas()->update();
    app.repaint();
    app.flush(true);
  }
  const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - start;
  return d.count() / paints;
}

} // namespace

int main(int argc, char **argv) {
  const int hits = argc > 1 ? atoi(argv[1]) : 10000;
  FXApp app("VelkBench", "");
  app.init(argc, argv, false);
  if (!app.openDisplay()) {
    fprintf(stderr, "bench_paint: no display\n");
    return 1;
  }
  initSessionMemory();
  buildResidueTables();
  gCurrent = &gSlots[0];
  resetSlotDefaults(gCurrent);
  VelkWindow *window = new VelkWindow(&app);
  gWindows[0] = window;
  app.create();
  createFonts(&app);
  std::mt19937 rng(3);
  const int32_t length = 1000000;
  fill(gSeq1, 0, length, rng);
  fill(gSeq2, 1, length, rng);
  WindowRecord *w = gCurrent;
  w->flagsA |= kWinSeq1 | kWinSeq2;
  w->block[0] = 1, w->block[1] = length, w->block[2] = 1, w->block[3] = length;
  w->region[0] = 0, w->region[1] = length, w->region[2] = 0, w->region[3] = length;
  w->window = window;
  window->show(PLACEMENT_DEFAULT);
  app.flush(true);
  while (app.runWhileEvents()) // mapped and laid out before timing
    if (window->shown() && window->getCanvas()->getHeight() > 100)
      break;

  clearHits();
  rebuildLists(0, 0);
  paintMillis(window, app, 3);
  const double empty = paintMillis(window, app, 50);
  makeHits(hits, length, rng);
  paintMillis(window, app, 3);
  const double full = paintMillis(window, app, 50);
  printf("paint, %d hits: %.2f ms (no hit: %.2f ms, ratio %.1f) over 50 paints, %dx%d canvas\n",
         hits, full, empty, empty > 0 ? full / empty : 0.0, window->getCanvas()->getWidth(),
         window->getCanvas()->getHeight());
  w->window = nullptr;
  gWindows[0] = nullptr;
  delete window;
  destroyFonts();
  return 0;
}
