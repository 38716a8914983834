// vprobe.dll: loaded into vantorel.exe by the driver's message hook, it reads what
// another process cannot (status bar panel texts behind SB_GETTEXT pointers, the menu
// tree) and sends it back to the driver's window as WM_COPYDATA.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ProbeProtocol.h"

namespace {

std::string Utf8(const wchar_t* text, int length) {
  if (length <= 0) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

struct ClassSearch {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ClassSearch*>(param);
  wchar_t name[64];
  if (GetClassNameW(hwnd, name, 64) && lstrcmpiW(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindDescendant(HWND parent, const wchar_t* className) {
  ClassSearch search{className, nullptr};
  EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string StatusPanels(HWND main) {
  HWND bar = FindDescendant(main, STATUSCLASSNAMEW);
  if (!bar) return "error\tno status bar\n";
  int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  std::string out;
  for (int i = 0; i < parts; ++i) {
    int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, i, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = LOWORD(SendMessageW(bar, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(text.data())));
    if (copied > length) copied = length;
    out += std::to_string(i) + "\t" + vprobe::Escape(Utf8(text.data(), copied)) + "\n";
  }
  return out;
}

void MenuTree(HMENU menu, const std::string& prefix, std::string& out) {
  int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
    if (!GetMenuItemInfoW(menu, pos, TRUE, &info)) continue;
    std::wstring caption(info.cch + 1, L'\0');
    info.dwTypeData = caption.data();
    info.cch += 1;
    GetMenuItemInfoW(menu, pos, TRUE, &info);
    std::string path = prefix + std::to_string(pos);
    const char* kind = info.hSubMenu                   ? "sub"
                       : (info.fType & MFT_SEPARATOR)  ? "sep"
                       : (info.fState & MFS_CHECKED)   ? "checked"
                                                       : "item";
    out += path + "\t" + std::to_string(info.wID) + "\t" + kind + "\t" +
           vprobe::Escape(Utf8(caption.c_str(), lstrlenW(caption.c_str()))) + "\n";
    if (info.hSubMenu) MenuTree(info.hSubMenu, path + "/", out);
  }
}

std::string VerticalScrollBar(HWND main) {
  HWND editor = FindDescendant(main, L"THLEditor");
  if (!editor) return "error\tno editor\n";
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  if (!(GetWindowLongW(editor, GWL_STYLE) & WS_VSCROLL) || !GetScrollInfo(editor, SB_VERT, &si) ||
      !GetScrollBarInfo(editor, OBJID_VSCROLL, &bar)) {
    return "none\n";
  }
  const RECT& r = bar.rcScrollBar;
  return std::to_string(si.nPos) + " " + std::to_string(si.nMin) + " " + std::to_string(si.nMax) + " " +
         std::to_string(si.nPage) + " " + std::to_string(bar.xyThumbTop) + " " + std::to_string(bar.xyThumbBottom) +
         " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom) + "\n";
}

std::string ShownToolTip() {
  struct Search {
    HWND shown = nullptr;
  } search;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) {
        wchar_t name[64];
        if (IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 64) && lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
          reinterpret_cast<Search*>(param)->shown = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.shown) return "\n";
  wchar_t text[256] = L"";
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  if (!SendMessageW(search.shown, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return "\n";
  return vprobe::Escape(Utf8(text, lstrlenW(text))) + "\n";
}

std::string Report(unsigned operation, HWND main) {
  switch (operation) {
    case vprobe::kPing: return "pong\n";
    case vprobe::kStatusPanels: return StatusPanels(main);
    case vprobe::kVerticalScrollBar: return VerticalScrollBar(main);
    case vprobe::kToolTip: return ShownToolTip();
    case vprobe::kMenuTree: {
      std::string out;
      if (HMENU menu = GetMenu(main)) MenuTree(menu, "", out);
      return out;
    }
    default: return "error\tunknown operation\n";
  }
}

}  // namespace

// Runs in the program's GUI thread each time it takes a message from its queue.
extern "C" __declspec(dllexport) LRESULT CALLBACK VantorelProbeHook(int code, WPARAM removal, LPARAM param) {
  static const UINT request = RegisterWindowMessageW(vprobe::kRequestMessage);
  auto* msg = reinterpret_cast<MSG*>(param);
  // A PM_NOREMOVE peek shows the same message again later; answer only once.
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == request) {
    unsigned operation = static_cast<unsigned>(msg->wParam);
    HWND reply = reinterpret_cast<HWND>(msg->lParam);
    std::string text = Report(operation, msg->hwnd);
    COPYDATASTRUCT data{operation, static_cast<DWORD>(text.size()), text.data()};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(reply, WM_COPYDATA, reinterpret_cast<WPARAM>(msg->hwnd),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &ignored);
    // The program's own window procedure need not see the request.
    msg->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removal, param);
}
