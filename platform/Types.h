// Small value types shared by the core and the adapters. They carry the Windows
// meaning of each value (so the adapters convert one to one) without including any
// platform header; conversions to RECT, COLORREF, HWND live only in win32/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

struct Point {
  int x = 0;
  int y = 0;
  constexpr bool operator==(const Point&) const noexcept = default;
};

// A rectangle contains its top and left sides, not its right and bottom sides.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr int Width() const noexcept { return right - left; }
  constexpr int Height() const noexcept { return bottom - top; }
  constexpr bool Contains(Point p) const noexcept {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr bool operator==(const Rect&) const noexcept = default;
};

// A colour is either an RGB value (0x00BBGGRR, as COLORREF) or a system colour id
// marked by the high byte 0xFF (as the value of the system colour constants), or
// clNone. System colours are resolved by the surface, so they follow the desktop.
struct Color {
  std::uint32_t value = 0;
  static constexpr Color Rgb(int r, int g, int b) noexcept {
    return Color{static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16))};
  }
  static constexpr Color System(int index) noexcept {
    return Color{0xFF000000u | static_cast<std::uint32_t>(index)};
  }
  constexpr bool IsSystem() const noexcept { return (value & 0xFF000000u) == 0xFF000000u; }
  constexpr int SystemIndex() const noexcept { return static_cast<int>(value & 0xFFu); }
  constexpr bool operator==(const Color&) const noexcept = default;
};

// System colour indexes with the values of the COLOR_* constants.
namespace syscolor {
inline constexpr int ScrollBar = 0;
inline constexpr int Window = 5;
inline constexpr int WindowText = 8;
inline constexpr int Highlight = 13;
inline constexpr int HighlightText = 14;
inline constexpr int BtnFace = 15;
inline constexpr int BtnShadow = 16;
inline constexpr int GrayText = 17;
inline constexpr int BtnText = 18;
inline constexpr int BtnHighlight = 20;
inline constexpr int InfoBk = 24;
}  // namespace syscolor

inline constexpr Color clWindow = Color::System(syscolor::Window);
inline constexpr Color clWindowText = Color::System(syscolor::WindowText);
inline constexpr Color clBtnFace = Color::System(syscolor::BtnFace);
inline constexpr Color clBtnText = Color::System(syscolor::BtnText);
inline constexpr Color clBtnShadow = Color::System(syscolor::BtnShadow);
inline constexpr Color clBtnHighlight = Color::System(syscolor::BtnHighlight);
inline constexpr Color clHighlight = Color::System(syscolor::Highlight);
inline constexpr Color clHighlightText = Color::System(syscolor::HighlightText);
inline constexpr Color clSilver = Color::Rgb(192, 192, 192);
inline constexpr Color clGray = Color::Rgb(128, 128, 128);
inline constexpr Color clBlack = Color::Rgb(0, 0, 0);
inline constexpr Color clOlive = Color::Rgb(128, 128, 0);
inline constexpr Color clWhite = Color::Rgb(255, 255, 255);
inline constexpr Color clNone = Color{0x1FFFFFFFu};

enum class FontStyle : std::uint8_t { None = 0, Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
constexpr FontStyle operator|(FontStyle a, FontStyle b) noexcept {
  return static_cast<FontStyle>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}
constexpr bool HasStyle(FontStyle set, FontStyle s) noexcept {
  return (static_cast<std::uint8_t>(set) & static_cast<std::uint8_t>(s)) != 0;
}

inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint8_t kCyrillicCharset = 204;

// A font as the core asks for it: a negative height is a character height in pixels
// (as LOGFONT's lfHeight), a positive one a cell height.
struct FontDesc {
  std::string name = "Courier New";
  int height = -13;
  FontStyle style = FontStyle::None;
  Color color = clWindowText;
  std::uint8_t charset = kDefaultCharset;  // as LOGFONT's lfCharSet
  bool operator==(const FontDesc&) const = default;
};

// Layout bits of formatted text, with the values of the DT_* constants.
namespace textformat {
inline constexpr unsigned Center = 0x1;
inline constexpr unsigned Right = 0x2;
inline constexpr unsigned VCenter = 0x4;
inline constexpr unsigned WordBreak = 0x10;
inline constexpr unsigned SingleLine = 0x20;
inline constexpr unsigned ExpandTabs = 0x40;
inline constexpr unsigned CalcRect = 0x400;
inline constexpr unsigned NoPrefix = 0x800;
inline constexpr unsigned RtlReading = 0x20000;
}  // namespace textformat

struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool left = false;
  bool right = false;
  bool middle = false;
  bool operator==(const ShiftState&) const = default;
};

enum class MouseButton { Left, Right, Middle };

enum class ScrollBarKind { Horizontal, Vertical };

// The scroll request codes, with the values of the SB_* constants.
enum class ScrollCode {
  LineUp = 0,
  LineDown = 1,
  PageUp = 2,
  PageDown = 3,
  ThumbPosition = 4,
  ThumbTrack = 5,
  Top = 6,
  Bottom = 7,
  EndScroll = 8,
};

// Virtual-key codes with the Windows values.
namespace vk {
inline constexpr int Cancel = 0x03;  // Ctrl+Break
inline constexpr int Back = 0x08;
inline constexpr int Tab = 0x09;
inline constexpr int Return = 0x0D;
inline constexpr int Shift = 0x10;
inline constexpr int Control = 0x11;
inline constexpr int Menu = 0x12;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int Prior = 0x21;
inline constexpr int Next = 0x22;
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Insert = 0x2D;
inline constexpr int Delete = 0x2E;
inline constexpr int F1 = 0x70;
inline constexpr int F2 = 0x71;
inline constexpr int F3 = 0x72;
inline constexpr int F9 = 0x78;
inline constexpr int LShift = 0xA0;
inline constexpr int RShift = 0xA1;
inline constexpr int LControl = 0xA2;
inline constexpr int RControl = 0xA3;
inline constexpr int LMenu = 0xA4;
inline constexpr int RMenu = 0xA5;
}  // namespace vk

// A bitmap in memory: Width × Height pixels, rows top to bottom, each pixel
// 0xAARRGGBB; alpha 0 is transparent, 255 opaque.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

}  // namespace vantorel
