// The windows of the XP-look buttons: a push button (class TXPButton) and a speed
// button (class TXPSpeedButton). Either hands its input to the core button through
// the one ButtonControl interface and paints it; what a kind does with it is the
// button's own. A click reaches the parent as a button's WM_COMMAND (BN_CLICKED) would.
#pragma once

#include <memory>
#include <string>

#include "platform/ButtonWindow.h"
#include "platform/Theme.h"
#include "win32/GdiSurface.h"
#include "win32/WindowClass.h"
#include "xpbuttons/XPButton.h"
#include "xpbuttons/XPSpeedButton.h"

namespace vantorel::win32 {

inline constexpr wchar_t kXPButtonClassName[] = L"TXPButton";
inline constexpr wchar_t kXPSpeedButtonClassName[] = L"TXPSpeedButton";

// The theme library's colour-scheme name (uxtheme's GetCurrentThemeName, loaded when
// the system has it) and the system's version.
class Win32Theme : public ThemeQuery {
 public:
  Version SystemVersion() const override;
  std::optional<std::string> CurrentColorSchemeName() const override;
};

class XPButtonWindow : public ButtonWindow, public OwnWindow {
 public:
  // A push button whose window text is its caption.
  static std::unique_ptr<XPButtonWindow> Push(HWND parent, int id, const Rect& bounds, const std::string& caption,
                                              const FontDesc& font, Color parentColor);
  // A speed button whose window text is its hint (the caption stays empty).
  static std::unique_ptr<XPButtonWindow> Speed(HWND parent, int id, const Rect& bounds, const std::string& hint,
                                               const PixelImage& glyph, Color parentColor);
  ~XPButtonWindow() override;

  // The button behind the window, as its kind (nullptr when it is of the other kind).
  TXPButton* PushButton() noexcept { return push_; }
  TXPSpeedButton* SpeedButton() noexcept { return speed_; }

  // ButtonWindow
  Rect ClientRect() const override;
  void Repaint() override;
  bool Focused() const override { return hwnd_ && ::GetFocus() == hwnd_; }
  bool CanFocus() const override;
  void TakeFocus() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  bool MouseCaptured() const override { return HoldsCapture(); }
  void StartTimer(int milliseconds) override;
  void StopTimer() override;
  Point ScreenOrigin() const override;
  bool PointerOver() const override;
  Color ParentColor() const override { return parentColor_; }

 private:
  XPButtonWindow(HWND parent, int id, Color parentColor) noexcept : parent_(parent), id_(id), parentColor_(parentColor) {}
  void Create(const wchar_t* className, const std::wstring& text, DWORD style, const Rect& bounds);
  // MessageTarget
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // The parent hears of the click as of a system button's.
  void NotifyClicked();
  // Every push button of the parent looks at the focus again.
  void TellFocusMoved(HWND focused);

  HWND parent_;
  int id_;
  Color parentColor_;
  GdiCache gdi_;
  std::unique_ptr<ButtonControl> button_;
  TXPButton* push_ = nullptr;
  TXPSpeedButton* speed_ = nullptr;
  bool tracking_ = false;
};

}  // namespace vantorel::win32
