#include "win32/SettingsDialogWindow.h"

#include "app/MainLayout.h"
#include "platform/Errors.h"
#include "win32/GdiSurface.h"

namespace vantorel::win32 {

namespace {

constexpr wchar_t kSettingsPanelClassName[] = L"TSettingsPanel";
constexpr int kControlIdBase = 100;  // above IDOK and IDCANCEL, which keys send

// P1: grey, a lowered outer bevel, and the commands of its buttons passed on. It calls
// only system functions (the dialog's own procedure guards the commands it is sent),
// so no exception can arise here.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT r;
      ::GetClientRect(hwnd, &r);
      ::SetBkColor(dc, ToCOLORREF(kSettingsPanelColor));
      ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
      ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

void RegisterClasses() {
  RegisterClassOnce(kSettingsClassName,
                    {.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), .icon = L"MAINICON"});
  // The panels of the pages have a plain procedure of their own.
  RegisterClassOnce(kSettingsPanelClassName, {.procedure = PanelProc});
}

Rect Offset(const Rect& r, int dx, int dy) { return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

}  // namespace

SettingsDialog::~SettingsDialog() { DestroyOwnWindow(); }

void SettingsDialog::Create() {
  RegisterClasses();
  xpButtons_.clear();
  // No WS_CLIPCHILDREN: a group box paints only its frame, the dialog paints inside it.
  constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  constexpr DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT outer{0, 0, kSettingsClientSize.x, kSettingsClientSize.y};
  ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const Point screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const Rect bounds = CentredOnScreen(FromRECT(outer), screen);
  CreateWindowOrThrow("settings dialog", exStyle, kSettingsClassName, Widen(kSettingsCaption).c_str(), style, bounds,
                      owner_, nullptr, this);
  dialogs_.SetOwner(hwnd_);
  CreateControls();
}

void SettingsDialog::CreateControls() {
  formFont_.reset(CreateFontFor(FontDesc{std::string(kFormFontName), kFormFontHeight, FontStyle::None, clBtnText}));
  fieldFont_.reset(CreateFontFor(
      FontDesc{std::string(kFieldFontName), kFieldFontHeight, FontStyle::None, clWindowText, kCyrillicCharset}));
  std::map<std::string_view, std::pair<HWND, Rect>> parents{{"", {hwnd_, Rect{}}}};
  int id = kControlIdBase;
  for (const SettingsControl& c : SettingsControls()) {
    // Group boxes only frame their controls; those are the dialog's children, placed
    // by the group's origin. P1 is a real parent.
    auto [parent, origin] = parents.at(c.parent);
    const Rect bounds = Offset(c.bounds, origin.left, origin.top);
    const std::wstring caption = Widen(c.caption);
    const HMENU menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND hwnd = nullptr;
    HFONT font = formFont_.get();
    switch (c.kind) {
      case SettingsControlKind::GroupBox:
        hwnd = CreateWindowOrThrow(c.name, 0, L"BUTTON", caption.c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, bounds, parent, menuId,
                                   nullptr);
        parents[c.name] = {parent, bounds};
        break;
      case SettingsControlKind::Label: {
        // A label is as large as its text in the form's font.
        SIZE size{};
        {
          WindowDC dc(hwnd_);
          SelectObjectScope select(dc.get(), formFont_.get());
          if (!::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size)) {
            ThrowApiError("Cannot measure the label " + std::string(c.name), "GetTextExtentPoint32W", ::GetLastError());
          }
        }
        hwnd = CreateWindowOrThrow(c.name, 0, L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                   Rect{bounds.left, bounds.top, bounds.left + size.cx, bounds.top + size.cy}, parent,
                                   menuId, nullptr);
        break;
      }
      case SettingsControlKind::Field:
        hwnd = CreateWindowOrThrow(c.name, WS_EX_CLIENTEDGE, L"EDIT", caption.c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, bounds, parent, menuId,
                                   nullptr);
        fields_[c.field] = hwnd;
        font = fieldFont_.get();
        break;
      case SettingsControlKind::PickButton: {
        // A speed button: reached by the mouse only, never by Tab.
        hwnd = xpButtons_
                   .emplace_back(XPButtonWindow::Speed(parent, id, bounds, "", LoadButtonImage(PickButtonImage(c.command)),
                                                       clBtnFace))
                   ->Handle();
        break;
      }
      case SettingsControlKind::Panel:
        hwnd = CreateWindowOrThrow(c.name, WS_EX_CONTROLPARENT, kSettingsPanelClassName, L"", WS_CHILD | WS_VISIBLE,
                                   bounds, parent, menuId, nullptr);
        panel_ = hwnd;
        parents[c.name] = {hwnd, Rect{}};
        break;
      case SettingsControlKind::PushButton:
        hwnd = xpButtons_
                   .emplace_back(XPButtonWindow::Push(
                       parent, id, bounds, std::string(c.caption),
                       FontDesc{std::string(kFormFontName), kFormFontHeight, FontStyle::None, clBtnText},
                       kSettingsPanelColor))
                   ->Handle();
        if (c.command == SettingsCommand::B_save) save_ = hwnd;
        break;
    }
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    commands_[id++] = c.command;
  }
}

ModalResult SettingsDialog::RunModal() {
  Create();
  form_.Attach(this);
  // Whatever ends the loop, the main window takes input again before this window goes,
  // so the activation returns to it.
  struct Restore {
    SettingsDialog& self;
    ~Restore() {
      ::EnableWindow(self.owner_, TRUE);
      self.form_.Attach(nullptr);
      if (self.hwnd_) {
        DetachWindow(self.hwnd_);
        ::DestroyWindow(self.hwnd_);
        self.hwnd_ = nullptr;
      }
    }
  } restore{*this};
  ::EnableWindow(owner_, FALSE);
  ::ShowWindow(hwnd_, SW_SHOW);
  ShowingErrors(hwnd_, [this] { form_.FormShow(); });
  MSG msg;
  while (!ended_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      ::PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 1);  // for the main loop
      break;
    }
    if (::IsDialogMessageW(hwnd_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return form_.Result();
}

std::string SettingsDialog::FieldText(SettingField field) const {
  HWND edit = fields_.at(field);
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void SettingsDialog::SetFieldText(SettingField field, const std::string& text) {
  settingText_ = true;
  ::SetWindowTextW(fields_.at(field), Widen(text).c_str());
  settingText_ = false;
}

void SettingsDialog::SetSaveEnabled(bool enabled) { ::EnableWindow(save_, enabled); }

void SettingsDialog::FocusField(SettingField field) { ::SetFocus(fields_.at(field)); }

LRESULT SettingsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDCANCEL && lParam == 0) {
        form_.B_closeClick();  // Escape
      } else if (code == EN_CHANGE) {
        if (!settingText_) form_.E_masm_pathChange();
      } else if (code == BN_CLICKED) {
        const auto it = commands_.find(id);
        if (it != commands_.end()) RunSettingsCommand(form_, it->second);
      }
      return 0;
    }
    case WM_CLOSE:
      form_.B_closeClick();
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

}  // namespace vantorel::win32
