#include "win32/BuildPaneWindow.h"

#include <algorithm>

namespace vantorel::win32 {

BuildPaneWindow::~BuildPaneWindow() { DestroyOwnWindow(); }

void BuildPaneWindow::Create(HWND parent) {
  RegisterClassOnce(kBuildPaneClassName, {.style = CS_DBLCLKS});
  CreateWindowOrThrow("build output", 0, kBuildPaneClassName, L"", WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
                      Rect{}, parent, nullptr, this);
  if (client_) client_->PaneSized();
}

Point BuildPaneWindow::ClientOrigin() const {
  POINT origin{0, 0};
  if (hwnd_) ::ClientToScreen(hwnd_, &origin);
  return Point{origin.x, origin.y};
}

void BuildPaneWindow::Invalidate(const Rect& rect) {
  if (!hwnd_) return;
  const RECT r = ToRECT(rect);
  ::InvalidateRect(hwnd_, &r, FALSE);
  PaintAfterMessage(hwnd_);
}

void BuildPaneWindow::InvalidateAll() {
  if (!hwnd_) return;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  PaintAfterMessage(hwnd_);
}

void BuildPaneWindow::SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) {
  if (!hwnd_) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = min;
  si.nMax = max;
  si.nPage = static_cast<UINT>(std::max(page, 0));
  si.nPos = position;
  ::SetScrollInfo(hwnd_, kind == ScrollBarKind::Vertical ? SB_VERT : SB_HORZ, &si, TRUE);
}

void BuildPaneWindow::TakeFocus() {
  if (hwnd_ && ::GetFocus() != hwnd_) ::SetFocus(hwnd_);
}

std::optional<Point> BuildPaneWindow::FontCell(const FontDesc& font) {
  MemoryDC dc(nullptr);
  TEXTMETRICW metrics{};
  if (dc.get()) {
    SelectObjectScope selected(dc.get(), gdi_.Font(font));
    if (::GetTextMetricsW(dc.get(), &metrics)) return Point{metrics.tmAveCharWidth, metrics.tmHeight};
  }
  return std::nullopt;
}

LRESULT BuildPaneWindow::Query(int index, PaneQuery* query) const {
  if (!query || !client_) return -1;
  const PaneState state = client_->State();
  query->count = state.count;
  query->selected = state.selected;
  query->firstShown = state.top;
  const std::optional<PaneRowView> row = client_->Row(index);
  if (!row) return -1;
  const std::wstring text = Widen(row->text);
  query->kind = row->kind;
  query->left = row->rect.left;
  query->top = row->rect.top;
  query->right = row->rect.right;
  query->bottom = row->rect.bottom;
  if (query->text && query->size > 0) {
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(query->size) - 1);
    std::copy_n(text.begin(), n, query->text);
    query->text[n] = L'\0';
  }
  return static_cast<LRESULT>(text.size());
}

LRESULT BuildPaneWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  static const UINT queryMessage = ::RegisterWindowMessageW(kPaneQueryMessage);
  if (!client_) return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      if (!paint.dc()) ThrowApiError("Cannot paint the build output", "BeginPaint", ::GetLastError());
      GdiSurface surface(paint.dc(), gdi_);
      client_->PanePaint(surface, paint.Area());
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      client_->PaneSized();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      client_->PaneMouseDown(MouseButtonOf(msg), MousePoint(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      client_->PaneDoubleClick(MouseButtonOf(msg), MousePoint(lParam));
      return 0;
    case WM_MOUSEMOVE:
      client_->PaneMouseMove((wParam & MK_LBUTTON) != 0, MousePoint(lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      client_->PaneMouseUp(MouseButtonOf(msg), MousePoint(lParam));
      return 0;
    case WM_CAPTURECHANGED:
      client_->PaneCaptureLost();
      return 0;
    case WM_MOUSEWHEEL:
      client_->PaneWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_KEYDOWN:
      if (client_->PaneKeyDown(static_cast<int>(wParam))) return 0;
      break;
    case WM_VSCROLL:
    case WM_HSCROLL: {
      SCROLLINFO si{};
      si.cbSize = sizeof si;
      si.fMask = SIF_TRACKPOS;
      ::GetScrollInfo(hwnd_, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &si);
      client_->PaneScroll(msg == WM_VSCROLL ? ScrollBarKind::Vertical : ScrollBarKind::Horizontal,
                          static_cast<ScrollCode>(LOWORD(wParam)), si.nTrackPos);
      return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      client_->PaneFocusChanged();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
        ::SetCursor(::LoadCursorW(nullptr, client_->PaneSizesAt(CursorInClient()) ? IDC_SIZENS : IDC_ARROW));
        return TRUE;
      }
      break;
    default:
      if (msg == queryMessage && msg != 0) {
        return Query(static_cast<int>(static_cast<INT_PTR>(wParam)), reinterpret_cast<PaneQuery*>(lParam));
      }
      break;
  }
  return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace vantorel::win32
