#include "win32/XPButtonWindow.h"

#include <cwchar>

namespace vantorel::win32 {

namespace {

// Sent to every push button of a window when the focus moved; wParam is the window
// that has it now.
constexpr UINT kFocusMovedMessage = WM_APP + 0x3F2;

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t buffer[64] = {};
  return hwnd && ::GetClassNameW(hwnd, buffer, 64) > 0 && std::wcscmp(buffer, name) == 0;
}

}  // namespace

// --- the theme ---

ThemeQuery::Version Win32Theme::SystemVersion() const {
  // GetVersionEx answers what the manifest lets it; that is the version the look
  // follows.
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
  return {static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion)};
}

std::optional<std::string> Win32Theme::CurrentColorSchemeName() const {
  HMODULE library = ::LoadLibraryW(L"uxtheme.dll");
  if (!library) return std::nullopt;
  struct Release {
    HMODULE m;
    ~Release() { ::FreeLibrary(m); }
  } release{library};
  using GetName = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
  const auto get = reinterpret_cast<GetName>(reinterpret_cast<void*>(::GetProcAddress(library, "GetCurrentThemeName")));
  if (!get) return std::nullopt;
  wchar_t file[255] = {};
  wchar_t color[255] = {};
  wchar_t size[255] = {};
  const HRESULT result = get(file, 255, color, 255, size, 255);
  if (FAILED(result)) ThrowApiError("Cannot read the visual style", "GetCurrentThemeName", static_cast<DWORD>(result));
  return Narrow(color);
}

// --- the window ---

std::unique_ptr<XPButtonWindow> XPButtonWindow::Push(HWND parent, int id, const Rect& bounds,
                                                     const std::string& caption, const FontDesc& font,
                                                     Color parentColor) {
  std::unique_ptr<XPButtonWindow> w(new XPButtonWindow(parent, id, parentColor));
  auto button = std::make_unique<TXPButton>(w.get());
  w->push_ = button.get();
  w->button_ = std::move(button);
  w->push_->Caption = caption;
  w->push_->Font = font;
  w->push_->OnClick = [self = w.get()] { self->NotifyClicked(); };
  w->push_->OnDefaultChanged = [self = w.get()] {
    if (self->hwnd_) self->TellFocusMoved(::GetFocus());
  };
  w->Create(kXPButtonClassName, Widen(caption), WS_CHILD | WS_VISIBLE | WS_TABSTOP, bounds);
  w->push_->WindowCreated();
  return w;
}

std::unique_ptr<XPButtonWindow> XPButtonWindow::Speed(HWND parent, int id, const Rect& bounds,
                                                      const std::string& hint, const PixelImage& glyph,
                                                      Color parentColor) {
  std::unique_ptr<XPButtonWindow> w(new XPButtonWindow(parent, id, parentColor));
  auto button = std::make_unique<TXPSpeedButton>(w.get());
  w->speed_ = button.get();
  w->button_ = std::move(button);
  w->speed_->SetGlyph(glyph);
  w->speed_->OnClick = [self = w.get()] { self->NotifyClicked(); };
  w->Create(kXPSpeedButtonClassName, Widen(hint), WS_CHILD | WS_VISIBLE, bounds);
  return w;
}

void XPButtonWindow::Create(const wchar_t* className, const std::wstring& text, DWORD style, const Rect& bounds) {
  RegisterClassOnce(className, {.style = CS_DBLCLKS});
  CreateWindowOrThrow("button", 0, className, text.c_str(), style, bounds, parent_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), this);
}

XPButtonWindow::~XPButtonWindow() { DestroyOwnWindow(); }

Rect XPButtonWindow::ClientRect() const { return ClientArea(); }

void XPButtonWindow::Repaint() {
  if (!hwnd_) return;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  ::UpdateWindow(hwnd_);
}

bool XPButtonWindow::CanFocus() const {
  return hwnd_ && ::IsWindowVisible(hwnd_) && ::IsWindowEnabled(hwnd_) && button_->TakesFocus();
}

void XPButtonWindow::TakeFocus() {
  if (hwnd_ && button_->TakesFocus()) ::SetFocus(hwnd_);
}

void XPButtonWindow::CaptureMouse() { TakeCapture(); }
void XPButtonWindow::ReleaseMouse() { GiveCaptureUp(); }
void XPButtonWindow::StartTimer(int milliseconds) { StartWindowTimer(1, milliseconds); }
void XPButtonWindow::StopTimer() { StopWindowTimer(1); }

Point XPButtonWindow::ScreenOrigin() const {
  POINT p{0, 0};
  if (hwnd_) ::ClientToScreen(hwnd_, &p);
  return Point{p.x, p.y};
}

bool XPButtonWindow::PointerOver() const {
  POINT p{};
  return hwnd_ && ::GetCursorPos(&p) && ::WindowFromPoint(p) == hwnd_;
}

void XPButtonWindow::NotifyClicked() {
  ::SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

void XPButtonWindow::TellFocusMoved(HWND focused) {
  HWND root = ::GetAncestor(hwnd_, GA_ROOT);
  ::EnumChildWindows(
      root,
      [](HWND child, LPARAM focus) {
        if (IsClass(child, kXPButtonClassName)) ::SendMessageW(child, kFocusMovedMessage, static_cast<WPARAM>(focus), 0);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(focused));
}

LRESULT XPButtonWindow::MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const Point at = MousePoint(lParam);
  const MouseButton button = MouseButtonOf(msg);
  switch (msg) {
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        tracking_ = ::TrackMouseEvent(&track) != FALSE;
        HWND capture = ::GetCapture();
        button_->PointerEntered(capture != nullptr && capture != hwnd_);
      }
      button_->MouseMove(at);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      button_->MouseDown(button, at);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      button_->DoubleClick(button, at);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      button_->MouseUp(button, at);
      return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT XPButtonWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      if (!paint.dc()) ThrowApiError("Cannot paint a button", "BeginPaint", ::GetLastError());
      GdiSurface surface(paint.dc(), gdi_);
      button_->Paint(surface);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return MouseMessage(msg, wParam, lParam);
    case WM_MOUSELEAVE:
      tracking_ = false;
      button_->MouseLeave();
      return 0;
    case WM_CAPTURECHANGED:
      button_->CaptureLost();
      return 0;
    case WM_TIMER:
      button_->TimerTick();
      return 0;
    case WM_KEYDOWN:
      button_->KeyDown(static_cast<int>(wParam), KeyShift());
      return 0;
    case WM_KEYUP:
      button_->KeyUp(static_cast<int>(wParam), KeyShift());
      return 0;
    case WM_GETDLGCODE:
      return button_->TakesFocus() ? DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON : DLGC_STATIC;
    case BM_CLICK:
      button_->Click();
      return 0;
    // The push buttons of the window hear where the focus went, so the one that shows
    // the default look can follow it.
    case WM_SETFOCUS:
      button_->FocusReceived();
      TellFocusMoved(hwnd_);
      return 0;
    case WM_KILLFOCUS:
      button_->FocusLost();
      TellFocusMoved(reinterpret_cast<HWND>(wParam));
      return 0;
    case kFocusMovedMessage: {
      const auto focused = reinterpret_cast<HWND>(wParam);
      button_->FocusMoved(IsClass(focused, kXPButtonClassName), focused == hwnd_);
      return 0;
    }
    case WM_ENABLE:
      button_->SetEnabled(wParam != FALSE);
      return 0;
    case WM_THEMECHANGED:
      button_->ThemeChanged(Win32Theme());
      return 0;
    case WM_SYSCOLORCHANGE:
      button_->SystemColorsChanged();
      ::InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcW(hwnd_, msg, wParam, lParam);
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      button_->TextChanged(text ? Narrow(text) : std::string());
      return result;
    }
    default: break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace vantorel::win32
