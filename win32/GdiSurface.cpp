#include "win32/GdiSurface.h"

#include <algorithm>
#include <cstdint>

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

void GdiSurface::DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back,
                             int boxHeight) {
  int width = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) width += advances[i];
  const RECT r{x, y, x + width, y + std::max(textHeight_, boxHeight)};
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

void GdiSurface::DrawImage(int x, int y, const PixelImage& image) {
  if (image.width <= 0 || image.height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const bool opaque =
      std::all_of(image.pixels.begin(), image.pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  if (opaque) {
    ::SetDIBitsToDevice(dc_, x, y, static_cast<DWORD>(image.width), static_cast<DWORD>(image.height), 0, 0, 0,
                        static_cast<UINT>(image.height), image.pixels.data(), &info, DIB_RGB_COLORS);
    return;
  }
  // AlphaBlend wants the colour already multiplied by the alpha: 0 or all of it.
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap.get() || !bits) ThrowApiError("Cannot draw an image", "CreateDIBSection", ::GetLastError());
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    out[i] = (p >> 24) == 0 ? 0 : (p | 0xFF000000u);
  }
  const MemoryDC memory(dc_);
  if (!memory.get()) ThrowApiError("Cannot draw an image", "CreateCompatibleDC", ::GetLastError());
  SelectObjectScope select(memory.get(), bitmap.get());
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::AlphaBlend(dc_, x, y, image.width, image.height, memory.get(), 0, 0, image.width, image.height, blend);
}

Rect GdiSurface::DrawFormattedText(const Rect& rect, std::string_view utf8, Color color, unsigned format) {
  std::wstring text = Widen(utf8);
  RECT r = ToRECT(rect);
  ::SetTextColor(dc_, ToCOLORREF(color));
  ::SetBkMode(dc_, TRANSPARENT);
  ::DrawTextW(dc_, text.data(), static_cast<int>(text.size()), &r, format);
  return FromRECT(r);
}

}  // namespace vantorel::win32
