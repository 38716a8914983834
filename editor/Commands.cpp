#include "editor/Commands.h"

#include <algorithm>
#include <exception>

#include "editor/BlockCommands.h"
#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorView.h"
#include "editor/Selection.h"
#include "editor/Typing.h"
#include "editor/UndoBuffer.h"

namespace vantorel {

namespace {

bool InRange(std::uint16_t code, std::uint16_t first, int count) { return code >= first && code < first + count; }

}  // namespace

CommandDispatcher::CommandDispatcher(EditorContext& context) : c_(context) { keys_.LoadDefaultKeys(); }

void CommandDispatcher::KeyDown(int& key, ShiftState shift) {
  if (c_.OfferKeyToCompletion(key, shift)) {
    decoder_.DropNextCharacter();
    return;
  }
  const auto code = static_cast<std::uint16_t>(key);
  // A modifier's own key-down keeps the anchor, so Ctrl pressed after Shift+arrows
  // still grows the same block.
  if (!shift.shift && !KeyDecoder::IsModifierKey(code)) c_.selection.StopExtending();
  const std::uint8_t shiftByte = KeyShiftByte(shift);
  KeyDecoder::KeyStep step = decoder_.BeginKey(keys_, code, shiftByte);
  if (step.raiseOwnerEvent) {
    if (c_.events.OnKeyDown) c_.events.OnKeyDown(key, shift);
    step.command = decoder_.LookupFirst(keys_, static_cast<std::uint16_t>(key), shiftByte);
  }
  if (step.command == 0) return;
  RunCommand(step.command);
  key = 0;
  if (step.command == ec::Backspace) c_.OfferCharToCompletion('\b');
}

void CommandDispatcher::KeyPress(char& ch) {
  if (!decoder_.CharacterAllowed() || c_.state.readOnly) return;
  if (c_.events.OnKeyPress) c_.events.OnKeyPress(ch);
  RunCommand(static_cast<unsigned char>(ch));
}

void CommandDispatcher::RunCommand(std::uint16_t code) {
  Target t{c_.caret.X(), c_.caret.Y()};
  if (macroRecording_ && running_ == 0 && code != ec::ToggleMacroRecording && code != ec::BeginUndoGroupCommand &&
      c_.undoGroupDepth == 0) {
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
  if (Carry(code, t)) return;
  if (t.caretUndo) {
    c_.caretOps->SetCaret(t.x, t.y);
  } else {
    c_.caretOps->SetCaretInternal(t.x, t.y);
  }
}

bool CommandDispatcher::Move(std::uint16_t code, Target& t) {
  const auto extend = [&](int x, int y) {
    c_.caretOps->ExtendSelection(x, y);
    t.caretUndo = false;
  };
  const auto startBlock = [&] {
    if (!c_.selection.HasBlock()) extend(t.x, t.y);
  };
  switch (code) {
    case ec::MoveLeft:
    case ec::MoveRight:
      t.x += code == ec::MoveLeft ? -1 : 1;
      c_.caretOps->Deselect();
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
      if (!up && t.y >= c_.LineCount() - 1 && !c_.behaviour.CursorBeyondEOF) return false;
      if (select) startBlock();
      t.y += up ? -1 : 1;
      if (select) {
        extend(t.x, t.y);
      } else {
        c_.caretOps->Deselect();
      }
      return false;
    }
    default:
      break;
  }
  // Line and document ends: the select variant anchors at the caret first.
  const bool select = code == ec::SelectLineStart || code == ec::SelectLineEnd ||
                      code == ec::SelectDocumentStart || code == ec::SelectDocumentEnd;
  if (select && !c_.selection.HasBlock()) extend(c_.caret.X(), t.y);
  switch (code) {
    case ec::LineStart:
    case ec::SelectLineStart: t.x = 0; break;
    case ec::LineEnd:
    case ec::SelectLineEnd: t.x = t.y < c_.LineCount() ? c_.LineLength(t.y) : 0; break;
    case ec::DocumentStart:
    case ec::SelectDocumentStart:
      t.x = 0;
      t.y = 0;
      c_.view.ScrollTo(0, 0);
      break;
    default:  // DocumentEnd, SelectDocumentEnd
      t.y = c_.LineCount() - 1;
      if (t.y >= 0) {
        t.x = c_.LineLength(t.y);
        c_.view.ScrollTo(t.x - c_.view.VisibleColumns(), t.y - c_.view.VisibleLines() / 2);
      }
      break;
  }
  if (select) {
    extend(t.x, t.y);
  } else {
    c_.caretOps->Deselect();
  }
  return false;
}

void CommandDispatcher::Page(bool down, bool select, Target& t) {
  const auto scrollPage = [&] {
    TControlScrollBar95& bar = c_.view.VertScrollBar();
    const int step = std::max(c_.view.VisibleLines(), 1);
    bar.SetPosition(bar.Position() + (down ? step : -step));
    c_.view.Scroll(true, bar.Position());
    t.y += down ? c_.view.VisibleLines() : -c_.view.VisibleLines();
  };
  if (!select) {
    scrollPage();
    c_.caretOps->Deselect();
    return;
  }
  TEditorUpdate update(c_);
  c_.caretOps->ExtendSelection(t.x, t.y);
  scrollPage();
  c_.caretOps->ExtendSelection(t.x, down ? std::min(t.y, c_.LineCount() - 1) : t.y);
  t.caretUndo = false;
  update.End();
}

void CommandDispatcher::ScrollLine(bool down, Target& t) {
  TControlScrollBar95& bar = c_.view.VertScrollBar();
  if (!down || !(t.y >= c_.LineCount() - 1 && c_.view.TopLine() == t.y)) {
    bar.SetPosition(bar.Position() + (down ? 1 : -1));
    c_.view.Scroll(true, bar.Position());
  }
  t.y = std::clamp(t.y, c_.view.TopLine(), std::max(c_.view.TopLine(), c_.view.LastVisibleLine()));
}

void CommandDispatcher::ToggleBookmark(int slot) {
  TBookmark& mark = bookmarks_[static_cast<std::size_t>(slot)];
  if (!mark.Valid || mark.Y != c_.caret.Y()) {
    mark = TBookmark{c_.caret.X(), c_.caret.Y(), true};
  } else {
    mark.Valid = false;
  }
  c_.view.PaintGutter();
}

void CommandDispatcher::JumpToBookmark(int slot, Target& t) {
  const TBookmark& mark = bookmarks_[static_cast<std::size_t>(slot)];
  if (mark.Valid) {
    const int top = mark.Y < c_.view.TopLine() || mark.Y > c_.view.LastVisibleLine() ? mark.Y - c_.view.VisibleLines() / 2
                                                                            : c_.view.TopLine();
    const int left = mark.X < c_.view.LeftColumn() || mark.X > c_.view.VisibleColumns() ? mark.X - c_.view.VisibleColumns() / 2
                                                                              : c_.view.LeftColumn();
    c_.view.ScrollTo(left, top);
    c_.caretOps->SetCaret(mark.X, mark.Y);
  }
  c_.view.PaintGutter();
  t.x = c_.caret.X();
  t.y = c_.caret.Y();
}

void CommandDispatcher::DeleteWord() {
  TEditorEdit edit(c_, {.group = true, .groupOutside = true});
  {
    // The word is erased in the format it was selected in; the user's format comes
    // back after, so a line or column format cannot widen what is deleted.
    StreamFormatScope stream(c_.selection);
    RunCommand(ec::SelectWordRight);
    RunCommand(ec::DeleteSelection);
  }
  edit.End();
}

void CommandDispatcher::ReplayMacro() {
  // A macro recorded while a replay ran holds the replay itself: a replay run by a
  // replay (or by any other command) would never end, so only one at the top runs.
  if (running_ > 1) return;
  TEditorEdit edit(c_, {.group = true});
  const std::string macro = lastMacro_;  // a replayed command may not change what runs
  for (std::size_t i = 0; i + 1 < macro.size(); i += 2) {
    RunCommand(static_cast<std::uint16_t>(static_cast<unsigned char>(macro[i]) |
                                          (static_cast<unsigned char>(macro[i + 1]) << 8)));
  }
  edit.End();
}

bool CommandDispatcher::Carry(std::uint16_t code, Target& t) {
  if (code <= 255) {
    if (!c_.state.readOnly) c_.typing->TypeCharacter(static_cast<char>(code));
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
    case ec::WindowTop: t.y = c_.view.TopLine(); return false;
    case ec::WindowBottom: t.y = c_.view.TopLine() + c_.view.VisibleLines() - 1; return false;
    case ec::PageUp:
    case ec::PageDown: Page(code == ec::PageDown, false, t); return false;
    case ec::SelectPageUp:
    case ec::SelectPageDown: Page(code == ec::SelectPageDown, true, t); return false;
    case ec::SelectAllCommand: c_.caretOps->SelectAll(); return true;
    case ec::ScrollLineUp:
    case ec::ScrollLineDown: ScrollLine(code == ec::ScrollLineDown, t); return false;
    case ec::SetInclusiveBlock: c_.caretOps->SetSelBlockFormat(TSelBlockFormat::bfInclusive); return false;
    case ec::SetLineBlock: c_.caretOps->SetSelBlockFormat(TSelBlockFormat::bfLine); return false;
    case ec::SetColumnBlock: c_.caretOps->SetSelBlockFormat(TSelBlockFormat::bfColumn); return false;
    case ec::SetNonInclusiveBlock: c_.caretOps->SetSelBlockFormat(TSelBlockFormat::bfNonInclusive); return false;
    case ec::ColumnSelectLeft:
    case ec::ColumnSelectUp:
    case ec::ColumnSelectRight:
    case ec::ColumnSelectDown:
      c_.selection.SetFormat(TSelBlockFormat::bfColumn);
      RunCommand(static_cast<std::uint16_t>(ec::SelectLeft + (code - ec::ColumnSelectLeft)));
      return true;
    case ec::InsertLineBreak:
      if (!c_.state.readOnly) {
        c_.typing->TypeCharacter('\r');
        return true;
      }
      if (t.y < c_.LineCount() - 1) {
        ++t.y;
        const std::string_view line = c_.LineView(t.y);
        if (!line.empty()) t.x = std::min(t.x, FirstNonBlank(line) - 1);
      }
      return false;
    case ec::ToggleInsertMode:
      c_.state.insertMode = !c_.state.insertMode;
      c_.notices.StatusChanged();
      return false;
    case ec::IndentBlock:
    case ec::UnindentBlock:
      if (c_.state.readOnly || !c_.selection.HasBlock()) return false;
      c_.blocks->IndentBlock(code == ec::IndentBlock);
      return true;
    case ec::DeleteSelection:
    case ec::Cut:
    case ec::Paste:
      if (c_.state.readOnly || (code == ec::DeleteSelection && !c_.selection.HasBlock())) return false;
      if (code == ec::DeleteSelection) {
        c_.blocks->EraseSelection();
      } else if (code == ec::Cut) {
        c_.blocks->CutSelection();
      } else {
        c_.blocks->PasteClipboard();
      }
      t = Target{c_.caret.X(), c_.caret.Y(), false};
      return false;
    case ec::Copy: c_.blocks->CopySelection(); return false;
    case ec::DeleteWord:
      if (!c_.state.readOnly) DeleteWord();
      return true;
    case ec::Undo:
      if (c_.state.readOnly) return false;
      c_.undo.Undo(c_.Lines());
      c_.PaintCaret(true);
      return true;
    case ec::BeginUndoGroupCommand: c_.BeginUndoGroup(); return false;
    case ec::EndUndoGroupCommand: c_.EndUndoGroup(); return false;
    case ec::BeginUpdateCommand: c_.BeginUpdate(); return false;
    case ec::EndUpdateCommand: c_.EndUpdate(); return false;
    case ec::ShowIdentifierCompletion:
    case ec::ShowTemplateCompletion:
      if (c_.state.readOnly) return false;
      c_.ShowCompletion(code == ec::ShowTemplateCompletion);
      c_.PaintCaret(true);
      return true;
    case ec::ToggleMacroRecording:
      if (macroRecording_) {
        macroRecording_ = false;
        lastMacro_ = macroBuffer_;
      } else {
        macroBuffer_.clear();
        macroRecording_ = true;
      }
      c_.notices.StatusChanged();
      return false;
    case ec::ReplayMacro: ReplayMacro(); return true;
    default: return c_.typing->RunEditCommand(code, t.x, t.caretUndo, t.y);
  }
}

}  // namespace vantorel
