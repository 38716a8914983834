// A surface that draws nothing and records every call, with fixed font metrics
// (each character 8 pixels wide, 15 high), so painting can be checked in tests.
#pragma once

#include <string>
#include <vector>

#include "platform/Surface.h"

namespace vantorel {

class RecordingSurface : public Surface {
 public:
  struct TextCall {
    int x;
    int y;
    std::string text;
    std::vector<int> advances;
    Color fore;
    Color back;
    FontDesc font;
  };
  struct FillCall {
    Rect rect;
    Color color;
  };
  struct LineCall {
    Point a;
    Point b;
    Color color;
    int width;
  };

  void FillRect(const Rect& rect, Color color) override { fills.push_back({rect, color}); }
  void SetFont(const FontDesc& f) override { font = f; }
  Point MeasureText(std::string_view bytes) override {
    return Point{static_cast<int>(bytes.size()) * charWidth, charHeight};
  }
  void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back) override {
    texts.push_back({x, y, std::string(bytes), std::vector<int>(advances, advances + bytes.size()), fore, back, font});
  }
  void DrawLine(Point a, Point b, Color color, int width) override { lines.push_back({a, b, color, width}); }
  void DrawFrame(const Rect& rect, Color color) override { frames.push_back({rect, color}); }
  void Clear() {
    texts.clear();
    fills.clear();
    lines.clear();
    frames.clear();
  }

  int charWidth = 8;
  int charHeight = 15;
  FontDesc font;
  std::vector<TextCall> texts;
  std::vector<FillCall> fills;
  std::vector<LineCall> lines;
  std::vector<FillCall> frames;
};

}  // namespace vantorel
