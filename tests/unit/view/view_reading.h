// A window painted on a recording surface, read back as a user reads it:
// the numbers along each axis and the tick marks they stand at.
#pragma once
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/flags.h"
#include "core/session.h"
#include "seq_builders.h"
#include "test_surface.h"
#include "view/layout.h"
#include "view/painter.h"

struct AxisLabel {
  long long value;
  int tick;   // x (horizontal axis) or y (vertical axis) of its tick mark
  int lo, hi; // the label's extent along the axis
};

struct AxisReading {
  std::vector<AxisLabel> horizontal, vertical; // in drawing order
};

// Both sequences of `length1` and `length2` residues (only their lengths
// matter to a window without hits), the current window on from..to of each.
inline WindowRecord *windowOn(int32_t from1, int32_t to1, int32_t length1, int32_t from2,
                              int32_t to2, int32_t length2) {
  loadTestSequences("ACGT", "ACGT");
  gSeq1->length = length1;
  gSeq2->length = length2;
  gCurrent = &gSlots[0];
  WindowRecord *w = gCurrent;
  *w = WindowRecord{};
  w->flagsA = kWinSeq1 | kWinSeq2;
  w->block[0] = from1, w->block[1] = to1, w->block[2] = from2, w->block[3] = to2;
  w->region[0] = from1 - 1, w->region[1] = to1, w->region[2] = from2 - 1, w->region[3] = to2;
  snprintf(gSeq1->fileName, sizeof gSeq1->fileName, "one.fa");
  snprintf(gSeq2->fileName, sizeof gSeq2->fileName, "two.fa");
  return w;
}

inline void paintAt(WindowRecord *w, RecordingSurface &s, int width, int height) {
  const ViewArea area{0, 0, width, height};
  layOutView(w, FixedMetrics(), area);
  paintView(w, s, area, Rgb{212, 208, 200});
}

// Labels are the axis font's numbers: those on the lowest baseline belong to
// the horizontal axis. Each stands at the nearest short black tick line.
inline AxisReading readAxes(const RecordingSurface &s) {
  const FixedMetrics fm;
  const int h2 = fm.fontHeight(kFontAxis), ascent = fm.fontAscent(kFontAxis);
  int bottom = INT_MIN;
  for (const auto &t : s.texts)
    if (t.font == kFontAxis && isdigit(static_cast<unsigned char>(t.text[0])))
      bottom = std::max(bottom, t.baseline);
  AxisReading r;
  for (const auto &t : s.texts) {
    if (t.font != kFontAxis || !isdigit(static_cast<unsigned char>(t.text[0])))
      continue;
    const bool across = t.baseline == bottom;
    const int width = fm.textWidth(kFontAxis, t.text);
    const int top = t.baseline - ascent;
    const int centre = across ? t.x + width / 2 : top + h2 / 2;
    int best = INT_MAX, tick = 0;
    for (const auto &l : s.lines) {
      if (!(l.colour == kBlack))
        continue;
      const bool mark = across ? l.x1 == l.x2 && std::abs(l.y2 - l.y1) <= h2
                               : l.y1 == l.y2 && std::abs(l.x2 - l.x1) <= h2;
      const int at = across ? l.x1 : l.y1;
      if (mark && std::abs(at - centre) < best)
        best = std::abs(at - centre), tick = at;
    }
    AxisLabel label{std::stoll(t.text), tick, across ? t.x : top, across ? t.x + width : top + h2};
    (across ? r.horizontal : r.vertical).push_back(label);
  }
  return r;
}

inline std::vector<long long> values(const std::vector<AxisLabel> &labels) {
  std::vector<long long> v;
  for (const AxisLabel &l : labels)
    v.push_back(l.value);
  return v;
}
