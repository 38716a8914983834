// The selected block in one of its four formats, the anchor it grows from, and the
// range of lines a repaint of it must cover. It keeps its own invariants: the begin
// never lies after the end, and while a line block exists in bfLine its columns read
// 0 to MaxLineColumns with the real columns kept aside, so switching the format back
// restores them.
#pragma once

#include "editor/EditorTypes.h"

namespace vantorel {

class Selection {
 public:
  bool HasBlock() const noexcept { return has_; }
  // An anchor is set: the next extension grows the block from it.
  bool Extending() const noexcept { return extending_; }
  TSelBlockFormat Format() const noexcept { return format_; }
  TextPoint Begin() const noexcept { return begin_; }
  TextPoint End() const noexcept { return end_; }
  TextPoint Anchor() const noexcept { return anchor_; }
  int LineModeBeginX() const noexcept { return lineModeBeginX_; }
  int LineModeEndX() const noexcept { return lineModeEndX_; }
  int DirtyFirstLine() const noexcept { return dirtyFirst_; }
  int DirtyLastLine() const noexcept { return dirtyLast_; }

  // No block and no anchor; where the block was stays in the dirty range.
  void Clear() noexcept { has_ = extending_ = false; }
  void StopExtending() noexcept { extending_ = false; }
  // A block without an anchor, from begin to end: negative coordinates count as 0,
  // the end column is at most MaxLineColumns, and the points are put in text order.
  // It is a block when select is set and the two points differ. The columns are taken
  // as given in every format: a range set this way (a word to delete, an offset range)
  // stays a range of characters also while the format is bfLine.
  void SetBlock(TextPoint begin, TextPoint end, bool select = true) noexcept;
  // The block's ends move (after an indent or a replacement); the anchor stays, and a
  // block in bfLine stays whole lines with these as its real columns.
  void MoveBlock(TextPoint begin, TextPoint end, bool select = true) noexcept;
  // Without an anchor, p becomes the anchor and both ends; with one, the block runs
  // between the anchor and p. The dirty range is left as it was before the block
  // moved, for the repaint; the caller widens it afterwards.
  void ExtendTo(TextPoint p) noexcept;
  // True when the format changed.
  bool SetFormat(TSelBlockFormat format) noexcept;
  void SetDirty(int first, int last) noexcept;
  // Makes the dirty range cover lines first to last as well.
  void WidenDirty(int first, int last) noexcept;

 private:
  // Puts the real columns aside and makes the block whole lines.
  void EnterLineMode() noexcept;
  void LeaveLineMode() noexcept;

  bool has_ = false;
  bool extending_ = false;
  TSelBlockFormat format_ = TSelBlockFormat::bfNonInclusive;
  TextPoint begin_;
  TextPoint end_;
  TextPoint anchor_;
  int lineModeBeginX_ = 0;
  int lineModeEndX_ = 0;
  int dirtyFirst_ = 0;
  int dirtyLast_ = 0;
};

// Puts the block in bfNonInclusive for a scope and the format before back at its end,
// however the scope is left: deleting a word erases a range of characters, whatever
// format the user chose for blocks.
class StreamFormatScope {
 public:
  explicit StreamFormatScope(Selection& selection) noexcept : s_(selection), saved_(selection.Format()) {
    s_.SetFormat(TSelBlockFormat::bfNonInclusive);
  }
  ~StreamFormatScope() { s_.SetFormat(saved_); }
  StreamFormatScope(const StreamFormatScope&) = delete;
  StreamFormatScope& operator=(const StreamFormatScope&) = delete;

 private:
  Selection& s_;
  TSelBlockFormat saved_;
};

}  // namespace vantorel
