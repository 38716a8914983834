// The build output pane's window below the editor. The core draws it (the bar on its
// top edge, the lines) and decides what its mouse, keys and scroll bars mean; the
// adapter owns only the window, its system scroll bars and the focus.
#pragma once

#include <optional>
#include <string>

#include "platform/Surface.h"
#include "platform/Types.h"

namespace vantorel {

// A line as the pane shows it, for a reader in the program's own process (the
// end-to-end tests' probe).
struct PaneRowView {
  std::string text;  // UTF-8, tabs laid out
  int kind = 0;      // 0 text, 1 error, 2 warning
  Rect rect;         // in the client area; outside it while the line is scrolled away
};

struct PaneState {
  int count = 0;
  int selected = -1;
  int top = 0;
};

// What the pane's window hands to the core. Points are in client coordinates; they
// lie outside the client area while the mouse is captured.
class PaneClient {
 public:
  virtual ~PaneClient() = default;
  virtual void PanePaint(Surface& surface, const Rect& clip) = 0;
  // The client area changed size (the window was laid out, a scroll bar came or went).
  virtual void PaneSized() = 0;
  virtual void PaneMouseDown(MouseButton button, Point at) = 0;
  // The second press of a double click, in place of its press.
  virtual void PaneDoubleClick(MouseButton button, Point at) = 0;
  virtual void PaneMouseMove(bool leftHeld, Point at) = 0;
  virtual void PaneMouseUp(MouseButton button, Point at) = 0;
  // The window lost the mouse capture (the system took it, or it was released).
  virtual void PaneCaptureLost() = 0;
  // The wheel turned by delta (120 a notch, positive away from the user).
  virtual void PaneWheel(int delta) = 0;
  // A key going down while the pane has the focus; true when the core used it.
  virtual bool PaneKeyDown(int key) = 0;
  // A system scroll bar's request; trackPosition is where its thumb is being dragged.
  virtual void PaneScroll(ScrollBarKind kind, ScrollCode code, int trackPosition) = 0;
  virtual void PaneFocusChanged() = 0;
  // Whether the pointer at this point sizes the pane (the size cursor shows).
  virtual bool PaneSizesAt(Point at) const = 0;
  virtual PaneState State() const = 0;
  virtual std::optional<PaneRowView> Row(int index) const = 0;
};

class PaneWindow {
 public:
  virtual ~PaneWindow() = default;
  virtual void SetClient(PaneClient* client) = 0;
  // The area inside the scroll bars, from (0, 0).
  virtual Rect ClientRect() const = 0;
  // The screen position of the client area's top-left corner: a drag of the pane's
  // edge is measured on the screen, since the window moves under the pointer.
  virtual Point ClientOrigin() const = 0;
  virtual void Invalidate(const Rect& rect) = 0;
  virtual void InvalidateAll() = 0;
  // A system bar shows while its range is wider than its page.
  virtual void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) = 0;
  virtual bool Focused() const = 0;
  virtual void TakeFocus() = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
  // The average character width and the height of the font, in pixels; nothing when
  // the system could not measure it.
  virtual std::optional<Point> FontCell(const FontDesc& font) = 0;
  virtual void Beep() = 0;
};

}  // namespace vantorel
