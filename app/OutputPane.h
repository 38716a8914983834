// The build output pane: its lines (the oldest dropped past a limit, the chosen one
// kept on its line), how a line is shown, and TOutputPane, the list the pane's window
// shows: a bar on its top edge that sizes the pane when dragged and closes it at its
// mark, the lines below in the editor's font, error lines red and warnings olive,
// with the selection, the keys, the wheel and the scroll bars of a list box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/CodePages.h"
#include "platform/PaneWindow.h"

namespace vantorel {

enum class PaneLineKind { Text, Error, Warning };

// A line as it is kept: the text, read in the ANSI code page unless utf8.
struct PaneLine {
  std::string_view text;
  bool utf8 = false;  // the program's own words; otherwise bytes of the ANSI code page
  PaneLineKind kind = PaneLineKind::Text;
};

// A line as the pane draws it: UTF-8 with its tabs laid out, its width in characters,
// and its colour (clNone: the list's own text colour).
struct ShownPaneLine {
  std::string text;
  int columns = 0;
  Color color = clNone;
};

// Where a pane's list stands after its lines changed.
struct PanePlace {
  int top = 0;         // the first line shown
  bool fresh = false;  // a new list rather than lines added to the old one
};

struct OutputLine {
  std::string text;
  bool utf8 = false;  // the program's own note rather than tool output
  PaneLineKind kind = PaneLineKind::Text;
  std::string path;  // the full path (UTF-8) of the source the line names
  int line = 0;
  bool HasPosition() const noexcept { return line > 0 && !path.empty(); }
  // An error or a warning at a source position: what F4 steps through. Context lines
  // ("x.asm(14): Main Line Code") have a position but are no message.
  bool IsMessage() const noexcept { return kind != PaneLineKind::Text && HasPosition(); }
};

// The pane's lines: at most kMaxLines, the oldest dropped first, and the chosen one,
// which stays on its line while older ones are dropped.
class TOutputLines {
 public:
  static constexpr std::size_t kMaxLines = 10000;
  void Clear();
  // Returns the number of old lines dropped to make room (0 or 1).
  int Add(OutputLine line);
  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  const OutputLine& operator[](int index) const { return lines_[static_cast<std::size_t>(index)]; }
  int Selected() const noexcept;
  void Select(int index) noexcept;
  // The next error or warning with a source position after the chosen line (from the
  // top when none is chosen), or the previous one before it (from the end); -1 when
  // there is none.
  int NextMessage(bool forward) const noexcept;

 private:
  std::deque<OutputLine> lines_;
  std::int64_t first_ = 0;      // the serial number of lines_.front()
  std::int64_t selected_ = -1;  // a serial number
};

// The colours of error and warning lines in the pane.
inline constexpr Color kErrorLineColor = Color::Rgb(255, 0, 0);
inline constexpr Color kWarningLineColor = clOlive;
// Tabs in the pane stop every kPaneTabWidth characters, as in the console.
inline constexpr int kPaneTabWidth = 8;
// The line in UTF-8 (the tools' bytes read in the ANSI page), tabs laid out, in its
// kind's colour.
ShownPaneLine ShowPaneLine(const PaneLine& line, CodePages& codePages);
// Its width in characters, without reading it into UTF-8.
int PaneLineColumns(const PaneLine& line);
// A list at its end, or a new one, stays at the end; otherwise it keeps its first
// line, which moved up by the dropped lines.
PanePlace PaneScrollAfter(int shown, int dropped, int count, int top, int rows);
// The pane's height in lines of the editor's font until the user sets one, and the
// least it may be set to; it never takes more than kPaneShareMax of the editor's space.
inline constexpr int kPaneLines = 8;
inline constexpr int kPaneLinesMin = 3;
inline constexpr double kPaneShareMax = 0.8;
// The pane's height for wanted pixels (0: the default), with lines and frame measured
// in its font, in space pixels of the editor's place.
int PaneHeightFor(int wanted, int lineHeight, int frameHeight, int space);


// What the pane's list tells the build output it shows.
class OutputPaneOwner {
 public:
  virtual ~OutputPaneOwner() = default;
  // A double click or Enter on a line.
  virtual void LineOpened(int index) = 0;
  // Escape, or a click on the close mark.
  virtual void PaneClosed() = 0;
  // The user drags the bar on the pane's top edge: the height, in pixels, the pane
  // would have with the bar where the pointer is.
  virtual void PaneDragged(int height) = 0;
};

// The bar on the pane's top edge, with a line below it, and the close mark at its end.
inline constexpr int kPaneBarHeight = 14;
inline constexpr int kPaneCloseMarkSize = 12;
inline constexpr int kPaneTextIndent = 2;
// Lines the wheel scrolls by for a notch.
inline constexpr int kPaneWheelLines = 3;

class TOutputPane : public PaneClient {
 public:
  TOutputPane(PaneWindow& window, TOutputLines& lines, CodePages& codePages, OutputPaneOwner& owner);
  ~TOutputPane() override;
  TOutputPane(const TOutputPane&) = delete;
  TOutputPane& operator=(const TOutputPane&) = delete;

  // The lines changed: dropped lines went from the top, new ones came at the end. A
  // list scrolled to its end stays at the end.
  void LinesChanged(int dropped);
  // The chosen line, scrolled into view.
  void ShowSelection();
  void SetFont(const FontDesc& font);
  // One line's height in the pane's font, and what the pane has beside its lines.
  int LineHeight() const noexcept { return lineHeight_; }
  int FrameHeight() const noexcept { return kPaneBarHeight + 1; }
  int Top() const noexcept { return top_; }
  int Left() const noexcept { return left_; }
  // The close mark in client coordinates.
  Rect CloseMark() const;
  // The line at a point of the list, or -1.
  int LineAt(Point at) const;

  // PaneClient
  void PanePaint(Surface& surface, const Rect& clip) override;
  void PaneSized() override;
  void PaneMouseDown(MouseButton button, Point at) override;
  void PaneDoubleClick(MouseButton button, Point at) override;
  void PaneMouseMove(bool leftHeld, Point at) override;
  void PaneMouseUp(MouseButton button, Point at) override;
  void PaneCaptureLost() override;
  void PaneWheel(int delta) override;
  bool PaneKeyDown(int key) override;
  void PaneScroll(ScrollBarKind kind, ScrollCode code, int trackPosition) override;
  void PaneFocusChanged() override;
  bool PaneSizesAt(Point at) const override;
  PaneState State() const override;
  std::optional<PaneRowView> Row(int index) const override;

 private:
  PaneLine Line(int index) const;
  ShownPaneLine Shown(int index) const;
  int ListTop() const noexcept { return kPaneBarHeight + 1; }
  // Whole lines the list shows at once (at least one).
  int Rows() const;
  Rect RowRect(int index) const;
  // The widest line's width in pixels, the indents on both sides included.
  int TextWidth() const noexcept;
  bool InBar(Point at) const noexcept { return at.y < kPaneBarHeight; }
  void SetTop(int top);
  void SetLeft(int left);
  // Sets a scroll position kept between 0 and most, and repaints when it moved.
  void MoveTo(int& position, int to, int most);
  void Select(int index);
  // Gives the system bars the list's values when they changed.
  void UpdateBars();
  void EndMouseModes();

  PaneWindow& window_;
  TOutputLines& lines_;
  CodePages& codePages_;
  OutputPaneOwner& owner_;
  FontDesc font_;
  int lineHeight_ = 16;
  int charWidth_ = 8;
  int top_ = 0;
  int left_ = 0;        // pixels scrolled off to the left
  int shownCount_ = 0;  // the count at the last change
  int widest_ = 0;      // in characters
  // While the bar is dragged: the press's screen row and the pane's height then.
  std::optional<std::pair<int, int>> drag_;
  bool choosing_ = false;  // the left button went down on the list and is held
  struct Bars {
    int count, rows, top, width, page, left;
    bool operator==(const Bars&) const = default;
  };
  std::optional<Bars> bars_;  // what the system bars were last given
  bool updatingBars_ = false;
  bool barsStale_ = false;
};

}  // namespace vantorel
