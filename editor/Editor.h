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

class TCustomEditorBase : private ViewClient {
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
  // Off: repaints draw at once. On: they wait for the next paint message.
  bool DeferredPaint() const noexcept { return view_.settings.deferredPaint; }
  void SetDeferredPaint(bool value);
  std::string TabStops = "3 5";
  bool InsertMode() const noexcept { return insertMode_; }
  void SetInsertMode(bool value);
  bool ReadOnly() const noexcept { return readOnly_; }
  void SetReadOnly(bool value);
  TCursor Cursor() const noexcept { return cursor_; }
  void SetCursor(TCursor value);
  bool TabStop() const noexcept { return tabStop_; }
  void SetTabStop(bool value);
  bool Ctl3D() const noexcept { return ctl3D_; }
  void SetCtl3D(bool value);
  // The window's style bits for the border, scroll bars, tab stop and read-only settings.
  EditorWindowStyle WindowStyle() const noexcept;
  bool DoubleClickLine = false;
  bool CursorBeyondEOF = false;
  bool SmartTab = true;
  bool BackSpaceUnindents = true;
  bool AutoIndent = true;
  bool KeepTrailingBlanks = false;
  bool BeepOnError = true;

  // --- state ---
  bool Modified = false;
  int CaretX() const noexcept { return caret_.X(); }
  int CaretY() const noexcept { return caret_.Y(); }
  int UpdateLock() const noexcept { return updateLock_; }
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
  // An overridable step of SelectionChanged, before OnSelectionChange.
  virtual void SelectionChangedHook() {}

  // --- the model the commands work on ---
  Caret& CaretModel() noexcept { return caret_; }
  Selection& SelectionModel() noexcept { return selection_; }
  const Selection& SelectionModel() const noexcept { return selection_; }
  WindowHost* Host() const noexcept { return host_; }
  TUndoBuffer& UndoBuffer() noexcept { return *undo_; }

  // --- the view ---
  EditorView& View() noexcept { return view_; }
  const EditorView& View() const noexcept { return view_; }
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
  TControlScrollBar95& HorzScrollBar() noexcept { return view_.HorzScrollBar(); }
  TControlScrollBar95& VertScrollBar() noexcept { return view_.VertScrollBar(); }
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
  void BeginUpdate();
  void EndUpdate();  // throws EAssertionFailed when no update is open
  // Ends an update without the repaint and status report of EndUpdate, for a scope
  // left by an exception: the view is only marked for a full repaint.
  void ReleaseUpdate() noexcept;
  // Undo groups make everything between their markers one undo step.
  void BeginUndoGroup();
  void EndUndoGroup();
  void LockPaint() noexcept { ++updateLock_; }
  void UnlockPaint() noexcept { --updateLock_; }

  // --- notifications ---
  virtual void Changed();
  virtual void StatusChanged();
  virtual void TextAllChanged();
  // Every change of the text reports here once, after it happened, with the topmost line
  // it touched.
  virtual void TextModified(int x, int y, std::string_view text, TextAction action);

  // --- the text, as the view reads it ---
  int LineCount() const override = 0;
  std::string_view LineView(int y) const override = 0;
  int LineLength(int y) const { return static_cast<int>(LineView(y).size()); }

  // --- clipboard, selection and undo commands the owner calls ---
  // These belong to the clipboard, selection and undo features; until those are
  // built they leave the text and the selection as they are.
  virtual void CopySelection() {}
  virtual void CutSelection() {}
  virtual void PasteClipboard() {}
  virtual void Deselect() { caretOps_.Deselect(); }
  virtual void Undo() {}

  // --- the keyboard road ---
  // The dispatcher of every command code (0 to 255 type that character).
  virtual void RunCommand(int code) { commands_.RunCommand(static_cast<std::uint16_t>(code)); }
  // A key went down; key becomes 0 when it ran a command.
  void KeyDown(int& key, ShiftState shift) { commands_.KeyDown(key, shift); }
  void KeyPress(char& ch) { commands_.KeyPress(ch); }
  // Runs the command later, behind the messages already waiting.
  void PostCommand(int code) {
    if (host_) host_->PostCommand(code);
  }
  // The clipboard and undo messages of an edit control; the message result.
  std::intptr_t EditMessage(EditMessageKind kind);
  CommandDispatcher& Commands() noexcept { return commands_; }
  const CommandDispatcher& Commands() const noexcept { return commands_; }

  // --- entry points of the typing, block and completion features ---
  // Until those features are built they change nothing.
  virtual void TypeCharacter(char ch);
  // The text commands; true when RunCommand must end at once.
  virtual bool RunEditCommand(int code, int& x, bool& caretUndo, int& y);
  virtual void EraseSelection();
  virtual void IndentBlock(bool indent);
  // The case commands (upper, lower, inverted) on the block.
  virtual void ConvertBlockCase(int code);
  // The completion sees a key first; true when it used the key up.
  virtual bool OfferKeyToCompletion(int& key, ShiftState shift);
  virtual void OfferCharToCompletion(char ch);
  virtual void ShowCompletion(bool templates);
  virtual void CloseCompletionList(bool apply);

  // --- what the window hands on ---
  // The window exists (again): the scroll bars whose style is on get it.
  void WindowCreated() { view_.WindowCreated(); }
  // The system is about to paint: deferred scrolls and repaints are marked now.
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
  void MouseCaptureLost() { mouse_.CaptureLost(); }
  void MouseWheel(ShiftState shift, int delta) { mouse_.Wheel(shift, delta); }
  virtual void TimerTick(EditorTimer timer);
  const MouseHandler& Mouse() const noexcept { return mouse_; }
  // EM_GETSEL and EM_SETSEL.
  CaretCommands::SelOffsets GetSelForMessage() const { return caretOps_.GetSel(); }
  std::intptr_t AnswerGetSel(std::uint32_t* start, std::uint32_t* end) const { return caretOps_.AnswerGetSel(start, end); }
  void SetSelForMessage(int start, int end) { caretOps_.SetSel(start, end); }

  // --- events for the owner ---
  std::function<void()> OnChange;
  std::function<void()> OnChangeStatus;
  std::function<void()> OnScroll;
  std::function<void(std::string& text, int line, TLineAttrs& attrs)> OnGetLineAttr;
  std::function<void(Surface& canvas)> OnPaintGutter;
  std::function<void(int key, ShiftState shift)> OnKeyUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseDown;
  std::function<void(ShiftState shift, Point at)> OnMouseMove;
  std::function<void()> OnDblClick;
  std::function<void()> OnSelectionChange;
  std::function<void(int line)> OnGutterClick;
  std::function<void(int line)> OnGutterDblClick;
  std::function<void(int& key, ShiftState shift)> OnKeyDown;
  std::function<void(char& ch)> OnKeyPress;

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

 private:
  // What the view reads of the control.
  TextPoint CaretAt() const override { return caret_.At(); }
  const Selection& Block() const override { return selection_; }
  bool PaintLocked() const override { return updateLock_ > 0; }
  void DecorateLine(int line, int colBeg, int colEnd) override;
  bool DecorationFillsLine(int line) const override { return GetAttrFillsLine(line); }
  void FinishLine(int line, int colBeg, int colEnd) override { ChangeAttr(line, colBeg, colEnd); }
  void GutterPainted(Surface& canvas) override;
  void Scrolled() override;

  std::unique_ptr<TUndoBuffer> undo_;
  EditorView view_;
  Caret caret_;
  Selection selection_;
  CaretCommands caretOps_{*this};
  MouseHandler mouse_{*this};
  CommandDispatcher commands_{*this};
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool insertMode_ = true;
  bool readOnly_ = false;
  TCursor cursor_ = TCursor::crIBeam;
  bool tabStop_ = true;
  bool ctl3D_ = true;
  int updateLock_ = 0;
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
  void Undo() override { UndoBuffer().Undo(*lines_); }

  // --- typing and the block, on the line list ---
  void TypeCharacter(char ch) override { typing_.TypeCharacter(ch); }
  bool RunEditCommand(int code, int& x, bool& caretUndo, int& y) override {
    return typing_.RunEditCommand(code, x, caretUndo, y);
  }
  void EraseSelection() override { blocks_.EraseSelection(); }
  void CopySelection() override { blocks_.CopySelection(); }
  void CutSelection() override { blocks_.CutSelection(); }
  void PasteClipboard() override { blocks_.PasteClipboard(); }
  void IndentBlock(bool indent) override { blocks_.IndentBlock(indent); }
  void SetClipboard(Clipboard* clipboard) noexcept { blocks_.SetClipboard(clipboard); }
  void SetCodePages(CodePages* codePages) noexcept { blocks_.SetCodePages(codePages); }
  void ConvertBlockCase(int code) override { blocks_.ConvertBlockCase(code); }
  BlockCommands& Blocks() noexcept { return blocks_; }
  std::string BlockText() const { return blocks_.BlockText(); }
  TypingCommands& Typing() noexcept { return typing_; }

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
  bool OwnerRunsCommand() const noexcept override { return Commands().Running(); }
  // The line list's change handler: a change of the lines made while no update is open
  // shows the whole text anew, and a new text is shown anew in any case (so a load
  // with no update open does both).
  void OwnerLinesChanged(const LineChange& change) override {
    if (UpdateLock() == 0 && (change.removed > 0 || change.added > 0)) TextAllChanged();
    if (change.wholeText) TextAllChanged();
  }

  std::unique_ptr<TEditorStrings> lines_;
  TypingCommands typing_{*this};
  BlockCommands blocks_{*this};
};

// Holds the editor's update lock for a scope. End() ends the update with the repaint
// and status report of the outermost end, which may throw; a scope left without it
// (an exception, an early return) only releases the lock, so the error in flight is
// the one reported and no destructor throws.
class TEditorUpdate {
 public:
  explicit TEditorUpdate(TCustomEditorBase& editor) : e_(editor) { e_.BeginUpdate(); }
  ~TEditorUpdate() {
    if (open_) e_.ReleaseUpdate();
  }
  void End() {
    if (!open_) return;
    open_ = false;
    e_.EndUpdate();
  }
  TEditorUpdate(const TEditorUpdate&) = delete;
  TEditorUpdate& operator=(const TEditorUpdate&) = delete;

 private:
  TCustomEditorBase& e_;
  bool open_ = true;
};

// Holds the paint lock for a scope.
class TEditorPaintLock {
 public:
  explicit TEditorPaintLock(TCustomEditorBase& editor) noexcept : e_(editor) { e_.LockPaint(); }
  ~TEditorPaintLock() { e_.UnlockPaint(); }
  TEditorPaintLock(const TEditorPaintLock&) = delete;
  TEditorPaintLock& operator=(const TEditorPaintLock&) = delete;

 private:
  TCustomEditorBase& e_;
};

// Hides the caret for a scope and shows it again however the scope ends. With the
// repaints deferred nothing is drawn in the scope, so the caret stays as it is: the
// paint that follows hides it and puts it in its place.
class TEditorCaretHidden {
 public:
  explicit TEditorCaretHidden(TCustomEditorBase& editor) : e_(editor), hides_(!editor.DeferredPaint()) {
    if (hides_) e_.PaintCaret(false);
  }
  ~TEditorCaretHidden() {
    if (hides_) e_.PaintCaret(true);
  }
  TEditorCaretHidden(const TEditorCaretHidden&) = delete;
  TEditorCaretHidden& operator=(const TEditorCaretHidden&) = delete;

 private:
  TCustomEditorBase& e_;
  const bool hides_;
};

// Holds an undo group open for a scope; the group is closed on every path. End()
// closes it where a failure to record the end marker must be reported; a scope left
// without it closes the group quietly.
class TEditorUndoGroup {
 public:
  explicit TEditorUndoGroup(TCustomEditorBase& editor) : e_(editor) { e_.BeginUndoGroup(); }
  ~TEditorUndoGroup();
  void End() {
    if (!open_) return;
    open_ = false;
    e_.EndUndoGroup();
  }
  TEditorUndoGroup(const TEditorUndoGroup&) = delete;
  TEditorUndoGroup& operator=(const TEditorUndoGroup&) = delete;

 private:
  TCustomEditorBase& e_;
  bool open_ = true;
};

class TEditor : public TCustomEditor {
 public:
  using TCustomEditor::TCustomEditor;
};

}  // namespace vantorel
