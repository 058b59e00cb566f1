#include "gui/fonts.h"

FXFont *gFonts[4] = {};

void createFonts(FXApp *app) {
  struct Request {
    const char *face;
    FXuint size;
    FXuint hints;
  };
  static const Request kRequests[4] = {
      {"times", 9, 0}, {"courier", 10, 0}, {"courier", 11, FXFont::Fixed}, {"times", 12, 0}};
  for (int i = 0; i < 4; ++i) {
    const Request &r = kRequests[i];
    gFonts[i] = new FXFont(app, r.face, r.size, FXFont::Normal, FXFont::Straight,
                           FONTENCODING_DEFAULT, FXFont::NonExpanded, r.hints);
    gFonts[i]->create();
  }
}

void destroyFonts() {
  for (int i = 3; i >= 0; --i) {
    delete gFonts[i];
    gFonts[i] = nullptr;
  }
}
