#include "editor/BlockCommands.h"

#include <algorithm>
#include <vector>

#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/KeyTable.h"
#include "editor/Selection.h"
#include "editor/TextEdits.h"
#include "editor/UndoBuffer.h"
#include "platform/Clipboard.h"
#include "platform/CodePages.h"

namespace vantorel {

namespace {

// The part of line from column `from` on, at most `count` characters; empty when the
// line is shorter.
std::string_view Piece(std::string_view line, int from, long long count) {
  if (from < 0) from = 0;
  if (static_cast<std::size_t>(from) >= line.size() || count <= 0) return {};
  return line.substr(static_cast<std::size_t>(from),
                     static_cast<std::size_t>(std::min<long long>(count, static_cast<long long>(line.size()) - from)));
}

// Every lone CR, lone LF and CR LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

int LineBreaks(std::string_view text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Where text inserted at (x, y) ends: the column after its last character on its
// last line.
TextPoint EndOf(int x, int y, std::string_view text) {
  const std::size_t lf = text.rfind('\n');
  if (lf == std::string_view::npos) return {x + static_cast<int>(text.size()), y};
  return {static_cast<int>(text.size() - lf - 1), y + LineBreaks(text)};
}

}  // namespace

std::string BlockCommands::BlockText() const {
  const Selection& block = c_.selection;
  const TextPoint b = block.Begin();
  const TextPoint en = block.End();
  const int lines = c_.LineCount();
  if (!block.HasBlock() || b.y < 0 || en.y >= lines) return {};
  const TSelBlockFormat format = block.Format();
  std::string text;
  if (format == TSelBlockFormat::bfColumn) {
    for (int y = b.y; y <= en.y; ++y) {
      text += Piece(c_.LineView(y), b.x, static_cast<long long>(en.x) - b.x + 1);
      if (y < en.y) text += "\r\n";
    }
    return text;
  }
  const int incl = format == TSelBlockFormat::bfInclusive ? 1 : 0;
  if (b.y == en.y) return std::string(Piece(c_.LineView(b.y), b.x, static_cast<long long>(en.x) + incl - b.x));
  text += Piece(c_.LineView(b.y), b.x, static_cast<long long>(c_.LineLength(b.y)));
  text += "\r\n";
  for (int y = b.y + 1; y < en.y; ++y) {
    text += c_.LineView(y);
    text += "\r\n";
  }
  // A line block's last line is taken up to the last shown column, as its length and
  // its erasing count it: taking more would copy a tail that erasing leaves in place.
  text += Piece(c_.LineView(en.y), 0, static_cast<long long>(en.x) + incl);
  return text;
}

bool BlockCommands::BlockNamesGoneLines() const {
  const Selection& block = c_.selection;
  return block.Begin().y < 0 || block.End().y >= c_.LineCount();
}

void BlockCommands::EraseSelection() {
  Selection& block = c_.selection;
  if (!block.HasBlock()) return;
  // A block that names lines the text no longer has (left by an undo that removed
  // them) has no text to keep for undo: it is dropped rather than erased, so nothing
  // is deleted that undo could not bring back.
  if (BlockNamesGoneLines()) {
    block.Clear();
    c_.view.RepaintAll();
    return;
  }
  TEditorEdit edit(c_, {});
  const std::string text = BlockText();
  const TextPoint b = block.Begin();
  const TextPoint en = block.End();
  if (block.Format() == TSelBlockFormat::bfColumn) {
    c_.Lines().KeepTrailingBlanksOf(b.y, en.y);
  } else {
    c_.Lines().KeepTrailingBlanksOf(b.y, b.y);
    c_.Lines().KeepTrailingBlanksOf(en.y, en.y);
  }
  c_.undo.Record<TDeleteSelectedUndo>(c_.caret.X(), c_.caret.Y(), text);
  block.Clear();
  if (block.Format() == TSelBlockFormat::bfColumn) {
    EditText(c_, [&] { c_.Lines().DeleteColumnText(b.x, b.y, en.x, en.y); }, {b.x, b.y, text, TextAction::ColumnDelete});
    c_.caretOps->SetCaretInternal(b.x, c_.caret.Y());
  } else {
    const int last = block.Format() == TSelBlockFormat::bfInclusive ? en.x : en.x - 1;
    EditText(c_, [&] { c_.Lines().DeleteText(b.x, b.y, last, en.y); }, {b.x, b.y, text, TextAction::StreamDelete});
    c_.caretOps->SetCaretInternal(b.x, b.y);
  }
  c_.notices.Changed();
  edit.End();
}

}  // namespace vantorel

namespace vantorel {

void BlockCommands::CopySelection() {
  if (!clipboard_) return;
  clipboard_->SetText(BlockText());
  clipboard_->SetBlockType(static_cast<std::uint8_t>(c_.selection.Format()));
}

void BlockCommands::CutSelection() {
  CopySelection();
  EraseSelection();
}

std::uint8_t BlockCommands::ClipboardBlockType() const {
  const std::optional<std::uint8_t> type = clipboard_ ? clipboard_->BlockType() : std::nullopt;
  return type.value_or(static_cast<std::uint8_t>(TSelBlockFormat::bfNonInclusive));
}

void BlockCommands::PasteClipboard() {
  if (c_.caret.Y() >= c_.LineCount() && c_.LineCount() > 0 && c_.behaviour.BeepOnError && c_.host) c_.host->Beep();
  const std::optional<std::string> clip = clipboard_ ? clipboard_->Text() : std::nullopt;
  if (!clip || clip->empty()) return;
  TEditorEdit edit(c_, {});
  std::string text = c_.Lines().ExpandTabs(NormalizeLineBreaks(*clip));
  TEditorStrings& lines = c_.Lines();
  Selection& block = c_.selection;
  int x = c_.caret.X();
  int y = c_.caret.Y();
  edit.OpenGroup();
  if (block.HasBlock()) {
    // A block that names lines that are gone is only dropped: the text goes to the
    // caret, on a line that exists, not to where the block began.
    if (!BlockNamesGoneLines()) {
      x = block.Begin().x;
      y = block.Begin().y;
    }
    EraseSelection();
  }
  // The caret's line must exist; it is not padded up to the caret, since the text
  // goes where the block began or, for lines, to column 0, and inserting pads what
  // the insertion needs.
  lines.ReLine(false);
  // A block type another program wrote that names no format pastes as a stream,
  // so the selection never holds a format that does not exist.
  const std::uint8_t type = ClipboardBlockType();
  const auto format = type <= 3 ? static_cast<TSelBlockFormat>(type) : TSelBlockFormat::bfNonInclusive;
  block.SetFormat(format);
  TextPoint caretAt;
  if (format == TSelBlockFormat::bfColumn) {
    InsertColumnBlock(x, y, text);
    caretAt = {c_.caret.X(), y + LineBreaks(text)};
  } else {
    if (format == TSelBlockFormat::bfLine) {
      x = 0;
      if (text.empty() || text.back() != '\n') text += "\r\n";
    }
    lines.KeepTrailingBlanksOf(y, y);
    c_.undo.Record<TInsertUndo>(x, y, text);
    EditText(c_, [&] { lines.InsertText(x, y, text); }, {x, y, text, TextAction::StreamInsert});
    caretAt = EndOf(x, y, text);
  }
  c_.caretOps->SetCaretInternal(caretAt.x, caretAt.y);
  c_.notices.Changed();
  edit.End();
}

void BlockCommands::InsertColumnBlock(int x, int y, std::string_view text) {
  x = std::max(x, 0);
  y = std::max(y, 0);
  const std::string piece(text);
  c_.Lines().KeepTrailingBlanksOf(y, y + LineBreaks(piece));
  {
    // Lines the block reaches below the text are appended first, each with a record
    // that Undo uses to take exactly that line back after the block.
    TEditorPaintLock paint(c_);
    while (c_.LineCount() < y + LineBreaks(piece) + 1) {
      c_.undo.Record<TReLineUndo>(0, c_.LineCount());
      c_.Lines().Add("");
    }
  }
  c_.undo.Record<TInsertColumnUndo>(x, y, piece);
  EditText(c_, [&] { c_.Lines().InsertColumnText(x, y, piece); }, {x, y, piece, TextAction::ColumnInsert});
}

void BlockCommands::InsertStreamText(std::string_view text) {
  if (text.empty()) return;
  // A caret below the text gets its line the recorded way, so undo removes it again.
  c_.Lines().ReLine(false);
  const std::string inserted(text);
  const int x = c_.caret.X();
  const int y = c_.caret.Y();
  c_.Lines().KeepTrailingBlanksOf(y, y);
  c_.undo.Record<TInsertUndo>(x, y, inserted);
  EditText(c_, [&] { c_.Lines().InsertText(x, y, inserted); }, {x, y, inserted, TextAction::StreamInsert});
  const TextPoint end = EndOf(x, y, inserted);
  c_.caretOps->SetCaretInternal(end.x, end.y);
  c_.notices.Changed();
}

void BlockCommands::ReplaceBlock(std::string_view text) {
  TEditorEdit edit(c_, {.group = true});
  Selection& block = c_.selection;
  const bool replacing = block.HasBlock();
  const Selection before = block;
  const int replacedLength = replacing ? c_.caretOps->SelLength() : 0;
  if (replacing) {
    // Erasing stores the lines without the block, and a line then loses the characters
    // of code 32 or less (a NUL) left last on it; inserting there would pad blanks in
    // their place. What the lines held left of the block is put back as it was, with
    // no record of its own: undoing the insertion cuts it again, and the erase's record
    // of the cut brings it back before the block returns.
    const TextPoint first = block.Begin();
    const int lastLine = block.Format() == TSelBlockFormat::bfColumn ? block.End().y : first.y;
    std::vector<std::string> heads;
    for (int y = first.y; y <= lastLine && y < c_.LineCount(); ++y) {
      const std::string_view line = c_.LineView(y);
      heads.emplace_back(line.substr(0, std::min<std::size_t>(line.size(), static_cast<std::size_t>(first.x))));
    }
    EraseSelection();
    for (std::size_t i = 0; i < heads.size(); ++i) {
      const int y = first.y + static_cast<int>(i);
      const std::size_t now = y < c_.LineCount() ? c_.LineView(y).size() : heads[i].size();
      if (now < heads[i].size()) c_.Lines().RestoreTrailingBlanks(y, static_cast<int>(now), std::string_view(heads[i]).substr(now));
    }
  } else {
    const TextPoint caret{c_.caret.X(), c_.caret.Y()};
    block.SetBlock(caret, caret, false);
  }
  const TextPoint begin = block.Begin();
  if (block.Format() == TSelBlockFormat::bfColumn) {
    InsertColumnBlock(begin.x, begin.y, text);
  } else {
    InsertStreamText(text);
  }
  if (replacing && text.size() == static_cast<std::size_t>(replacedLength)) {
    // Text of the same length (a case command's) lies exactly where the old did, and
    // the block covers exactly what it covered before.
    const int firstDirty = block.DirtyFirstLine();
    const int lastDirty = block.DirtyLastLine();
    block = before;
    block.SetDirty(firstDirty, lastDirty);
  } else {
    block.MoveBlock(begin, EndOf(begin.x, begin.y, text), !text.empty());
  }
  block.StopExtending();
  for (int line = block.Begin().y; line <= block.End().y; ++line) c_.view.RepaintLine(line);
  edit.End();
}

void BlockCommands::ConvertBlockCase(int code) {
  // Without a block there is nothing to convert, and nothing to record.
  if (!codePages_ || !c_.selection.HasBlock()) return;
  const std::string text = BlockText();
  std::string converted;
  if (code == ec::UpperCaseBlock) {
    converted = codePages_->UpperCase(text);
  } else if (code == ec::LowerCaseBlock) {
    converted = codePages_->LowerCase(text);
  } else {
    // Inverted: a character that is its own upper case goes to lower case, every
    // other one to upper case.
    const std::string upper = codePages_->UpperCase(text);
    const std::string lower = codePages_->LowerCase(text);
    converted = text;
    for (std::size_t i = 0; i < text.size(); ++i) converted[i] = upper[i] == text[i] ? lower[i] : upper[i];
  }
  ReplaceBlock(converted);
}

void BlockCommands::IndentBlock(bool indent) {
  const Selection& block = c_.selection;
  if (block.Format() != TSelBlockFormat::bfColumn) {
    IndentLines(!indent);
  } else if (indent) {
    InsertBlankColumn(block.Begin().x, block.Begin().y, block.End().y);
  } else {
    RemoveBlankColumn(block.Begin().x, block.Begin().y, block.End().y);
  }
}

void BlockCommands::IndentLines(bool unindent) {
  Selection& block = c_.selection;
  if (!block.HasBlock() || block.Format() == TSelBlockFormat::bfColumn) return;
  // Columns as the block has them; a line block keeps its real ones aside.
  const bool lineMode = block.Format() == TSelBlockFormat::bfLine;
  TextPoint begin = block.Begin();
  TextPoint end = block.End();
  if (lineMode) {
    begin.x = block.LineModeBeginX();
    end.x = block.LineModeEndX();
  }
  const int fromY = begin.y;
  const int toY = block.End().x == 0 ? end.y - 1 : end.y;  // a block ending at column 0 leaves that line
  if (toY < fromY || toY >= c_.LineCount()) return;
  const auto firstNonBlank = [this](int y) { return FirstNonBlank(c_.LineView(y)); };
  const int fromBefore = firstNonBlank(fromY);
  const int toBefore = firstNonBlank(toY);
  if (unindent) {
    RemoveBlankColumn(0, fromY, toY);
  } else {
    InsertBlankColumn(0, fromY, toY);
  }
  const int db = firstNonBlank(fromY) - fromBefore;
  const int de = firstNonBlank(toY) - toBefore;
  const auto keep = [unindent](int x) { return unindent ? std::max(x, 0) : std::min(x, MaxLineColumns); };
  begin.x = keep(begin.x + db);
  if (block.End().x > 0) end.x = keep(end.x + de);
  block.MoveBlock(begin, end);
  if (c_.caret.Y() == end.y && block.End().x > 0) {
    c_.caretOps->SetCaretInternal(c_.caret.X() + de, c_.caret.Y());
  } else if (c_.caret.Y() == begin.y) {
    c_.caretOps->SetCaretInternal(c_.caret.X() + db, c_.caret.Y());
  }
  for (int line = fromY; line <= toY; ++line) c_.view.RepaintLine(line);
}

void BlockCommands::InsertBlankColumn(int x, int fromY, int toY) {
  fromY = std::max(fromY, 0);
  toY = std::min(toY, c_.LineCount() - 1);
  if (toY < fromY) return;
  std::string text;
  for (int y = fromY; y <= toY; ++y) text += y < toY ? "  \r\n" : "  ";
  InsertColumnBlock(std::max(x, 0), fromY, text);
  c_.notices.Changed();
  if (c_.state.updateLock == 0) c_.view.RepaintAll();
}

void BlockCommands::RemoveBlankColumn(int x, int fromY, int toY) {
  fromY = std::max(fromY, 0);
  toY = std::min(toY, c_.LineCount() - 1);
  if (toY < fromY) return;
  x = std::max(x, 0);
  // The blanks to remove are found first, so the undo record comes before the change
  // (the records a change leaves behind, such as cut trailing blanks, follow it).
  std::string removed;
  std::vector<std::size_t> counts;
  bool any = false;
  for (int y = fromY; y <= toY; ++y) {
    const std::string_view line = c_.LineView(y);
    std::size_t k = 0;
    while (k < 2 && static_cast<std::size_t>(x) + k < line.size() && line[static_cast<std::size_t>(x) + k] == ' ') ++k;
    counts.push_back(k);
    any |= k > 0;
    removed.append(k, ' ');
    if (y < toY) removed += "\r\n";
  }
  // Lines without blanks there change nothing: no undo step, no change mark.
  if (!any) return;
  EditText(
      c_,
      [&] {
        TEditorPaintLock paint(c_);
        c_.Lines().KeepTrailingBlanksOf(fromY, toY);
        c_.undo.Record<TUnindentColumnUndo>(c_.caret.X(), c_.caret.Y(), x, fromY, removed);
        for (int y = fromY; y <= toY; ++y) {
          const std::size_t k = counts[static_cast<std::size_t>(y - fromY)];
          if (k == 0) continue;
          std::string line(c_.LineView(y));
          line.erase(static_cast<std::size_t>(x), k);
          c_.Lines().SetLineText(y, std::move(line));
        }
      },
      {x, fromY, removed, TextAction::StreamDelete});
  c_.notices.Changed();
  if (c_.state.updateLock == 0) c_.view.RepaintAll();
}

bool BlockCommands::ClipboardHasText() const {
  if (c_.caret.Y() >= c_.LineCount() && c_.LineCount() > 0) return false;
  const std::optional<std::string> text = clipboard_ ? clipboard_->Text() : std::nullopt;
  return text && !text->empty();
}

bool BlockCommands::BlockNotEmpty() const {
  const Selection& block = c_.selection;
  return block.HasBlock() && !(block.Begin() == block.End());
}

bool BlockCommands::BlockCuttable() const { return BlockNotEmpty() && !c_.state.readOnly; }

bool BlockCommands::BlockNotWhole() const {
  // Whatever the format, a block from (0, 0) whose text is as long as the whole text
  // covers all of it.
  const Selection& block = c_.selection;
  return !(block.HasBlock() && block.Begin() == TextPoint{0, 0} && c_.caretOps->SelLength() == c_.TextLength());
}

}  // namespace vantorel
