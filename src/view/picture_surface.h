// Drawing surfaces that write a document instead of pixels: PostScript for
// printing and for picture files, SVG for picture files. Both take their
// text sizes from AFM metrics, so no display is needed.
#pragma once
#include <string>

#include "view/afm_metrics.h"
#include "view/surface.h"

// "(", ")" and "\" escaped, other bytes outside printable ASCII as octal:
// any text becomes a valid PostScript string body.
std::string escapePostScript(std::string_view text);
// The five XML specials escaped, bytes outside ASCII as Latin-1 references.
std::string escapeXml(std::string_view text);

// Shared state of the document surfaces. Each drawing call is written out
// at once; colour, font, dash and clip changes only when they are used.
class DocumentSurface : public DrawingSurface {
public:
  explicit DocumentSurface(const AfmMetrics &metrics) : metrics(metrics) {}
  int textWidth(int font, std::string_view text) const override {
    return metrics.textWidth(font, text);
  }
  int fontHeight(int font) const override { return metrics.fontHeight(font); }
  int fontAscent(int font) const override { return metrics.fontAscent(font); }
  void setForeground(Rgb colour) override { fg = colour; }
  void setFont(int f) override { font = f; }
  void setFunction(DrawFunction) override {} // documents have no XOR; drawn plainly
  void setLineStyle(LineStyle s) override { style = s; }
  // The finished document.
  virtual std::string finish() = 0;

protected:
  const AfmMetrics &metrics;
  Rgb fg;
  int font = kFontAxis;
  LineStyle style = LineStyle::Solid;
  std::string out;
};

class PostScriptSurface : public DocumentSurface {
public:
  // One page of `pageWidth` x `pageHeight` points; drawing coordinates are
  // points from the page's top-left corner, y downwards.
  PostScriptSurface(const AfmMetrics &metrics, int pageWidth, int pageHeight);
  void setClip(int x, int y, int w, int h) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  void drawLines(const SurfacePoint *points, int count) override;
  void fillRectangle(int x, int y, int w, int h) override;
  void drawText(int x, int baseline, std::string_view text) override;
  std::string finish() override;

private:
  void sync(bool stroke);
  Rgb shownColour;
  int shownFont = 0;
  LineStyle shownStyle = LineStyle::Solid;
  bool colourShown = false;
};

class SvgSurface : public DocumentSurface {
public:
  SvgSurface(const AfmMetrics &metrics, int width, int height);
  void setClip(int x, int y, int w, int h) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  void drawLines(const SurfacePoint *points, int count) override;
  void fillRectangle(int x, int y, int w, int h) override;
  void drawText(int x, int baseline, std::string_view text) override;
  std::string finish() override;

private:
  std::string strokeAttributes() const;
  int clips = 0;
  bool groupOpen = false;
};

// printf onto the end of `out`, whatever the length.
void appendf(std::string &out, const char *format, ...) __attribute__((format(printf, 2, 3)));

// Writes `text` to `path` as saves are written (guarded, then put in place
// whole); false with the reason in `error` otherwise.
bool writeDocument(const std::string &path, const std::string &text, std::string *error);
