// The window's picture as a document: a picture file written after a batch
// run, or a page for the printer. The painter draws it through a document
// surface, so it matches the window on screen.
#pragma once
#include <string>

#include "view/afm_metrics.h"
#include "view/layout.h"

struct WindowRecord;

enum class PictureFormat { Unknown, PostScript, Svg };
// By the file name's ending: ".ps" or ".svg" (any case).
PictureFormat pictureFormatOf(const char *path);

// A page of pageWidth x pageHeight units with the window laid out in
// `area` of it. The window's screen layout is asked for again afterwards.
std::string drawWindowDocument(WindowRecord *w, PictureFormat format, const AfmMetrics &metrics,
                               int pageWidth, int pageHeight, const ViewArea &area);

constexpr int kPictureWidth = 900, kPictureHeight = 700;
// The root window's picture, 900 x 700, into `path`; false with the reason.
bool writePictureFile(const char *path, std::string *error);
