// A surface that records every call, with fixed font metrics (each character 8 pixels
// wide, 15 high), so painting can be checked in tests. Given a raster (StartRaster) it
// also sets the pixels of fills, frames, straight lines and images, so a test can read
// what a pixel shows; text leaves the raster alone.
#pragma once

#include <algorithm>
#include <cstdint>
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

  struct ImageCall {
    int x;
    int y;
    int width;
    int height;
  };
  struct FormattedTextCall {
    Rect rect;
    std::string text;
    Color color;
    unsigned format;
    FontDesc font;
  };

  void FillRect(const Rect& rect, Color color) override {
    fills.push_back({rect, color});
    Paint(rect, color);
  }
  void SetFont(const FontDesc& f) override { font = f; }
  Point MeasureText(std::string_view bytes) override {
    return Point{static_cast<int>(bytes.size()) * charWidth, charHeight};
  }
  void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back,
                   int boxHeight) override {
    texts.push_back({x, y, std::string(bytes), std::vector<int>(advances, advances + bytes.size()), fore, back, font});
    if (!rasterText) return;
    int right = x;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      Paint(Rect{right, y, right + advances[i], y + charHeight}, GlyphColor(bytes[i], fore, back));
      right += advances[i];
    }
    if (boxHeight > charHeight) Paint(Rect{x, y + charHeight, right, y + boxHeight}, back);
  }
  // A raster takes lines that run straight across or down; a wider pen is centred on
  // the line, its odd pixel before it.
  void DrawLine(Point a, Point b, Color color, int width) override {
    lines.push_back({a, b, color, width});
    const int w = std::max(width, 1);
    const int before = w / 2;
    if (a.x == b.x) Paint(Rect{a.x - before, std::min(a.y, b.y + 1), a.x - before + w, std::max(a.y + 1, b.y)}, color);
    if (a.y == b.y) Paint(Rect{std::min(a.x, b.x + 1), a.y - before, std::max(a.x + 1, b.x), a.y - before + w}, color);
  }
  void DrawFrame(const Rect& rect, Color color) override {
    frames.push_back({rect, color});
    Paint(Rect{rect.left, rect.top, rect.right, rect.top + 1}, color);
    Paint(Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    Paint(Rect{rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    Paint(Rect{rect.right - 1, rect.top, rect.right, rect.bottom}, color);
  }
  void DrawImage(int x, int y, const PixelImage& image) override {
    images.push_back({x, y, image.width, image.height});
    for (int iy = 0; iy < image.height; ++iy) {
      for (int ix = 0; ix < image.width; ++ix) {
        const std::uint32_t p = image.pixels[static_cast<std::size_t>(iy * image.width + ix)];
        if ((p >> 24) == 0) continue;
        Paint(Rect{x + ix, y + iy, x + ix + 1, y + iy + 1}, Color::Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    }
  }
  Rect DrawFormattedText(const Rect& rect, std::string_view utf8, Color color, unsigned format) override {
    Rect taken{rect.left, rect.top, rect.left + static_cast<int>(utf8.size()) * charWidth, rect.top + charHeight};
    if (format & textformat::CalcRect) return taken;
    formatted.push_back({rect, std::string(utf8), color, format, font});
    return taken;
  }
  void Clear() {
    texts.clear();
    fills.clear();
    lines.clear();
    frames.clear();
    images.clear();
    formatted.clear();
  }

  // Starts a raster of width x height pixels, all of the background colour.
  void StartRaster(int width, int height, Color background) {
    rasterWidth = width;
    rasterHeight = height;
    raster.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background);
  }
  // Calls f with the raster index of every pixel of rect that lies on the raster.
  template <class F>
  void ForEachPixelIn(const Rect& rect, F&& f) const {
    for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, rasterHeight); ++y) {
      for (int x = std::max(rect.left, 0); x < std::min(rect.right, rasterWidth); ++x) {
        f(static_cast<std::size_t>(y) * static_cast<std::size_t>(rasterWidth) + static_cast<std::size_t>(x));
      }
    }
  }
  Color PixelAt(int x, int y) const {
    return raster.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(rasterWidth) + static_cast<std::size_t>(x));
  }
  // Moves the raster's pixels of area by (dx, dy), changing only pixels inside clip, as
  // a window's contents are scrolled.
  void MovePixels(int dx, int dy, const Rect& area, const Rect& clip) {
    if (raster.empty()) return;
    const std::vector<Color> before = raster;
    const auto at = [&](int x, int y) {
      return static_cast<std::size_t>(y) * static_cast<std::size_t>(rasterWidth) + static_cast<std::size_t>(x);
    };
    for (int y = std::max({clip.top, area.top + dy, 0}); y < std::min({clip.bottom, area.bottom + dy, rasterHeight}); ++y) {
      for (int x = std::max({clip.left, area.left + dx, 0}); x < std::min({clip.right, area.right + dx, rasterWidth});
           ++x) {
        const int fromX = x - dx;
        const int fromY = y - dy;
        if (fromX >= 0 && fromX < rasterWidth && fromY >= 0 && fromY < rasterHeight) raster[at(x, y)] = before[at(fromX, fromY)];
      }
    }
  }
  // A colour that stands for a character cell: its byte, its colours and its font.
  Color GlyphColor(char byte, Color fore, Color back) const {
    std::uint32_t h = 2166136261u;
    for (std::uint32_t v : {static_cast<std::uint32_t>(static_cast<unsigned char>(byte)), fore.value, back.value,
                            static_cast<std::uint32_t>(font.style), font.color.value}) {
      h = (h ^ v) * 16777619u;
    }
    return Color{h & 0xFFFFFFu};
  }

  int charWidth = 8;
  int charHeight = 15;
  FontDesc font;
  std::vector<TextCall> texts;
  std::vector<FillCall> fills;
  std::vector<LineCall> lines;
  std::vector<FillCall> frames;
  std::vector<ImageCall> images;
  std::vector<FormattedTextCall> formatted;
  std::vector<Color> raster;
  int rasterWidth = 0;
  int rasterHeight = 0;
  // Text sets the raster's pixels too, each character's cell in its GlyphColor.
  bool rasterText = false;
  // When set, only the raster pixels it marks can change (a paint's update region).
  const std::vector<char>* clipMask = nullptr;

 private:
  void Paint(const Rect& rect, Color color) {
    ForEachPixelIn(rect, [&](std::size_t i) {
      if (!clipMask || (*clipMask)[i]) raster[i] = color;
    });
  }
};

}  // namespace vantorel
