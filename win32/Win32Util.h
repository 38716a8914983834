// Helpers shared by the Win32 adapter: text conversion between the core's UTF-8 and
// the API's UTF-16, handle wrappers that free what they hold exactly once, and the
// top-level error box.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Types.h"

namespace vantorel::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

inline RECT ToRECT(const Rect& r) noexcept { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) noexcept { return Rect{r.left, r.top, r.right, r.bottom}; }

// --- what a window's input messages carry ---
// Shift, Ctrl and Alt as they are down now.
inline ShiftState KeyShift() noexcept {
  ShiftState s;
  s.shift = ::GetKeyState(VK_SHIFT) < 0;
  s.ctrl = ::GetKeyState(VK_CONTROL) < 0;
  s.alt = ::GetKeyState(VK_MENU) < 0;
  return s;
}
// The client point of a mouse message (signed: outside the window while captured).
inline Point MousePoint(LPARAM lParam) noexcept {
  return Point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
// The button of a mouse button message (down, up or double click).
inline MouseButton MouseButtonOf(UINT msg) noexcept {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return MouseButton::Right;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return MouseButton::Middle;
    default: return MouseButton::Left;
  }
}
COLORREF ToCOLORREF(Color color) noexcept;

// The system's description of an error code, without the trailing line break.
std::string SystemErrorMessage(DWORD error);

// Shows the text of an error that reached a window procedure's boundary.
void ShowError(HWND owner, const char* text) noexcept;

// Throws Exception naming what could not be done and the API call that failed, with
// the system's reason when the call left one (GDI calls often leave none).
[[noreturn]] void ThrowApiError(std::string_view what, std::string_view call, DWORD error);

// Owns one handle and destroys it once. Neither copied nor moved: a handle has one
// owner for its whole life, and a container of them is one that never relocates its
// elements (std::deque, std::map).
template <class H, auto Destroy>
class OwnedHandle {
 public:
  OwnedHandle() noexcept = default;
  explicit OwnedHandle(H handle) noexcept : handle_(handle) {}
  ~OwnedHandle() noexcept { reset(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  OwnedHandle(OwnedHandle&&) = delete;
  OwnedHandle& operator=(OwnedHandle&&) = delete;

  void reset(H handle = nullptr) noexcept {
    if (handle_) Destroy(handle_);
    handle_ = handle;
  }
  // Gives the handle up to a new owner (the system, a parent menu).
  H release() noexcept {
    H handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

template <class H>
void DeleteGdiObject(H handle) noexcept {
  ::DeleteObject(handle);
}

// A GDI object: font, pen, brush, bitmap.
template <class H>
using GdiObject = OwnedHandle<H, &DeleteGdiObject<H>>;

inline void DestroyMenuHandle(HMENU menu) noexcept { ::DestroyMenu(menu); }
inline void DestroyAccelerators(HACCEL table) noexcept { ::DestroyAcceleratorTable(table); }

// A menu until a window or a parent menu takes it over (release()).
using OwnedMenu = OwnedHandle<HMENU, &DestroyMenuHandle>;
using OwnedAccelerators = OwnedHandle<HACCEL, &DestroyAccelerators>;

// CreateMenu or CreatePopupMenu; throws naming the call when the system makes none.
HMENU CreateMenuOrThrow(bool popup);
// AppendMenuW; throws naming the call when the item is refused.
void AppendMenuOrThrow(HMENU menu, UINT flags, UINT_PTR idOrPopup, const wchar_t* text);

// A window's device context from GetDC, released when the scope ends. Throws naming
// GetDC when the window gives none.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd);
  ~WindowDC() noexcept { ::ReleaseDC(hwnd_, dc_); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&&) = delete;
  WindowDC& operator=(WindowDC&&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory device context compatible with another (with the screen for nullptr),
// deleted with the object; get() is nullptr when the system could not make one.
class MemoryDC {
 public:
  explicit MemoryDC(HDC like) noexcept : dc_(::CreateCompatibleDC(like)) {}
  ~MemoryDC() noexcept {
    if (dc_) ::DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HDC dc_;
};

// BeginPaint and EndPaint for one WM_PAINT: EndPaint runs on every path, so a failed
// paint does not leave the window asking to be painted again and again (the failure
// itself is reported after painting by the window procedure).
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
  ~PaintScope() noexcept { ::EndPaint(hwnd_, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  // nullptr when BeginPaint failed.
  HDC dc() const noexcept { return dc_; }
  Rect Area() const noexcept { return FromRECT(ps_.rcPaint); }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectObjectScope() noexcept {
    if (old_) ::SelectObject(dc_, old_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class HandleCloser {
 public:
  explicit HandleCloser(HANDLE h) noexcept : h_(h) {}
  ~HandleCloser() noexcept {
    if (h_ != INVALID_HANDLE_VALUE && h_ != nullptr) ::CloseHandle(h_);
  }
  HandleCloser(const HandleCloser&) = delete;
  HandleCloser& operator=(const HandleCloser&) = delete;
  HANDLE get() const noexcept { return h_; }
  // Closes the handle now; true when that succeeded.
  bool Close() noexcept {
    const bool ok = h_ == INVALID_HANDLE_VALUE || h_ == nullptr || ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

}  // namespace vantorel::win32
