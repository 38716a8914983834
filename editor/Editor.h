// The editor control's facade: TCustomEditorBase (the published settings, the caret
// and selection, locks and notifications), TCustomEditor (owns the line list) and
// TEditor (the published control). It wires the pieces and holds no algorithm: the
// view (editor/EditorView) draws, the caret and selection (editor/Caret,
// editor/Selection) keep their own invariants, the line list (editor/EditorStrings)
// changes the text. The window around it is reached through the WindowHost port.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/BlockCommands.h"
#include "editor/Caret.h"
#include "editor/CaretCommands.h"
#include "editor/Commands.h"
#include "editor/EditorContext.h"
#include "editor/EditorStrings.h"
#include "editor/EditorTypes.h"
#include "editor/EditorView.h"
#include "editor/Mouse.h"
#include "editor/Selection.h"
#include "editor/Typing.h"
#include "editor/UndoBuffer.h"
#include "platform/Surface.h"
#include "platform/Types.h"
#include "platform/WindowHost.h"

namespace vantorel {

class TCustomEditorBase : public EditorBehaviour, public EditorEvents, private ViewClient, private EditorNotices {
 public:
  explicit TCustomEditorBase(WindowHost* host);
  virtual ~TCustomEditorBase();
  TCustomEditorBase(const TCustomEditorBase&) = delete;
  TCustomEditorBase& operator=(const TCustomEditorBase&) = delete;

  // --- published settings (defaults of a new control) ---
  TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TScrollStyle ScrollBars() const noexcept { return view_.settings.scrollBars; }
  void SetScrollBars(TScrollStyle value);
  int GutterWidth() const noexcept { return view_.settings.gutterWidth; }
  void SetGutterWidth(int value);
  Color GutterColor() const noexcept { return view_.settings.gutterColor; }
  void SetGutterColor(Color value);
  bool RightMarginVisible() const noexcept { return view_.settings.rightMarginVisible; }
  void SetRightMarginVisible(bool value);
  int RightMargin() const noexcept { return view_.settings.rightMargin; }
  void SetRightMargin(int value);
  Color RightMarginColor() const noexcept { return view_.settings.rightMarginColor; }
  void SetRightMarginColor(Color value);
  Color SelForeColor() const noexcept { return view_.settings.selForeColor; }
  void SetSelForeColor(Color value);
  Color SelBackColor() const noexcept { return view_.settings.selBackColor; }
  void SetSelBackColor(Color value);
  const FontDesc& Font() const noexcept { return view_.settings.font; }
  void SetFont(const FontDesc& value);
  // The control's Color.
  Color BackColor() const noexcept { return view_.settings.backColor; }
  void SetBackColor(Color value);
  bool HideCaret() const noexcept { return view_.settings.hideCaret; }
  void SetHideCaret(bool value) noexcept { view_.settings.hideCaret = value; }
  bool InsertMode() const noexcept { return state_.insertMode; }
  void SetInsertMode(bool value);
  bool ReadOnly() const noexcept { return state_.readOnly; }
  void SetReadOnly(bool value);
  TCursor Cursor() const noexcept { return cursor_; }
  void SetCursor(TCursor value);
  bool TabStop() const noexcept { return tabStop_; }
  void SetTabStop(bool value);
  bool Ctl3D() const noexcept { return ctl3D_; }
  void SetCtl3D(bool value);
  // The window's style bits for the border, scroll bars, tab stop and read-only settings.
  EditorWindowStyle WindowStyle() const noexcept;
  // DoubleClickLine, CursorBeyondEOF, SmartTab, BackSpaceUnindents, AutoIndent,
  // KeepTrailingBlanks, BeepOnError and TabStops come from EditorBehaviour.

  // --- state ---
  bool Modified = false;
  int CaretX() const noexcept { return caret_.X(); }
  int CaretY() const noexcept { return caret_.Y(); }
  int UpdateLock() const noexcept { return state_.updateLock; }
  // Nesting depth of open undo groups; while above 0 a changed selection is neither
  // repainted nor reported.
  int UndoGroupDepth = 0;

  // --- selection ---
  bool HasSelection() const noexcept { return selection_.HasBlock(); }
  bool ExtendingSelection() const noexcept { return selection_.Extending(); }
  TSelBlockFormat SelBlockFormat() const noexcept { return selection_.Format(); }
  int SelBeginX() const noexcept { return selection_.Begin().x; }
  int SelBeginY() const noexcept { return selection_.Begin().y; }
  int SelEndX() const noexcept { return selection_.End().x; }
  int SelEndY() const noexcept { return selection_.End().y; }
  void SetSelBlockFormat(TSelBlockFormat format) { caretOps_.SetSelBlockFormat(format); }

  // --- caret and selection operations ---
  void SetCaretInternal(int x, int y) { caretOps_.SetCaretInternal(x, y); }
  void SetCaret(int x, int y) { caretOps_.SetCaret(x, y); }
  TextPoint MouseToCaret(int x, int y) const { return caretOps_.MouseToCaret(x, y); }
  void EnsureLineVisible(int line) { caretOps_.EnsureLineVisible(line); }
  void ExtendSelection(int x, int y) { caretOps_.ExtendSelection(x, y); }
  void SelectionChanged() { caretOps_.SelectionChanged(); }
  void SelectRange(int beginX, int beginY, int endX, int endY) { caretOps_.SelectRange(beginX, beginY, endX, endY); }
  void SelectAll() { caretOps_.SelectAll(); }
  int SelStart() const { return caretOps_.SelStart(); }
  int SelLength() const { return caretOps_.SelLength(); }
  void SetSelStart(int offset) { caretOps_.SetSelStart(offset); }
  void SetSelLength(int length) { caretOps_.SetSelLength(length); }
  int PositionToOffset(int x, int y) const { return caretOps_.PositionToOffset(x, y); }
  TextPoint OffsetToPosition(int offset) const { return caretOps_.OffsetToPosition(offset); }
  void SelectWordAtCaret() { caretOps_.SelectWordAtCaret(); }

  // --- the view ---
  int TopLine() const noexcept { return view_.TopLine(); }
  int LeftColumn() const noexcept { return view_.LeftColumn(); }
  int CellWidth() const noexcept { return view_.CellWidth(); }
  int CellHeight() const noexcept { return view_.CellHeight(); }
  const std::vector<int>& CharAdvances() const noexcept { return view_.CharAdvances(); }
  int TextLeft() const noexcept { return view_.TextLeft(); }
  int VisibleLines() const noexcept { return view_.VisibleLines(); }
  int VisibleColumns() const noexcept { return view_.VisibleColumns(); }
  int LastVisibleLine() const noexcept { return view_.LastVisibleLine(); }
  int LastVisibleColumn() const noexcept { return view_.LastVisibleColumn(); }
  Rect CellRect(int column, int line) const noexcept { return view_.CellRect(column, line); }
  // The attributes of the line painted last (or being painted).
  const TLineAttrs& LineAttrs() const noexcept { return view_.LineAttrs(); }
  void GetLineAttr(int line, int colBeg, int colEnd) { view_.GetLineAttr(line, colBeg, colEnd); }
  void UpdateEditorSize() { view_.UpdateSize(); }
  void UpdateEditorView() { view_.UpdateView(); }
  void ScrollTo(int column, int line) { view_.ScrollTo(column, line); }
  void Scroll(bool vertical, int position) { view_.Scroll(vertical, position); }
  void PaintLine(int line, int colBeg, int colEnd) { view_.PaintLine(line, colBeg, colEnd); }
  void RepaintLine(int line) { view_.PaintLine(line, -1, -1); }
  void PaintGutter() { view_.PaintGutter(); }
  void DrawRightMargin() { view_.DrawRightMargin(); }
  void PaintCaret(bool show) { view_.PaintCaret(show); }
  int GetTabStop(int x, bool next) const;

  // --- locks ---
  void BeginUpdate() noexcept { context_.BeginUpdate(); }
  void EndUpdate() { context_.EndUpdate(); }  // throws EAssertionFailed when no update is open
  // Ends an update without the repaint and status report of EndUpdate, for a scope
  // left by an exception: the view is only marked for a full repaint.
  void ReleaseUpdate() noexcept { context_.ReleaseUpdate(); }
  // Undo groups make everything between their markers one undo step.
  void BeginUndoGroup() { context_.BeginUndoGroup(); }
  void EndUndoGroup() { context_.EndUndoGroup(); }
  void LockPaint() noexcept { context_.LockPaint(); }
  void UnlockPaint() noexcept { context_.UnlockPaint(); }

  // --- notifications ---
  void Changed() override;
  void StatusChanged() override;
  virtual void TextAllChanged();
  // Every change of the text reports here once, after it happened, with the topmost line
  // it touched.
  void TextModified(int x, int y, std::string_view text, TextAction action) override;

  // --- the text, as the view reads it ---
  int LineCount() const override = 0;
  std::string_view LineView(int y) const override = 0;
  int LineLength(int y) const { return static_cast<int>(LineView(y).size()); }

  void Deselect() { caretOps_.Deselect(); }

  // --- the keyboard road ---
  // The dispatcher of every command code (0 to 255 type that character).
  void RunCommand(int code) { commands_.RunCommand(static_cast<std::uint16_t>(code)); }
  // A key went down; key becomes 0 when it ran a command.
  void KeyDown(int& key, ShiftState shift) { commands_.KeyDown(key, shift); }
  void KeyPress(char& ch) { commands_.KeyPress(ch); }
  // Runs the command later, behind the messages already waiting.
  void PostCommand(int code) {
    if (host_) host_->PostCommand(code);
  }
  // The clipboard and undo messages of an edit control; the message result.
  std::intptr_t EditMessage(EditMessageKind kind);

  // --- what the window hands on ---
  // The window exists (again): the scroll bars whose style is on get it.
  void WindowCreated() { view_.WindowCreated(); }
  // The system is about to paint: the scrolls and repaints since the last paint are marked now.
  void PrepareToPaint() { view_.PrepareToPaint(); }
  // The system asks for a clip rectangle to be painted on surface.
  void Paint(Surface& surface, const Rect& clip) { view_.Paint(surface, clip); }
  void FocusReceived() { view_.CreateCaret(); }
  void FocusLost();
  void ScrollMessage(ScrollBarKind kind, ScrollCode code) { view_.ScrollMessage(kind, code); }
  // The cursor the mouse shows at a client point: the arrow over the gutter while
  // the control's cursor is the I-beam, else the control's cursor.
  TCursor CursorAt(Point at) const noexcept {
    return cursor_ == TCursor::crIBeam && view_.ArrowCursorAt(at) ? TCursor::crArrow : cursor_;
  }
  void KeyUp(int key, ShiftState shift);
  void MouseDown(MouseButton button, ShiftState shift, Point at) { mouse_.Press(button, shift, at); }
  void MouseMove(ShiftState shift, Point at) { mouse_.Move(shift, at); }
  void MouseUp(MouseButton button, ShiftState shift, Point at) { mouse_.Release(button, shift, at); }
  void DblClick() { mouse_.DoubleClick(); }
  // The second press of a double click: for the left button the double click comes
  // first and the press after it (which the control drops); another button's is a
  // press like the first.
  void DoubleClick(MouseButton button, ShiftState shift, Point at) {
    if (button == MouseButton::Left) DblClick();
    MouseDown(button, shift, at);
  }
  void MouseCaptureLost() { mouse_.CaptureLost(); }
  void MouseWheel(ShiftState shift, int delta) { mouse_.Wheel(shift, delta); }
  virtual void TimerTick(EditorTimer timer);
  // EM_GETSEL and EM_SETSEL.
  CaretCommands::SelOffsets GetSelForMessage() const { return caretOps_.GetSel(); }
  std::intptr_t AnswerGetSel(std::uint32_t* start, std::uint32_t* end) const { return caretOps_.AnswerGetSel(start, end); }
  void SetSelForMessage(int start, int end) { caretOps_.SetSel(start, end); }

  // The events for the owner (OnChange, OnKeyUp, OnMouseUp, ...) come from EditorEvents.

 protected:
  // Hooks for the highlighting editor: colours of a line's columns, and a last word.
  virtual void GetAttr(int line, int colBeg, int colEnd);
  // True when GetAttr writes every column it is asked for (with the plain colours where
  // it has nothing else), so the view skips writing them first.
  virtual bool GetAttrFillsLine(int) const { return false; }
  virtual void ChangeAttr(int line, int colBeg, int colEnd);
  // Bracket marks on the attributes (inactive unless bracket highlighting is on).
  virtual void ApplyBracketMarks(int line, int colBeg, int colEnd);
  virtual void UpdateBracketMarks();
  TLineAttrs& MutableLineAttrs() noexcept { return view_.MutableLineAttrs(); }

  WindowHost* host_;
  // What the modules work on; the subclasses add the modules they own.
  EditorContext context_;

 private:
  // Tests look inside through it.
  friend class EditorInternals;

 private:
  // What the view reads of the control.
  TextPoint CaretAt() const override { return caret_.At(); }
  const Selection& Block() const override { return selection_; }
  bool PaintLocked() const override { return context_.PaintLocked(); }
  void DecorateLine(int line, int colBeg, int colEnd) override;
  bool DecorationFillsLine(int line) const override { return GetAttrFillsLine(line); }
  void FinishLine(int line, int colBeg, int colEnd) override { ChangeAttr(line, colBeg, colEnd); }
  void GutterPainted(Surface& canvas) override;
  void Scrolled() override;

  EditorState state_;
  EditorView view_;
  Caret caret_;
  Selection selection_;
  TUndoBuffer undo_{context_};
  CaretCommands caretOps_{context_};
  MouseHandler mouse_{context_};
  CommandDispatcher commands_{context_};
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TCursor cursor_ = TCursor::crIBeam;
  bool tabStop_ = true;
  bool ctl3D_ = true;
};

class TCustomEditor : public TCustomEditorBase, private TEditorStringsOwner {
 public:
  explicit TCustomEditor(WindowHost* host);
  ~TCustomEditor() override;

  TEditorStrings& Lines() noexcept { return *lines_; }
  const TEditorStrings& Lines() const noexcept { return *lines_; }

  int LineCount() const override { return lines_->Count(); }
  std::string_view LineView(int y) const override { return lines_->View(y); }
  bool GetLineText(int y, std::string& s) const;
  // Length of the text with CR LF between lines and none after the last.
  long long GetTextLength() const;
  // The answer to a text request with a buffer of size bytes: the text with CR LF
  // after every line, cut to fit and always ended by a NUL; returns the number of
  // bytes copied without the NUL (0 for a missing buffer).
  int CopyTextForMessage(char* buffer, long long size) const;
  // The answer to a text-length request, clamped to what a message result can hold.
  int TextLengthForMessage() const;
  // Takes back the last step of the undo buffer; its records work on these lines.
  void Undo() { context_.undo.Undo(*lines_); }

  // --- typing and the block, on the line list ---
  void TypeCharacter(char ch) { typing_.TypeCharacter(ch); }
  void EraseSelection() { blocks_.EraseSelection(); }
  void CopySelection() { blocks_.CopySelection(); }
  void CutSelection() { blocks_.CutSelection(); }
  void PasteClipboard() { blocks_.PasteClipboard(); }
  void IndentBlock(bool indent) { blocks_.IndentBlock(indent); }
  void SetClipboard(Clipboard* clipboard) noexcept { blocks_.SetClipboard(clipboard); }
  void SetCodePages(CodePages* codePages) noexcept { blocks_.SetCodePages(codePages); }
  void ConvertBlockCase(int code) { blocks_.ConvertBlockCase(code); }
  std::string BlockText() const { return blocks_.BlockText(); }

 private:
  // --- what the line list asks of its editor: forwards to the members above ---
  void LockOwnerPaint() noexcept override { LockPaint(); }
  void UnlockOwnerPaint() noexcept override { UnlockPaint(); }
  void BeginOwnerUpdate() override { BeginUpdate(); }
  void EndOwnerUpdate() override { EndUpdate(); }
  int OwnerUpdateLock() const noexcept override { return UpdateLock(); }
  bool OwnerKeepsTrailingBlanks() const noexcept override { return KeepTrailingBlanks; }
  int OwnerTabWidth() const override { return GetTabStop(0, true); }
  int OwnerCaretX() const noexcept override { return CaretX(); }
  int OwnerCaretY() const noexcept override { return CaretY(); }
  bool OwnerRunsCommand() const noexcept override { return context_.commands->Running(); }
  // The line list's change handler: a change of the lines made while no update is open
  // shows the whole text anew, and a new text is shown anew in any case (so a load
  // with no update open does both).
  void OwnerLinesChanged(const LineChange& change) override {
    if (UpdateLock() == 0 && (change.removed > 0 || change.added > 0)) TextAllChanged();
    if (change.wholeText) TextAllChanged();
  }

  std::unique_ptr<TEditorStrings> lines_;
  TypingCommands typing_{context_};
  BlockCommands blocks_{context_};
};

class TEditor : public TCustomEditor {
 public:
  using TCustomEditor::TCustomEditor;
};

}  // namespace vantorel
