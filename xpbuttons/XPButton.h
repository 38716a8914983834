// TXPButton: a push button with a caption drawn in the XP look (rounded corners, a
// gradient face, a ring when hot, focused or default), whatever the system's theme.
// Its window hands it input and asks it to paint; the button decides the rest.
#pragma once

#include <functional>
#include <string>

#include "platform/ButtonWindow.h"
#include "xpbuttons/ButtonControl.h"
#include "platform/Surface.h"
#include "platform/Theme.h"
#include "xpbuttons/Face.h"
#include "xpbuttons/Scheme.h"

namespace vantorel {

inline constexpr Color kDisabledInk = Color::Rgb(184, 170, 154);

class TXPButton : public ButtonControl {
 public:
  enum class State { Up, Down };

  explicit TXPButton(ButtonWindow* window) noexcept : window_(window) {}

  // --- properties ---
  std::string Caption;
  FontDesc Font{"MS Sans Serif", -11, FontStyle::None, clBtnText, kDefaultCharset};
  TXPScheme XPScheme() const noexcept { return scheme_; }
  void SetXPScheme(TXPScheme value, const ThemeQuery& theme);
  XPDrawnScheme DrawnScheme() const noexcept { return drawn_; }
  bool Cancel = false;
  bool Default() const noexcept { return default_; }
  // Every button then looks at the focus again (the form re-sends FocusMoved).
  void SetDefault(bool value);
  bool ShowAccelChar() const noexcept { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  bool WordWrap() const noexcept { return wordWrap_; }
  void SetWordWrap(bool value);
  bool DrawFocusRect() const noexcept { return drawFocusRect_; }
  void SetDrawFocusRect(bool value);
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool value) override;
  int ModalResult = 0;
  bool RightToLeft = false;
  std::function<void()> OnClick;
  // The form's modal result, set before every click.
  std::function<void(int result)> SetFormModalResult;
  // The form re-sends its focus notice (after Default changed).
  std::function<void()> OnDefaultChanged;

  // --- run-time state ---
  State CurrentState() const noexcept { return state_; }
  bool Pressing() const noexcept { return pressing_; }
  bool SpacePressed() const noexcept { return spacePressed_; }
  bool Hot() const noexcept { return hot_; }
  bool DefaultLook() const noexcept { return defaultLook_; }

  // --- input the window hands on ---
  void MouseDown(MouseButton button, Point at) override;
  void MouseMove(Point at) override;
  void MouseUp(MouseButton button, Point at) override;
  // The mouse capture went to another window (a message box, Alt+Tab): a press held
  // with the mouse ends without a click, as a system button's does.
  void CaptureLost() override;
  void DblClick() override { Click(); }
  void KeyDown(int key, ShiftState shift) override;
  void KeyUp(int key, ShiftState shift) override;
  // Enter or Escape while the focus is anywhere in the form; true when it clicked.
  bool DialogKey(int key, ShiftState shift);
  // The caption's accelerator character was pressed.
  void Accelerator();
  void MouseEnter();
  void PointerEntered(bool /*anotherHoldsMouse*/) override { MouseEnter(); }
  void MouseLeave() override;
  bool TakesFocus() const override { return true; }
  void FocusReceived() override { Repaint(); }
  void FocusLost() override;
  // The form's focus moved to a control: whether it is an XP push button, and this one.
  void FocusMoved(bool toXPButton, bool toThis) override;
  void WindowCreated() { defaultLook_ = default_; }
  // The system's visual style changed.
  void ThemeChanged(const ThemeQuery& theme) override;
  void TextChanged(const std::string& text) override {
    Caption = text;
    Repaint();
  }

  void Click() override;
  void Paint(Surface& surface) override;

 private:
  struct Face {
    bool inset;
    Color top;
    Color bottom;
  };
  Face ChooseFace(bool focused) const;
  void Repaint();
  bool Inside(Point at) const;

  ButtonWindow* window_;
  TXPScheme scheme_ = TXPScheme::xpBlue;
  XPDrawnScheme drawn_ = XPDrawnScheme::Blue;
  bool default_ = false;
  bool showAccelChar_ = true;
  bool wordWrap_ = false;
  bool drawFocusRect_ = false;
  bool enabled_ = true;
  State state_ = State::Up;
  bool pressing_ = false;
  bool spacePressed_ = false;
  bool hot_ = false;
  bool defaultLook_ = false;
  GradientImage face_;
  GradientImage focusRing_;
  GradientImage hotRing_;
};

}  // namespace vantorel
