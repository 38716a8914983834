#include "editor/Typing.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "editor/BlockCommands.h"
#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/KeyTable.h"
#include "editor/Selection.h"
#include "editor/TextEdits.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

namespace {

inline constexpr std::string_view kLineBreak = "\r\n";

bool IsWordStartCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view TrimRight(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return s.substr(0, n);
}

bool HasVisible(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

}  // namespace

bool IsIdentifierCharacter(char c) noexcept {
  return c == '\b' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string_view TypingCommands::Line(int y) const {
  return y >= 0 && y < c_.LineCount() ? c_.LineView(y) : std::string_view();
}

void TypingCommands::ClearSelectionForTyping() {
  if (c_.selection.HasBlock()) c_.blocks->EraseSelection();
}

bool TypingCommands::EraseBlock(int& x, bool& caretUndo, int& y) {
  if (!c_.selection.HasBlock()) return false;
  ClearSelectionForTyping();
  x = c_.caret.X();
  y = c_.caret.Y();
  caretUndo = false;
  return true;
}

// --- typing ---

void TypingCommands::TypeCharacter(char ch) {
  if (ch == '\r') {
    if (c_.state.insertMode) {
      Enter();
    } else {
      EnterOverwriting();
    }
  } else if (static_cast<unsigned char>(ch) >= ' ') {
    TypePrintable(ch);
  }
}

void TypingCommands::TypePrintable(char ch) {
  const bool identifier = c_.CompletionContinuesWord(ch);
  if (!identifier) c_.OfferCharToCompletion(ch);
  ClearSelectionForTyping();
  c_.Lines().KeepTrailingBlanksOf(c_.caret.Y(), c_.caret.Y());
  c_.Lines().ReLine();
  const int x = c_.caret.X();
  const int y = c_.caret.Y();
  const std::string typed(1, ch);
  // The character goes into the line where it is stored: a long line is not copied.
  EditTextReportedAfter(
      c_,
      [&] {
        if (c_.state.insertMode) {
          c_.undo.Record<TInsertUndo>(x, y, typed);
          c_.Lines().ReplaceInLine(y, x, 0, typed);
        } else {
          const std::string_view line = c_.LineView(y);
          const bool within = static_cast<std::size_t>(x) < line.size();
          c_.undo.Record<TOverwriteUndo>(x, y, within ? std::string(1, line[static_cast<std::size_t>(x)]) : "",
                                                 typed);
          c_.Lines().ReplaceInLine(y, x, within ? 1 : 0, typed);
        }
        c_.caretOps->SetCaretInternal(x + 1, y);
      },
      // Where the caret went, which stops at the last column.
      [&] { return ReadReport{c_.caret.X(), y, typed, TextAction::StreamInsert}; }, {.repaintLine = y, .changed = true});
  if (identifier) c_.OfferCharToCompletion(ch);
}

// Splits the caret's line; the new line's position comes back in (nx, y).
void TypingCommands::SplitLine(int& nx, int& y) {
  TEditorPaintLock paint(c_);
  ClearSelectionForTyping();
  const int x0 = c_.caret.X();
  const int y0 = c_.caret.Y();
  TEditorStrings& lines = c_.Lines();
  // The break is reported, the view sized first, while the paint lock holds.
  EditText(
      c_,
      [&] {
      // ReLine makes the caret's line (also the first line of an empty text) with undo
      // records, before the break is recorded, so Undo takes the break back first and
      // then removes exactly the lines that were appended.
      lines.KeepTrailingBlanksOf(y0, y0);
      lines.ReLine();
      c_.undo.Record<TInsertUndo>(x0, y0, std::string(kLineBreak));
      const std::string line(lines.View(y0));
      const std::size_t split = std::min<std::size_t>(static_cast<std::size_t>(x0), line.size());
      lines.Insert(y0 + 1, line.substr(split));
      lines.SetLineText(y0, line.substr(0, split));
      nx = 0;
      if (c_.behaviour.AutoIndent) {
        // A line that begins with blanks passes its indentation on; so does a blank line
        // split inside its blanks. A line that begins with text, or a split at column 0,
        // starts the new line at column 0.
        const std::string_view head = lines.View(y0);
        if ((!head.empty() && head.front() == ' ') || (!HasVisible(head) && x0 >= 1)) nx = IndentOfLineAbove(y0 + 1);
      }
      if (nx > 0) {
        const std::string blanks(static_cast<std::size_t>(nx), ' ');
        c_.undo.Record<TInsertUndo>(0, y0 + 1, blanks);
        lines.SetLineText(y0 + 1, blanks + std::string(lines.View(y0 + 1)));
      }
      },
      {x0 - 1, y0, kLineBreak, TextAction::StreamInsert}, {.sizeBefore = true});
  y = y0 + 1;
}

void TypingCommands::Enter() {
  int nx = 0;
  int ny = 0;
  if (c_.selection.HasBlock()) {
    TEditorUndoGroup group(c_);
    SplitLine(nx, ny);
    group.End();
  } else {
    SplitLine(nx, ny);
  }
  c_.view.RepaintAll();
  c_.notices.Changed();
  c_.caretOps->SetCaretInternal(nx, ny);
}

// Overwrite mode splits nothing: the caret goes to the next line, which is added
// when the caret is on the last one.
void TypingCommands::MoveToNextLine(int& nx, int& ny) {
  ClearSelectionForTyping();
  nx = c_.caret.X();
  ny = c_.caret.Y() + 1;
  if (ny >= c_.LineCount()) {
    EditText(c_, [&] {
      TEditorPaintLock paint(c_);
      // The break goes after the end of the last line, not at the caret: undoing it at
      // the caret's column would cut the rest of the line off, and below the text it
      // would take back nothing.
      const int last = c_.LineCount() - 1;
      if (last < 0) {
        // The first line of an empty text has no break before it: it is taken back as
        // a line appended for the caret.
        c_.undo.Record<TReLineUndo>(0, 0);
      } else {
        // Undoing the break stores the last line again, which would cut its blanks.
        c_.Lines().KeepTrailingBlanksOf(last, last);
        c_.undo.Record<TInsertUndo>(c_.LineLength(last), last, std::string(kLineBreak));
      }
      c_.Lines().Add("");
    }, {0, ny - 1, kLineBreak, TextAction::StreamInsert}, {.sizeAfter = true, .repaintAll = true, .changed = true});
  }
  if (ny < c_.LineCount() && !Line(ny).empty()) nx = std::min(nx, FirstNonBlank(Line(ny)) - 1);
}

void TypingCommands::EnterOverwriting() {
  int nx = 0;
  int ny = 0;
  if (c_.selection.HasBlock()) {
    TEditorUndoGroup group(c_);
    MoveToNextLine(nx, ny);
    group.End();
  } else {
    MoveToNextLine(nx, ny);
  }
  c_.caretOps->SetCaretInternal(nx, ny);
}

// --- stops ---

int TypingCommands::GetSmartTabStop(int x, int y, bool forward) const {
  if (!forward) return c_.GetTabStop(x, false);
  if (c_.behaviour.SmartTab) {
    std::vector<bool> stops(MaxLineColumns + 1, false);
    const auto mark = [&stops](int column) {
      if (column >= 0 && column <= MaxLineColumns) stops[static_cast<std::size_t>(column)] = true;
    };
    // i is 1-based and shared by all lines: an older line only adds stops to the right
    // of those of the newer lines above it.
    int i = 1;
    for (int j = 1; y - j >= 0; ++j) {
      const std::string_view s = TrimRight(Line(y - j));
      const int length = static_cast<int>(s.size());
      if (i < length) mark(length);
      while (i <= length) {
        if (IsWordStartCharacter(s[static_cast<std::size_t>(i - 1)])) {
          mark(i - 1);
          while (i <= length && IsWordStartCharacter(s[static_cast<std::size_t>(i - 1)])) ++i;
          ++i;
        } else {
          ++i;
        }
      }
      if (i >= MaxLineColumns || j >= 2 * c_.view.VisibleLines()) break;
    }
    for (int c = std::max(x + 1, 0); c <= MaxLineColumns; ++c) {
      if (stops[static_cast<std::size_t>(c)]) return c;
    }
  }
  return c_.GetTabStop(x, true);
}

int TypingCommands::UnindentStop(int x, int y) const {
  const std::string_view s = TrimRight(Line(y));
  if (HasVisible(s.substr(0, std::min<std::size_t>(static_cast<std::size_t>(std::max(x, 0)), s.size())))) return x - 1;
  if (x >= 0 && static_cast<std::size_t>(x) < s.size() && s[static_cast<std::size_t>(x)] == ' ') return x - 1;
  // The lines above offer their indentation columns, each left of the one a nearer
  // line offered; column 0 is always a stop.
  int best = 0;
  int limit = x - 1;
  for (int k = 1; y - k >= 0; ++k) {
    const std::string_view above = Line(y - k);
    const std::size_t look = std::min<std::size_t>(above.size(), static_cast<std::size_t>(std::max(limit, 0)));
    const std::size_t c = above.substr(0, look).find_first_not_of(' ');
    if (c != std::string_view::npos) {
      if (static_cast<int>(c) <= x) best = std::max(best, static_cast<int>(c));
      limit = static_cast<int>(c) + 1;
    }
    if (limit == 1 || k >= 2 * c_.view.VisibleLines()) break;
  }
  return best;
}

int TypingCommands::IndentOfLineAbove(int line) const {
  int n = line - 1;
  if (n <= 0) return 0;
  while (n > 1 && !HasVisible(Line(n))) --n;
  const std::string_view examined = Line(n);
  return static_cast<int>(std::min(examined.find_first_not_of(' '), examined.size()));
}

// --- the text commands ---

bool TypingCommands::RunEditCommand(int code, int& x, bool& caretUndo, int& y) {
  switch (code) {
    case ec::WordLeft:
    case ec::SelectWordLeft:
    case ec::DeleteWordLeft: return WordLeft(code, x, caretUndo, y);
    case ec::WordRight:
    case ec::SelectWordRight: WordRight(code, x, caretUndo, y); return false;
    case ec::SelectWord: SelectWord(x, caretUndo, y); return false;
    case ec::Backspace:
      if (!c_.state.readOnly) Backspace(x, caretUndo, y);
      return false;
    case ec::DeleteChar:
      if (!c_.state.readOnly) DeleteChar(x, caretUndo, y);
      return false;
    case ec::Tab:
    case ec::BackTab: Tab(code == ec::Tab, x, caretUndo); return false;
    case ec::DeleteLine: return !c_.state.readOnly && DeleteLine(y);
    case ec::UpperCaseBlock:
    case ec::LowerCaseBlock:
    case ec::ToggleCaseBlock:
      if (!c_.state.readOnly) c_.blocks->ConvertBlockCase(code);
      return false;
    default: return false;
  }
}

bool TypingCommands::WordLeft(int code, int& x, bool& caretUndo, int y) {
  if (code == ec::SelectWordLeft && !c_.selection.HasBlock()) {
    c_.caretOps->ExtendSelection(x, y);
    caretUndo = false;
  }
  const std::string_view s = Line(y);
  if (c_.caret.X() > static_cast<int>(s.size())) {
    x = static_cast<int>(s.size());
    return false;
  }
  bool seenWord = false;
  int target = 0;
  for (int i = x - 1; i >= 0; --i) {
    const bool separator = IsWordSeparator(s[static_cast<std::size_t>(i)]);
    if (!seenWord) {
      seenWord = !separator;
    } else if (separator) {
      target = i + 1;
      break;
    }
  }
  x = target;
  if (code == ec::SelectWordLeft) {
    c_.caretOps->ExtendSelection(x, y);
    caretUndo = false;
    return false;
  }
  c_.caretOps->Deselect();
  if (code == ec::DeleteWordLeft && y >= 0 && x != c_.caret.X() && !c_.state.readOnly) {
    {
      TEditorUndoGroup group(c_);
      StreamFormatScope stream(c_.selection);
      c_.caretOps->SelectRange(x, y, c_.caret.X(), y);
      c_.blocks->EraseSelection();
      group.End();
    }
    c_.Lines().ReLine();
  }
  return false;
}

void TypingCommands::WordRight(int code, int& x, bool& caretUndo, int& y) {
  if (code == ec::SelectWordRight && !c_.selection.HasBlock()) {
    c_.caretOps->ExtendSelection(x, y);
    caretUndo = false;
  }
  if (y >= c_.LineCount()) {
    y = c_.LineCount() - 1;
    x = static_cast<int>(Line(y).size());
  }
  const std::string_view s = Line(y);
  const int length = static_cast<int>(s.size());
  if (c_.caret.X() < length) {
    bool seenSeparator = false;
    int target = length;
    for (int i = std::max(x, 0); i < length; ++i) {
      const bool separator = IsWordSeparator(s[static_cast<std::size_t>(i)]);
      if (!seenSeparator) {
        seenSeparator = separator;
      } else if (!separator) {
        target = i;
        break;
      }
    }
    x = target;
  } else if (y < c_.LineCount() - 1) {
    y = c_.caret.Y() + 1;
    x = 0;
  }
  if (code == ec::SelectWordRight) {
    c_.caretOps->ExtendSelection(x, y);
    caretUndo = false;
  } else {
    c_.caretOps->Deselect();
  }
}

void TypingCommands::SelectWord(int& x, bool& caretUndo, int y) {
  if (c_.selection.HasBlock()) return;
  const std::optional<WordSpan> word = FindWord(std::string(Line(y)) + ' ', c_.caret.X() + 1);
  if (!word) return;
  c_.caretOps->ExtendSelection(word->begin - 1, y);
  c_.caretOps->ExtendSelection(word->end - 1, y);
  x = word->end - 1;
  caretUndo = false;
}

void TypingCommands::Backspace(int& x, bool& caretUndo, int& y) {
  TEditorStrings& lines = c_.Lines();
  // With a block, Backspace erases the block and nothing more, wherever the caret
  // stands: joining lines after the erase would work on line numbers the erase has
  // just changed.
  // At the very start there is nothing to take back, and the block stays.
  if (c_.caret.X() == 0 && y == 0) return;
  if (EraseBlock(x, caretUndo, y)) {
    c_.notices.Changed();
    return;
  }
  if (c_.caret.X() == 0) {
    if (y == 0) return;
    // The line break goes under the paint lock; the view is sized before the report,
    // which names the joined line's old end.
    EditTextReportedAfter(
        c_,
        [&] {
          TEditorPaintLock paint(c_);
          lines.KeepTrailingBlanksOf(y - 1, y);
          lines.ReLine();
          x = static_cast<int>(lines.View(y - 1).size());
          c_.undo.Record<TBackspaceUndo>(x + 1, y - 1, "\n");
          caretUndo = false;
          lines.DeleteText(x, y - 1, -1, y);
          --y;
        },
        [&] { return ReadReport{x, y, std::string(kLineBreak), TextAction::StreamDelete}; },
        {.sizeBefore = true, .repaintAll = true, .changed = true});
    return;
  }
  lines.KeepTrailingBlanksOf(y, y);
  lines.ReLine();
  const int caretX = c_.caret.X();
  const int caretY = c_.caret.Y();
  x = c_.behaviour.BackSpaceUnindents ? UnindentStop(caretX, caretY) : caretX - 1;
  const std::string_view line = lines.View(caretY);
  const std::string removed(line.substr(static_cast<std::size_t>(x), static_cast<std::size_t>(caretX - x)));
  if (removed.size() == 1) {
    c_.undo.Record<TBackspaceUndo>(caretX, caretY, removed);
  } else {
    c_.undo.Record<TBackspaceUnindentUndo>(caretX, caretY, removed);
  }
  caretUndo = false;
  EditText(
      c_, [&] { lines.DeleteText(x, caretY, caretX - 1, caretY); }, {caretX, caretY, removed, TextAction::StreamDelete},
      {.repaintLine = caretY, .changed = true});
}

void TypingCommands::DeleteChar(int& x, bool& caretUndo, int& y) {
  TEditorStrings& lines = c_.Lines();
  if (EraseBlock(x, caretUndo, y)) return;
  // An empty text has nothing to delete; it is left empty rather than given a line
  // that no undo record would take back.
  if (y < 0 || y >= lines.Count()) return;
  const std::string_view line = lines.View(y);
  if (static_cast<std::size_t>(x) < line.size()) {
    const std::string removed(1, line[static_cast<std::size_t>(x)]);
    lines.KeepTrailingBlanksOf(y, y);
    c_.undo.Record<TDeleteUndo>(x, y, removed);
    caretUndo = false;
    EditText(
        c_, [&] { lines.DeleteText(x, y, x, y); }, {c_.caret.X(), c_.caret.Y(), removed, TextAction::StreamDelete},
        {.repaintLine = y, .changed = true});
  } else if (y < lines.Count() - 1) {
    lines.KeepTrailingBlanksOf(y, y + 1);
    c_.undo.Record<TDeleteUndo>(x, y, std::string(kLineBreak));
    caretUndo = false;
    EditText(
        c_, [&] { lines.DeleteText(x, y, -1, y + 1); }, {c_.caret.X(), c_.caret.Y(), kLineBreak, TextAction::StreamDelete},
        {.sizeBefore = true, .repaintAll = true, .changed = true});
  }
}

void TypingCommands::Tab(bool forward, int& x, bool& caretUndo) {
  x = GetSmartTabStop(c_.caret.X(), c_.caret.Y(), forward);
  if (c_.state.readOnly) return;
  // Only an inserting Tab changes text; the others only move the caret, and making
  // the caret's line long enough for them would store trailing blanks.
  const bool inserting = forward && c_.state.insertMode;
  if (!inserting) return;
  if (c_.selection.HasBlock()) c_.blocks->EraseSelection();
  c_.Lines().KeepTrailingBlanksOf(c_.caret.Y(), c_.caret.Y());
  c_.Lines().ReLine();
  const std::string blanks(static_cast<std::size_t>(std::max(x - c_.caret.X(), 0)), ' ');
  c_.undo.Record<TInsertTabUndo>(c_.caret.X(), c_.caret.Y(), blanks);
  caretUndo = false;
  const int caretX = c_.caret.X();
  const int caretY = c_.caret.Y();
  EditText(
      c_, [&] { c_.Lines().InsertText(caretX, caretY, blanks); }, {caretX, caretY, blanks, TextAction::StreamInsert},
      {.repaintLine = caretY, .changed = true});
}

bool TypingCommands::DeleteLine(int y) {
  if (y < 0 || y >= c_.LineCount()) return true;
  const std::string line(c_.LineView(y));
  // The list's own notice waited for the paint lock; the scroll range follows the
  // shorter text after the report, as after a line joined by Backspace.
  EditText(
      c_,
      [&] {
        {
          TEditorPaintLock paint(c_);
          c_.undo.Record<TDeleteLineUndo>(c_.caret.X(), c_.caret.Y(), line);
          c_.Lines().Delete(y);
        }
        // A block that reached into the deleted last line would name a line that is gone.
        Selection& block = c_.selection;
        if (block.HasBlock() && block.End().y >= c_.LineCount()) block.Clear();
      },
      {0, c_.caret.Y(), line, TextAction::StreamDelete}, {.sizeAfter = true, .repaintAll = true, .changed = true});
  return true;
}

}  // namespace vantorel
