// The step that brings a freshly read sequence in line with what was asked
// for: orientation, repeat marks and the interval to use.
#pragma once

struct Sequence;

void finishSequence(Sequence *s);

// The parts of it, for callers that change one request on a loaded sequence.
void invertComplement(Sequence *s); // reverse and complement in place
void markRepeats(Sequence *s, bool on);
void clampInterval(Sequence *s);
