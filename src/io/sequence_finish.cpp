#include "io/sequence_finish.h"

#include "core/flags.h"
#include "core/records.h"
#include "core/residue.h"

void invertComplement(Sequence *s) { reverseComplement(s->residues, s->length); }

void markRepeats(Sequence *s, bool on) {
  if (!s->residues || s->length <= 0)
    return;
  bool inverted = s->flags & kSeqInverted;
  for (const Annotation *a = s->repeats; a; a = a->next) {
    if ((a->kind & ~kAnnComplement) != kAnnRepeat || a->coordinateCount < 2)
      continue;
    // Clamped after every read, but a list may be edited since: clamp again.
    int64_t first = a->coordinates[0], second = a->coordinates[1];
    if (first < 1)
      first = 1;
    if (second > s->length)
      second = s->length;
    int64_t lo = first - 1, hi = second - 1;
    if (inverted) {
      lo = s->length - second;
      hi = s->length - first;
    }
    for (int64_t i = lo; i <= hi; ++i) {
      if (on)
        s->residues[i] |= kResRepeat;
      else
        s->residues[i] &= uint8_t(~kResRepeat);
    }
  }
}

void clampInterval(Sequence *s) {
  if (s->from == 0)
    s->from = 1;
  if (s->to == 0)
    s->to = s->length;
  if (s->from > s->to) {
    int32_t t = s->from;
    s->from = s->to;
    s->to = t;
  }
  // Both bounds, so that an interval lying past the end cannot come out
  // reversed.
  auto clamp = [s](int32_t v) { return v < 1 ? 1 : v > s->length ? s->length : v; };
  s->from = clamp(s->from);
  s->to = clamp(s->to);
}

void finishSequence(Sequence *s) {
  if (bool(s->flags & kSeqInvertRequested) != bool(s->flags & kSeqInverted)) {
    invertComplement(s);
    s->flags ^= kSeqInverted;
  }
  bool wanted = s->flags & kSeqMarkRepeats;
  if (wanted != bool(s->flags & kSeqRepeatsMarked)) {
    markRepeats(s, wanted);
    s->flags ^= kSeqRepeatsMarked;
  }
  clampInterval(s);
}
