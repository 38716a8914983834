// vprobe.dll: loaded into vantorel.exe by the driver's message hook, it reads what
// another process cannot (status bar panel texts behind SB_GETTEXT pointers, the menu
// tree) and sends it back to the driver's window as WM_COPYDATA. It also sees the
// program's own calls of system functions, through the program's import table: it
// counts the GDI objects the program makes and deletes, and it can make a function
// fail as the system would, which no test could provoke from outside.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
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

// Asks the pane for its state and line index (-1: the state only); the text's length,
// or -1 when there is no such line.
LRESULT AskPane(HWND pane, int index, vprobe::PaneQuery& query) {
  static const UINT queryMessage = RegisterWindowMessageW(vprobe::kPaneQueryMessage);
  return SendMessageW(pane, queryMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&query));
}

std::string BuildPane(HWND main) {
  HWND pane = FindDescendant(main, L"TBuildOutput");
  if (!pane) return "error\tno build output pane\n";
  vprobe::PaneQuery state{};
  AskPane(pane, -1, state);
  std::string out = "count " + std::to_string(state.count) + " selected " + std::to_string(state.selected) +
                    " top " + std::to_string(state.firstShown) + " visible " + (IsWindowVisible(pane) ? "1" : "0") + "\n";
  for (int i = 0; i < state.count; ++i) {
    wchar_t text[4096];
    vprobe::PaneQuery query{};
    query.text = text;
    query.size = 4096;
    if (AskPane(pane, i, query) < 0) return "error\tno line " + std::to_string(i) + "\n";
    out += std::to_string(query.kind) + "\t" + vprobe::Escape(Utf8(text, lstrlenW(text))) + "\n";
  }
  return out;
}

std::string BuildPaneItem(HWND main, unsigned index) {
  HWND pane = FindDescendant(main, L"TBuildOutput");
  if (!pane) return "error\tno build output pane\n";
  vprobe::PaneQuery query{};
  if (AskPane(pane, static_cast<int>(index), query) < 0) return "error\tno such item\n";
  RECT r{query.left, query.top, query.right, query.bottom};
  MapWindowPoints(pane, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom) + "\n";
}

std::string GiveCompletionLists(HWND main) {
  HWND editor = FindDescendant(main, L"THLEditor");
  if (!editor) return "error\tno editor\n";
  static const UINT message = RegisterWindowMessageW(vprobe::kCompletionListsMessage);
  const vprobe::CompletionLists lists{"Caption=property Caption\nColor=property Color\nCursor=property Cursor\n",
                                      "for=for loop=for (|;;)/n{/n}\nwhile=while loop=while (|)/n{/n}\n"};
  if (!SendMessageW(editor, message, 0, reinterpret_cast<LPARAM>(&lists))) return "error\tnot taken\n";
  return "given\n";
}

// --- the program's import table ---

// The slot through which the program calls a function of a DLL, or nullptr when it
// does not import that function.
void** ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    const DWORD namesAt = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// Puts a function into a slot and returns the one that was there.
void* Exchange(void** slot, void* function) {
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  void* previous = *slot;
  *slot = function;
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return previous;
}

// One function of the program's imports, replaced while a report needs it.
struct Replaced {
  const char* dll;
  const char* name;
  void* replacement;
  void** slot = nullptr;
  void* original = nullptr;
  long calls = 0;

  bool Install() {
    if (slot) return true;
    slot = ImportSlot(dll, name);
    if (slot) original = Exchange(slot, replacement);
    return slot != nullptr;
  }
  void Remove() {
    if (slot) Exchange(slot, original);
    slot = nullptr;
  }
};

// --- counting GDI objects ---

// The functions that make objects come first, up to kDeleteObject.
enum Counted : std::size_t {
  kCreatePen,
  kExtCreatePen,
  kCreateSolidBrush,
  kCreateBrushIndirect,
  kCreateFontW,
  kCreateFontIndirectW,
  kCreateDIBSection,
  kCreateCompatibleBitmap,
  kCreateCompatibleDC,
  kCreateRectRgn,
  kDeleteObject,
  kDeleteDC,
  kBeginPaint,  // not an object: tells that the frames were painted
  kCountedFunctions
};

extern Replaced counted[kCountedFunctions];

// Counts the call and hands it to the system's function.
template <std::size_t I, class R, class... A>
R WINAPI Count(A... args) {
  ++counted[I].calls;
  return reinterpret_cast<R(WINAPI*)(A...)>(counted[I].original)(args...);
}

template <std::size_t I, class R, class... A>
void* Counter(R(WINAPI*)(A...)) {
  return reinterpret_cast<void*>(&Count<I, R, A...>);
}

Replaced counted[kCountedFunctions] = {
    {"gdi32.dll", "CreatePen", Counter<kCreatePen>(&CreatePen)},
    {"gdi32.dll", "ExtCreatePen", Counter<kExtCreatePen>(&ExtCreatePen)},
    {"gdi32.dll", "CreateSolidBrush", Counter<kCreateSolidBrush>(&CreateSolidBrush)},
    {"gdi32.dll", "CreateBrushIndirect", Counter<kCreateBrushIndirect>(&CreateBrushIndirect)},
    {"gdi32.dll", "CreateFontW", Counter<kCreateFontW>(&CreateFontW)},
    {"gdi32.dll", "CreateFontIndirectW", Counter<kCreateFontIndirectW>(&CreateFontIndirectW)},
    {"gdi32.dll", "CreateDIBSection", Counter<kCreateDIBSection>(&CreateDIBSection)},
    {"gdi32.dll", "CreateCompatibleBitmap", Counter<kCreateCompatibleBitmap>(&CreateCompatibleBitmap)},
    {"gdi32.dll", "CreateCompatibleDC", Counter<kCreateCompatibleDC>(&CreateCompatibleDC)},
    {"gdi32.dll", "CreateRectRgn", Counter<kCreateRectRgn>(&CreateRectRgn)},
    {"gdi32.dll", "DeleteObject", Counter<kDeleteObject>(&DeleteObject)},
    {"gdi32.dll", "DeleteDC", Counter<kDeleteDC>(&DeleteDC)},
    {"user32.dll", "BeginPaint", Counter<kBeginPaint>(&BeginPaint)},
};

// Paints the editor completely, frames times over, and tells what the program made
// and deleted meanwhile.
std::string PaintFrames(HWND main, unsigned frames) {
  HWND editor = FindDescendant(main, L"THLEditor");
  if (!editor) return "error\tno editor\n";
  for (Replaced& f : counted) {
    f.calls = 0;
    f.Install();
  }
  for (unsigned i = 0; i < frames; ++i) RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (Replaced& f : counted) f.Remove();
  long created = 0;
  std::string calls;
  for (std::size_t i = 0; i < kCountedFunctions; ++i) {
    if (i < kDeleteObject) created += counted[i].calls;
    if (counted[i].calls) calls += std::string(counted[i].name) + "\t" + std::to_string(counted[i].calls) + "\n";
  }
  return "frames " + std::to_string(frames) + " painted " + std::to_string(counted[kBeginPaint].calls) + " created " +
         std::to_string(created) + " deleted " + std::to_string(counted[kDeleteObject].calls + counted[kDeleteDC].calls) +
         "\n" + calls;
}

// --- failing calls ---

extern Replaced failing[2];

LPVOID WINAPI GlobalLockFailingOnce(HGLOBAL) {
  failing[0].Remove();
  SetLastError(vprobe::kGlobalLockError);
  return nullptr;
}

BOOL WINAPI GetTextMetricsFailing(HDC, LPTEXTMETRICW) {
  SetLastError(vprobe::kTextMetricsError);
  return FALSE;
}

Replaced failing[2] = {
    {"kernel32.dll", "GlobalLock", reinterpret_cast<void*>(&GlobalLockFailingOnce)},
    {"gdi32.dll", "GetTextMetricsW", reinterpret_cast<void*>(&GetTextMetricsFailing)},
};

std::string FailCall(unsigned which) {
  for (Replaced& f : failing) f.Remove();
  if (which == vprobe::kNoFailure) return "armed\n";
  if (which != vprobe::kGlobalLockOnce && which != vprobe::kGetTextMetricsAlways) return "error\tunknown call\n";
  // The replacement lives in this DLL, which must then stay loaded after the driver
  // that brought it in has gone.
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                          reinterpret_cast<LPCWSTR>(&FailCall), &self)) {
    return "error\tcannot keep the probe loaded\n";
  }
  Replaced& f = failing[which == vprobe::kGlobalLockOnce ? 0 : 1];
  return f.Install() ? "armed\n" : "error\tthe program does not import " + std::string(f.name) + "\n";
}

std::string Report(unsigned operation, unsigned argument, HWND main) {
  switch (operation) {
    case vprobe::kPing: return "pong\n";
    case vprobe::kStatusPanels: return StatusPanels(main);
    case vprobe::kVerticalScrollBar: return VerticalScrollBar(main);
    case vprobe::kToolTip: return ShownToolTip();
    case vprobe::kPaintFrames: return PaintFrames(main, argument);
    case vprobe::kFailCall: return FailCall(argument);
    case vprobe::kBuildPane: return BuildPane(main);
    case vprobe::kBuildPaneItem: return BuildPaneItem(main, argument);
    case vprobe::kCompletionLists: return GiveCompletionLists(main);
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
    const unsigned operation = static_cast<unsigned>(msg->wParam & 0xFF);
    const unsigned argument = static_cast<unsigned>(msg->wParam >> vprobe::kArgumentShift);
    HWND reply = reinterpret_cast<HWND>(msg->lParam);
    std::string text = Report(operation, argument, msg->hwnd);
    COPYDATASTRUCT data{operation, static_cast<DWORD>(text.size()), text.data()};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(reply, WM_COPYDATA, reinterpret_cast<WPARAM>(msg->hwnd),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &ignored);
    // The program's own window procedure need not see the request.
    msg->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, removal, param);
}
