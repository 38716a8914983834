#include "win32/GdiSurface.h"

#include <vector>

namespace vantorel::win32 {

// Fonts are made while painting, where an error box would only bring the next paint
// and the next box: when the system cannot make the font, the stock GUI font stands
// in (deleting a stock object later is harmless), so there is never a null font.
HFONT CreateFontFor(const FontDesc& desc) {
  HFONT font = ::CreateFontW(desc.height, 0, 0, 0, HasStyle(desc.style, FontStyle::Bold) ? FW_BOLD : FW_NORMAL,
                       HasStyle(desc.style, FontStyle::Italic), HasStyle(desc.style, FontStyle::Underline),
                       HasStyle(desc.style, FontStyle::StrikeOut), desc.charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Widen(desc.name).c_str());
  return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT FontCache::Get(const FontDesc& desc) {
  for (const Entry& e : fonts_) {
    if (e.name == desc.name && e.height == desc.height && e.style == desc.style && e.charset == desc.charset) {
      return e.font.get();
    }
  }
  fonts_.push_back(Entry{desc.name, desc.height, desc.style, desc.charset, GdiObject<HFONT>(CreateFontFor(desc))});
  return fonts_.back().font.get();
}

GdiSurface::GdiSurface(HDC dc, FontCache& fonts) noexcept
    : dc_(dc), fonts_(fonts), originalFont_(::GetCurrentObject(dc, OBJ_FONT)) {}

GdiSurface::~GdiSurface() { ::SelectObject(dc_, originalFont_); }

void GdiSurface::FillRect(const Rect& rect, Color color) {
  const RECT r = ToRECT(rect);
  ::SetBkColor(dc_, ToCOLORREF(color));
  ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void GdiSurface::SetFont(const FontDesc& font) {
  ::SelectObject(dc_, fonts_.Get(font));
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc_, &tm);
  textHeight_ = tm.tmHeight;
}

Point GdiSurface::MeasureText(std::string_view bytes) {
  SIZE size{};
  ::GetTextExtentPoint32A(dc_, bytes.data(), static_cast<int>(bytes.size()), &size);
  return Point{size.cx, size.cy};
}

void GdiSurface::DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back) {
  int width = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) width += advances[i];
  const RECT r{x, y, x + width, y + textHeight_};
  ::SetTextColor(dc_, ToCOLORREF(fore));
  ::SetBkColor(dc_, ToCOLORREF(back));
  ::SetBkMode(dc_, OPAQUE);
  std::vector<INT> dx(advances, advances + bytes.size());
  ::ExtTextOutA(dc_, x, y, ETO_OPAQUE, &r, bytes.data(), static_cast<UINT>(bytes.size()), dx.data());
}

void GdiSurface::DrawLine(Point a, Point b, Color color, int width) {
  GdiObject<HPEN> pen(::CreatePen(PS_SOLID, width, ToCOLORREF(color)));
  SelectObjectScope select(dc_, pen.get());
  ::MoveToEx(dc_, a.x, a.y, nullptr);
  ::LineTo(dc_, b.x, b.y);
}

}  // namespace vantorel::win32

namespace vantorel::win32 {

void GdiSurface::DrawFrame(const Rect& rect, Color color) {
  GdiObject<HBRUSH> brush(::CreateSolidBrush(ToCOLORREF(color)));
  const RECT r = ToRECT(rect);
  ::FrameRect(dc_, &r, brush.get());
}

}  // namespace vantorel::win32
