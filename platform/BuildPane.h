// The build output pane: a list of the build's lines below the editor, error lines
// and warnings in their colours. The core keeps the lines; the pane shows them and
// reports which line the user picks.
#pragma once

#include <string_view>

#include "platform/Types.h"

namespace vantorel {

enum class PaneLineKind { Text, Error, Warning };

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
struct PaneScroll {
  int top = 0;         // the first line shown
  bool fresh = false;  // a new list rather than lines added to the old one
};

// What the pane asks of the core.
class BuildPaneClient {
 public:
  virtual ~BuildPaneClient() = default;
  virtual int LineCount() const = 0;
  // 0 <= index < LineCount().
  virtual PaneLine Line(int index) const = 0;
  virtual ShownPaneLine Shown(int index) const = 0;
  // Shown(index).columns, for the horizontal scroll range of every line that arrives.
  virtual int Columns(int index) const = 0;
  // The list showed shown lines from top, rows at a time; dropped of them went from
  // the top and it holds LineCount() now.
  virtual PaneScroll ScrollAfterChange(int shown, int dropped, int top, int rows) const = 0;
  // The chosen line, or -1.
  virtual int SelectedLine() const = 0;
  // The user moved the pane's selection (a click, the arrow keys).
  virtual void LineSelected(int index) = 0;
  // The user opened a line: a double click.
  virtual void LineOpened(int index) = 0;
  // A key pressed in the pane's list (a virtual-key code); true when the core used it.
  virtual bool PaneKeyDown(int key) = 0;
  // The user clicked the pane's close mark.
  virtual void PaneClosed() = 0;
  // The user drags the bar on the pane's top edge: the height, in pixels, the pane
  // would have with the bar where the pointer is.
  virtual void PaneDragged(int height) = 0;
};

class BuildPane {
 public:
  virtual ~BuildPane() = default;
  virtual void SetClient(BuildPaneClient* client) = 0;
  // The lines changed: dropped lines went from the top, new ones came at the end.
  // A pane scrolled to its end stays at the end.
  virtual void LinesChanged(int dropped) = 0;
  // Shows the client's selected line, scrolled into view.
  virtual void ShowSelection() = 0;
  virtual void SetFont(const FontDesc& font) = 0;
  virtual void Beep() = 0;
  // The height of one line in the pane's font, and of what the pane has beside its
  // lines (the bar on its top edge, the list's border), in pixels.
  virtual int LineHeight() const = 0;
  virtual int FrameHeight() const = 0;
};

}  // namespace vantorel
