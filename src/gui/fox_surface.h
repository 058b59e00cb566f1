// The drawing surface on the toolkit: a window's off-screen image, its
// canvas during an action, or a printer context, with the four fonts'
// metrics taken from the toolkit's fonts.
#pragma once
#include <fx.h>

#include "view/surface.h"

class FoxMetrics : public FontMetrics {
public:
  int textWidth(int font, std::string_view text) const override;
  int fontHeight(int font) const override;
  int fontAscent(int font) const override;
};

class FoxSurface : public DrawingSurface {
public:
  explicit FoxSurface(FXDC &dc) : dc(dc) {}
  int textWidth(int font, std::string_view text) const override {
    return metrics.textWidth(font, text);
  }
  int fontHeight(int font) const override { return metrics.fontHeight(font); }
  int fontAscent(int font) const override { return metrics.fontAscent(font); }
  void setForeground(Rgb colour) override;
  void setFont(int font) override;
  void setClip(int x, int y, int w, int h) override;
  void setFunction(DrawFunction function) override;
  void setLineStyle(LineStyle style) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  void drawLines(const SurfacePoint *points, int count) override;
  void fillRectangle(int x, int y, int w, int h) override;
  void drawText(int x, int baseline, std::string_view text) override;

private:
  FXDC &dc;
  FoxMetrics metrics;
};
