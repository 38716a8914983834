#include "win32/WindowClass.h"

#include <algorithm>
#include <exception>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// The message that shows the error of a failed paint, posted so that the box opens
// outside WM_PAINT. WM_APP's range is the program's own.
constexpr UINT kReportPaintFailure = WM_APP + 0x3F0;

// A paint that throws is not reported from inside WM_PAINT: a modal box there lets the
// window paint again under the box, fail again and stack box on box. The window is
// validated instead, so the failed paint is not retried until something changes, and
// the error is shown once, by a message posted to the window's top-level window and
// handled after painting. A window whose paints keep failing is reported again only
// after one of its paints has worked; while one report waits or shows, no other is
// made (painting under that box may well fail too).
class PaintFailures {
 public:
  void Failed(HWND hwnd, const char* text) noexcept {
    ::ValidateRect(hwnd, nullptr);
    try {
      if (!failing_.insert(hwnd).second || reportTo_) return;
      pending_ = text;
    } catch (...) {
      return;  // out of memory: the box could not be shown either
    }
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    if (!root || !TargetOf(root)) root = hwnd;
    if (::PostMessageW(root, kReportPaintFailure, 0, 0)) reportTo_ = root;
  }

  void Succeeded(HWND hwnd) noexcept {
    if (!failing_.empty()) failing_.erase(hwnd);
  }

  // The posted report has arrived at hwnd.
  void Report(HWND hwnd) noexcept {
    if (hwnd != reportTo_) return;
    std::string text;
    text.swap(pending_);
    ShowError(hwnd, text.c_str());
    reportTo_ = nullptr;
  }

  // The window is going: it is no longer failing, and a report posted to it will not come.
  void Forget(HWND hwnd) noexcept {
    if (!failing_.empty()) failing_.erase(hwnd);
    if (hwnd == reportTo_) {
      reportTo_ = nullptr;
      pending_.clear();
    }
  }

 private:
  std::set<HWND> failing_;  // reported since their last good paint
  std::string pending_;
  HWND reportTo_ = nullptr;  // where the report waiting or showing was posted
};

// Windows live on the thread that made them; so do their paint failures.
thread_local PaintFailures paintFailures;

// Hands a WM_PAINT to the object; a failure goes to paintFailures instead of a box.
LRESULT Paint(MessageTarget& target, HWND hwnd, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    const LRESULT result = target.HandleMessage(WM_PAINT, wParam, lParam);
    paintFailures.Succeeded(hwnd);
    return result;
  } catch (const std::exception& e) {
    paintFailures.Failed(hwnd, e.what());
  } catch (...) {
    paintFailures.Failed(hwnd, "Unknown error");
  }
  return 0;
}

// The windows to update when the message being handled ends, and how deep the program's
// procedure is nested in messages sent from within other messages.
thread_local std::vector<HWND> toPaint;
thread_local int messageDepth = 0;

// Counts one message handled; at the end of the outermost one, or of a scroll bar's
// message, the marked windows are painted.
class MessageScope {
 public:
  explicit MessageScope(UINT msg) noexcept : paints_(msg == WM_VSCROLL || msg == WM_HSCROLL) { ++messageDepth; }
  ~MessageScope() {
    if (--messageDepth == 0 || paints_) PaintMarkedWindows();
  }
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;

 private:
  const bool paints_;
};

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
  if (msg == WM_PAINT) return Paint(*target, hwnd, wParam, lParam);
  if (msg == kReportPaintFailure) {
    paintFailures.Report(hwnd);
    return 0;
  }
  const MessageScope scope(msg);
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
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, kTargetSlot, 0);
    target->Attach(nullptr);
    paintFailures.Forget(hwnd);
  }
  return result;
}

template <class WndClass, class Register>
void RegisterWith(WndClass wc, Register registerClass, const std::string& name) {
  wc.cbSize = sizeof wc;
  if (!wc.lpfnWndProc) wc.lpfnWndProc = &WindowProc;
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

template <class WndClass, class Char>
void RegisterOnceWith(const Char* name, const WindowClassLook& look, const std::string& key) {
  static std::set<std::string> registered;
  if (registered.contains(key)) return;
  WndClass wc{};
  wc.style = look.style;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  if (look.cursor) wc.hCursor = ::LoadCursorW(nullptr, look.cursor);
  if (look.icon) wc.hIcon = ::LoadIconW(wc.hInstance, look.icon);
  wc.hbrBackground = look.background;
  wc.lpfnWndProc = look.procedure;
  wc.lpszClassName = name;
  RegisterWindowClass(wc);
  registered.insert(key);
}

void RegisterClassOnce(const wchar_t* name, const WindowClassLook& look) {
  RegisterOnceWith<WNDCLASSEXW>(name, look, Narrow(name));
}

void RegisterClassOnce(const char* name, const WindowClassLook& look) {
  RegisterOnceWith<WNDCLASSEXA>(name, look, name);
}

Point OwnWindow::CursorInClient() const noexcept {
  POINT p{};
  ::GetCursorPos(&p);
  if (hwnd_) ::ScreenToClient(hwnd_, &p);
  return Point{p.x, p.y};
}

Rect OwnWindow::ClientArea() const noexcept {
  RECT r{};
  if (hwnd_) ::GetClientRect(hwnd_, &r);
  return FromRECT(r);
}

void OwnWindow::TakeCapture() noexcept {
  if (hwnd_) ::SetCapture(hwnd_);
}

void OwnWindow::GiveCaptureUp() noexcept {
  if (HoldsCapture()) ::ReleaseCapture();
}

bool OwnWindow::HoldsCapture() const noexcept { return hwnd_ && ::GetCapture() == hwnd_; }

void OwnWindow::StartWindowTimer(UINT_PTR id, int milliseconds) noexcept {
  if (hwnd_) ::SetTimer(hwnd_, id, static_cast<UINT>(milliseconds), nullptr);
}

void OwnWindow::StopWindowTimer(UINT_PTR id) noexcept {
  if (hwnd_) ::KillTimer(hwnd_, id);
}

void OwnWindow::DestroyOwnWindow() noexcept {
  if (!hwnd_) return;
  HWND hwnd = std::exchange(hwnd_, nullptr);
  DetachWindow(hwnd);
  ::DestroyWindow(hwnd);
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

void PaintAfterMessage(HWND hwnd) {
  if (std::find(toPaint.begin(), toPaint.end(), hwnd) == toPaint.end()) toPaint.push_back(hwnd);
}

void PaintMarkedWindows() noexcept {
  // Taken first: a paint may mark again (a scroll's pixels moved by the paint itself).
  const std::vector<HWND> windows = std::exchange(toPaint, {});
  for (HWND hwnd : windows) {
    if (::IsWindow(hwnd)) ::UpdateWindow(hwnd);
  }
}

void DetachWindow(HWND hwnd) noexcept {
  if (hwnd) ::SetWindowLongPtrW(hwnd, kTargetSlot, 0);
}

}  // namespace vantorel::win32
