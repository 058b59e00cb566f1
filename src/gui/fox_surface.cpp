#include "gui/fox_surface.h"

#include <vector>

#include "gui/fonts.h"

namespace {
FXFont *fontOf(int font) { return gFonts[(font >= 1 && font <= 4 ? font : 2) - 1]; }
} // namespace

int FoxMetrics::textWidth(int font, std::string_view text) const {
  return fontOf(font)->getTextWidth(text.data(), FXuint(text.size()));
}

int FoxMetrics::fontHeight(int font) const { return fontOf(font)->getFontHeight(); }

int FoxMetrics::fontAscent(int font) const { return fontOf(font)->getFontAscent(); }

void FoxSurface::setForeground(Rgb c) { dc.setForeground(FXRGB(c.r, c.g, c.b)); }

void FoxSurface::setFont(int font) { dc.setFont(fontOf(font)); }

void FoxSurface::setClip(int x, int y, int w, int h) { dc.setClipRectangle(x, y, w, h); }

void FoxSurface::setFunction(DrawFunction f) {
  dc.setFunction(f == DrawFunction::Xor ? BLT_SRC_XOR_DST : BLT_SRC);
}

void FoxSurface::setLineStyle(LineStyle style) {
  dc.setLineStyle(style == LineStyle::Dash ? LINE_ONOFF_DASH : LINE_SOLID);
}

void FoxSurface::drawLine(int x1, int y1, int x2, int y2) { dc.drawLine(x1, y1, x2, y2); }

void FoxSurface::drawLines(const SurfacePoint *points, int count) {
  std::vector<FXPoint> p(size_t(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i)
    p[size_t(i)] = FXPoint(FXshort(points[i].x), FXshort(points[i].y));
  dc.drawLines(p.data(), FXuint(p.size()));
}

void FoxSurface::fillRectangle(int x, int y, int w, int h) {
  if (w > 0 && h > 0)
    dc.fillRectangle(x, y, w, h);
}

void FoxSurface::drawText(int x, int baseline, std::string_view text) {
  if (!text.empty())
    dc.drawText(x, baseline, text.data(), FXuint(text.size()));
}
