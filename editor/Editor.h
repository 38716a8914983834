// The editor control's core: TCustomEditorBase (settings, view state, locks and
// notifications), TCustomEditor (owns the line list) and TEditor (the published
// control). The window around it is reached through the WindowHost port.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "editor/EditorStrings.h"
#include "editor/UndoBuffer.h"
#include "platform/Surface.h"
#include "platform/Types.h"
#include "platform/WindowHost.h"

namespace vantorel {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };

inline constexpr int MaxLineColumns = 1024;
inline constexpr std::string_view kAssertionFailure = "Assertion failure";

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
  int GutterWidth = 0;
  Color GutterColor = clBtnFace;
  bool RightMarginVisible = true;
  int RightMargin = 80;
  Color RightMarginColor = clSilver;
  Color SelForeColor = clHighlightText;
  Color SelBackColor = clHighlight;
  std::string TabStops = "3 5";
  bool InsertMode = true;
  bool ReadOnly = false;
  bool KeepTrailingBlanks = false;
  bool BeepOnError = true;
  Color BackColor = clWindow;  // the control's Color
  FontSpec Font{"Courier New", -13, FontStyle::None, clWindowText};

  // --- state ---
  bool Modified = false;
  int CaretX = 0;
  int CaretY = 0;
  int TopLine = 0;
  int LeftColumn = 0;
  int UpdateLock() const noexcept { return updateLock_; }

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

  int GetTabStop(int x, bool next) const;
  TUndoBuffer& UndoBuffer() noexcept { return *undo_; }

  // --- the text, as the view reads it ---
  virtual int LineCount() const = 0;
  virtual std::string_view LineView(int y) const = 0;

  // --- painting: every visible line on a grid of cells ---
  void Paint(Surface& surface, const Rect& clip);
  int CellWidth() const noexcept { return cellWidth_; }
  int CellHeight() const noexcept { return cellHeight_; }
  int TextLeft() const noexcept { return GutterWidth + 2; }

  // --- input the window hands on ---
  void KeyUp(int key, ShiftState shift);
  void MouseUp(MouseButton button, ShiftState shift, Point at);

  // --- events for the owner ---
  std::function<void()> OnChange;
  std::function<void()> OnChangeStatus;
  std::function<void(int key, ShiftState shift)> OnKeyUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseUp;

 protected:
  WindowHost* host_;

 private:
  void MeasureCells(Surface& surface);

  std::unique_ptr<TUndoBuffer> undo_;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  int updateLock_ = 0;
  int cellWidth_ = 8;
  int cellHeight_ = 16;
};

class TCustomEditor : public TCustomEditorBase {
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
  std::unique_ptr<TEditorStrings> lines_;
};

class TEditor : public TCustomEditor {
 public:
  using TCustomEditor::TCustomEditor;
};

}  // namespace vantorel
