#include "win32/EditorWindow.h"

#include <windowsx.h>

#include "win32/GdiSurface.h"

namespace vantorel::win32 {

namespace {

ShiftState KeyShift() {
  ShiftState s;
  s.shift = ::GetKeyState(VK_SHIFT) < 0;
  s.ctrl = ::GetKeyState(VK_CONTROL) < 0;
  s.alt = ::GetKeyState(VK_MENU) < 0;
  return s;
}

ShiftState MouseShift(WPARAM wParam) {
  ShiftState s = KeyShift();
  s.left = (wParam & MK_LBUTTON) != 0;
  s.right = (wParam & MK_RBUTTON) != 0;
  s.middle = (wParam & MK_MBUTTON) != 0;
  return s;
}

}  // namespace

EditorWindow::EditorWindow() : editor_(this) {}

EditorWindow::~EditorWindow() {
  if (hwnd_) {
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

DWORD EditorWindow::Style() const {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN;
  const TScrollStyle bars = editor_.ScrollBars();
  if (bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth) style |= WS_VSCROLL;
  if (bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth) style |= WS_HSCROLL;
  if (editor_.ReadOnly) style |= ES_READONLY;
  return style;
}

DWORD EditorWindow::ExStyle() const {
  return editor_.BorderStyle() == TBorderStyle::bsSingle ? WS_EX_CLIENTEDGE : 0;
}

void EditorWindow::Create(HWND parent, int id) {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;  // no redraw on resize: the control repaints what it needs
    wc.lpfnWndProc = &EditorWindow::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_IBEAM);
    wc.lpszClassName = kEditorClassName;
    return ::RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  hwnd_ = ::CreateWindowExA(ExStyle(), kEditorClassName, "", Style(), 0, 0, 150, 100, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), this);
}

Rect EditorWindow::ClientRect() const {
  RECT r{};
  if (hwnd_) ::GetClientRect(hwnd_, &r);
  return FromRECT(r);
}

void EditorWindow::InvalidateAll() {
  if (hwnd_) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorWindow::RecreateWindow() {
  if (!hwnd_) return;
  // The same window takes the new styles; its frame (border, scroll bars) is redrawn.
  ::SetWindowLongPtrA(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(Style()));
  ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(ExStyle()));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorWindow::PlaceCaret() {
  ::SetCaretPos(editor_.TextLeft() + (editor_.CaretX - editor_.LeftColumn) * editor_.CellWidth(),
                (editor_.CaretY - editor_.TopLine) * editor_.CellHeight() + 1);
}

LRESULT CALLBACK EditorWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<EditorWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<EditorWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (const std::exception& e) {
    ShowError(::GetAncestor(hwnd, GA_ROOT), e.what());
  } catch (...) {
    ShowError(::GetAncestor(hwnd, GA_ROOT), "Unknown error");
  }
  return 0;
}

LRESULT EditorWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      {
        GdiSurface surface(dc);
        editor_.Paint(surface, FromRECT(ps.rcPaint));
      }
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      editor_.UpdateEditorView();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_GETTEXT:
      return editor_.CopyTextForMessage(reinterpret_cast<char*>(lParam), static_cast<long long>(wParam));
    case WM_GETTEXTLENGTH:
      return editor_.TextLengthForMessage();
    case WM_SETFOCUS:
      ::CreateCaret(hwnd_, nullptr, 2, editor_.CellHeight() - 2);
      PlaceCaret();
      ::ShowCaret(hwnd_);
      return 0;
    case WM_KILLFOCUS:
      ::DestroyCaret();
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      editor_.KeyUp(static_cast<int>(wParam), KeyShift());
      if (msg == WM_SYSKEYUP) return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      ::SetFocus(hwnd_);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const MouseButton button = msg == WM_LBUTTONUP   ? MouseButton::Left
                                 : msg == WM_RBUTTONUP ? MouseButton::Right
                                                       : MouseButton::Middle;
      editor_.MouseUp(button, MouseShift(wParam), Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    }
    default:
      return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
  }
}

}  // namespace vantorel::win32
