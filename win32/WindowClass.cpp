#include "win32/WindowClass.h"

#include <exception>
#include <string>
#include <utility>

#include "platform/Errors.h"

namespace vantorel::win32 {

namespace {

// The object pointer lives in the window's extra bytes, so GWLP_USERDATA stays free.
constexpr int kTargetSlot = 0;

// An exception thrown while a window handled WM_NCCREATE or WM_CREATE: creation fails,
// and CreateWindowOrThrow throws it again to whoever asked for the window.
thread_local std::exception_ptr creationError;

MessageTarget* TargetOf(HWND hwnd) noexcept {
  return reinterpret_cast<MessageTarget*>(::GetWindowLongPtrW(hwnd, kTargetSlot));
}

LRESULT DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::IsWindowUnicode(hwnd) ? ::DefWindowProcW(hwnd, msg, wParam, lParam)
                                 : ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    // lpCreateParams is the first member of both CREATESTRUCTA and CREATESTRUCTW.
    auto* target = static_cast<MessageTarget*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, kTargetSlot, reinterpret_cast<LONG_PTR>(target));
    if (target) target->Attach(hwnd);
  }
  MessageTarget* target = TargetOf(hwnd);
  if (!target) return DefaultProc(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (msg == WM_NCCREATE || msg == WM_CREATE) {
    try {
      result = target->HandleMessage(msg, wParam, lParam);
    } catch (...) {
      creationError = std::current_exception();
      result = msg == WM_NCCREATE ? FALSE : -1;
    }
  } else {
    ShowingErrors(::GetAncestor(hwnd, GA_ROOT), [&] { result = target->HandleMessage(msg, wParam, lParam); });
  }
  if (msg == WM_NCDESTROY) ::SetWindowLongPtrW(hwnd, kTargetSlot, 0);
  return result;
}

template <class WndClass, class Register>
void RegisterWith(WndClass wc, Register registerClass, const std::string& name) {
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &WindowProc;
  wc.cbWndExtra = sizeof(LONG_PTR);
  if (registerClass(&wc) == 0) {
    const DWORD error = ::GetLastError();
    throw Exception("Cannot register the window class \"" + name + "\". " + SystemErrorMessage(error));
  }
}

template <class Create>
HWND CreateWith(std::string_view what, Create create) {
  creationError = nullptr;
  HWND hwnd = create();
  if (hwnd) return hwnd;
  const DWORD error = ::GetLastError();
  if (creationError) std::rethrow_exception(std::exchange(creationError, nullptr));
  throw Exception("Cannot create the " + std::string(what) + " window. " + SystemErrorMessage(error));
}

}  // namespace

void RegisterWindowClass(WNDCLASSEXW wc) {
  RegisterWith(wc, [](const WNDCLASSEXW* c) { return ::RegisterClassExW(c); }, Narrow(wc.lpszClassName));
}

void RegisterWindowClass(WNDCLASSEXA wc) {
  RegisterWith(wc, [](const WNDCLASSEXA* c) { return ::RegisterClassExA(c); }, std::string(wc.lpszClassName));
}

HWND CreateWindowOrThrow(std::string_view what, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                         DWORD style, const Rect& bounds, HWND parent, HMENU menuOrId, MessageTarget* target) {
  return CreateWith(what, [&] {
    return ::CreateWindowExW(exStyle, className, text, style, bounds.left, bounds.top, bounds.Width(),
                             bounds.Height(), parent, menuOrId, ::GetModuleHandleW(nullptr), target);
  });
}

HWND CreateWindowOrThrow(std::string_view what, DWORD exStyle, const char* className, const char* text, DWORD style,
                         const Rect& bounds, HWND parent, HMENU menuOrId, MessageTarget* target) {
  return CreateWith(what, [&] {
    return ::CreateWindowExA(exStyle, className, text, style, bounds.left, bounds.top, bounds.Width(),
                             bounds.Height(), parent, menuOrId, ::GetModuleHandleW(nullptr), target);
  });
}

void DetachWindow(HWND hwnd) noexcept {
  if (hwnd) ::SetWindowLongPtrW(hwnd, kTargetSlot, 0);
}

}  // namespace vantorel::win32
