// The Surface port over a Windows device context, and the GDI objects a window keeps
// for painting.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/Surface.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

// The GDI objects a window paints with, made on first use and kept while the window
// lives, so that a painted frame only selects prepared objects and makes none: fonts
// per face, height, style and character set, pens per colour and width.
class GdiCache {
 public:
  // A view paints with a handful of colours; more pens than this (colours changed
  // over a long session) empty the cache and it fills anew.
  static constexpr std::size_t kMaxPens = 16;

  GdiCache() = default;
  GdiCache(const GdiCache&) = delete;
  GdiCache& operator=(const GdiCache&) = delete;

  // Never null: a font the system cannot make is replaced by the stock GUI font, as
  // text in another font serves the user better than no text.
  HFONT Font(const FontDesc& desc);
  // A solid pen; throws naming CreatePen when the system makes none.
  HPEN Pen(COLORREF color, int width);

 private:
  struct FontEntry {
    explicit FontEntry(const FontDesc& desc)
        : name(desc.name), height(desc.height), style(desc.style), charset(desc.charset) {}
    std::string name;
    int height;
    FontStyle style;
    std::uint8_t charset;
    GdiObject<HFONT> owned;  // empty when the stock font stands in
    HFONT font = nullptr;
  };
  struct PenEntry {
    PenEntry(COLORREF c, int w) noexcept : color(c), width(w) {}
    COLORREF color;
    int width;
    GdiObject<HPEN> pen;
  };
  std::deque<FontEntry> fonts_;
  std::deque<PenEntry> pens_;
};

// Paints on a device context with the objects of a window's cache. Every object it
// selects for one call is put back after it, except the font, which stays selected
// for the text that follows and is put back when the surface goes.
class GdiSurface : public Surface {
 public:
  GdiSurface(HDC dc, GdiCache& cache) noexcept;
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  void FillRect(const Rect& rect, Color color) override;
  // Throws naming GetTextMetricsW when the selected font cannot be measured.
  void SetFont(const FontDesc& font) override;
  Point MeasureText(std::string_view bytes) override;
  void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back,
                   int boxHeight) override;
  void DrawLine(Point a, Point b, Color color, int width) override;
  void DrawFrame(const Rect& rect, Color color) override;
  // An opaque image goes to the device directly; one with transparent pixels through
  // AlphaBlend.
  void DrawImage(int x, int y, const PixelImage& image) override;
  Rect DrawFormattedText(const Rect& rect, std::string_view utf8, Color color, unsigned format) override;

 private:
  HDC dc_;
  GdiCache& cache_;
  HGDIOBJ originalFont_;
  int textHeight_ = 0;
};

// A font made from the core's description; nullptr when the system cannot make it.
HFONT CreateFontFor(const FontDesc& desc);

}  // namespace vantorel::win32
