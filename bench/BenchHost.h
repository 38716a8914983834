// The editor's window for benchmarks: the headless host with a canvas that forgets
// what it is given, so a long run measures the editor, not the recording.
#pragma once

#include <benchmark/benchmark.h>

#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"

namespace vantorel {

class DiscardingSurface : public Surface {
 public:
  void FillRect(const Rect&, Color) override {}
  void SetFont(const FontDesc&) override {}
  Point MeasureText(std::string_view bytes) override { return Point{static_cast<int>(bytes.size()) * 8, 15}; }
  void DrawTextRun(int, int, std::string_view bytes, const int*, Color, Color, int) override {
    benchmark::DoNotOptimize(bytes.data());
  }
  void DrawLine(Point, Point, Color, int) override {}
  void DrawFrame(const Rect&, Color) override {}
  void DrawImage(int, int, const PixelImage& image) override { benchmark::DoNotOptimize(image.pixels.data()); }
  Rect DrawFormattedText(const Rect& rect, std::string_view, Color, unsigned) override { return rect; }
};

class BenchHost : public HeadlessWindowHost {
 public:
  Surface* Canvas() override { return &surface; }
  void UpdateNow() override {
    if (invalid.Width() > 0 && invalid.Height() > 0 && control) control->Paint(surface, invalid);
    invalid = Rect{};
  }
  // Shows the editor as the benchmarks' screen: 120 columns by 60 lines of 8 x 16
  // cells beside a 30-pixel gutter, with the focus.
  void Show(TCustomEditorBase& editor) {
    client = Rect{0, 0, 32 + 120 * 8, 60 * 16};
    control = &editor;
    focused = true;
    editor.SetGutterWidth(30);
    editor.WindowCreated();
  }
  DiscardingSurface surface;
};

}  // namespace vantorel
