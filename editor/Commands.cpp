#include "editor/Commands.h"

#include <algorithm>
#include <exception>

#include "editor/Editor.h"

namespace vantorel {

namespace {

bool InRange(std::uint16_t code, std::uint16_t first, int count) { return code >= first && code < first + count; }

}  // namespace

CommandDispatcher::CommandDispatcher(TCustomEditorBase& editor) : e_(editor) { keys_.LoadDefaultKeys(); }

void CommandDispatcher::KeyDown(int& key, ShiftState shift) {
  if (e_.OfferKeyToCompletion(key, shift)) {
    decoder_.DropNextCharacter();
    return;
  }
  const auto code = static_cast<std::uint16_t>(key);
  // A modifier's own key-down keeps the anchor, so Ctrl pressed after Shift+arrows
  // still grows the same block.
  if (!shift.shift && !KeyDecoder::IsModifierKey(code)) e_.SelectionModel().StopExtending();
  const std::uint8_t shiftByte = KeyShiftByte(shift);
  KeyDecoder::KeyStep step = decoder_.BeginKey(keys_, code, shiftByte);
  if (step.raiseOwnerEvent) {
    if (e_.OnKeyDown) e_.OnKeyDown(key, shift);
    step.command = decoder_.LookupFirst(keys_, static_cast<std::uint16_t>(key), shiftByte);
  }
  if (step.command == 0) return;
  RunCommand(step.command);
  key = 0;
  if (step.command == ec::Backspace) e_.OfferCharToCompletion('\b');
}

void CommandDispatcher::KeyPress(char& ch) {
  if (!decoder_.CharacterAllowed() || e_.ReadOnly()) return;
  TEditorCaretHidden caret(e_);
  if (e_.OnKeyPress) e_.OnKeyPress(ch);
  RunCommand(static_cast<unsigned char>(ch));
}

void CommandDispatcher::RunCommand(std::uint16_t code) {
  Target t{e_.CaretX(), e_.CaretY()};
  if (macroRecording_ && running_ == 0 && code != ec::ToggleMacroRecording && code != ec::BeginUndoGroupCommand &&
      e_.UndoGroupDepth == 0) {
    macroBuffer_ += static_cast<char>(code & 0xFF);
    macroBuffer_ += static_cast<char>(code >> 8);
  }
  struct Nesting {
    int& depth;
    explicit Nesting(int& d) noexcept : depth(d) { ++depth; }
    ~Nesting() { --depth; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
  } nesting(running_);
  TEditorCaretHidden caret(e_);
  if (Carry(code, t)) return;
  if (t.caretUndo) {
    e_.SetCaret(t.x, t.y);
  } else {
    e_.SetCaretInternal(t.x, t.y);
  }
}

bool CommandDispatcher::Move(std::uint16_t code, Target& t) {
  const auto extend = [&](int x, int y) {
    e_.ExtendSelection(x, y);
    t.caretUndo = false;
  };
  const auto startBlock = [&] {
    if (!e_.HasSelection()) extend(t.x, t.y);
  };
  switch (code) {
    case ec::MoveLeft:
    case ec::MoveRight:
      t.x += code == ec::MoveLeft ? -1 : 1;
      e_.Deselect();
      return false;
    case ec::SelectLeft:
    case ec::SelectRight:
      startBlock();
      t.x += code == ec::SelectLeft ? -1 : 1;
      extend(t.x, t.y);
      return false;
    case ec::MoveUp:
    case ec::MoveDown:
    case ec::SelectUp:
    case ec::SelectDown: {
      const bool up = code == ec::MoveUp || code == ec::SelectUp;
      const bool select = code == ec::SelectUp || code == ec::SelectDown;
      if (!up && t.y >= e_.LineCount() - 1 && !e_.CursorBeyondEOF) return false;
      if (select) startBlock();
      t.y += up ? -1 : 1;
      if (select) {
        extend(t.x, t.y);
      } else {
        e_.Deselect();
      }
      return false;
    }
    default:
      break;
  }
  // Line and document ends: the select variant anchors at the caret first.
  const bool select = code == ec::SelectLineStart || code == ec::SelectLineEnd ||
                      code == ec::SelectDocumentStart || code == ec::SelectDocumentEnd;
  if (select && !e_.HasSelection()) extend(e_.CaretX(), t.y);
  switch (code) {
    case ec::LineStart:
    case ec::SelectLineStart: t.x = 0; break;
    case ec::LineEnd:
    case ec::SelectLineEnd: t.x = t.y < e_.LineCount() ? e_.LineLength(t.y) : 0; break;
    case ec::DocumentStart:
    case ec::SelectDocumentStart:
      t.x = 0;
      t.y = 0;
      e_.ScrollTo(0, 0);
      break;
    default:  // DocumentEnd, SelectDocumentEnd
      t.y = e_.LineCount() - 1;
      if (t.y >= 0) {
        t.x = e_.LineLength(t.y);
        e_.ScrollTo(t.x - e_.VisibleColumns(), t.y - e_.VisibleLines() / 2);
      }
      break;
  }
  if (select) {
    extend(t.x, t.y);
  } else {
    e_.Deselect();
  }
  return false;
}

void CommandDispatcher::Page(bool down, bool select, Target& t) {
  const auto scrollPage = [&] {
    TControlScrollBar95& bar = e_.VertScrollBar();
    const int step = std::max(e_.VisibleLines(), 1);
    bar.SetPosition(bar.Position() + (down ? step : -step));
    e_.Scroll(true, bar.Position());
    t.y += down ? e_.VisibleLines() : -e_.VisibleLines();
  };
  if (!select) {
    scrollPage();
    e_.Deselect();
    return;
  }
  TEditorUpdate update(e_);
  e_.ExtendSelection(t.x, t.y);
  scrollPage();
  e_.ExtendSelection(t.x, down ? std::min(t.y, e_.LineCount() - 1) : t.y);
  t.caretUndo = false;
  update.End();
}

void CommandDispatcher::ScrollLine(bool down, Target& t) {
  TControlScrollBar95& bar = e_.VertScrollBar();
  if (!down || !(t.y >= e_.LineCount() - 1 && e_.TopLine() == t.y)) {
    bar.SetPosition(bar.Position() + (down ? 1 : -1));
    e_.Scroll(true, bar.Position());
  }
  t.y = std::clamp(t.y, e_.TopLine(), std::max(e_.TopLine(), e_.LastVisibleLine()));
}

void CommandDispatcher::ToggleBookmark(int slot) {
  TBookmark& mark = bookmarks_[static_cast<std::size_t>(slot)];
  if (!mark.Valid || mark.Y != e_.CaretY()) {
    mark = TBookmark{e_.CaretX(), e_.CaretY(), true};
  } else {
    mark.Valid = false;
  }
  e_.PaintGutter();
}

void CommandDispatcher::JumpToBookmark(int slot, Target& t) {
  const TBookmark& mark = bookmarks_[static_cast<std::size_t>(slot)];
  if (mark.Valid) {
    const int top = mark.Y < e_.TopLine() || mark.Y > e_.LastVisibleLine() ? mark.Y - e_.VisibleLines() / 2
                                                                            : e_.TopLine();
    const int left = mark.X < e_.LeftColumn() || mark.X > e_.VisibleColumns() ? mark.X - e_.VisibleColumns() / 2
                                                                              : e_.LeftColumn();
    e_.ScrollTo(left, top);
    e_.SetCaret(mark.X, mark.Y);
  }
  e_.PaintGutter();
  t.x = e_.CaretX();
  t.y = e_.CaretY();
}

void CommandDispatcher::DeleteWord() {
  TEditorUndoGroup group(e_);
  TEditorUpdate update(e_);
  {
    // The word is erased in the format it was selected in; the user's format comes
    // back after, so a line or column format cannot widen what is deleted.
    StreamFormatScope stream(e_.SelectionModel());
    RunCommand(ec::SelectWordRight);
    RunCommand(ec::DeleteSelection);
  }
  update.End();
  group.End();
}

void CommandDispatcher::ReplayMacro() {
  // A macro recorded while a replay ran holds the replay itself: a replay run by a
  // replay (or by any other command) would never end, so only one at the top runs.
  if (running_ > 1) return;
  TEditorUpdate update(e_);
  TEditorUndoGroup group(e_);
  const std::string macro = lastMacro_;  // a replayed command may not change what runs
  for (std::size_t i = 0; i + 1 < macro.size(); i += 2) {
    RunCommand(static_cast<std::uint16_t>(static_cast<unsigned char>(macro[i]) |
                                          (static_cast<unsigned char>(macro[i + 1]) << 8)));
  }
  group.End();
  update.End();
}

bool CommandDispatcher::Carry(std::uint16_t code, Target& t) {
  if (code <= 255) {
    if (!e_.ReadOnly()) e_.TypeCharacter(static_cast<char>(code));
    return true;
  }
  if ((code >= ec::MoveLeft && code <= ec::MoveDown) || (code >= ec::SelectLeft && code <= ec::SelectDown) ||
      (code >= ec::LineStart && code <= ec::SelectDocumentEnd)) {
    return Move(code, t);
  }
  if (InRange(code, ec::ToggleBookmark0, 10)) {
    ToggleBookmark(code - ec::ToggleBookmark0);
    return false;
  }
  if (InRange(code, ec::JumpToBookmark0, 10)) {
    JumpToBookmark(code - ec::JumpToBookmark0, t);
    return false;
  }
  switch (code) {
    case ec::WindowTop: t.y = e_.TopLine(); return false;
    case ec::WindowBottom: t.y = e_.TopLine() + e_.VisibleLines() - 1; return false;
    case ec::PageUp:
    case ec::PageDown: Page(code == ec::PageDown, false, t); return false;
    case ec::SelectPageUp:
    case ec::SelectPageDown: Page(code == ec::SelectPageDown, true, t); return false;
    case ec::SelectAllCommand: e_.SelectAll(); return true;
    case ec::ScrollLineUp:
    case ec::ScrollLineDown: ScrollLine(code == ec::ScrollLineDown, t); return false;
    case ec::SetInclusiveBlock: e_.SetSelBlockFormat(TSelBlockFormat::bfInclusive); return false;
    case ec::SetLineBlock: e_.SetSelBlockFormat(TSelBlockFormat::bfLine); return false;
    case ec::SetColumnBlock: e_.SetSelBlockFormat(TSelBlockFormat::bfColumn); return false;
    case ec::SetNonInclusiveBlock: e_.SetSelBlockFormat(TSelBlockFormat::bfNonInclusive); return false;
    case ec::ColumnSelectLeft:
    case ec::ColumnSelectUp:
    case ec::ColumnSelectRight:
    case ec::ColumnSelectDown:
      e_.SelectionModel().SetFormat(TSelBlockFormat::bfColumn);
      RunCommand(static_cast<std::uint16_t>(ec::SelectLeft + (code - ec::ColumnSelectLeft)));
      return true;
    case ec::InsertLineBreak:
      if (!e_.ReadOnly()) {
        e_.TypeCharacter('\r');
        return true;
      }
      if (t.y < e_.LineCount() - 1) {
        ++t.y;
        const std::string_view line = e_.LineView(t.y);
        if (!line.empty()) t.x = std::min(t.x, FirstNonBlank(line) - 1);
      }
      return false;
    case ec::ToggleInsertMode:
      e_.SetInsertMode(!e_.InsertMode());
      return false;
    case ec::IndentBlock:
    case ec::UnindentBlock:
      if (e_.ReadOnly() || !e_.HasSelection()) return false;
      e_.IndentBlock(code == ec::IndentBlock);
      return true;
    case ec::DeleteSelection:
    case ec::Cut:
    case ec::Paste:
      if (e_.ReadOnly() || (code == ec::DeleteSelection && !e_.HasSelection())) return false;
      if (code == ec::DeleteSelection) {
        e_.EraseSelection();
      } else if (code == ec::Cut) {
        e_.CutSelection();
      } else {
        e_.PasteClipboard();
      }
      t = Target{e_.CaretX(), e_.CaretY(), false};
      return false;
    case ec::Copy: e_.CopySelection(); return false;
    case ec::DeleteWord:
      if (!e_.ReadOnly()) DeleteWord();
      return true;
    case ec::Undo:
      if (e_.ReadOnly()) return false;
      e_.Undo();
      e_.PaintCaret(true);
      return true;
    case ec::BeginUndoGroupCommand: e_.BeginUndoGroup(); return false;
    case ec::EndUndoGroupCommand: e_.EndUndoGroup(); return false;
    case ec::BeginUpdateCommand: e_.BeginUpdate(); return false;
    case ec::EndUpdateCommand: e_.EndUpdate(); return false;
    case ec::ShowIdentifierCompletion:
    case ec::ShowTemplateCompletion:
      if (e_.ReadOnly()) return false;
      e_.ShowCompletion(code == ec::ShowTemplateCompletion);
      e_.PaintCaret(true);
      return true;
    case ec::ToggleMacroRecording:
      if (macroRecording_) {
        macroRecording_ = false;
        lastMacro_ = macroBuffer_;
      } else {
        macroBuffer_.clear();
        macroRecording_ = true;
      }
      e_.StatusChanged();
      return false;
    case ec::ReplayMacro: ReplayMacro(); return true;
    default: return e_.RunEditCommand(code, t.x, t.caretUndo, t.y);
  }
}

}  // namespace vantorel
