// What the mouse does in the editor: a press places the caret (with Shift it grows
// the block, with Alt it starts a column block), a drag selects and scrolls the view
// every 100 ms while the pointer is above or below the window, a double click
// selects a word or a line, and the wheel scrolls.
#pragma once

#include "editor/EditorTypes.h"
#include "platform/Types.h"

namespace vantorel {

struct EditorContext;

class MouseHandler {
 public:
  explicit MouseHandler(EditorContext& context) noexcept : c_(context) {}

  void Press(MouseButton button, ShiftState shift, Point at);
  void Move(ShiftState shift, Point at);
  void Release(MouseButton button, ShiftState shift, Point at);
  void DoubleClick();
  // Another window took the mouse (a message box, a switch to another program): the
  // drag ends as a release would end it, without the owner's event.
  void CaptureLost();
  void AutoScrollTick();
  void Wheel(ShiftState shift, int delta);

  // A button went down in the control and is not yet released.
  bool MouseSelecting() const noexcept { return selecting_; }
  // The press that comes with a double click is dropped.
  bool IgnoreNextMouseDown() const noexcept { return ignoreNextDown_; }

 private:
  void SetAutoScroll(bool on);

  EditorContext& c_;
  bool selecting_ = false;
  bool ignoreNextDown_ = false;
  bool autoScrolling_ = false;
  int lastY_ = 0;
  TextPoint dragTarget_;
};

}  // namespace vantorel
