// What a button's window hands to the button behind it, the same for both kinds: the
// window turns its messages into these calls and decides nothing itself. A kind leaves
// alone what it has no use for: a speed button never takes the focus and keeps its
// own colours through theme changes; a push button's colours come from the theme, not
// from the system's colour changes, and it repeats nothing.
#pragma once

#include <string>

#include "platform/Surface.h"
#include "platform/Theme.h"
#include "platform/Types.h"

namespace vantorel {

class ButtonControl {
 public:
  virtual ~ButtonControl() = default;

  virtual void Paint(Surface& surface) = 0;
  // The pointer came in; anotherHoldsMouse: another window has the mouse captured.
  virtual void PointerEntered(bool anotherHoldsMouse) = 0;
  virtual void MouseLeave() = 0;
  virtual void MouseMove(Point at) = 0;
  virtual void MouseDown(MouseButton button, Point at) = 0;
  virtual void MouseUp(MouseButton button, Point at) = 0;
  virtual void DblClick() = 0;
  // The second press of a double click: a press like the first, and for the left
  // button the double click after it.
  void DoubleClick(MouseButton button, Point at) {
    MouseDown(button, at);
    if (button == MouseButton::Left) DblClick();
  }
  // The mouse capture went to another window.
  virtual void CaptureLost() = 0;
  virtual void Click() = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual void TimerTick() {}

  // Whether the button takes the keyboard focus (a tab stop, a dialog's button).
  virtual bool TakesFocus() const { return false; }
  virtual void KeyDown(int /*key*/, ShiftState /*shift*/) {}
  virtual void KeyUp(int /*key*/, ShiftState /*shift*/) {}
  virtual void FocusReceived() {}
  virtual void FocusLost() {}
  // The form's focus moved to a control: whether it is a push button, and this one.
  virtual void FocusMoved(bool /*toPushButton*/, bool /*toThis*/) {}
  // The system's visual style changed.
  virtual void ThemeChanged(const ThemeQuery& /*theme*/) {}
  // The system's colours changed.
  virtual void SystemColorsChanged() {}
  // The window's text changed: a push button's caption.
  virtual void TextChanged(const std::string& /*text*/) {}
};

}  // namespace vantorel
