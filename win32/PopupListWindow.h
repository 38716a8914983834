// The completion list's window: a top-level tool window with a thin border, owned by
// the editor's top-level window, that saves the screen bits under it and is never
// activated, so the editor keeps the focus while the list is clicked.
#pragma once

#include "platform/PopupWindow.h"
#include "win32/GdiSurface.h"
#include "win32/WindowClass.h"

namespace vantorel::win32 {

inline constexpr wchar_t kPopupListClassName[] = L"TEditorCompletionList";

class PopupListWindow : public PopupWindow, public OwnWindow {
 public:
  PopupListWindow(HWND owner, PopupClient& client);
  ~PopupListWindow() override;

  // PopupWindow
  void Place(const Rect& bounds) override;
  void ShowWithoutActivating() override;
  void Hide() override;
  bool Visible() const override { return hwnd_ && ::IsWindowVisible(hwnd_); }
  Rect ClientRect() const override;
  void InvalidateAll() override;
  void CaptureMouse() override;
  void ReleaseMouse() override;
  void StartTimer(int milliseconds) override;
  void StopTimer() override;

 private:
  // MessageTarget
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  PopupClient& client_;
  GdiCache gdi_;
};

}  // namespace vantorel::win32
