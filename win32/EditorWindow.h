// The editor control's window: an ANSI window class (its text is bytes of the ANSI
// code page, so WM_CHAR and WM_GETTEXT carry those bytes unconverted) that hands
// messages to the core editor and gives it a GDI canvas, the system scroll bars and
// the system caret.
#pragma once

#include <memory>

#include "highlight/HLEditor.h"
#include "platform/WindowHost.h"
#include "win32/GdiSurface.h"
#include "win32/PopupListWindow.h"
#include "win32/Win32Clipboard.h"
#include "win32/Win32Util.h"
#include "win32/WindowClass.h"

namespace vantorel::win32 {

inline constexpr char kEditorClassName[] = "THLEditor";

// The completion's lists for a sender in the program's own process (the end-to-end
// tests' probe; the shipped program gives the completion none): the registered
// message, sent with lParam a CompletionLists, hands them to the editor's completion.
inline constexpr wchar_t kCompletionListsMessage[] = L"THLEditorCompletionLists";
struct CompletionLists {
  // Items, each ended by a line feed, as the completion's list properties take them.
  const char* identifiers;
  const char* templates;
};

class EditorWindow : public WindowHost, public OwnWindow {
 public:
  EditorWindow();
  ~EditorWindow() override;

  void Create(HWND parent, int id);
  THLEditor& Editor() noexcept { return editor_; }
  // The block-type clipboard format, registered once per process with the class.
  static UINT BlockTypeFormat() noexcept { return blockTypeFormat_; }

  // WindowHost
  bool HasWindow() const override { return hwnd_ != nullptr; }
  bool IsShowing() const override { return hwnd_ && ::IsWindowVisible(hwnd_); }
  bool IsEnabled() const override { return hwnd_ && ::IsWindowEnabled(hwnd_); }
  // Known from the focus messages: asking the system (a server round trip under Wine)
  // several times a keystroke was a good part of typing's cost.
  bool Focused() const override { return hwnd_ && focused_; }
  Rect ClientRect() const override;
  Surface* Canvas() override { return hwnd_ && measuring_ ? &measuring_->surface : nullptr; }
  void InvalidateAll() override;
  void Invalidate(const Rect& rect) override;
  void ScrollPixels(int dx, int dy, const Rect& area, const Rect& clip) override;
  void UpdateNow() override;
  void RecreateWindow() override;
  void SetReadOnlyStyle(bool readOnly) override;
  void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) override;
  int ScrollTrackPosition(ScrollBarKind kind) override;
  void CreateCaret(int width, int height) override;
  void DestroyCaret() override;
  void ShowCaret() override;
  void HideCaret() override;
  void SetCaretPos(Point at) override;
  Point MousePosition() const override;
  void TakeFocus() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void StartTimer(EditorTimer timer, int milliseconds) override;
  void StopTimer(EditorTimer timer) override;
  void Beep() override;
  void PostCommand(int code) override;
  void RefreshCursor() override;
  Point ClientOrigin() const override;
  int WindowWidth() const override;
  Point ScreenSize() const override;
  Point BorderSize() const override;
  std::unique_ptr<PopupWindow> CreatePopup(PopupClient& client) override;

 private:
  // MessageTarget
  void Attach(HWND hwnd) noexcept override {
    OwnWindow::Attach(hwnd);
    focused_ = false;
    caretPlaced_ = false;
  }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void CreateAt(HWND parent, int id, const Rect& bounds);
  DWORD Style() const;
  DWORD ExStyle() const;
  LRESULT MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // A surface on a memory device context like the screen's, where the control measures
  // its font's cells; it paints only in WM_PAINT.
  struct MeasuringSurface {
    explicit MeasuringSurface(GdiCache& cache) : dc(nullptr), surface(dc.get(), cache) {}
    MemoryDC dc;
    GdiSurface surface;
  };

  GdiCache gdi_;
  Win32Clipboard clipboard_;
  std::unique_ptr<MeasuringSurface> measuring_;
  THLEditor editor_;
  bool focused_ = false;
  // Where the caret was last put since it was made; a paint that leaves it where it
  // was asks the system for nothing.
  bool caretPlaced_ = false;
  Point caretAt_{};
  static inline UINT blockTypeFormat_ = 0;
};

}  // namespace vantorel::win32
