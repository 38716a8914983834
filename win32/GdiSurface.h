// The Surface port over a Windows device context.
#pragma once

#include <map>

#include "platform/Surface.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

class GdiSurface : public Surface {
 public:
  explicit GdiSurface(HDC dc) noexcept;
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  void FillRect(const Rect& rect, Color color) override;
  void SetFont(const FontSpec& font) override;
  Point MeasureText(std::string_view bytes) override;
  void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back) override;
  void DrawLine(Point a, Point b, Color color, int width) override;

 private:
  HDC dc_;
  HGDIOBJ originalFont_;
  GdiObject<HFONT> font_;
  FontSpec fontSpec_;
  bool hasFont_ = false;
};

// A font made from the core's description.
HFONT CreateFontFor(const FontSpec& spec);

}  // namespace vantorel::win32
