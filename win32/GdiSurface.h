// The Surface port over a Windows device context.
#pragma once

#include <string>
#include <vector>

#include "platform/Surface.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

// Fonts made once per face, height and style, and kept while the window lives, so a
// text run only selects a prepared font.
class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  HFONT Get(const FontDesc& desc);

 private:
  struct Entry {
    std::string name;
    int height;
    FontStyle style;
    std::uint8_t charset;
    GdiObject<HFONT> font;
  };
  std::vector<Entry> fonts_;
};

class GdiSurface : public Surface {
 public:
  GdiSurface(HDC dc, FontCache& fonts) noexcept;
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  void FillRect(const Rect& rect, Color color) override;
  void SetFont(const FontDesc& font) override;
  Point MeasureText(std::string_view bytes) override;
  void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back) override;
  void DrawLine(Point a, Point b, Color color, int width) override;
  void DrawFrame(const Rect& rect, Color color) override;

 private:
  HDC dc_;
  FontCache& fonts_;
  HGDIOBJ originalFont_;
  int textHeight_ = 0;
};

// A font made from the core's description.
HFONT CreateFontFor(const FontDesc& desc);

}  // namespace vantorel::win32
