#include "win32/GdiSurface.h"

namespace vantorel::win32 {

HFONT CreateFontFor(const FontDesc& desc) {
  return ::CreateFontW(desc.height, 0, 0, 0, HasStyle(desc.style, FontStyle::Bold) ? FW_BOLD : FW_NORMAL,
                       HasStyle(desc.style, FontStyle::Italic), HasStyle(desc.style, FontStyle::Underline),
                       HasStyle(desc.style, FontStyle::StrikeOut), desc.charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, Widen(desc.name).c_str());
}

HFONT GdiCache::Font(const FontDesc& desc) {
  for (const FontEntry& e : fonts_) {
    if (e.name == desc.name && e.height == desc.height && e.style == desc.style && e.charset == desc.charset) {
      return e.font;
    }
  }
  // The entry is in place before the font is made, so a font is never made without
  // an owner.
  FontEntry& entry = fonts_.emplace_back(desc);
  entry.owned.reset(CreateFontFor(desc));
  entry.font = entry.owned ? entry.owned.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return entry.font;
}

HPEN GdiCache::Pen(COLORREF color, int width) {
  for (const PenEntry& e : pens_) {
    if (e.color == color && e.width == width) return e.pen.get();
  }
  // A pen is selected only while one line is drawn, so none of them is in use here.
  if (pens_.size() >= kMaxPens) pens_.clear();
  PenEntry& entry = pens_.emplace_back(color, width);
  ::SetLastError(ERROR_SUCCESS);
  entry.pen.reset(::CreatePen(PS_SOLID, width, color));
  if (!entry.pen) {
    const DWORD error = ::GetLastError();
    pens_.pop_back();
    ThrowApiError("Cannot draw a line", "CreatePen", error);
  }
  return entry.pen.get();
}

GdiSurface::GdiSurface(HDC dc, GdiCache& cache) noexcept
    : dc_(dc), cache_(cache), originalFont_(::GetCurrentObject(dc, OBJ_FONT)) {}

GdiSurface::~GdiSurface() {
  if (originalFont_) ::SelectObject(dc_, originalFont_);
}

void GdiSurface::FillRect(const Rect& rect, Color color) {
  const RECT r = ToRECT(rect);
  ::SetBkColor(dc_, ToCOLORREF(color));
  ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void GdiSurface::SetFont(const FontDesc& font) {
  ::SelectObject(dc_, cache_.Font(font));
  // Without the metrics every text run would get a made-up height.
  TEXTMETRICW tm{};
  ::SetLastError(ERROR_SUCCESS);
  if (!::GetTextMetricsW(dc_, &tm)) {
    ThrowApiError("Cannot measure the font \"" + font.name + "\"", "GetTextMetricsW", ::GetLastError());
  }
  textHeight_ = tm.tmHeight;
}

Point GdiSurface::MeasureText(std::string_view bytes) {
  SIZE size{};
  ::SetLastError(ERROR_SUCCESS);
  if (!::GetTextExtentPoint32A(dc_, bytes.data(), static_cast<int>(bytes.size()), &size)) {
    ThrowApiError("Cannot measure text", "GetTextExtentPoint32A", ::GetLastError());
  }
  return Point{size.cx, size.cy};
}

void GdiSurface::DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back) {
  int width = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) width += advances[i];
  const RECT r{x, y, x + width, y + textHeight_};
  ::SetTextColor(dc_, ToCOLORREF(fore));
  ::SetBkColor(dc_, ToCOLORREF(back));
  ::SetBkMode(dc_, OPAQUE);
  ::ExtTextOutA(dc_, x, y, ETO_OPAQUE, &r, bytes.data(), static_cast<UINT>(bytes.size()), advances);
}

void GdiSurface::DrawLine(Point a, Point b, Color color, int width) {
  SelectObjectScope select(dc_, cache_.Pen(ToCOLORREF(color), width));
  ::MoveToEx(dc_, a.x, a.y, nullptr);
  ::LineTo(dc_, b.x, b.y);
}

void GdiSurface::DrawFrame(const Rect& rect, Color color) {
  // Four one-pixel fills draw what FrameRect would, without a brush to make.
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  FillRect(Rect{rect.left, rect.top, rect.right, rect.top + 1}, color);
  FillRect(Rect{rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
  FillRect(Rect{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, color);
  FillRect(Rect{rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, color);
}

}  // namespace vantorel::win32
