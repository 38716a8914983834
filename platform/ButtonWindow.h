// What a custom-painted button asks of its window: size, repaint, focus, mouse
// capture, one timer, where it lies on the screen and the colour behind it.
#pragma once

#include "platform/Types.h"

namespace vantorel {

class ButtonWindow {
 public:
  virtual ~ButtonWindow() = default;
  virtual Rect ClientRect() const = 0;
  // Paints the button again at once.
  virtual void Repaint() = 0;
  virtual bool Focused() const = 0;
  // Whether the button could take the focus now (shown, enabled, a tab stop's window).
  virtual bool CanFocus() const = 0;
  virtual void TakeFocus() = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  virtual bool MouseCaptured() const = 0;
  // One timer per button; starting it again changes its period.
  virtual void StartTimer(int milliseconds) = 0;
  virtual void StopTimer() = 0;
  // Where the client area's top-left corner lies on the screen.
  virtual Point ScreenOrigin() const = 0;
  // Whether the mouse pointer is over this button's window now.
  virtual bool PointerOver() const = 0;
  // The background colour of the window the button sits on.
  virtual Color ParentColor() const = 0;
};

}  // namespace vantorel
