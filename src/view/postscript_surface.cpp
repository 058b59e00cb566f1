#include "view/picture_surface.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/replace_file.h"

std::string escapePostScript(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (unsigned char c : text) {
    if (c == '(' || c == ')' || c == '\\') {
      s += '\\';
      s += char(c);
    } else if (c < 32 || c > 126) {
      char octal[5];
      snprintf(octal, sizeof octal, "\\%03o", c);
      s += octal;
    } else {
      s += char(c);
    }
  }
  return s;
}

void appendf(std::string &out, const char *format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  char buffer[256];
  int n = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n >= int(sizeof buffer)) {
    size_t at = out.size();
    out.resize(at + n + 1);
    vsnprintf(&out[at], n + 1, format, again);
    out.resize(at + n);
  } else if (n > 0) {
    out.append(buffer, n);
  }
  va_end(again);
}

PostScriptSurface::PostScriptSurface(const AfmMetrics &metrics, int pageWidth, int pageHeight)
    : DocumentSurface(metrics) {
  appendf(out,
          "%%!PS-Adobe-3.0\n%%%%Creator: Velk\n%%%%BoundingBox: 0 0 %d %d\n%%%%Pages: 1\n"
          "%%%%EndComments\n%%%%BeginProlog\n"
          "/L { newpath moveto lineto stroke } bind def\n"
          "/F { rectfill } bind def\n"
          "/T { gsave moveto 1 -1 scale show grestore } bind def\n"
          "%%%%EndProlog\n%%%%Page: 1 1\n<< /PageSize [%d %d] >> setpagedevice\n"
          // Pixel-like coordinates: origin top left, y downwards.
          "0 %d translate 1 -1 scale 1 setlinewidth 0 setlinecap\ngsave\n",
          pageWidth, pageHeight, pageWidth, pageHeight, pageHeight);
}

void PostScriptSurface::sync(bool stroke) {
  if (!colourShown || !(shownColour == fg)) {
    appendf(out, "%.4g %.4g %.4g setrgbcolor\n", fg.r / 255.0, fg.g / 255.0, fg.b / 255.0);
    shownColour = fg;
    colourShown = true;
  }
  if (stroke && shownStyle != style) {
    out += style == LineStyle::Dash ? "[4 4] 0 setdash\n" : "[] 0 setdash\n";
    shownStyle = style;
  }
}

void PostScriptSurface::setClip(int x, int y, int w, int h) {
  // A clip replaces the previous one, so the saved state is restored first;
  // that also forgets colour, font and dash.
  appendf(out, "grestore gsave %d %d %d %d rectclip\n", x, y, w, h);
  colourShown = false;
  shownFont = 0;
  shownStyle = LineStyle::Solid;
}

// Lines run through pixel centres, as on screen.
void PostScriptSurface::drawLine(int x1, int y1, int x2, int y2) {
  sync(true);
  appendf(out, "%d.5 %d.5 %d.5 %d.5 L\n", x2, y2, x1, y1);
}

void PostScriptSurface::drawLines(const SurfacePoint *p, int count) {
  if (count < 2)
    return;
  sync(true);
  appendf(out, "newpath %d.5 %d.5 moveto\n", p[0].x, p[0].y);
  for (int i = 1; i < count; ++i)
    appendf(out, "%d.5 %d.5 lineto\n", p[i].x, p[i].y);
  out += "stroke\n";
}

void PostScriptSurface::fillRectangle(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0)
    return;
  sync(false);
  appendf(out, "%d %d %d %d F\n", x, y, w, h);
}

void PostScriptSurface::drawText(int x, int baseline, std::string_view text) {
  if (text.empty())
    return;
  sync(false);
  if (shownFont != font) {
    appendf(out, "/%s findfont %.4g scalefont setfont\n", AfmMetrics::postScriptName(font),
            metrics.fontSize(font));
    shownFont = font;
  }
  out += '(';
  out += escapePostScript(text);
  appendf(out, ") %d %d T\n", x, baseline);
}

std::string PostScriptSurface::finish() {
  out += "grestore\nshowpage\n%%Trailer\n%%EOF\n";
  return std::move(out);
}

bool writeDocument(const std::string &path, const std::string &text, std::string *error) {
  std::string refused = refusedTarget(path.c_str());
  if (!refused.empty()) {
    if (error)
      *error = "it is " + refused;
    return false;
  }
  Replacement r;
  errno = 0;
  bool ok = openReplacement(path.c_str(), r) &&
            fwrite(text.data(), 1, text.size(), r.file) == text.size();
  if (ok)
    ok = commitReplacement(r);
  else
    discardReplacement(r);
  if (!ok && error)
    *error = strerror(errno ? errno : EIO);
  return ok;
}
