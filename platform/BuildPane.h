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

// What the pane asks of the core.
class BuildPaneClient {
 public:
  virtual ~BuildPaneClient() = default;
  virtual int LineCount() const = 0;
  // 0 <= index < LineCount().
  virtual PaneLine Line(int index) const = 0;
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
