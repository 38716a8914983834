// A pop-up window that floats over the desktop beside a control (the completion's
// drop-down list): placed in screen coordinates, shown without taking the focus or
// activating its owner. The core draws it and decides what its mouse input means;
// the adapter owns only the window.
#pragma once

#include "platform/Surface.h"
#include "platform/Types.h"

namespace vantorel {

// What the pop-up window hands to the core.
class PopupClient {
 public:
  virtual ~PopupClient() = default;
  virtual void PopupPaint(Surface& surface, const Rect& clip) = 0;
  // Client coordinates; they lie outside the client area while the mouse is captured.
  virtual void PopupMouseDown(MouseButton button, Point at) = 0;
  virtual void PopupMouseMove(bool leftHeld, Point at) = 0;
  virtual void PopupMouseUp(MouseButton button, Point at) = 0;
  virtual void PopupTimer() = 0;
  // The system cancels modes such as a capture (a dialog opened, another program
  // came to the front).
  virtual void PopupCancelMode() = 0;
};

class PopupWindow {
 public:
  virtual ~PopupWindow() = default;
  // Outer bounds in screen coordinates, border included.
  virtual void Place(const Rect& bounds) = 0;
  virtual void ShowWithoutActivating() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  // The area inside the border, from (0, 0).
  virtual Rect ClientRect() const = 0;
  virtual void InvalidateAll() = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // One timer per window; starting it again changes its period.
  virtual void StartTimer(int milliseconds) = 0;
  virtual void StopTimer() = 0;
};

}  // namespace vantorel
