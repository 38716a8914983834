#include "editor/Mouse.h"

#include <algorithm>

#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/Commands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/KeyTable.h"
#include "editor/Selection.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

namespace {
inline constexpr int kAutoScrollMilliseconds = 100;
// Further than this above or below the window, a tick scrolls a page, not a line.
inline constexpr int kFarDrag = 20;
}  // namespace

void MouseHandler::SetAutoScroll(bool on) {
  if (on == autoScrolling_) return;
  autoScrolling_ = on;
  if (WindowHost* host = c_.host) {
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
  Selection& block = c_.selection;
  block.StopExtending();
  c_.CloseCompletionList(false);
  const TextPoint cell = c_.caretOps->MouseToCaret(at.x, at.y);
  c_.PaintCaret(false);
  const bool left = button == MouseButton::Left;
  if (left && !shift.shift) {
    block.SetFormat(shift.alt ? TSelBlockFormat::bfColumn : TSelBlockFormat::bfNonInclusive);
    c_.caretOps->Deselect();
  }
  if (WindowHost* host = c_.host) {
    host->TakeFocus();
    host->CaptureMouse();
  }
  if (left) {
    c_.undo.Record<TBeginCompoundUndo>();
    if (shift.shift) {
      if (block.HasBlock()) {
        const TextPoint anchor = block.Anchor();
        c_.caretOps->Deselect();
        c_.caretOps->ExtendSelection(anchor.x, anchor.y);
      } else {
        c_.caretOps->ExtendSelection(c_.caret.X(), c_.caret.Y());
      }
      c_.caretOps->ExtendSelection(cell.x, cell.y);
    }
    c_.caretOps->SetCaret(cell.x, cell.y);
  }
  c_.PaintCaret(true);
  selecting_ = true;
  if (c_.events.OnMouseDown) c_.events.OnMouseDown(button, shift, at);
}

void MouseHandler::Move(ShiftState shift, Point at) {
  if (selecting_ && shift.left) {
    c_.PaintCaret(false);
    lastY_ = at.y;
    dragTarget_ = c_.caretOps->MouseToCaret(at.x, at.y);
    if (dragTarget_.y <= c_.view.LastVisibleLine()) {
      c_.caretOps->ExtendSelection(dragTarget_.x, dragTarget_.y);
      c_.caretOps->SetCaret(dragTarget_.x, dragTarget_.y);
    }
    const int height = c_.host ? c_.host->ClientRect().Height() : 0;
    SetAutoScroll(at.y < 0 || at.y > height);
    c_.PaintCaret(true);
  }
  if (c_.events.OnMouseMove) c_.events.OnMouseMove(shift, at);
}

void MouseHandler::AutoScrollTick() {
  const int height = c_.host ? c_.host->ClientRect().Height() : 0;
  if (lastY_ >= 0 && lastY_ <= height) return;
  const int page = c_.view.VisibleLines();
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
  dragTarget_.y = std::clamp(dragTarget_.y + step, 0, std::max(c_.LineCount(), 0));
  c_.PaintCaret(false);
  c_.caretOps->ExtendSelection(dragTarget_.x, dragTarget_.y);
  c_.caretOps->SetCaret(dragTarget_.x, dragTarget_.y);
  c_.PaintCaret(true);
}

void MouseHandler::Release(MouseButton button, ShiftState shift, Point at) {
  if (selecting_) c_.undo.Record<TEndCompoundUndo>();
  SetAutoScroll(false);
  selecting_ = false;
  if (WindowHost* host = c_.host) host->ReleaseMouse();
  if (c_.events.OnMouseUp) c_.events.OnMouseUp(button, shift, at);
  if (at.x >= 0 && at.x < c_.view.settings.gutterWidth && c_.events.OnGutterClick) c_.events.OnGutterClick(c_.caretOps->MouseToCaret(at.x, at.y).y);
}

void MouseHandler::CaptureLost() {
  if (selecting_) c_.undo.Record<TEndCompoundUndo>();
  SetAutoScroll(false);
  selecting_ = false;
}

void MouseHandler::DoubleClick() {
  ignoreNextDown_ = true;
  if (c_.events.OnDblClick) c_.events.OnDblClick();
  const Point at = c_.host ? c_.host->MousePosition() : Point{};
  if (at.x >= 0 && at.x < c_.view.settings.gutterWidth) {
    if (c_.events.OnGutterDblClick) c_.events.OnGutterDblClick(c_.caretOps->MouseToCaret(at.x, at.y).y);
    return;
  }
  if (c_.behaviour.DoubleClickLine) {
    c_.PaintCaret(false);
    const int y = c_.caret.Y();
    c_.caretOps->ExtendSelection(0, y);
    const TextPoint end = y == c_.LineCount() - 1 ? TextPoint{c_.LineLength(y), y} : TextPoint{0, y + 1};
    c_.caretOps->ExtendSelection(end.x, end.y);
    c_.caretOps->SetCaret(end.x, end.y);
    c_.PaintCaret(true);
  } else if (c_.LineCount() > 0) {
    c_.caretOps->SelectWordAtCaret();
  }
}

void MouseHandler::Wheel(ShiftState shift, int delta) {
  const bool buttons = shift.left || shift.right || shift.middle;
  TControlScrollBar95& bar = c_.view.VertScrollBar();
  if (shift.shift && !shift.ctrl && !shift.alt && !buttons) {
    c_.commands->RunCommand(delta > 0 ? ec::MoveUp : ec::MoveDown);
  } else if (shift.ctrl && !shift.shift && !shift.alt && !buttons) {
    bar.SetPosition(bar.Position() + (delta >= 0 ? -bar.LargeChange : bar.LargeChange));
    c_.view.Scroll(true, bar.Position());
  } else if (!shift.shift && !shift.ctrl && !shift.alt && !buttons) {
    bar.SetPosition(bar.Position() - delta / 40);
    c_.view.Scroll(true, bar.Position());
  }
}

}  // namespace vantorel
