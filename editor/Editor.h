// The editor control's core: TCustomEditorBase (settings, view, painting, scroll
// bars, caret, locks and notifications), TCustomEditor (owns the line list) and
// TEditor (the published control). The window around it is reached through the
// WindowHost port.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorStrings.h"
#include "editor/ScrollBar.h"
#include "editor/UndoBuffer.h"
#include "platform/Surface.h"
#include "platform/Types.h"
#include "platform/WindowHost.h"

namespace vantorel {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
enum class TSelBlockFormat { bfInclusive, bfLine, bfColumn, bfNonInclusive };

inline constexpr int MaxLineColumns = 1024;
inline constexpr std::string_view kAssertionFailure = "Assertion failure";
inline constexpr Point kCaretOutOfSight{-32767, -32767};

// How one column of a painted line looks; two neighbouring columns with equal
// records are drawn as one run.
struct TLineAttr {
  Color ForeColor;
  Color BackColor;
  FontStyle Style = FontStyle::None;
  Color BorderColor = clNone;
  bool operator==(const TLineAttr&) const = default;
};
// Index i describes column i - 1; indices 1 to 1024 hold columns 0 to 1023.
using TLineAttrs = std::array<TLineAttr, MaxLineColumns + 1>;

class TCustomEditorBase {
 public:
  explicit TCustomEditorBase(WindowHost* host);
  virtual ~TCustomEditorBase();
  TCustomEditorBase(const TCustomEditorBase&) = delete;
  TCustomEditorBase& operator=(const TCustomEditorBase&) = delete;

  // --- published settings (defaults of a new control) ---
  TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  int GutterWidth() const noexcept { return gutterWidth_; }
  void SetGutterWidth(int value);
  Color GutterColor() const noexcept { return gutterColor_; }
  void SetGutterColor(Color value);
  bool RightMarginVisible() const noexcept { return rightMarginVisible_; }
  void SetRightMarginVisible(bool value);
  int RightMargin() const noexcept { return rightMargin_; }
  void SetRightMargin(int value);
  Color RightMarginColor() const noexcept { return rightMarginColor_; }
  void SetRightMarginColor(Color value);
  Color SelForeColor() const noexcept { return selForeColor_; }
  void SetSelForeColor(Color value);
  Color SelBackColor() const noexcept { return selBackColor_; }
  void SetSelBackColor(Color value);
  const FontDesc& Font() const noexcept { return font_; }
  void SetFont(const FontDesc& value);
  std::string TabStops = "3 5";
  bool InsertMode() const noexcept { return insertMode_; }
  void SetInsertMode(bool value);
  bool ReadOnly() const noexcept { return readOnly_; }
  void SetReadOnly(bool value);
  bool HideCaret = false;
  bool DoubleClickLine = false;
  bool CursorBeyondEOF = false;
  bool SmartTab = true;
  bool BackSpaceUnindents = true;
  bool AutoIndent = true;
  bool KeepTrailingBlanks = false;
  bool BeepOnError = true;
  Color BackColor = clWindow;  // the control's Color

  // --- state ---
  bool Modified = false;
  int CaretX = 0;
  int CaretY = 0;
  int TopLine = 0;
  int LeftColumn = 0;
  int UpdateLock() const noexcept { return updateLock_; }
  bool FullRepaintPending = false;

  // --- selection (moved by the caret and selection operations) ---
  bool HasSelection = false;
  bool ExtendingSelection = false;
  TSelBlockFormat SelBlockFormat = TSelBlockFormat::bfNonInclusive;
  int SelBeginX = 0;
  int SelBeginY = 0;
  int SelEndX = 0;
  int SelEndY = 0;

  // --- cell geometry ---
  int CellWidth() const noexcept { return cellWidth_; }
  int CellHeight() const noexcept { return cellHeight_; }
  const std::vector<int>& CharAdvances() const noexcept { return charAdvances_; }
  int TextLeft() const noexcept { return gutterWidth_ + 2; }
  int VisibleLines() const noexcept { return visibleLines_; }
  int VisibleColumns() const noexcept { return visibleColumns_; }
  int LastVisibleLine() const noexcept { return TopLine + visibleLines_ - 1; }
  int LastVisibleColumn() const noexcept { return LeftColumn + visibleColumns_ - 1; }
  // The pixel rectangle of a cell given relative to the first visible column and line.
  Rect CellRect(int column, int line) const noexcept;

  TControlScrollBar95& HorzScrollBar() noexcept { return horz_; }
  TControlScrollBar95& VertScrollBar() noexcept { return vert_; }

  // --- locks ---
  void BeginUpdate();
  void EndUpdate();  // throws EAssertionFailed when no update is open
  void LockPaint() noexcept { ++updateLock_; }
  void UnlockPaint() noexcept { --updateLock_; }

  // --- notifications ---
  virtual void Changed();
  virtual void StatusChanged();
  virtual void TextAllChanged();
  virtual void TextModified(int x, int y, std::string_view text, int action);
  void UpdateEditorSize();
  void UpdateEditorView();

  // --- view operations ---
  void ScrollTo(int column, int line);
  void Scroll(bool vertical, int position);
  void PaintLine(int line, int colBeg, int colEnd);
  void RepaintLine(int line) { PaintLine(line, -1, -1); }
  void PaintGutter();
  void DrawRightMargin();
  void PaintCaret(bool show);
  int GetTabStop(int x, bool next) const;
  TUndoBuffer& UndoBuffer() noexcept { return *undo_; }
  // The attributes of the line painted last (or being painted).
  const TLineAttrs& LineAttrs() const noexcept { return lineAttrs_; }
  void GetLineAttr(int line, int colBeg, int colEnd);

  // --- the text, as the view reads it ---
  virtual int LineCount() const = 0;
  virtual std::string_view LineView(int y) const = 0;

  // --- clipboard, selection and undo commands the owner calls ---
  // These belong to the clipboard, selection and undo features; until those are
  // built they leave the text and the selection as they are.
  virtual void CopySelection() {}
  virtual void CutSelection() {}
  virtual void PasteClipboard() {}
  virtual void Deselect() {}
  virtual void Undo() {}

  // --- what the window hands on ---
  // The window exists (again): the scroll bars whose style is on get it.
  void WindowCreated();
  // The system asks for a clip rectangle to be painted on surface.
  void Paint(Surface& surface, const Rect& clip);
  void FocusReceived();
  void FocusLost();
  void ScrollMessage(ScrollBarKind kind, ScrollCode code);
  // True where the mouse shows the arrow instead of the control's I-beam.
  bool ArrowCursorAt(Point at) const noexcept { return at.x < gutterWidth_; }
  void KeyUp(int key, ShiftState shift);
  void MouseUp(MouseButton button, ShiftState shift, Point at);

  // --- events for the owner ---
  std::function<void()> OnChange;
  std::function<void()> OnChangeStatus;
  std::function<void()> OnScroll;
  std::function<void(std::string& text, int line, TLineAttrs& attrs)> OnGetLineAttr;
  std::function<void(Surface& canvas)> OnPaintGutter;
  std::function<void(int key, ShiftState shift)> OnKeyUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseUp;

 protected:
  // Hooks for the highlighting editor: colours of a line's columns, and a last word.
  virtual void GetAttr(int line, int colBeg, int colEnd);
  virtual void ChangeAttr(int line, int colBeg, int colEnd);
  // Bracket marks on the attributes (inactive unless bracket highlighting is on).
  virtual void ApplyBracketMarks(int line, int colBeg, int colEnd);
  virtual void UpdateBracketMarks();
  TLineAttrs& MutableLineAttrs() noexcept { return lineAttrs_; }

  WindowHost* host_;

 private:
  void RepaintAll();
  void PaintLineOn(Surface& surface, int line, int colBeg, int colEnd);
  void PaintLineText(Surface& surface, int line, int colBeg, int& painted, int colEnd);
  void DrawRightMarginOn(Surface& surface);
  int CellLeft(int column) const noexcept { return TextLeft() + 1 + (column - LeftColumn) * cellWidth_; }
  void ApplySelection(int line, int colBeg, int colEnd);
  const FontDesc& CachedFont(Color color, FontStyle style);

  std::unique_ptr<TUndoBuffer> undo_;
  TControlScrollBar95 horz_;
  TControlScrollBar95 vert_;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  int gutterWidth_ = 0;
  Color gutterColor_ = clBtnFace;
  bool rightMarginVisible_ = true;
  int rightMargin_ = 80;
  Color rightMarginColor_ = clSilver;
  Color selForeColor_ = clHighlightText;
  Color selBackColor_ = clHighlight;
  FontDesc font_{"Courier New", -13, FontStyle::None, clWindowText};
  bool insertMode_ = true;
  bool readOnly_ = false;

  int updateLock_ = 0;
  int cellWidth_ = 8;
  int cellHeight_ = 16;
  std::vector<int> charAdvances_ = std::vector<int>(MaxLineColumns + 1, 8);
  int visibleLines_ = 0;
  int visibleColumns_ = 0;
  int storedLineCount_ = 0;
  std::vector<FontDesc> fontCache_;
  TLineAttrs lineAttrs_{};
  std::string runText_;
};

class TCustomEditor : public TCustomEditorBase, private TEditorStringsOwner {
 public:
  explicit TCustomEditor(WindowHost* host);
  ~TCustomEditor() override;

  TEditorStrings& Lines() noexcept { return *lines_; }
  const TEditorStrings& Lines() const noexcept { return *lines_; }

  int LineCount() const override { return lines_->Count(); }
  std::string_view LineView(int y) const override { return lines_->View(y); }
  int LineLength(int y) const { return static_cast<int>(lines_->View(y).size()); }
  bool GetLineText(int y, std::string& s) const;
  // Length of the text with CR LF between lines and none after the last.
  long long GetTextLength() const;
  // The answer to a text request with a buffer of size bytes: the text with CR LF
  // after every line, cut to fit and always ended by a NUL; returns the number of
  // bytes copied without the NUL (0 for a missing buffer).
  int CopyTextForMessage(char* buffer, long long size) const;
  // The answer to a text-length request, clamped to what a message result can hold.
  int TextLengthForMessage() const;

 private:
  // --- what the line list asks of its editor: forwards to the members above ---
  void LockOwnerPaint() noexcept override { LockPaint(); }
  void UnlockOwnerPaint() noexcept override { UnlockPaint(); }
  void BeginOwnerUpdate() override { BeginUpdate(); }
  void EndOwnerUpdate() override { EndUpdate(); }
  int OwnerUpdateLock() const noexcept override { return UpdateLock(); }
  TUndoBuffer& OwnerUndoBuffer() noexcept override { return UndoBuffer(); }
  bool OwnerKeepsTrailingBlanks() const noexcept override { return KeepTrailingBlanks; }
  int OwnerTabWidth() const override { return GetTabStop(0, true); }
  int OwnerCaretX() const noexcept override { return CaretX; }
  int OwnerCaretY() const noexcept override { return CaretY; }
  void OwnerTextAllChanged() override { TextAllChanged(); }

  std::unique_ptr<TEditorStrings> lines_;
};

class TEditor : public TCustomEditor {
 public:
  using TCustomEditor::TCustomEditor;
};

}  // namespace vantorel
