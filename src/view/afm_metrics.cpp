#include "view/afm_metrics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool readAfm(const std::string &path, AfmFont *font) {
  FILE *f = fopen(path.c_str(), "r");
  if (!f)
    return false;
  char line[512];
  bool box = false;
  int count = 0, sum = 0;
  while (fgets(line, sizeof line, f)) {
    int llx, lly, urx, ury, code, wx;
    if (sscanf(line, "FontBBox %d %d %d %d", &llx, &lly, &urx, &ury) == 4) {
      font->ascender = ury;
      font->descender = -lly;
      box = true;
    } else if (sscanf(line, "C %d ; WX %d", &code, &wx) == 2 && code >= 0 && code < 256) {
      font->widths[code] = wx;
      sum += wx;
      ++count;
    }
  }
  fclose(f);
  if (!box || count == 0)
    return false;
  font->fallbackWidth = sum / count;
  font->loaded = true;
  return true;
}

static void roughFace(AfmFont *font, int width) {
  font->ascender = 900;
  font->descender = 250;
  font->fallbackWidth = width;
}

AfmMetrics::AfmMetrics(double unitsPerPoint, std::string dir) : unitsPerPoint(unitsPerPoint) {
  if (dir.empty()) {
    const char *env = getenv("VELK_AFM_DIR");
    dir = env && *env ? env : "/usr/share/fonts/type1/urw-base35";
  }
  static const char *const kFiles[2] = {"NimbusRoman-Regular.afm", "NimbusMonoPS-Regular.afm"};
  for (int i = 0; i < 2; ++i)
    if (!readAfm(dir + "/" + kFiles[i], &faces[i]))
      roughFace(&faces[i], i ? 600 : 500);
}

double AfmMetrics::fontSize(int font) const {
  static const double kPoints[5] = {0, 9, 10, 11, 12};
  return kPoints[font >= 1 && font <= 4 ? font : 2] * unitsPerPoint;
}

const char *AfmMetrics::postScriptName(int font) {
  return font == kFontList || font == kFontHeader ? "Times-Roman" : "Courier";
}

const char *AfmMetrics::svgFamily(int font) {
  return font == kFontList || font == kFontHeader ? "Nimbus Roman, Times, serif"
                                                  : "Nimbus Mono PS, Courier, monospace";
}

const AfmFont &AfmMetrics::face(int font) const {
  return faces[font == kFontList || font == kFontHeader ? 0 : 1];
}

int AfmMetrics::textWidth(int font, std::string_view text) const {
  const AfmFont &f = face(font);
  long sum = 0;
  for (unsigned char c : text)
    sum += f.widths[c] ? f.widths[c] : f.fallbackWidth;
  return int(std::lround(sum * fontSize(font) / 1000.0));
}

int AfmMetrics::fontHeight(int font) const {
  const AfmFont &f = face(font);
  return int(std::lround((f.ascender + f.descender) * fontSize(font) / 1000.0));
}

int AfmMetrics::fontAscent(int font) const {
  return int(std::lround(face(font).ascender * fontSize(font) / 1000.0));
}
