// Layer 7 of 8, view: layout, geometry, painter and drawing surfaces,
// without the toolkit. Uses core to session.
//
// Where the painter draws: a window's off-screen image, a printer page or a
// picture file. The painter knows nothing else about its target, so screen,
// print and picture output share one drawing of the view.
#pragma once
#include <cstdint>
#include <string_view>

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

struct SurfacePoint {
  int x = 0, y = 0;
};

enum class LineStyle { Solid, Dash };
enum class DrawFunction { Copy, Xor };

// The view's four fonts: 1 list ("times" 9), 2 axis labels ("courier" 10),
// 3 pane and information line ("courier" 11), 4 header ("times" 12).
enum { kFontList = 1, kFontAxis = 2, kFontPane = 3, kFontHeader = 4 };

// Text measurement, separate from drawing so layout can run without a target.
class FontMetrics {
public:
  virtual ~FontMetrics() = default;
  virtual int textWidth(int font, std::string_view text) const = 0;
  virtual int fontHeight(int font) const = 0;
  virtual int fontAscent(int font) const = 0;
};

class DrawingSurface : public FontMetrics {
public:
  virtual void setForeground(Rgb colour) = 0;
  virtual void setFont(int font) = 0;
  virtual void setClip(int x, int y, int w, int h) = 0;
  virtual void setFunction(DrawFunction function) = 0;
  virtual void setLineStyle(LineStyle style) = 0;
  virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
  // Open polyline through the points, in order.
  virtual void drawLines(const SurfacePoint *points, int count) = 0;
  virtual void fillRectangle(int x, int y, int w, int h) = 0;
  // `x` is the left end of the text, `baseline` its baseline.
  virtual void drawText(int x, int baseline, std::string_view text) = 0;
};
