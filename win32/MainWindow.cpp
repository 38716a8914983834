#include "win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/Errors.h"
#include "win32/GdiSurface.h"

namespace vantorel::win32 {

namespace {

constexpr wchar_t kPanelClassName[] = L"TPanel";
constexpr int kButtonIdBase = 200;

// A plain panel: button face, an optional etched frame, and the commands of its
// buttons passed on to the window that owns it.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT r;
      ::GetClientRect(hwnd, &r);
      ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
      if (::GetWindowLongPtrW(hwnd, GWLP_USERDATA) != 0) ::DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

HWND CreatePanel(HWND parent, const Rect& bounds, bool framed) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  HWND panel = ::CreateWindowExW(0, kPanelClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left,
                                 bounds.top, bounds.Width(), bounds.Height(), parent, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(panel, GWLP_USERDATA, framed ? 1 : 0);
  return panel;
}

// The image drawn over the button face: pixel art has alpha, BS_BITMAP has none.
HBITMAP BitmapOnButtonFace(const PixelImage& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const std::uint32_t fr = GetRValue(face), fg = GetGValue(face), fb = GetBValue(face);
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    const std::uint32_t a = p >> 24;
    const std::uint32_t r = (((p >> 16) & 0xFF) * a + fr * (255 - a)) / 255;
    const std::uint32_t g = (((p >> 8) & 0xFF) * a + fg * (255 - a)) / 255;
    const std::uint32_t b = ((p & 0xFF) * a + fb * (255 - a)) / 255;
    out[i] = (r << 16) | (g << 8) | b;
  }
  return bitmap;
}

// A menu shows "&" as a mnemonic mark; a file path must show as it is.
std::wstring MenuText(std::string_view caption) {
  std::wstring text;
  for (wchar_t c : Widen(caption)) {
    if (c == L'&') text += L'&';
    text += c;
  }
  return text;
}

}  // namespace

MainWindow::MainWindow()
    : form_(std::make_unique<TFmain>(*this, memo_.Editor(), registry_, files_, dialogs_, processes_)) {}

MainWindow::~MainWindow() {
  if (accelerators_) ::DestroyAcceleratorTable(accelerators_);
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

void MainWindow::Create() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &MainWindow::WndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = ::LoadIconW(wc.hInstance, L"MAINICON");
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClassName;
  ::RegisterClassExW(&wc);
  const Rect b = kDesignedBounds;
  ::CreateWindowExW(0, kMainClassName, Widen(kMainCaption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, b.left,
                    b.top, b.Width(), b.Height(), nullptr, nullptr, wc.hInstance, this);
}

void MainWindow::Show(int showCommand) {
  ::ShowWindow(hwnd_, showCommand);
  ::UpdateWindow(hwnd_);
  ::SetFocus(memo_.Handle());
  try {
    form_->FormShow();
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
}

void MainWindow::ReportError(const char* text) noexcept { ShowError(hwnd_, text); }

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->Handle(msg, wParam, lParam);
  } catch (const std::exception& e) {
    self->ReportError(e.what());
  } catch (...) {
    self->ReportError("Unknown error");
  }
  return 0;
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      CreateChildren();
      dialogs_.SetOwner(hwnd_);
      try {
        form_->FormCreate();
      } catch (const std::exception& e) {
        // A bad stored value is reported; the window opens all the same.
        ReportError(e.what());
      }
      return 0;
    case WM_SIZE:
      LayoutChildren();
      if (wParam != SIZE_MINIMIZED) form_->FormResize();
      return 0;
    case WM_SETFOCUS:
      if (memo_.Handle()) ::SetFocus(memo_.Handle());
      return 0;
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) RunCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE: {
      bool mayClose = true;
      try {
        mayClose = form_->FormCloseQuery();
      } catch (const std::exception& e) {
        ReportError(e.what());
        mayClose = false;
      }
      if (!mayClose) return 0;
      try {
        form_->FormClose();
      } catch (const std::exception& e) {
        ReportError(e.what());  // reported, and the window still closes
      }
      ::DestroyWindow(hwnd_);
      return 0;
    }
    case WM_QUERYENDSESSION:
      // Logging off closes the window as its close box does: the question first.
      try {
        return form_->FormCloseQuery() ? TRUE : FALSE;
      } catch (const std::exception& e) {
        ReportError(e.what());
        return FALSE;
      }
    case WM_ENDSESSION:
      if (wParam) form_->FormClose();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

void MainWindow::RunCommand(int id) {
  const auto it = commands_.find(id);
  if (it == commands_.end()) return;
  form_->Run(it->second);
  // Buttons of the tool bar never keep the keyboard focus: typing goes on in the editor.
  if (hwnd_ && ::GetFocus() != memo_.Handle() && ::GetParent(::GetFocus()) != nullptr &&
      ::GetAncestor(::GetFocus(), GA_ROOT) == hwnd_) {
    ::SetFocus(memo_.Handle());
  }
}

HMENU MainWindow::BuildMenu(std::span<const MenuItem> items) {
  HMENU menu = ::CreatePopupMenu();
  for (const MenuItem& item : items) {
    if (item.caption == "-") {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = MenuText(item.caption);
    if (!item.shortcut.text.empty()) text += L"\t" + Widen(item.shortcut.text);
    if (!item.children.empty()) {
      ::AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildMenu(item.children)), text.c_str());
      continue;
    }
    const int id = nextCommandId_++;
    commands_[id] = item.handler;
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
    if (item.id != MenuItemId::None) menuItems_[item.id] = {menu, static_cast<UINT>(id)};
  }
  return menu;
}

void MainWindow::CreateChildren() {
  formFont_.reset(CreateFontFor(FontDesc{std::string(kFormFontName), kFormFontHeight, FontStyle::None, clBtnText}));

  HMENU bar = ::CreateMenu();
  std::vector<ACCEL> accels;
  for (const MenuDesc& menu : MainMenu()) {
    ::AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildMenu(menu.items)),
                  Widen(menu.caption).c_str());
  }
  // Shortcuts of the menu items become accelerators of the window.
  std::function<void(std::span<const MenuItem>)> collect = [&](std::span<const MenuItem> items) {
    for (const MenuItem& item : items) {
      if (!item.children.empty()) collect(item.children);
      if (item.shortcut.key == 0) continue;
      for (const auto& [id, handler] : commands_) {
        if (handler == item.handler) {
          accels.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | (item.shortcut.ctrl ? FCONTROL : 0)),
                                 static_cast<WORD>(item.shortcut.key), static_cast<WORD>(id)});
          break;
        }
      }
    }
  };
  for (const MenuDesc& menu : MainMenu()) collect(menu.items);
  ::SetMenu(hwnd_, bar);
  accelerators_ = ::CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size()));

  RECT client;
  ::GetClientRect(hwnd_, &client);
  pbutton_ = CreatePanel(hwnd_, Rect{0, 0, client.right, kToolBarHeight}, true);
  ptools_ = CreatePanel(pbutton_, kPaletteBounds, false);
  tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  CreateButtons();
  memo_.Create(hwnd_, kEditorId);
  CreateStatusBar();
  LayoutChildren();
}

void MainWindow::CreateButtons() {
  int index = 0;
  for (const ButtonDesc& desc : ToolButtons()) {
    const int id = kButtonIdBase + index++;
    HWND parent = desc.parent == ButtonParent::Pbutton ? pbutton_ : ptools_;
    DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP;
    if (desc.kind == ButtonKind::Flat) style |= BS_FLAT;
    HWND button = ::CreateWindowExW(0, L"BUTTON", Widen(desc.hint).c_str(), style, desc.bounds.left, desc.bounds.top,
                                    desc.bounds.Width(), desc.bounds.Height(), parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                    nullptr);
    commands_[id] = desc.handler;
    buttons_[std::string(desc.name)] = button;
    GdiObject<HBITMAP> bitmap(BitmapOnButtonFace(LoadButtonImage(desc.image)));
    ::SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    bitmaps_.push_back(std::move(bitmap));
    if (desc.showHint) {
      std::wstring hint = Widen(desc.hint);
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = parent;
      tool.uId = reinterpret_cast<UINT_PTR>(button);
      tool.lpszText = hint.data();
      ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
}

void MainWindow::CreateStatusBar() {
  // The bar keeps the height the layout gives it instead of one from its font.
  status_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, 0, 0, 0, 0,
                              hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                              ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  std::vector<int> edges;
  int right = 0;
  for (const PanelDesc& panel : StatusPanels()) edges.push_back(right += panel.width);
  edges.back() = -1;  // the last panel takes the rest of the bar
  ::SendMessageW(status_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < static_cast<int>(StatusPanels().size()); ++i) {
    SetPanelText(i, std::string(StatusPanels()[static_cast<std::size_t>(i)].initialText));
  }
}

void MainWindow::LayoutChildren() {
  if (!status_ || !memo_.Handle()) return;
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const ClientLayout layout = form_->Layout(FromRECT(client), kStatusBarHeight);
  ::MoveWindow(status_, layout.Bar1.left, layout.Bar1.top, layout.Bar1.Width(), layout.Bar1.Height(), TRUE);
  ::MoveWindow(pbutton_, layout.Pbutton.left, layout.Pbutton.top, layout.Pbutton.Width(), layout.Pbutton.Height(),
               TRUE);
  ::MoveWindow(memo_.Handle(), layout.Memo1.left, layout.Memo1.top, layout.Memo1.Width(), layout.Memo1.Height(),
               TRUE);
}

// --- MainWindowPort ---

Rect MainWindow::Bounds() const {
  RECT r{};
  if (!::IsIconic(hwnd_)) {
    ::GetWindowRect(hwnd_, &r);
    return FromRECT(r);
  }
  // A minimised window sits far off the screen; its place is the one it returns to,
  // given in work-area coordinates.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(hwnd_, &placement);
  r = placement.rcNormalPosition;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) {
    ::OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
  }
  return FromRECT(r);
}

void MainWindow::SetBounds(const Rect& b) {
  ::SetWindowPos(hwnd_, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

Point MainWindow::ScreenSize() const {
  return Point{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

std::string MainWindow::PanelText(int index) const {
  const LRESULT info = ::SendMessageW(status_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
  std::wstring text(LOWORD(info) + 1, L'\0');
  ::SendMessageW(status_, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcsnlen(text.c_str(), text.size()));
  // A centred panel's text starts with a tab, which is how the bar centres it.
  if (!text.empty() && text.front() == L'\t') text.erase(0, 1);
  return Narrow(text);
}

void MainWindow::SetPanelText(int index, const std::string& text) {
  const auto panels = StatusPanels();
  if (index < 0 || index >= static_cast<int>(panels.size())) return;
  const PanelDesc& desc = panels[static_cast<std::size_t>(index)];
  std::wstring shown = Widen(text);
  if (desc.alignment == PanelAlignment::Center) shown.insert(0, L"\t");
  const WPARAM flags = static_cast<WPARAM>(index) | (desc.bevel ? 0 : SBT_NOBORDERS);
  ::SendMessageW(status_, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(shown.c_str()));
}

void MainWindow::SetMenuCaption(MenuItemId item, const std::string& caption) {
  const auto it = menuItems_.find(item);
  if (it == menuItems_.end()) return;
  const std::wstring text = MenuText(caption);
  ::ModifyMenuW(it->second.first, it->second.second, MF_BYCOMMAND | MF_STRING, it->second.second, text.c_str());
}

void MainWindow::SetButtonLeft(std::string_view name, int left) {
  const auto it = buttons_.find(name);
  if (it == buttons_.end()) return;
  RECT r;
  ::GetWindowRect(it->second, &r);
  POINT topLeft{r.left, r.top};
  ::ScreenToClient(::GetParent(it->second), &topLeft);
  ::SetWindowPos(it->second, nullptr, left, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string MainWindow::ProgramPath() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

std::vector<std::string> MainWindow::CommandLineArgs() const {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(Narrow(argv[i]));
  if (argv) ::LocalFree(argv);
  return args;
}

void MainWindow::Close() { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

}  // namespace vantorel::win32
