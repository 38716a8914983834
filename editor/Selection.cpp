#include "editor/Selection.h"

#include <algorithm>
#include <utility>

namespace vantorel {

void Selection::EnterLineMode() noexcept {
  lineModeBeginX_ = begin_.x;
  lineModeEndX_ = end_.x;
  begin_.x = 0;
  end_.x = MaxLineColumns;
}

void Selection::LeaveLineMode() noexcept {
  begin_.x = lineModeBeginX_;
  end_.x = lineModeEndX_;
}

void Selection::SetBlock(TextPoint begin, TextPoint end, bool select) noexcept {
  const auto onGrid = [](TextPoint p) { return TextPoint{std::clamp(p.x, 0, MaxLineColumns), std::max(p.y, 0)}; };
  begin = onGrid(begin);
  end = onGrid(end);
  if (end < begin) std::swap(begin, end);
  if (format_ == TSelBlockFormat::bfColumn && end.x < begin.x) std::swap(begin.x, end.x);
  extending_ = false;
  has_ = select && !(begin == end);
  begin_ = begin;
  end_ = end;
  lineModeBeginX_ = begin.x;
  lineModeEndX_ = end.x;
}

void Selection::MoveBlock(TextPoint begin, TextPoint end, bool select) noexcept {
  const bool extending = extending_;
  SetBlock(begin, end, select);
  extending_ = extending;
  if (format_ == TSelBlockFormat::bfLine && has_) EnterLineMode();
}

void Selection::ExtendTo(TextPoint p) noexcept {
  // A word or a line end beyond the shown columns still ends the block at the last one.
  p.x = std::clamp(p.x, 0, MaxLineColumns);
  const bool lineMode = format_ == TSelBlockFormat::bfLine;
  if (!extending_) {
    anchor_ = begin_ = end_ = p;
    has_ = false;
    extending_ = true;
    if (lineMode) EnterLineMode();
    return;
  }
  if (lineMode) LeaveLineMode();
  SetDirty(begin_.y, end_.y);
  begin_.y = std::min(anchor_.y, p.y);
  end_.y = std::max(anchor_.y, p.y);
  // The columns follow the text order of the two points; a rectangle's always ascend.
  begin_.x = p < anchor_ || p == anchor_ ? p.x : anchor_.x;
  end_.x = p < anchor_ || p == anchor_ ? anchor_.x : p.x;
  if (format_ == TSelBlockFormat::bfColumn && end_.x < begin_.x) std::swap(begin_.x, end_.x);
  if (lineMode) EnterLineMode();
  has_ = begin_ < end_;
}

bool Selection::SetFormat(TSelBlockFormat format) noexcept {
  if (format == format_) return false;
  if (has_) {
    if (format == TSelBlockFormat::bfLine) {
      EnterLineMode();
    } else if (format_ == TSelBlockFormat::bfLine) {
      LeaveLineMode();
    }
  }
  format_ = format;
  // A rectangle's columns ascend whichever corner came first: a stream block that ends
  // left of where it begins becomes the rectangle between its two corners.
  if (has_ && format_ == TSelBlockFormat::bfColumn && end_.x < begin_.x) std::swap(begin_.x, end_.x);
  return true;
}

void Selection::SetDirty(int first, int last) noexcept {
  dirtyFirst_ = first;
  dirtyLast_ = last;
}

void Selection::WidenDirty(int first, int last) noexcept {
  dirtyFirst_ = std::min(dirtyFirst_, first);
  dirtyLast_ = std::max(dirtyLast_, last);
}

}  // namespace vantorel
