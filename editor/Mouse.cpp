#include "editor/Mouse.h"

#include <algorithm>

#include "editor/Editor.h"
#include "editor/KeyTable.h"

namespace vantorel {

namespace {
inline constexpr int kAutoScrollMilliseconds = 100;
// Further than this above or below the window, a tick scrolls a page, not a line.
inline constexpr int kFarDrag = 20;
}  // namespace

void MouseHandler::SetAutoScroll(bool on) {
  if (on == autoScrolling_) return;
  autoScrolling_ = on;
  if (WindowHost* host = e_.Host()) {
    if (on) {
      host->StartTimer(EditorTimer::AutoScroll, kAutoScrollMilliseconds);
    } else {
      host->StopTimer(EditorTimer::AutoScroll);
    }
  }
}

void MouseHandler::Press(MouseButton button, ShiftState shift, Point at) {
  if (ignoreNextDown_) {
    ignoreNextDown_ = false;
    return;
  }
  Selection& block = e_.SelectionModel();
  block.StopExtending();
  e_.CloseCompletionList(false);
  const TextPoint cell = e_.MouseToCaret(at.x, at.y);
  e_.PaintCaret(false);
  const bool left = button == MouseButton::Left;
  if (left && !shift.shift) {
    block.SetFormat(shift.alt ? TSelBlockFormat::bfColumn : TSelBlockFormat::bfNonInclusive);
    e_.Deselect();
  }
  if (WindowHost* host = e_.Host()) {
    host->TakeFocus();
    host->CaptureMouse();
  }
  if (left) {
    e_.UndoBuffer().Record<TBeginCompoundUndo>();
    if (shift.shift) {
      if (block.HasBlock()) {
        const TextPoint anchor = block.Anchor();
        e_.Deselect();
        e_.ExtendSelection(anchor.x, anchor.y);
      } else {
        e_.ExtendSelection(e_.CaretX(), e_.CaretY());
      }
      e_.ExtendSelection(cell.x, cell.y);
    }
    e_.SetCaret(cell.x, cell.y);
  }
  e_.PaintCaret(true);
  selecting_ = true;
  if (e_.OnMouseDown) e_.OnMouseDown(button, shift, at);
}

void MouseHandler::Move(ShiftState shift, Point at) {
  if (selecting_ && shift.left) {
    e_.PaintCaret(false);
    lastY_ = at.y;
    dragTarget_ = e_.MouseToCaret(at.x, at.y);
    if (dragTarget_.y <= e_.LastVisibleLine()) {
      e_.ExtendSelection(dragTarget_.x, dragTarget_.y);
      e_.SetCaret(dragTarget_.x, dragTarget_.y);
    }
    const int height = e_.Host() ? e_.Host()->ClientRect().Height() : 0;
    SetAutoScroll(at.y < 0 || at.y > height);
    e_.PaintCaret(true);
  }
  if (e_.OnMouseMove) e_.OnMouseMove(shift, at);
}

void MouseHandler::AutoScrollTick() {
  const int height = e_.Host() ? e_.Host()->ClientRect().Height() : 0;
  if (lastY_ >= 0 && lastY_ <= height) return;
  const int page = e_.VisibleLines();
  int step;
  if (lastY_ < -kFarDrag) {
    step = -page;
  } else if (lastY_ < 0) {
    step = -1;
  } else if (lastY_ > height + kFarDrag) {
    step = page;
  } else {
    step = 1;
  }
  // Any line beyond the text is the same to the selection; bounding the target
  // keeps a long drag from running it out of range.
  dragTarget_.y = std::clamp(dragTarget_.y + step, 0, std::max(e_.LineCount(), 0));
  e_.PaintCaret(false);
  e_.ExtendSelection(dragTarget_.x, dragTarget_.y);
  e_.SetCaret(dragTarget_.x, dragTarget_.y);
  e_.PaintCaret(true);
}

void MouseHandler::Release(MouseButton button, ShiftState shift, Point at) {
  if (selecting_) e_.UndoBuffer().Record<TEndCompoundUndo>();
  SetAutoScroll(false);
  selecting_ = false;
  if (WindowHost* host = e_.Host()) host->ReleaseMouse();
  if (e_.OnMouseUp) e_.OnMouseUp(button, shift, at);
  if (at.x >= 0 && at.x < e_.GutterWidth() && e_.OnGutterClick) e_.OnGutterClick(e_.MouseToCaret(at.x, at.y).y);
}

void MouseHandler::CaptureLost() {
  if (selecting_) e_.UndoBuffer().Record<TEndCompoundUndo>();
  SetAutoScroll(false);
  selecting_ = false;
}

void MouseHandler::DoubleClick() {
  ignoreNextDown_ = true;
  if (e_.OnDblClick) e_.OnDblClick();
  const Point at = e_.Host() ? e_.Host()->MousePosition() : Point{};
  if (at.x >= 0 && at.x < e_.GutterWidth()) {
    if (e_.OnGutterDblClick) e_.OnGutterDblClick(e_.MouseToCaret(at.x, at.y).y);
    return;
  }
  if (e_.DoubleClickLine) {
    e_.PaintCaret(false);
    const int y = e_.CaretY();
    e_.ExtendSelection(0, y);
    const TextPoint end = y == e_.LineCount() - 1 ? TextPoint{e_.LineLength(y), y} : TextPoint{0, y + 1};
    e_.ExtendSelection(end.x, end.y);
    e_.SetCaret(end.x, end.y);
    e_.PaintCaret(true);
  } else if (e_.LineCount() > 0) {
    e_.SelectWordAtCaret();
  }
}

void MouseHandler::Wheel(ShiftState shift, int delta) {
  const bool buttons = shift.left || shift.right || shift.middle;
  TControlScrollBar95& bar = e_.VertScrollBar();
  if (shift.shift && !shift.ctrl && !shift.alt && !buttons) {
    e_.RunCommand(delta > 0 ? ec::MoveUp : ec::MoveDown);
  } else if (shift.ctrl && !shift.shift && !shift.alt && !buttons) {
    bar.SetPosition(bar.Position() + (delta >= 0 ? -bar.LargeChange : bar.LargeChange));
    e_.Scroll(true, bar.Position());
  } else if (!shift.shift && !shift.ctrl && !shift.alt && !buttons) {
    bar.SetPosition(bar.Position() - delta / 40);
    e_.Scroll(true, bar.Position());
  }
}

}  // namespace vantorel
