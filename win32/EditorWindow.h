// The editor control's window: an ANSI window class (its text is bytes of the ANSI
// code page, so WM_CHAR and WM_GETTEXT carry those bytes unconverted) that hands
// messages to the core editor and paints it through a GDI surface.
#pragma once

#include <memory>

#include "highlight/HLEditor.h"
#include "platform/WindowHost.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

inline constexpr char kEditorClassName[] = "THLEditor";

class EditorWindow : public WindowHost {
 public:
  EditorWindow();
  ~EditorWindow() override;
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  void Create(HWND parent, int id);
  HWND Handle() const noexcept { return hwnd_; }
  THLEditor& Editor() noexcept { return editor_; }

  // WindowHost
  bool HasWindow() const override { return hwnd_ != nullptr; }
  bool IsShowing() const override { return hwnd_ && ::IsWindowVisible(hwnd_); }
  Rect ClientRect() const override;
  void InvalidateAll() override;
  void RecreateWindow() override;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  DWORD Style() const;
  DWORD ExStyle() const;
  void PlaceCaret();

  THLEditor editor_;
  HWND hwnd_ = nullptr;
};

}  // namespace vantorel::win32
