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
COLORREF ToCOLORREF(Color color) noexcept;

// The system's description of an error code, without the trailing line break.
std::string SystemErrorMessage(DWORD error);

// Shows the text of an error that reached a window procedure's boundary.
void ShowError(HWND owner, const char* text) noexcept;

// Owns one GDI object (font, pen, brush, bitmap) and deletes it once.
template <class H>
class GdiObject {
 public:
  GdiObject() noexcept = default;
  explicit GdiObject(H handle) noexcept : handle_(handle) {}
  ~GdiObject() { reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  void reset(H handle = nullptr) noexcept {
    if (handle_) ::DeleteObject(handle_);
    handle_ = handle;
  }
  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

// Selects an object into a DC for one scope and puts the old one back.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectObjectScope() { ::SelectObject(dc_, old_); }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class HandleCloser {
 public:
  explicit HandleCloser(HANDLE h) noexcept : h_(h) {}
  ~HandleCloser() {
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
