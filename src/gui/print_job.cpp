#include "gui/print_job.h"

#include <cstdio>
#include <string>
#include <utility>

#include "view/picture_file.h"
#include "view/picture_surface.h"

// The printer's name inside single quotes for the shell.
static std::string shellQuoted(const FXString &text) {
  std::string q = "'";
  for (const char *p = text.text(); *p; ++p)
    q += *p == '\'' ? std::string("'\\''") : std::string(1, *p);
  return q + "'";
}

static bool sendToPrinter(const FXString &name, const std::string &document) {
  std::string command = "lpr";
  if (!name.empty())
    command += " -P " + shellQuoted(name);
  FILE *pipe = popen(command.c_str(), "w");
  if (!pipe)
    return false;
  bool ok = fwrite(document.data(), 1, document.size(), pipe) == document.size();
  return pclose(pipe) == 0 && ok;
}

bool printWindow(WindowRecord *w, const FXPrinter &printer) {
  double width = printer.mediawidth, height = printer.mediaheight;
  double left = printer.leftmargin, right = printer.rightmargin;
  double top = printer.topmargin, bottom = printer.bottommargin;
  if (printer.flags & PRINT_LANDSCAPE) {
    std::swap(width, height);
    std::swap(left, top);
    std::swap(right, bottom);
  }
  ViewArea area{int(left), int(top), int(width - right), int(height - bottom)};
  if (area.right - area.left < 50 || area.bottom - area.top < 50)
    return false;          // margins leave no room for the picture
  AfmMetrics metrics(1.0); // page units are points
  std::string document =
      drawWindowDocument(w, PictureFormat::PostScript, metrics, int(width), int(height), area);
  if (printer.flags & PRINT_DEST_FILE)
    return !printer.name.empty() && writeDocument(printer.name.text(), document, nullptr);
  return sendToPrinter(printer.name, document);
}
