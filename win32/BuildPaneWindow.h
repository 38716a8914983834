// The build output pane's window, class TBuildOutput: a panel below the editor with a
// bar on its top edge (dragged to size the pane, a close mark at its end) over an
// owner-drawn list box without data of its own (LBS_NODATA), so the core's lines are
// the only copy; each line is painted from the core in the editor's font, error lines
// red and warnings olive. A double click opens a line; keys go to the core.
#pragma once

#include <functional>

#include "platform/BuildPane.h"
#include "win32/WindowClass.h"

namespace vantorel::win32 {

inline constexpr wchar_t kBuildPaneClassName[] = L"TBuildOutput";

// A line of the pane for a reader in the program's own process (the end-to-end
// tests' probe): the registered message, sent to the list with wParam the line's
// index and lParam a PaneLineQuery, answers the text's length or -1 when there is no
// such line, and copies the text cut to the stated size. (LB_GETTEXT is no way: for a
// list without strings its callers hand in room for the item data only.)
inline constexpr wchar_t kPaneLineMessage[] = L"TBuildOutputLine";
struct PaneLineQuery {
  wchar_t* text;  // room for size characters, the terminating zero included
  int size;
  int kind;  // set: 0 text, 1 error, 2 warning
};

class BuildPaneWindow : public BuildPane, public OwnWindow {
 public:
  BuildPaneWindow() = default;
  ~BuildPaneWindow() override;

  // Made hidden; relayout is asked for when the pane's height changes with its font.
  void Create(HWND parent, std::function<void()> relayout);

  // BuildPane
  void SetClient(BuildPaneClient* client) override { client_ = client; }
  void LinesChanged(int dropped) override;
  void ShowSelection() override;
  void SetFont(const FontDesc& font) override;
  void Beep() override;
  int LineHeight() const override;
  int FrameHeight() const override;

 private:
  Rect CloseMark() const;
  // The screen row of a mouse message's point: a drag is measured on the screen, since
  // the window moves under the pointer as it is sized.
  int ScreenY(LPARAM lParam) const;
  void PaintBar();
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  void ApplyFont();
  void DrawItem(const DRAWITEMSTRUCT& item);
  std::wstring LineText(int index) const;
  int VisibleRows() const;

  HWND list_ = nullptr;
  BuildPaneClient* client_ = nullptr;
  std::function<void()> relayout_;
  FontDesc fontDesc_;
  GdiObject<HFONT> font_;
  int itemHeight_ = 16;
  int charWidth_ = 8;
  int shownCount_ = 0;  // the count the list was last given
  int widestLine_ = 0;  // in characters, for the horizontal scroll range
  // While the top bar is dragged: where the press was (screen y) and the height then.
  int dragFrom_ = 0;
  int dragHeight_ = 0;
};

}  // namespace vantorel::win32
