#include "view/picture_file.h"

#include <cstring>
#include <memory>
#include <strings.h>

#include "core/flags.h"
#include "core/session.h"
#include "view/painter.h"
#include "view/picture_surface.h"

PictureFormat pictureFormatOf(const char *path) {
  size_t n = strlen(path);
  if (n > 3 && strcasecmp(path + n - 3, ".ps") == 0)
    return PictureFormat::PostScript;
  if (n > 4 && strcasecmp(path + n - 4, ".svg") == 0)
    return PictureFormat::Svg;
  return PictureFormat::Unknown;
}

// The toolkit's default window colour, behind the information line.
constexpr Rgb kWindowBackground{212, 208, 200};

std::string drawWindowDocument(WindowRecord *w, PictureFormat format, const AfmMetrics &metrics,
                               int pageWidth, int pageHeight, const ViewArea &area) {
  std::unique_ptr<DocumentSurface> document;
  if (format == PictureFormat::Svg)
    document = std::make_unique<SvgSurface>(metrics, pageWidth, pageHeight);
  else
    document = std::make_unique<PostScriptSurface>(metrics, pageWidth, pageHeight);
  DocumentSurface &surface = *document;
  surface.setClip(area.left, area.top, area.right - area.left, area.bottom - area.top);
  surface.setForeground(kWhite);
  surface.fillRectangle(area.left, area.top, area.right - area.left, area.bottom - area.top);
  surface.setForeground(kBlack);
  WindowRecord *current = gCurrent;
  gCurrent = w;
  layOutView(w, metrics, area);
  paintView(w, surface, area, kWindowBackground);
  gCurrent = current;
  // The cells now fit the page; the screen lays them out again.
  w->flagsA |= kWinRelayout | kWinRepaint;
  return surface.finish();
}

bool writePictureFile(const char *path, std::string *error) {
  WindowRecord *root = &gSlots[0];
  if (!viewHasSequences(root)) {
    *error = "no sequences are loaded";
    return false;
  }
  AfmMetrics metrics;
  std::string document = drawWindowDocument(root, pictureFormatOf(path), metrics, kPictureWidth,
                                            kPictureHeight, {0, 0, kPictureWidth, kPictureHeight});
  return writeDocument(path, document, error);
}
