// What the editor control needs from the window it lives in: its device, repaints,
// pixel scrolling, the system scroll bars and the system caret.
#pragma once

#include <memory>

#include "platform/PopupWindow.h"
#include "platform/Surface.h"
#include "platform/Types.h"

namespace vantorel {

// The editor's timers.
enum class EditorTimer { AutoScroll = 1, Completion = 2 };

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual bool HasWindow() const = 0;
  virtual bool IsShowing() const = 0;
  // Whether the window takes input (a disabled window shows no bracket marks).
  virtual bool IsEnabled() const = 0;
  virtual bool Focused() const = 0;
  virtual Rect ClientRect() const = 0;
  // The window's own device, for measuring and for painting at once; nullptr
  // while there is no window.
  virtual Surface* Canvas() = 0;
  virtual void InvalidateAll() = 0;
  virtual void Invalidate(const Rect& rect) = 0;
  // Shifts the pixels of area by (dx, dy), clipped to clip; what is uncovered is the
  // caller's to mark for repainting.
  virtual void ScrollPixels(int dx, int dy, const Rect& area, const Rect& clip) = 0;
  // Paints what is marked for repainting now.
  virtual void UpdateNow() = 0;
  // The window's style depends on settings that changed (scroll bars, border): the
  // window takes the new style; the control is told through WindowCreated.
  virtual void RecreateWindow() = 0;
  // Sets or clears the window's read-only style bit.
  virtual void SetReadOnlyStyle(bool readOnly) = 0;
  // Passes a scroll bar's range, page and position to the system bar, which is shown
  // disabled (not hidden) when nothing can be scrolled.
  virtual void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) = 0;
  // Where the user drags the thumb of the bar right now.
  virtual int ScrollTrackPosition(ScrollBarKind kind) = 0;
  virtual void CreateCaret(int width, int height) = 0;
  virtual void DestroyCaret() = 0;
  virtual void ShowCaret() = 0;
  virtual void HideCaret() = 0;
  virtual void SetCaretPos(Point at) = 0;
  // The pointer's position in client coordinates.
  virtual Point MousePosition() const = 0;
  virtual void TakeFocus() = 0;
  // Mouse messages keep coming to the window while a button is held outside it.
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  virtual void StartTimer(EditorTimer timer, int milliseconds) = 0;
  virtual void StopTimer(EditorTimer timer) = 0;
  virtual void Beep() = 0;
  // The control's cursor changed: the pointer over the window takes it now.
  virtual void RefreshCursor() = 0;
  // Queues a command for the control behind the messages already waiting.
  virtual void PostCommand(int code) = 0;

  // Where the client area's top-left corner lies on the screen.
  virtual Point ClientOrigin() const = 0;
  // The window's outer width, border included.
  virtual int WindowWidth() const = 0;
  virtual Point ScreenSize() const = 0;
  // The system's thin border: width and height in pixels.
  virtual Point BorderSize() const = 0;
  // A hidden pop-up window owned by this window's top-level window; client gets its
  // input. It may outlive a recreation of this window.
  virtual std::unique_ptr<PopupWindow> CreatePopup(PopupClient& client) = 0;
};

}  // namespace vantorel
