// A drawing surface for tests: fixed font metrics (every character of font f
// is kCharWidth[f] pixels wide) and a record of what was drawn.
#pragma once
#include <string>
#include <vector>

#include "view/surface.h"

class FixedMetrics : public FontMetrics {
public:
  static constexpr int kCharWidth[5] = {0, 5, 6, 7, 8};
  static constexpr int kHeight[5] = {0, 10, 12, 13, 15};
  static constexpr int kAscent[5] = {0, 8, 10, 11, 12};
  int textWidth(int font, std::string_view text) const override {
    return kCharWidth[font] * int(text.size());
  }
  int fontHeight(int font) const override { return kHeight[font]; }
  int fontAscent(int font) const override { return kAscent[font]; }
};

class RecordingSurface : public DrawingSurface {
public:
  struct Line {
    int x1, y1, x2, y2;
    Rgb colour;
  };
  struct Text {
    int x, baseline, font;
    std::string text;
    Rgb colour;
  };
  struct Fill {
    int x, y, w, h;
    Rgb colour;
  };
  std::vector<Line> lines;
  std::vector<Text> texts;
  std::vector<Fill> fills;
  int fontChanges = 0;

  int textWidth(int font, std::string_view text) const override {
    return metrics.textWidth(font, text);
  }
  int fontHeight(int font) const override { return metrics.fontHeight(font); }
  int fontAscent(int font) const override { return metrics.fontAscent(font); }
  void setForeground(Rgb c) override { colour = c; }
  void setFont(int f) override {
    font = f;
    ++fontChanges;
  }
  void setClip(int, int, int, int) override {}
  void setFunction(DrawFunction) override {}
  void setLineStyle(LineStyle) override {}
  void drawLine(int x1, int y1, int x2, int y2) override {
    lines.push_back({x1, y1, x2, y2, colour});
  }
  void drawLines(const SurfacePoint *p, int n) override {
    for (int i = 0; i + 1 < n; ++i)
      drawLine(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y);
  }
  void fillRectangle(int x, int y, int w, int h) override { fills.push_back({x, y, w, h, colour}); }
  void drawText(int x, int baseline, std::string_view t) override {
    texts.push_back({x, baseline, font, std::string(t), colour});
  }

  std::vector<Line> linesIn(Rgb c) const {
    std::vector<Line> out;
    for (const Line &l : lines)
      if (l.colour == c)
        out.push_back(l);
    return out;
  }

private:
  FixedMetrics metrics;
  Rgb colour;
  int font = 0;
};
