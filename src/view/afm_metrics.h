// Font metrics read from Adobe font metric files, so a picture or a printed
// page is laid out without a display. The view's "times" fonts use Nimbus
// Roman, its "courier" fonts Nimbus Mono, the shapes PostScript interpreters
// and SVG renderers substitute for Times and Courier.
#pragma once
#include <string>

#include "view/surface.h"

struct AfmFont {
  bool loaded = false;
  int ascender = 0, descender = 0; // from the bounding box, 1/1000 em
  int widths[256] = {};            // advance per byte, 1/1000 em
  int fallbackWidth = 500;
};

// Parses an AFM file's box and the advances of its encoded characters.
// False (font left unloaded) when the file cannot be read.
bool readAfm(const std::string &path, AfmFont *font);

class AfmMetrics : public FontMetrics {
public:
  // `unitsPerPoint`: 96/72 draws the fonts as a 96-dpi screen shows them
  // (pictures), 1 in PostScript points (printed pages). `dir` holds the AFM
  // files; empty takes VELK_AFM_DIR or the system's URW base-35 folder.
  // Missing files leave rough built-in metrics.
  explicit AfmMetrics(double unitsPerPoint = 96.0 / 72.0, std::string dir = "");
  int textWidth(int font, std::string_view text) const override;
  int fontHeight(int font) const override;
  int fontAscent(int font) const override;

  // Size of a view font in drawing units.
  double fontSize(int font) const;
  // PostScript name and family list of a view font.
  static const char *postScriptName(int font);
  static const char *svgFamily(int font);
  bool haveAfm() const { return faces[0].loaded && faces[1].loaded; }

private:
  double unitsPerPoint;
  AfmFont faces[2]; // 0 times, 1 courier
  const AfmFont &face(int font) const;
};
