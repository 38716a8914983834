// The build output pane's window, class TBuildOutput: a child window below the editor
// with the system's scroll bars. The core paints it and takes its mouse, keys, wheel
// and scroll bars; this window only hands them over.
#pragma once

#include "platform/PaneWindow.h"
#include "win32/GdiSurface.h"
#include "win32/WindowClass.h"

namespace vantorel::win32 {

inline constexpr wchar_t kBuildPaneClassName[] = L"TBuildOutput";

// The pane for a reader in the program's own process (the end-to-end tests' probe):
// the registered message, sent with wParam a line's index (or -1) and lParam a
// PaneQuery, fills in the pane's state and the line's kind and rectangle and copies
// its text cut to the stated size; it answers the text's length, or -1 when there is
// no such line.
inline constexpr wchar_t kPaneQueryMessage[] = L"TBuildOutputQuery";
struct PaneQuery {
  wchar_t* text;  // room for size characters, the terminating zero included
  int size;
  int count, selected, firstShown;  // set
  int kind;                  // set: 0 text, 1 error, 2 warning
  int left, top, right, bottom;  // set: the line in the window's client area
};

class BuildPaneWindow : public PaneWindow, public OwnWindow {
 public:
  BuildPaneWindow() = default;
  ~BuildPaneWindow() override;

  // Made hidden.
  void Create(HWND parent);

  // PaneWindow
  void SetClient(PaneClient* client) override { client_ = client; }
  Rect ClientRect() const override { return ClientArea(); }
  Point ClientOrigin() const override;
  void Invalidate(const Rect& rect) override;
  void InvalidateAll() override;
  void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) override;
  bool Focused() const override { return hwnd_ && ::GetFocus() == hwnd_; }
  void TakeFocus() override;
  void CaptureMouse() override { TakeCapture(); }
  void ReleaseMouse() override { GiveCaptureUp(); }
  std::optional<Point> FontCell(const FontDesc& font) override;
  void Beep() override { ::MessageBeep(MB_OK); }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT Query(int index, PaneQuery* query) const;

  PaneClient* client_ = nullptr;
  GdiCache gdi_;
};

}  // namespace vantorel::win32
