#include "win32/PopupListWindow.h"

namespace vantorel::win32 {

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

PopupListWindow::PopupListWindow(HWND owner, PopupClient& client) : client_(client) {
  RegisterClassOnce(kPopupListClassName, {.style = CS_SAVEBITS});
  // Made hidden, off the screen's left edge, until the list first opens.
  CreateWindowOrThrow("completion list", WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupListClassName, L"",
                      WS_POPUP | WS_BORDER, Rect{-1000, 0, -1000 + 100, 100}, owner, nullptr, this);
}

PopupListWindow::~PopupListWindow() { DestroyOwnWindow(); }

void PopupListWindow::Place(const Rect& bounds) {
  if (hwnd_) {
    ::SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                   SWP_NOACTIVATE | SWP_NOZORDER);
  }
}

void PopupListWindow::ShowWithoutActivating() {
  if (hwnd_) ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PopupListWindow::Hide() {
  if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

Rect PopupListWindow::ClientRect() const { return ClientArea(); }

void PopupListWindow::InvalidateAll() {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void PopupListWindow::CaptureMouse() { TakeCapture(); }
void PopupListWindow::ReleaseMouse() { GiveCaptureUp(); }
void PopupListWindow::StartTimer(int milliseconds) { StartWindowTimer(kTimerId, milliseconds); }
void PopupListWindow::StopTimer() { StopWindowTimer(kTimerId); }

LRESULT PopupListWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      if (!paint.dc()) ThrowApiError("Cannot paint the completion list", "BeginPaint", ::GetLastError());
      GdiSurface surface(paint.dc(), gdi_);
      client_.PopupPaint(surface, paint.Area());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      client_.PopupMouseDown(MouseButtonOf(msg), MousePoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      client_.PopupMouseMove((wParam & MK_LBUTTON) != 0, MousePoint(lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      client_.PopupMouseUp(MouseButtonOf(msg), MousePoint(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId) client_.PopupTimer();
      return 0;
    case WM_CANCELMODE:
      client_.PopupCancelMode();
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace vantorel::win32
