#include "view/picture_surface.h"

#include <cstdio>

std::string escapeXml(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (unsigned char c : text) {
    switch (c) {
    case '<':
      s += "&lt;";
      break;
    case '>':
      s += "&gt;";
      break;
    case '&':
      s += "&amp;";
      break;
    case '"':
      s += "&quot;";
      break;
    case '\'':
      s += "&apos;";
      break;
    default:
      if (c >= 32 && c < 127) {
        s += char(c);
      } else if (c >= 160) {
        char ref[8];
        snprintf(ref, sizeof ref, "&#%u;", c);
        s += ref;
      } else {
        s += '?'; // control characters are not allowed in XML 1.0
      }
    }
  }
  return s;
}

SvgSurface::SvgSurface(const AfmMetrics &metrics, int width, int height)
    : DocumentSurface(metrics) {
  appendf(out,
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
          "viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\" fill=\"none\" "
          "stroke-linecap=\"square\">\n",
          width, height, width, height);
}

void SvgSurface::setClip(int x, int y, int w, int h) {
  if (groupOpen)
    out += "</g>\n";
  appendf(out,
          "<clipPath id=\"c%d\"><rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"/></clipPath>\n"
          "<g clip-path=\"url(#c%d)\">\n",
          clips, x, y, w < 0 ? 0 : w, h < 0 ? 0 : h, clips);
  ++clips;
  groupOpen = true;
}

std::string SvgSurface::strokeAttributes() const {
  char buffer[96];
  snprintf(buffer, sizeof buffer, "stroke=\"#%02x%02x%02x\"%s", fg.r, fg.g, fg.b,
           style == LineStyle::Dash ? " stroke-dasharray=\"4 4\" stroke-linecap=\"butt\"" : "");
  return buffer;
}

// Lines run through pixel centres, as on screen.
void SvgSurface::drawLine(int x1, int y1, int x2, int y2) {
  appendf(out, "<line x1=\"%d.5\" y1=\"%d.5\" x2=\"%d.5\" y2=\"%d.5\" %s/>\n", x1, y1, x2, y2,
          strokeAttributes().c_str());
}

void SvgSurface::drawLines(const SurfacePoint *p, int count) {
  if (count < 2)
    return;
  out += "<polyline points=\"";
  for (int i = 0; i < count; ++i)
    appendf(out, "%s%d.5,%d.5", i ? " " : "", p[i].x, p[i].y);
  appendf(out, "\" %s/>\n", strokeAttributes().c_str());
}

void SvgSurface::fillRectangle(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0)
    return;
  appendf(out, "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"/>\n", x,
          y, w, h, fg.r, fg.g, fg.b);
}

void SvgSurface::drawText(int x, int baseline, std::string_view text) {
  if (text.empty())
    return;
  appendf(out,
          "<text x=\"%d\" y=\"%d\" font-family=\"%s\" font-size=\"%.4g\" fill=\"#%02x%02x%02x\" "
          "xml:space=\"preserve\">",
          x, baseline, AfmMetrics::svgFamily(font), metrics.fontSize(font), fg.r, fg.g, fg.b);
  out += escapeXml(text);
  out += "</text>\n";
}

std::string SvgSurface::finish() {
  if (groupOpen)
    out += "</g>\n";
  groupOpen = false;
  out += "</svg>\n";
  return std::move(out);
}
