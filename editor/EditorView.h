// The editor's view: the grid of character cells measured from the font, the first
// visible line and column with their scroll bars, and painting of the text, the
// selection, the gutter, the right margin and the caret onto a Surface. It reads the
// text, caret and selection through ViewClient and changes none of them; the caches
// it keeps (fonts by colour and style, the attributes of the line being painted)
// are its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorTypes.h"
#include "editor/ScrollBar.h"
#include "editor/Selection.h"
#include "platform/Surface.h"
#include "platform/WindowHost.h"

namespace vantorel {

// What the view asks of the control it shows.
class ViewClient {
 public:
  virtual int LineCount() const = 0;
  virtual std::string_view LineView(int y) const = 0;
  virtual TextPoint CaretAt() const = 0;
  virtual const Selection& Block() const = 0;
  // True while an update lock holds painting back.
  virtual bool PaintLocked() const = 0;
  // Colours line's columns colBeg to colEnd over the plain defaults, in the view's
  // attribute buffer (highlighter, bracket marks, the owner's event).
  virtual void DecorateLine(int line, int colBeg, int colEnd) = 0;
  // True when DecorateLine sets every column from colBeg to colEnd itself, so the
  // plain defaults need not be written first.
  virtual bool DecorationFillsLine(int line) const = 0;
  // A last word on the attributes after the selection colours.
  virtual void FinishLine(int line, int colBeg, int colEnd) = 0;
  virtual void GutterPainted(Surface& canvas) = 0;
  virtual void Scrolled() = 0;

 protected:
  ~ViewClient() = default;
};

// The settings that change how the view looks.
struct ViewSettings {
  TScrollStyle scrollBars = TScrollStyle::ssBoth;
  int gutterWidth = 0;
  Color gutterColor = clBtnFace;
  bool rightMarginVisible = true;
  int rightMargin = 80;
  Color rightMarginColor = clSilver;
  Color selForeColor = clHighlightText;
  Color selBackColor = clHighlight;
  FontDesc font{"Courier New", -13, FontStyle::None, clWindowText};
  Color backColor = clWindow;
  bool hideCaret = false;
};

class EditorView {
 public:
  EditorView(ViewClient& client, WindowHost* host);
  EditorView(const EditorView&) = delete;
  EditorView& operator=(const EditorView&) = delete;

  ViewSettings settings;
  // The next Paint covers the whole client area, whatever it is asked to clip to.
  bool FullRepaintPending = false;

  int TopLine() const noexcept { return topLine_; }
  int LeftColumn() const noexcept { return leftColumn_; }
  int CellWidth() const noexcept { return cellWidth_; }
  int CellHeight() const noexcept { return cellHeight_; }
  const std::vector<int>& CharAdvances() const noexcept { return charAdvances_; }
  int TextLeft() const noexcept { return settings.gutterWidth + 2; }
  int VisibleLines() const noexcept { return visibleLines_; }
  int VisibleColumns() const noexcept { return visibleColumns_; }
  int LastVisibleLine() const noexcept { return topLine_ + visibleLines_ - 1; }
  int LastVisibleColumn() const noexcept { return leftColumn_ + visibleColumns_ - 1; }
  // The pixel rectangle of a cell given relative to the first visible column and line.
  Rect CellRect(int column, int line) const noexcept;
  TControlScrollBar95& HorzScrollBar() noexcept { return horz_; }
  TControlScrollBar95& VertScrollBar() noexcept { return vert_; }
  const TLineAttrs& LineAttrs() const noexcept { return lineAttrs_; }
  TLineAttrs& MutableLineAttrs() noexcept { return lineAttrs_; }

  // The window exists (again): the scroll bars whose style is on get it.
  void WindowCreated();
  // Measures the cells from the font and fits the grid and the bars to the window.
  void UpdateSize();
  // Remeasures and repaints everything, as after a change of the whole text.
  void UpdateView();
  void RepaintAll();
  // The fonts of the cache follow the control's font again.
  void ForgetFonts() noexcept { fontCache_.clear(); }

  void ScrollTo(int column, int line);
  // Moves the first visible line (vertical) or column to position: the pixels that
  // stay visible are shifted, the uncovered strip is repainted.
  void Scroll(bool vertical, int position);
  void ScrollMessage(ScrollBarKind kind, ScrollCode code);

  // Drawing happens in the system's paint only. Every repaint below marks what it
  // changed and makes sure a paint comes; the window ends the message that asked with
  // that paint, so a burst of edits and scrolls within one message costs one paint.
  //
  // Before the system's paint: moves the pixels of the scrolls since the last paint
  // and marks the lines the repaints asked for, so one paint covers them all.
  void PrepareToPaint();
  void Paint(Surface& surface, const Rect& clip);
  // Marks one line (whole: the paint draws whole rows) for the next paint.
  void PaintLine(int line, int colBeg, int colEnd);
  void RepaintLine(int line) { PaintLine(line, -1, -1); }
  void PaintGutter();
  void DrawRightMargin();
  void PaintCaret(bool show);
  // Moves the system caret to the caret's cell without showing it (with the focus only).
  void PlaceCaret();
  void CreateCaret();
  // Fills the attribute buffer for a line: defaults, the client's colours, the
  // selection, the client's last word.
  void GetLineAttr(int line, int colBeg, int colEnd);
  bool ArrowCursorAt(Point at) const noexcept { return at.x < settings.gutterWidth; }

 private:
  bool HasWindow() const;
  bool CanDraw() const;
  // Makes sure a paint message comes: the first repaint since the last paint marks rect.
  void RequestPaint(const Rect& rect);
  Rect LineRect(int line) const;
  struct ScrollArea {
    Rect area, clip, uncovered;
  };
  ScrollArea AreaMovedBy(bool vertical, int d) const;
  // Moves the text area's pixels by d and marks the uncovered strip (or all).
  void ShiftPixels(bool vertical, int d);
  void PaintGutterOn(Surface& surface);
  void PaintLineOn(Surface& surface, int line, int colBeg, int colEnd, bool margin = true);
  void PaintLineText(Surface& surface, int line, int colBeg, int& painted, int colEnd);
  void DrawRightMarginOn(Surface& surface);
  int CellLeft(int column) const noexcept { return TextLeft() + 1 + (column - leftColumn_) * cellWidth_; }
  void ApplySelection(int line, int colBeg, int colEnd);
  // The index in the font cache of the editor's font in this colour and style.
  int CachedFont(Color color, FontStyle style);
  Point CaretPixel() const;

  ViewClient& client_;
  WindowHost* host_;
  TControlScrollBar95 horz_;
  TControlScrollBar95 vert_;
  int topLine_ = 0;
  int leftColumn_ = 0;
  int cellWidth_ = 8;
  int cellHeight_ = 16;
  std::vector<int> charAdvances_ = std::vector<int>(MaxLineColumns + 1, 8);
  int visibleLines_ = 0;
  int visibleColumns_ = 0;
  int storedLineCount_ = 0;
  std::vector<FontDesc> fontCache_;
  // Where CachedFont last found a colour and style, by a hash of the two: a hint, used
  // only when the cache holds that very font at that index.
  std::array<std::uint32_t, 16> fontSlots_{};
  // Aligned to a cache line, so that no 16-byte access to a record straddles two.
  alignas(64) TLineAttrs lineAttrs_{};
  std::string runText_;
  // Whether a paint message is on its way, the pixels the view scrolled by that have
  // not moved yet, and the lines to repaint.
  bool paintRequested_ = false;
  int pendingDx_ = 0;
  int pendingDy_ = 0;
  std::vector<int> dirtyLines_;
};

}  // namespace vantorel
