#include "win32/EditorWindow.h"

#include <windowsx.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::win32 {

namespace {

ShiftState MouseShift(WPARAM wParam) {
  ShiftState s = KeyShift();
  s.left = (wParam & MK_LBUTTON) != 0;
  s.right = (wParam & MK_RBUTTON) != 0;
  s.middle = (wParam & MK_MBUTTON) != 0;
  return s;
}

// The private message that carries a posted command.
constexpr UINT kCommandMessage = WM_USER + 0x101;

// The items of a list sent as lines, each ended by a line feed.
std::vector<std::string> Items(const char* lines) {
  std::vector<std::string> items;
  for (std::string_view rest = lines ? lines : ""; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    items.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  return items;
}

LPCWSTR CursorId(TCursor cursor) {
  switch (cursor) {
    case TCursor::crIBeam: return IDC_IBEAM;
    case TCursor::crCross: return IDC_CROSS;
    case TCursor::crHourGlass: return IDC_WAIT;
    case TCursor::crHandPoint: return IDC_HAND;
    case TCursor::crSizeAll: return IDC_SIZEALL;
    case TCursor::crNo: return IDC_NO;
    case TCursor::crDefault:
    case TCursor::crArrow: break;
  }
  return IDC_ARROW;
}

int BarOf(ScrollBarKind kind) { return kind == ScrollBarKind::Vertical ? SB_VERT : SB_HORZ; }

}  // namespace

EditorWindow::EditorWindow() : editor_(this) { editor_.SetClipboard(&clipboard_); }

EditorWindow::~EditorWindow() { DestroyOwnWindow(); }

DWORD EditorWindow::Style() const {
  const EditorWindowStyle bits = editor_.WindowStyle();
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  if (bits.tabStop) style |= WS_TABSTOP;
  if (bits.border) style |= WS_BORDER;
  if (bits.vscroll) style |= WS_VSCROLL;
  if (bits.hscroll) style |= WS_HSCROLL;
  if (bits.readOnly) style |= ES_READONLY;
  return style;
}

DWORD EditorWindow::ExStyle() const { return editor_.WindowStyle().clientEdge ? WS_EX_CLIENTEDGE : 0; }

void EditorWindow::Create(HWND parent, int id) { CreateAt(parent, id, Rect{0, 0, 150, 100}); }

void EditorWindow::CreateAt(HWND parent, int id, const Rect& bounds) {
  // No redraw on resize: the control repaints what a new size uncovers itself.
  RegisterClassOnce(kEditorClassName, {.style = CS_DBLCLKS, .cursor = IDC_IBEAM});
  if (!blockTypeFormat_) blockTypeFormat_ = ::RegisterClipboardFormatA(kBlockTypeFormatName);
  if (!measuring_) {
    auto measuring = std::make_unique<MeasuringSurface>(gdi_);
    if (!measuring->dc.get()) ThrowApiError("Cannot create the editor", "CreateCompatibleDC", ::GetLastError());
    measuring_ = std::move(measuring);
  }
  CreateWindowOrThrow("editor", ExStyle(), kEditorClassName, "", Style(), bounds, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), this);
  clipboard_.SetOwner(hwnd_);
  clipboard_.SetBlockTypeFormat(blockTypeFormat_);
  editor_.WindowCreated();
}

Rect EditorWindow::ClientRect() const { return ClientArea(); }

void EditorWindow::InvalidateAll() {
  if (!hwnd_) return;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  PaintAfterMessage(hwnd_);
}

void EditorWindow::Invalidate(const Rect& rect) {
  if (!hwnd_) return;
  const RECT r = ToRECT(rect);
  ::InvalidateRect(hwnd_, &r, FALSE);
  PaintAfterMessage(hwnd_);
}

void EditorWindow::ScrollPixels(int dx, int dy, const Rect& area, const Rect& clip) {
  if (!hwnd_) return;
  const RECT a = ToRECT(area);
  const RECT c = ToRECT(clip);
  // What the system cannot copy (parts covered by a tool tip or a message box) is
  // marked for repainting too, so no stale pixels stay on the screen.
  ::ScrollWindowEx(hwnd_, dx, dy, &a, &c, nullptr, nullptr, SW_INVALIDATE);
  // The system moves the caret along with the pixels: where it stands is no longer
  // where it was put.
  caretPlaced_ = false;
}

void EditorWindow::UpdateNow() {
  if (hwnd_) ::UpdateWindow(hwnd_);
}

void EditorWindow::RecreateWindow() {
  if (!hwnd_) return;
  // The style bits of the border and the scroll bars take effect on a new window of
  // the same place, id and parent; the control's state is kept.
  HWND parent = ::GetParent(hwnd_);
  const int id = ::GetDlgCtrlID(hwnd_);
  const bool hadFocus = ::GetFocus() == hwnd_;
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  ::DestroyWindow(hwnd_);
  CreateAt(parent, id, FromRECT(r));
  if (hadFocus && hwnd_) ::SetFocus(hwnd_);
}

void EditorWindow::SetReadOnlyStyle(bool readOnly) {
  if (!hwnd_) return;
  const LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_STYLE);
  ::SetWindowLongPtrA(hwnd_, GWL_STYLE, readOnly ? (style | ES_READONLY) : (style & ~static_cast<LONG_PTR>(ES_READONLY)));
}

void EditorWindow::SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) {
  if (!hwnd_) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = min;
  si.nMax = max;
  si.nPage = static_cast<UINT>(page);
  si.nPos = position;
  ::SetScrollInfo(hwnd_, BarOf(kind), &si, TRUE);
}

int EditorWindow::ScrollTrackPosition(ScrollBarKind kind) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  if (!hwnd_ || !::GetScrollInfo(hwnd_, BarOf(kind), &si)) return 0;
  return si.nTrackPos;
}

void EditorWindow::CreateCaret(int width, int height) {
  caretPlaced_ = false;
  if (hwnd_) ::CreateCaret(hwnd_, nullptr, width, height);
}
void EditorWindow::DestroyCaret() {
  caretPlaced_ = false;
  ::DestroyCaret();
}
void EditorWindow::ShowCaret() {
  if (hwnd_) ::ShowCaret(hwnd_);
}
void EditorWindow::HideCaret() {
  if (hwnd_) ::HideCaret(hwnd_);
}
void EditorWindow::SetCaretPos(Point at) {
  if (caretPlaced_ && at.x == caretAt_.x && at.y == caretAt_.y) return;
  if (::SetCaretPos(at.x, at.y)) {
    caretPlaced_ = true;
    caretAt_ = at;
  }
}

Point EditorWindow::MousePosition() const { return CursorInClient(); }

void EditorWindow::TakeFocus() {
  if (hwnd_ && ::GetFocus() != hwnd_) ::SetFocus(hwnd_);
}

void EditorWindow::CaptureMouse() { TakeCapture(); }
void EditorWindow::ReleaseMouse() { GiveCaptureUp(); }

void EditorWindow::StartTimer(EditorTimer timer, int milliseconds) {
  StartWindowTimer(static_cast<UINT_PTR>(timer), milliseconds);
}

void EditorWindow::StopTimer(EditorTimer timer) { StopWindowTimer(static_cast<UINT_PTR>(timer)); }

void EditorWindow::Beep() { ::MessageBeep(MB_OK); }

Point EditorWindow::ClientOrigin() const {
  POINT p{0, 0};
  if (hwnd_) ::ClientToScreen(hwnd_, &p);
  return Point{p.x, p.y};
}

int EditorWindow::WindowWidth() const {
  RECT r{};
  if (hwnd_) ::GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

Point EditorWindow::ScreenSize() const {
  return Point{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

Point EditorWindow::BorderSize() const {
  return Point{::GetSystemMetrics(SM_CXBORDER), ::GetSystemMetrics(SM_CYBORDER)};
}

std::unique_ptr<PopupWindow> EditorWindow::CreatePopup(PopupClient& client) {
  if (!hwnd_) return nullptr;
  // Owned by the top-level window, so it stays above it and outlives a recreation of
  // the editor's own window.
  return std::make_unique<PopupListWindow>(::GetAncestor(hwnd_, GA_ROOT), client);
}

void EditorWindow::RefreshCursor() {
  if (!hwnd_) return;
  const Point at = CursorInClient();
  if (ClientArea().Contains(at)) ::SetCursor(::LoadCursorW(nullptr, CursorId(editor_.CursorAt(at))));
}

void EditorWindow::PostCommand(int code) {
  if (hwnd_) ::PostMessageA(hwnd_, kCommandMessage, static_cast<WPARAM>(code), 0);
}

LRESULT EditorWindow::MouseMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const Point at = MousePoint(lParam);
  const ShiftState shift = MouseShift(wParam);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: editor_.MouseDown(MouseButtonOf(msg), shift, at); break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: editor_.DoubleClick(MouseButtonOf(msg), shift, at); break;
    case WM_MOUSEMOVE: editor_.MouseMove(shift, at); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: editor_.MouseUp(MouseButtonOf(msg), shift, at); break;
    default: break;
  }
  return 0;
}

LRESULT EditorWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      editor_.PrepareToPaint();
      PaintScope paint(hwnd_);
      if (!paint.dc()) ThrowApiError("Cannot paint the editor", "BeginPaint", ::GetLastError());
      GdiSurface surface(paint.dc(), gdi_);
      editor_.Paint(surface, paint.Area());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      editor_.UpdateEditorView();
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      editor_.ScrollMessage(msg == WM_VSCROLL ? ScrollBarKind::Vertical : ScrollBarKind::Horizontal,
                            static_cast<ScrollCode>(LOWORD(wParam)));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, CursorId(editor_.CursorAt(CursorInClient()))));
        return TRUE;
      }
      return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_GETTEXT:
      return editor_.CopyTextForMessage(reinterpret_cast<char*>(lParam), static_cast<long long>(wParam));
    case WM_GETTEXTLENGTH:
      return editor_.TextLengthForMessage();
    case WM_SETFOCUS:
      focused_ = true;
      editor_.FocusReceived();
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      editor_.FocusLost();
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      int key = static_cast<int>(wParam);
      editor_.KeyDown(key, KeyShift());
      // A key that ran no command keeps the system's handling (Alt+letter opens the menu).
      if (key != 0 && msg == WM_SYSKEYDOWN) return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
      return 0;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(wParam);
      editor_.KeyPress(ch);
      return 0;
    }
    case kCommandMessage:
      editor_.RunCommand(static_cast<int>(wParam));
      return 1;
    case WM_COPY: return editor_.EditMessage(EditMessageKind::Copy);
    case WM_CUT: return editor_.EditMessage(EditMessageKind::Cut);
    case WM_PASTE: return editor_.EditMessage(EditMessageKind::Paste);
    case WM_CLEAR: return editor_.EditMessage(EditMessageKind::Clear);
    case WM_UNDO: return editor_.EditMessage(EditMessageKind::Undo);
    case EM_CANUNDO: return editor_.EditMessage(EditMessageKind::CanUndo);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      editor_.KeyUp(static_cast<int>(wParam), KeyShift());
      if (msg == WM_SYSKEYUP) return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return MouseMessage(msg, wParam, lParam);
    case WM_MOUSEWHEEL: {
      ShiftState shift = MouseShift(GET_KEYSTATE_WPARAM(wParam));
      shift.shift = (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0;
      shift.ctrl = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
      editor_.MouseWheel(shift, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    }
    case WM_TIMER:
      editor_.TimerTick(static_cast<EditorTimer>(wParam));
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) editor_.MouseCaptureLost();
      return 0;
    case EM_GETSEL:
      static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
      return static_cast<LRESULT>(
          editor_.AnswerGetSel(reinterpret_cast<std::uint32_t*>(wParam), reinterpret_cast<std::uint32_t*>(lParam)));
    case EM_SETSEL:
      editor_.SetSelForMessage(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case EM_SETREADONLY:
      editor_.SetReadOnly(wParam == 1);
      return 1;
    default:
      if (static const UINT listsMessage = ::RegisterWindowMessageW(kCompletionListsMessage);
          msg == listsMessage && msg != 0 && lParam) {
        const auto& lists = *reinterpret_cast<const CompletionLists*>(lParam);
        editor_.Completion().SetIdentifiers(Items(lists.identifiers));
        editor_.Completion().SetTemplates(Items(lists.templates));
        return 1;
      }
      return ::DefWindowProcA(hwnd_, msg, wParam, lParam);
  }
}

}  // namespace vantorel::win32
