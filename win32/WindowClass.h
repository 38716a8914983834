// One window procedure serves every window class of the program: it finds the object
// behind the window and hands it the message, and it is the one place where an
// exception thrown while a message is handled is caught and shown (the error of a
// paint after painting, once, through a posted message).
#pragma once

#include <string_view>

#include "platform/Types.h"
#include "win32/Win32Util.h"

namespace vantorel::win32 {

// The object behind a window of one of the program's classes.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // The window is being made (WM_NCCREATE): from here on its messages arrive at
  // HandleMessage, up to and including WM_NCDESTROY.
  virtual void Attach(HWND hwnd) noexcept = 0;
  // One message; what the object does not handle it passes to the default procedure.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};

// Registers a class whose procedure is the shared one unless lpfnWndProc names another
// (cbWndExtra is set here). Throws Exception naming the class and the system's reason on failure.
void RegisterWindowClass(WNDCLASSEXW wc);
void RegisterWindowClass(WNDCLASSEXA wc);

// How a class of the program's own windows looks to the system.
struct WindowClassLook {
  UINT style = 0;
  const wchar_t* cursor = IDC_ARROW;  // a system cursor; nullptr for none
  HBRUSH background = nullptr;
  const wchar_t* icon = nullptr;  // an icon resource of the program; nullptr for none
  // A plain procedure of the class's own, for windows without an object behind them;
  // nullptr for the shared one.
  WNDPROC procedure = nullptr;
};

// Registers the class with the shared procedure the first time it is asked for; later
// calls for the same name do nothing. A failure throws, and the next call tries again.
void RegisterClassOnce(const wchar_t* name, const WindowClassLook& look);
void RegisterClassOnce(const char* name, const WindowClassLook& look);

// Creates a window; target is the object of a class registered above, or nullptr for
// a system class. Never returns nullptr: a failure throws Exception naming what, with
// the error the window's creation handlers threw or else the system's message.
HWND CreateWindowOrThrow(std::string_view what, DWORD exStyle, const wchar_t* className, const wchar_t* text,
                         DWORD style, const Rect& bounds, HWND parent, HMENU menuOrId, MessageTarget* target);
HWND CreateWindowOrThrow(std::string_view what, DWORD exStyle, const char* className, const char* text, DWORD style,
                         const Rect& bounds, HWND parent, HMENU menuOrId, MessageTarget* target);

// Windows are painted in WM_PAINT only. A window of the program that marks part of
// itself for repainting while a message is handled asks for PaintAfterMessage; when
// the outermost message handled by the program's procedure ends (or a scroll bar's
// message, which arrives inside the system's modal tracking loop), the windows asked
// for are updated, so what a message changed is on the screen when it returns and a
// burst of changes within one message costs one paint.
void PaintAfterMessage(HWND hwnd);
// Updates the windows asked for now. The message loops call it after each message,
// for the messages that reach a dialog or a system window instead.
void PaintMarkedWindows() noexcept;

// Cuts the window off from its object, so the messages of its destruction go to the
// default procedure: for an object that is being destroyed itself.
void DetachWindow(HWND hwnd) noexcept;

// What every object behind a window of the program's own classes shares: the handle,
// kept from WM_NCCREATE until WM_NCDESTROY has been handled (the shared procedure
// attaches the object to nothing then), and the window's end when the object goes
// first. An owner destroys its window as the first step of its destructor, while the
// members the window's last messages reach are still there; the base's own destructor
// only catches an object that did not.
class OwnWindow : public MessageTarget {
 public:
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;

  HWND Handle() const noexcept { return hwnd_; }
  void Attach(HWND hwnd) noexcept override { hwnd_ = hwnd; }
  // The pointer's position in the window's client coordinates.
  Point CursorInClient() const noexcept;
  // The client area; empty while there is no window.
  Rect ClientArea() const noexcept;
  // Mouse messages keep coming to the window while a button is held outside it.
  void TakeCapture() noexcept;
  // Gives the capture up when this window holds it.
  void GiveCaptureUp() noexcept;
  bool HoldsCapture() const noexcept;
  // A timer of the window's own; starting it again changes its period.
  void StartWindowTimer(UINT_PTR id, int milliseconds) noexcept;
  void StopWindowTimer(UINT_PTR id) noexcept;

 protected:
  OwnWindow() = default;
  ~OwnWindow() override { DestroyOwnWindow(); }
  // Cuts the window off from this object and destroys it; nothing when there is none.
  void DestroyOwnWindow() noexcept;

  HWND hwnd_ = nullptr;
};

// Runs f; an exception it throws is shown in a message box over owner: the text of a
// std::exception, a general one for anything else. True when none was thrown. The
// window procedure guards every message but WM_PAINT with it; so does every other
// callback the system calls.
template <class F>
bool ShowingErrors(HWND owner, F&& f) noexcept {
  try {
    f();
    return true;
  } catch (const std::exception& e) {
    ShowError(owner, e.what());
  } catch (...) {
    ShowError(owner, "Unknown error");
  }
  return false;
}

}  // namespace vantorel::win32
