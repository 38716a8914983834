#include "win32/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/Errors.h"
#include "win32/GdiSurface.h"
#include "win32/SettingsDialogWindow.h"

namespace vantorel::win32 {

namespace {

constexpr wchar_t kPanelClassName[] = L"TPanel";
constexpr int kButtonIdBase = 200;
// A tree of includes read on the index's worker thread.
constexpr UINT kIndexReadMessage = WM_APP + 1;

}  // namespace

HBITMAP BitmapOnButtonFace(const PixelImage& image) {
  const PixelImage blended = BlendOntoFace(image, Color{::GetSysColor(COLOR_BTNFACE)});
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = blended.width;
  info.bmiHeader.biHeight = -blended.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) throw Exception("Cannot create a button image. " + SystemErrorMessage(::GetLastError()));
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < blended.pixels.size(); ++i) out[i] = blended.pixels[i] & 0x00FFFFFFu;
  return bitmap;
}

namespace {

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

void Panel::Create(HWND parent, const Rect& bounds) {
  RegisterClassOnce(kPanelClassName, {});
  CreateWindowOrThrow("panel", 0, kPanelClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds, parent,
                      nullptr, this);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return ::SendMessageW(::GetParent(hwnd_), msg, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      RECT r;
      ::GetClientRect(hwnd_, &r);
      ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
      if (framed_) ::DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

MainWindow::MainWindow()
    : form_(std::make_unique<TFmain>(*this, memo_.Editor(), registry_, files_, dialogs_, processes_, codePages_,
                                     shell_)),
      findMessage_(::RegisterWindowMessageW(FINDMSGSTRINGW)) {
  memo_.Editor().SetCodePages(&codePages_);
  form_->AttachBuildOutput(capture_, pane_);
}

MainWindow::~MainWindow() { DestroyOwnWindow(); }

void MainWindow::Create() {
  RegisterClassOnce(kMainClassName, {.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), .icon = L"MAINICON"});
  CreateWindowOrThrow("main", 0, kMainClassName, Widen(kMainCaption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      kDesignedBounds, nullptr, nullptr, this);
  // A bad stored value is reported; the window opens all the same.
  ShowingErrors(hwnd_, [this] { form_->FormCreate(); });
}

void MainWindow::Show(int showCommand) {
  ::ShowWindow(hwnd_, showCommand);
  ::UpdateWindow(hwnd_);
  ::SetFocus(memo_.Handle());
  ShowingErrors(hwnd_, [this] { form_->FormShow(); });
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      CreateChildren();
      dialogs_.SetOwner(hwnd_);
      shell_.SetOwner(hwnd_);
      return 0;
    case WM_INITMENUPOPUP: {
      const auto it = menuOpenHandlers_.find(reinterpret_cast<HMENU>(wParam));
      if (it != menuOpenHandlers_.end()) form_->Run(it->second);
      return 0;
    }
    case WM_SIZE:
      LayoutChildren();
      form_->WindowSized(wParam == SIZE_MINIMIZED);
      return 0;
    case WM_SETFOCUS:
      if (memo_.Handle()) ::SetFocus(memo_.Handle());
      return 0;
    case WM_COMMAND:
      if (lParam == 0) {
        RunCommand(LOWORD(wParam), false);  // a menu item or an accelerator
      } else if (HIWORD(wParam) == BN_CLICKED) {
        RunCommand(LOWORD(wParam), true);
      }
      return 0;
    case WM_CLOSE:
      form_->CloseRequested();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) ShowingErrors(hwnd_, [this] { form_->FormActivate(); });
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
    case kIndexReadMessage:
      ShowingErrors(hwnd_, [this] { form_->IndexReady(); });
      return 0;
    case WM_QUERYENDSESSION:
      return form_->QueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      form_->EndSession(wParam != 0);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      if (msg == findMessage_ && findMessage_ != 0) {
        FindMessage(*reinterpret_cast<const FINDREPLACEW*>(lParam));
        return 0;
      }
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

void MainWindow::WakeForIndex() { ::PostMessageW(hwnd_, kIndexReadMessage, 0, 0); }

void MainWindow::FindMessage(const FINDREPLACEW& find) {
  // The dialog keeps what the user typed, also when it closes.
  form_->Find1.Text = Narrow(find.lpstrFindWhat);
  if (find.Flags & FR_DIALOGTERM) {
    findDialog_ = nullptr;
  } else if (find.Flags & FR_FINDNEXT) {
    form_->Find1Find();
  }
}

void MainWindow::ShowFindDialog(const std::string& text) {
  if (findDialog_) {
    ::ShowWindow(findDialog_, SW_SHOW);
    ::SetActiveWindow(findDialog_);
    return;
  }
  const std::wstring wide = Widen(text).substr(0, std::size(findText_) - 1);
  std::copy(wide.begin(), wide.end(), findText_);
  findText_[wide.size()] = L'\0';
  find_ = FINDREPLACEW{};
  find_.lStructSize = sizeof find_;
  find_.hwndOwner = hwnd_;
  find_.lpstrFindWhat = findText_;
  find_.wFindWhatLen = static_cast<WORD>(std::size(findText_));
  find_.Flags = FR_DOWN;
  findDialog_ = ::FindTextW(&find_);
  if (!findDialog_) {
    throw Exception("Cannot show the find dialog. Error " + std::to_string(::CommDlgExtendedError()));
  }
}

void MainWindow::CloseFindDialog() {
  // Posted: the dialog is in the middle of its find-next when this is asked. It closes
  // as by its cancel button, which reports the end of the dialog.
  if (findDialog_) ::PostMessageW(findDialog_, WM_CLOSE, 0, 0);
}

void MainWindow::SetMenuChecked(MenuItemId item, bool checked) {
  const auto it = menuItems_.find(item);
  if (it == menuItems_.end()) return;
  ::CheckMenuItem(it->second.first, it->second.second, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::SetMenuItemShown(MenuItemId item, bool shown) {
  const auto it = menuItems_.find(item);
  const auto place = menuPlaces_.find(item);
  if (it == menuItems_.end() || place == menuPlaces_.end()) return;
  const auto [menu, id] = it->second;
  const bool present = ::GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1);
  if (shown && !present) {
    ::InsertMenuW(menu, place->second.position, MF_BYPOSITION | MF_STRING, id, place->second.text.c_str());
  } else if (!shown && present) {
    ::RemoveMenu(menu, id, MF_BYCOMMAND);
  }
}

void MainWindow::SetMenuRadioChoice(MenuItemId first, MenuItemId last, MenuItemId chosen) {
  const auto from = menuItems_.find(first);
  const auto to = menuItems_.find(last);
  const auto choice = menuItems_.find(chosen);
  if (from == menuItems_.end() || to == menuItems_.end() || choice == menuItems_.end()) return;
  // The items' ids follow each other in the menu's order, as the menu was filled.
  ::CheckMenuRadioItem(from->second.first, from->second.second, to->second.second, choice->second.second,
                       MF_BYCOMMAND);
}

void MainWindow::SetToolPanelVisible(ToolPanel panel, bool visible) {
  HWND hwnd = panel == ToolPanel::Pbutton ? pbutton_.Handle()
              : panel == ToolPanel::Ptools ? ptools_.Handle()
                                           : pane_.Handle();
  ::ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
  LayoutChildren();
}

ModalResult MainWindow::ShowSettingsDialog(TFsetting& form) {
  SettingsDialog dialog(form, hwnd_);
  return dialog.RunModal();
}

void MainWindow::RunCommand(int id, bool fromButton) {
  const auto it = commands_.find(id);
  if (it == commands_.end()) return;
  if (fromButton) {
    form_->ButtonClick(it->second.handler, it->second.sender);
  } else {
    form_->Run(it->second.handler, it->second.sender);
  }
}

void MainWindow::FillMenu(HMENU menu, std::span<const MenuItem> items) {
  for (const MenuItem& item : items) {
    if (item.caption == "-") {
      AppendMenuOrThrow(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = MenuText(item.caption);
    if (!item.shortcut.text.empty()) text += L"\t" + Widen(item.shortcut.text);
    if (!item.children.empty()) {
      OwnedMenu sub(CreateMenuOrThrow(true));
      FillMenu(sub.get(), item.children);
      AppendMenuOrThrow(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.get()), text.c_str());
      sub.release();  // destroyed with the menu that holds it
      continue;
    }
    const int id = nextCommandId_++;
    commands_[id] = Command{item.handler, item.name};
    menuCommandIds_.emplace(item.handler, id);
    AppendMenuOrThrow(menu, MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
    if (item.id != MenuItemId::None) {
      menuItems_[item.id] = {menu, static_cast<UINT>(id)};
      menuPlaces_[item.id] = MenuPlace{static_cast<UINT>(::GetMenuItemCount(menu) - 1), text};
    }
  }
}

void MainWindow::CreateChildren() {
  formFont_.reset(CreateFontFor(FontDesc{std::string(kFormFontName), kFormFontHeight, FontStyle::None, clBtnText}));

  OwnedMenu bar(CreateMenuOrThrow(false));
  for (const MenuDesc& menu : MainMenu()) {
    OwnedMenu popup(CreateMenuOrThrow(true));
    FillMenu(popup.get(), menu.items);
    AppendMenuOrThrow(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                      Widen(menu.caption).c_str());
    if (menu.onOpen != Handler::None) menuOpenHandlers_[popup.get()] = menu.onOpen;
    popup.release();  // the bar holds it
  }
  if (!::SetMenu(hwnd_, bar.get())) ThrowApiError("Cannot show the menu bar", "SetMenu", ::GetLastError());
  bar.release();  // destroyed with the window
  // A key whose command has no menu item gets a command id of its own.
  std::map<Handler, int> keyCommandIds;
  for (const std::vector<Accelerator>& table : TFmain::ShortcutTables()) {
    std::vector<ACCEL> accels;
    for (const Accelerator& a : table) {
      int id = 0;
      if (const auto item = menuCommandIds_.find(a.command); item != menuCommandIds_.end()) {
        id = item->second;
      } else if (const auto key = keyCommandIds.find(a.command); key != keyCommandIds.end()) {
        id = key->second;
      } else {
        id = keyCommandIds[a.command] = nextCommandId_++;
        commands_[id] = Command{a.command, "Keys"};
      }
      const BYTE flags = static_cast<BYTE>(FVIRTKEY | (a.shift.ctrl ? FCONTROL : 0) | (a.shift.shift ? FSHIFT : 0) |
                                           (a.shift.alt ? FALT : 0));
      accels.push_back(ACCEL{flags, static_cast<WORD>(a.key), static_cast<WORD>(id)});
    }
    accelerators_.emplace_back(::CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size())));
    if (!accelerators_.back()) {
      ThrowApiError("Cannot create the keyboard shortcuts", "CreateAcceleratorTableW", ::GetLastError());
    }
  }

  RECT client;
  ::GetClientRect(hwnd_, &client);
  pbutton_.Create(hwnd_, Rect{0, 0, client.right, kToolBarHeight});
  ptools_.Create(pbutton_.Handle(), kPaletteBounds);
  tooltip_ = CreateWindowOrThrow("tool tip", WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, Rect{}, hwnd_, nullptr, nullptr);
  ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  CreateButtons();
  memo_.Create(hwnd_, kEditorId);
  pane_.Create(hwnd_);
  CreateStatusBar();
  LayoutChildren();
}

void MainWindow::CreateButtons() {
  int index = 0;
  for (const ButtonDesc& desc : ToolButtons()) {
    const int id = kButtonIdBase + index++;
    HWND parent = desc.parent == ButtonParent::Pbutton ? pbutton_.Handle() : ptools_.Handle();
    commands_[id] = Command{desc.handler, desc.name};
    HWND button = nullptr;
    if (desc.kind == ButtonKind::XP) {
      auto& xp = xpButtons_.emplace_back(
          XPButtonWindow::Speed(parent, id, desc.bounds, std::string(desc.hint), LoadButtonImage(desc.image), clBtnFace));
      button = xp->Handle();
      if (desc.dropsMenu) {
        xp->SpeedButton()->OnClick = nullptr;
        xp->SpeedButton()->DropDownMenu = [this, handler = desc.handler](Point) { form_->Run(handler); };
      }
    } else {
      button = CreateWindowOrThrow("button " + std::string(desc.name), 0, L"BUTTON", Widen(desc.hint).c_str(),
                                   WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP | BS_FLAT, desc.bounds, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr);
      GdiObject<HBITMAP>& bitmap = bitmaps_.emplace_back();
      bitmap.reset(BitmapOnButtonFace(LoadButtonImage(desc.image)));
      ::SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.get()));
    }
    buttons_[std::string(desc.name)] = button;
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
  status_ = CreateWindowOrThrow("status bar", 0, STATUSCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN, Rect{}, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), nullptr);
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
  ::MoveWindow(pbutton_.Handle(), layout.Pbutton.left, layout.Pbutton.top, layout.Pbutton.Width(), layout.Pbutton.Height(),
               TRUE);
  ::MoveWindow(memo_.Handle(), layout.Memo1.left, layout.Memo1.top, layout.Memo1.Width(), layout.Memo1.Height(),
               TRUE);
  if (layout.Pane.Height() > 0) {
    ::MoveWindow(pane_.Handle(), layout.Pane.left, layout.Pane.top, layout.Pane.Width(), layout.Pane.Height(), TRUE);
  }
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
  if (!::ModifyMenuW(it->second.first, it->second.second, MF_BYCOMMAND | MF_STRING, it->second.second, text.c_str())) {
    ThrowApiError("Cannot change the menu item", "ModifyMenuW", ::GetLastError());
  }
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
  // The system's array is freed also when copying it fails.
  const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> argv(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                             &::LocalFree);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(Narrow(argv.get()[i]));
  return args;
}

void MainWindow::Close() { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::Destroy() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

void MainWindow::FocusEditor() noexcept {
  HWND focus = ::GetFocus();
  if (!hwnd_ || !memo_.Handle() || !focus || focus == memo_.Handle()) return;
  if (::GetAncestor(focus, GA_ROOT) == hwnd_) ::SetFocus(memo_.Handle());
}

void MainWindow::SendEditorChar(unsigned char code) {
  // Looked up for every character: the editor's window is made anew when its scroll
  // bars change.
  if (HWND editor = memo_.Handle()) ::SendMessageA(editor, WM_CHAR, code, 0);
}

void MainWindow::DropDownMenu(std::string_view buttonName, std::span<const MenuItem> items, int offsetX) {
  const auto button = buttons_.find(buttonName);
  if (button == buttons_.end() || items.empty()) return;
  auto [entry, made] = dropDowns_.try_emplace(items.data());
  if (made) {
    // A menu that could not be built whole is not kept: the next drop-down tries again.
    try {
      entry->second.reset(CreateMenuOrThrow(true));
      FillMenu(entry->second.get(), items);
    } catch (...) {
      dropDowns_.erase(entry);
      throw;
    }
  }
  RECT r;
  if (!::GetWindowRect(button->second, &r)) ThrowApiError("Cannot drop the menu down", "GetWindowRect", ::GetLastError());
  ::SetLastError(ERROR_SUCCESS);
  if (!::TrackPopupMenu(entry->second.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, r.left + offsetX, r.bottom,
                        0, hwnd_, nullptr)) {
    // A menu closed without a choice may answer 0 too, with no error set; a menu of
    // this thread that is open already keeps the screen. Neither is a failure.
    const DWORD error = ::GetLastError();
    if (error != ERROR_SUCCESS && error != ERROR_POPUP_ALREADY_ACTIVE) {
      ThrowApiError("Cannot drop the menu down", "TrackPopupMenu", error);
    }
  }
}

}  // namespace vantorel::win32
