#include "win32/BuildPaneWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "win32/GdiSurface.h"

namespace vantorel::win32 {

namespace {

constexpr int kListId = 1;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kTextIndent = 2;
// The bar on the pane's top edge: dragged, it sets the pane's height; the close mark
// stands at its right end.
constexpr int kBarHeight = 14;
constexpr int kCloseMarkSize = 12;

}  // namespace

BuildPaneWindow::~BuildPaneWindow() {
  if (list_) ::RemoveWindowSubclass(list_, &ListProc, kSubclassId);
  DestroyOwnWindow();
}

void BuildPaneWindow::Create(HWND parent, std::function<void()> relayout) {
  relayout_ = std::move(relayout);
  RegisterClassOnce(kBuildPaneClassName, {.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  CreateWindowOrThrow("build output", 0, kBuildPaneClassName, L"", WS_CHILD | WS_CLIPCHILDREN, Rect{}, parent,
                      nullptr, this);
  ApplyFont();
  list_ = CreateWindowOrThrow("build output list", WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY |
                                  LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT,
                              Rect{}, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr);
  if (!::SetWindowSubclass(list_, &ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    ThrowApiError("Cannot make the build output list", "SetWindowSubclass", ::GetLastError());
  }
  ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, itemHeight_);
}

int BuildPaneWindow::LineHeight() const { return itemHeight_; }

int BuildPaneWindow::FrameHeight() const { return kBarHeight + 2 * ::GetSystemMetrics(SM_CYEDGE); }

Rect BuildPaneWindow::CloseMark() const {
  const Rect client = ClientArea();
  const int top = (kBarHeight - kCloseMarkSize) / 2;
  return Rect{client.right - kCloseMarkSize - 2, top, client.right - 2, top + kCloseMarkSize};
}

int BuildPaneWindow::ScreenY(LPARAM lParam) const {
  const Point at = MousePoint(lParam);
  POINT screen{at.x, at.y};
  ::ClientToScreen(hwnd_, &screen);
  return screen.y;
}

void BuildPaneWindow::PaintBar() {
  PaintScope paint(hwnd_);
  if (!paint.dc()) return;
  const Rect client = ClientArea();
  RECT bar{0, 0, client.right, kBarHeight};
  ::FillRect(paint.dc(), &bar, ::GetSysColorBrush(COLOR_BTNFACE));
  // A raised line across the bar, as a splitter's grip.
  RECT grip{0, kBarHeight / 2 - 1, client.right - kCloseMarkSize - 6, kBarHeight / 2 + 1};
  ::DrawEdge(paint.dc(), &grip, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
  // The close mark: a cross of two strokes, drawn whatever symbol fonts the system has.
  const Rect mark = CloseMark();
  GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 2, ::GetSysColor(COLOR_BTNTEXT)));
  const HGDIOBJ old = ::SelectObject(paint.dc(), pen.get());
  ::MoveToEx(paint.dc(), mark.left + 3, mark.top + 3, nullptr);
  ::LineTo(paint.dc(), mark.right - 3, mark.bottom - 3);
  ::MoveToEx(paint.dc(), mark.right - 4, mark.top + 3, nullptr);
  ::LineTo(paint.dc(), mark.left + 2, mark.bottom - 3);
  ::SelectObject(paint.dc(), old);
}

void BuildPaneWindow::SetFont(const FontDesc& font) {
  fontDesc_ = font;
  if (!hwnd_) return;  // applied when the window is made
  ApplyFont();
  ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, itemHeight_);
  ::SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine_ * charWidth_ + 2 * kTextIndent), 0);
  ::InvalidateRect(list_, nullptr, TRUE);
  if (relayout_) relayout_();
}

void BuildPaneWindow::ApplyFont() {
  HFONT font = CreateFontFor(fontDesc_);
  if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  WindowDC dc(hwnd_);
  const HGDIOBJ old = ::SelectObject(dc.get(), font);
  TEXTMETRICW metrics{};
  const bool measured = ::GetTextMetricsW(dc.get(), &metrics) != 0;
  ::SelectObject(dc.get(), old);
  font_.reset(font);
  if (measured) {
    itemHeight_ = std::max<int>(metrics.tmHeight, 1);
    charWidth_ = std::max<int>(metrics.tmAveCharWidth, 1);
  }
}

void BuildPaneWindow::Beep() { ::MessageBeep(MB_OK); }

int BuildPaneWindow::VisibleRows() const {
  RECT r{};
  ::GetClientRect(list_, &r);
  return std::max(1, static_cast<int>(r.bottom - r.top) / itemHeight_);
}

void BuildPaneWindow::LinesChanged(int dropped) {
  if (!list_ || !client_) return;
  const int count = client_->LineCount();
  const int top = static_cast<int>(::SendMessageW(list_, LB_GETTOPINDEX, 0, 0));
  const PaneScroll scroll = client_->ScrollAfterChange(shownCount_, dropped, top, VisibleRows());
  if (scroll.fresh) widestLine_ = 0;
  for (int i = scroll.fresh ? 0 : std::max(shownCount_ - dropped, 0); i < count; ++i) {
    widestLine_ = std::max(widestLine_, client_->Columns(i));
  }
  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list_, LB_SETCOUNT, static_cast<WPARAM>(count), 0);
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(client_->SelectedLine()), 0);
  ::SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(scroll.top), 0);
  ::SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine_ * charWidth_ + 2 * kTextIndent), 0);
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
  shownCount_ = count;
}

void BuildPaneWindow::ShowSelection() {
  if (!list_ || !client_) return;
  ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(client_->SelectedLine()), 0);
}

std::wstring BuildPaneWindow::LineText(int index) const {
  if (!client_ || index < 0 || index >= client_->LineCount()) return {};
  return Widen(client_->Shown(index).text);
}

void BuildPaneWindow::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& r = item.rcItem;
  const int index = static_cast<int>(item.itemID);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  ::SetBkColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  COLORREF fore = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  std::wstring text;
  if (client_ && index >= 0 && index < client_->LineCount()) {
    const ShownPaneLine line = client_->Shown(index);
    if (!selected && line.color != clNone) fore = ToCOLORREF(line.color);
    text = Widen(line.text);
  }
  ::SetTextColor(dc, fore);
  const HGDIOBJ old = ::SelectObject(dc, font_.get());
  ::ExtTextOutW(dc, r.left + kTextIndent, r.top, ETO_OPAQUE | ETO_CLIPPED, &r, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
  ::SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
}

LRESULT BuildPaneWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SIZE:
      if (list_) ::MoveWindow(list_, 0, kBarHeight, LOWORD(lParam), std::max(HIWORD(lParam) - kBarHeight, 0), TRUE);
      ::InvalidateRect(hwnd_, nullptr, TRUE);
      return 0;
    case WM_PAINT:
      PaintBar();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == hwnd_) {
        const bool onMark = CloseMark().Contains(CursorInClient());
        ::SetCursor(::LoadCursorW(nullptr, onMark ? IDC_ARROW : IDC_SIZENS));
        return TRUE;
      }
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
    case WM_LBUTTONDOWN: {
      if (CloseMark().Contains(MousePoint(lParam))) {
        if (client_) client_->PaneClosed();
        return 0;
      }
      RECT window{};
      ::GetWindowRect(hwnd_, &window);
      dragFrom_ = ScreenY(lParam);
      dragHeight_ = window.bottom - window.top;
      TakeCapture();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragHeight_ > 0 && client_) client_->PaneDragged(dragHeight_ - (ScreenY(lParam) - dragFrom_));
      return 0;
    case WM_LBUTTONUP:
      GiveCaptureUp();
      dragHeight_ = 0;
      return 0;
    case WM_CAPTURECHANGED:
      dragHeight_ = 0;
      return 0;
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(itemHeight_);
      return TRUE;
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (client_ && reinterpret_cast<HWND>(lParam) == list_) {
        const int selected = static_cast<int>(::SendMessageW(list_, LB_GETCURSEL, 0, 0));
        if (HIWORD(wParam) == LBN_SELCHANGE) client_->LineSelected(selected);
        if (HIWORD(wParam) == LBN_DBLCLK && selected >= 0) client_->LineOpened(selected);
      }
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

LRESULT CALLBACK BuildPaneWindow::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  static const UINT lineMessage = ::RegisterWindowMessageW(kPaneLineMessage);
  auto* self = reinterpret_cast<BuildPaneWindow*>(data);
  LRESULT result = 0;
  bool handled = false;
  // The system calls this procedure directly: nothing may be thrown out of it.
  ShowingErrors(::GetAncestor(hwnd, GA_ROOT), [&] {
    const int index = static_cast<int>(wParam);
    switch (msg) {
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &ListProc, kSubclassId);
        self->list_ = nullptr;
        break;
      case WM_KEYDOWN:
        handled = self->client_ && self->client_->PaneKeyDown(static_cast<int>(wParam));
        break;
      default:
        if (msg != lineMessage || msg == 0) break;
        handled = true;
        result = -1;
        if (auto* query = reinterpret_cast<PaneLineQuery*>(lParam);
            query && self->client_ && index >= 0 && index < self->client_->LineCount()) {
          const std::wstring text = self->LineText(index);
          query->kind = static_cast<int>(self->client_->Line(index).kind);
          if (query->text && query->size > 0) {
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(query->size) - 1);
            std::copy_n(text.begin(), n, query->text);
            query->text[n] = L'\0';
          }
          result = static_cast<LRESULT>(text.size());
        }
        break;
    }
  });
  return handled ? result : ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace vantorel::win32
