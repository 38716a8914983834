#include "editor/CaretCommands.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "editor/Caret.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/Selection.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

bool IsWordSeparator(char c) noexcept {
  switch (static_cast<unsigned char>(c)) {
    case 0: case 10: case 13: case 32: case 34: case 35: case 37: case 39:
    case 40: case 41: case 42: case 43: case 44: case 45: case 46: case 47:
    case 58: case 59: case 60: case 61: case 62:
    case 91: case 92: case 93: case 123: case 125:
      return true;
    default:
      return false;
  }
}

std::optional<WordSpan> FindWord(std::string_view t, int p) noexcept {
  const int length = static_cast<int>(t.size());
  if (p < 1 || p > length) return std::nullopt;
  const auto separator = [t](int i) { return IsWordSeparator(t[static_cast<std::size_t>(i - 1)]); };
  int b = p;
  if (p > 1 && separator(p)) b = separator(p - 1) ? p + 1 : p - 1;
  while (b > 0 && b <= length && !separator(b)) --b;
  ++b;
  int e = p;
  while (e <= length && !separator(e)) ++e;
  if (b < e) return WordSpan{b, e};
  return WordSpan{p, p + 1};
}

int FirstNonBlank(std::string_view line) noexcept {
  const std::size_t first = line.find_first_not_of(' ');
  return static_cast<int>(first == std::string_view::npos ? line.size() : first) + 1;
}

int CaretCommands::LineLength(int y) const {
  return y >= 0 && y < c_.LineCount() ? static_cast<int>(c_.LineView(y).size()) : 0;
}

// --- the caret ---

void CaretCommands::SetCaretInternal(int x, int y) {
  if (x == c_.caret.X() && y == c_.caret.Y()) return;
  if (!c_.behaviour.CursorBeyondEOF) y = std::min(y, c_.LineCount() - 1);
  y = std::max(y, 0);
  x = std::clamp(x, 0, MaxLineColumns);
  EditorView& view = c_.view;
  int top = view.TopLine();
  if (y < top) {
    top = y;
  } else if (y > std::max(view.LastVisibleLine(), 0)) {
    top = y - view.VisibleLines() + 1;
  }
  int left = view.LeftColumn();
  if (x < left) {
    left = x;
  } else if (x > view.LastVisibleColumn()) {
    left = x - view.VisibleColumns() + 1;
  }
  view.ScrollTo(left, top);
  if (c_.caret.MoveTo(x, y)) {
    view.PlaceCaret();
    c_.notices.StatusChanged();
  }
}

void CaretCommands::SetCaret(int x, int y) {
  if (x == c_.caret.X() && y == c_.caret.Y()) return;
  c_.undo.Record<TCaretUndo>(c_.caret.X(), c_.caret.Y());
  SetCaretInternal(x, y);
  if (c_.state.updateLock == 0) c_.notices.StatusChanged();
}

TextPoint CaretCommands::MouseToCaret(int x, int y) const {
  const EditorView& view = c_.view;
  // The nearest cell border, halves to even: a click in a cell's right half gives
  // the column after it.
  const long long column = std::llrint(static_cast<double>(x - view.TextLeft()) / view.CellWidth());
  const int line = y / view.CellHeight();
  TextPoint p{static_cast<int>(std::max<long long>(column, 0)) + view.LeftColumn(), std::max(line, 0) + view.TopLine()};
  p.x = std::min(p.x, view.LastVisibleColumn());
  p.y = std::min(p.y, c_.LineCount() - 1);
  return p;
}

void CaretCommands::EnsureLineVisible(int line) {
  EditorView& view = c_.view;
  if (line < view.TopLine() || line > view.LastVisibleLine()) {
    view.ScrollTo(view.LeftColumn(), std::max(0, line - view.VisibleLines() / 2));
  }
}

// --- the block ---

void CaretCommands::ExtendSelection(int x, int y) {
  c_.undo.Record<TSelectUndo>(c_.caret.X(), c_.caret.Y());
  x = std::max(x, 0);
  y = std::max(y, 0);
  Selection& block = c_.selection;
  const TSelBlockFormat format = block.Format();
  const int lines = c_.LineCount();
  if (y >= lines) {
    if (lines == 0) {
      // An empty text has no character a block could hold.
      x = 0;
      y = 0;
    } else {
      y = lines - 1;
      if (format != TSelBlockFormat::bfLine && format != TSelBlockFormat::bfColumn) x = LineLength(y);
    }
  }
  if ((format == TSelBlockFormat::bfInclusive || format == TSelBlockFormat::bfNonInclusive) && y < lines) {
    x = std::min(x, LineLength(y));
  }
  block.ExtendTo({x, y});
  if (c_.undoGroupDepth == 0) SelectionChanged();
  block.WidenDirty(block.Begin().y, block.End().y);
}

void CaretCommands::SelectionChanged() {
  const Selection& block = c_.selection;
  const int first = block.DirtyFirstLine();
  const int last = block.DirtyLastLine();
  const int begin = block.Begin().y;
  const int end = block.End().y;
  const auto repaint = [this](int from, int to) {
    for (int line = std::min(from, to); line <= std::max(from, to); ++line) c_.view.RepaintLine(line);
  };
  if (block.Format() == TSelBlockFormat::bfColumn) {
    if (first < begin) repaint(first, begin);
    repaint(begin, end);
    if (last > end) repaint(end, last);
  } else {
    repaint(first, begin);
    repaint(end, last);
  }
  if (c_.events.OnSelectionChange) c_.events.OnSelectionChange();
}

void CaretCommands::RepaintDirtyLines() {
  const Selection& block = c_.selection;
  for (int line = block.DirtyFirstLine(); line <= block.DirtyLastLine(); ++line) c_.view.RepaintLine(line);
}

void CaretCommands::Deselect() {
  Selection& block = c_.selection;
  if (!block.HasBlock()) return;
  block.Clear();
  c_.undo.Record<TUnselectUndo>(c_.caret.X(), c_.caret.Y());
  RepaintDirtyLines();
}

void CaretCommands::SelectRange(int beginX, int beginY, int endX, int endY) {
  c_.undo.Record<TSelectUndo>(c_.caret.X(), c_.caret.Y());
  Selection& block = c_.selection;
  block.Clear();
  beginX = std::max(beginX, 0);
  beginY = std::max(beginY, 0);
  if (endY < beginY || beginY >= c_.LineCount()) return;
  endY = std::min(endY, c_.LineCount() - 1);
  if (endY < 0) return;
  block.SetBlock({beginX, beginY}, {std::min(endX, MaxLineColumns), endY});
  block.WidenDirty(block.Begin().y, block.End().y);
  if (c_.undoGroupDepth == 0) RepaintDirtyLines();
}

void CaretCommands::SelectAll() { SelectRange(0, 0, MaxLineColumns, INT_MAX); }

void CaretCommands::SetSelBlockFormat(TSelBlockFormat format) {
  Selection& block = c_.selection;
  if (!block.SetFormat(format)) return;
  RepaintDirtyLines();
  c_.notices.StatusChanged();
}

// --- offsets ---

int CaretCommands::PositionToOffset(int x, int y) const {
  if (y < 0 || y >= c_.LineCount()) return -1;
  long long offset = 0;
  for (int line = 0; line < y; ++line) offset += LineLength(line) + 2;
  offset += std::min(std::max(x, 0), LineLength(y));
  return static_cast<int>(std::min<long long>(offset, INT_MAX));
}

TextPoint CaretCommands::OffsetToPosition(int offset) const {
  if (offset < 0) return {-1, -1};
  long long before = 0;
  for (int y = 0; y < c_.LineCount(); ++y) {
    const int length = LineLength(y);
    if (before + length >= offset) return {static_cast<int>(offset - before), y};
    before += length + 2;
    // Between CR and LF: the column before the next line's first.
    if (before - 1 == offset && y + 1 < c_.LineCount()) return {-1, y + 1};
  }
  return {-1, -1};
}

TextPoint CaretCommands::PositionInText(int offset) const {
  if (offset < 0) return {0, 0};
  const TextPoint p = OffsetToPosition(offset);
  if (p.y >= 0) return {std::max(p.x, 0), p.y};
  const int last = c_.LineCount() - 1;
  return last < 0 ? TextPoint{0, 0} : TextPoint{LineLength(last), last};
}

int CaretCommands::SelStart() const {
  const Selection& block = c_.selection;
  const TextPoint at = block.HasBlock() ? block.Begin() : TextPoint{c_.caret.X(), c_.caret.Y()};
  return PositionToOffset(at.x, at.y);
}

int CaretCommands::SelLength() const {
  const Selection& block = c_.selection;
  if (!block.HasBlock()) return 0;
  const TextPoint b = block.Begin();
  const TextPoint en = block.End();
  if (b.y < 0 || b.y >= c_.LineCount() || en.y < 0 || en.y >= c_.LineCount()) {
    if (c_.behaviour.BeepOnError && c_.host) c_.host->Beep();
    return 0;
  }
  const TSelBlockFormat format = block.Format();
  const int incl = format == TSelBlockFormat::bfInclusive ? 1 : 0;
  long long length = 0;
  if (format == TSelBlockFormat::bfColumn) {
    for (int y = b.y; y <= en.y; ++y) length += std::min(std::max(LineLength(y) - b.x, 0), en.x - b.x + 1) + 2;
    if (length > 0) length -= 2;
  } else if (b.y == en.y) {
    const int line = LineLength(b.y);
    length = std::max(line < en.x + incl ? line - b.x : en.x + incl - b.x, 0);
  } else {
    length = std::max(LineLength(b.y) - b.x, 0);
    for (int y = b.y + 1; y < en.y; ++y) length += LineLength(y) + 2;
    length += std::min(en.x + incl, LineLength(en.y)) + 2;
  }
  return static_cast<int>(std::min<long long>(length, INT_MAX));
}

void CaretCommands::SetSelStart(int offset) {
  Selection& block = c_.selection;
  block.Clear();
  // An offset outside the text names no position: the caret goes to the start, as
  // the clamping of (-1, -1) puts it. (An end beyond the text is different: a block
  // reaching past the end is taken to the end, see SetSelLength.)
  const TextPoint p = OffsetToPosition(offset);
  const TextPoint at = p.y < 0 ? TextPoint{0, 0} : TextPoint{std::max(p.x, 0), p.y};
  block.SetBlock(at, at, false);
  SetCaretInternal(at.x, at.y);
  SetSelLength(0);
  EnsureLineVisible(block.Begin().y);
}

void CaretCommands::SetSelLength(int length) {
  Selection& block = c_.selection;
  const TextPoint begin = block.Begin();
  const TextPoint from = length > 0 ? begin : TextPoint{c_.caret.X(), c_.caret.Y()};
  const int start = PositionToOffset(from.x, from.y);
  const long long target = static_cast<long long>(start) + length;
  const TextPoint end = PositionInText(static_cast<int>(std::clamp<long long>(target, INT_MIN, INT_MAX)));
  block.SetBlock(begin, end, length > 0);
  block.WidenDirty(block.Begin().y, block.End().y);
  SetCaretInternal(end.x, end.y);
  c_.view.RepaintAll();
}

void CaretCommands::SelectWordAtCaret() {
  const int y = c_.caret.Y();
  if (y < 0 || y >= c_.LineCount()) return;
  const std::string_view line = c_.LineView(y);
  int trimmed = static_cast<int>(line.size());
  while (trimmed > 0 && static_cast<unsigned char>(line[static_cast<std::size_t>(trimmed - 1)]) <= ' ') --trimmed;
  if (trimmed == 0) return;
  int x = c_.caret.X();
  if (x < trimmed) {
    while (static_cast<unsigned char>(line[static_cast<std::size_t>(x)]) <= ' ') ++x;
  } else {
    x = trimmed - 1;
  }
  c_.caret.MoveTo(x, y);  // no undo item: the first click placed the caret
  const std::optional<WordSpan> word = FindWord(std::string(line) + ' ', x + 1);
  if (!word) return;
  ExtendSelection(word->begin - 1, y);
  ExtendSelection(word->end - 1, y);
  SetCaret(word->end - 1, y);
}

// --- messages ---

CaretCommands::SelOffsets CaretCommands::GetSel() const {
  const int start = SelStart();
  const int end = start + SelLength();
  const bool fits = start >= 0 && start <= 65535 && end >= 0 && end <= 65535;
  const std::uint32_t packed = static_cast<std::uint32_t>(start) | (static_cast<std::uint32_t>(end) << 16);
  return {start, end, fits ? static_cast<std::intptr_t>(packed) : -1};
}

std::intptr_t CaretCommands::AnswerGetSel(std::uint32_t* start, std::uint32_t* end) const {
  const SelOffsets sel = GetSel();
  if (start) *start = static_cast<std::uint32_t>(sel.start);
  if (end) *end = static_cast<std::uint32_t>(sel.end);
  return sel.result;
}

void CaretCommands::SetSel(int start, int end) {
  if (start == 0 && end == -1) {
    SelectAll();
    return;
  }
  SetSelStart(start);
  // Another program's offsets may be anything: the length is taken in 64 bits and
  // kept within what a length can be.
  SetSelLength(static_cast<int>(std::clamp<long long>(static_cast<long long>(end) - start, INT_MIN, INT_MAX)));
}

}  // namespace vantorel
