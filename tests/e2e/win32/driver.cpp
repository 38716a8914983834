// vdriver.exe: runs beside vantorel.exe under Wine and answers one question or performs
// one action per invocation, for the end-to-end tests. Results go to stdout as UTF-8;
// a failure exits with 2 and a message on stderr.
//
// What crosses processes (window text, rectangles, WM_GETTEXT, posted commands) is
// done from here; what does not (status bar texts, menus) is read inside the program
// by vprobe.dll, which a message hook on the program's GUI thread loads into it.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProbeProtocol.h"

namespace {

constexpr wchar_t kMainClass[] = L"TFmain";
constexpr wchar_t kEditorClass[] = L"THLEditor";
constexpr DWORD kProbeTimeoutMs = 10000;

struct Failure {
  std::string message;
};

struct Usage {};

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

// Wine turns the Unix command line into Unicode with the Unix locale's character set,
// which mangles non-ASCII text when that locale is not installed. The tests therefore
// pass such text as %XX-escaped UTF-8 bytes; plain text passes through unchanged.
std::wstring DecodeArgument(const std::wstring& argument) {
  std::string bytes = Utf8(argument);
  std::string decoded;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '%' && i + 2 < bytes.size() && std::isxdigit(static_cast<unsigned char>(bytes[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(bytes[i + 2]))) {
      decoded += static_cast<char>(std::stoi(bytes.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += bytes[i];
    }
  }
  return Wide(decoded);
}

void Print(const std::string& line) {
  std::string text = line + "\n";
  std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string Hex(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)));
  return text;
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
         std::to_string(r.bottom);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

std::wstring TextOf(HWND hwnd) {
  // For another process's window this reads the text the system holds; it sends
  // nothing, so a busy program cannot block it.
  int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

HWND MainWindow() {
  HWND main = FindWindowW(kMainClass, nullptr);
  if (!main) throw Failure{"the main window (class TFmain) does not exist"};
  return main;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Descendant(HWND parent, const wchar_t* className) {
  for (HWND hwnd : Descendants(parent))
    if (lstrcmpiW(ClassOf(hwnd).c_str(), className) == 0) return hwnd;
  throw Failure{"no child window of class " + Utf8(className) + " under the main window"};
}

HWND Editor() { return Descendant(MainWindow(), kEditorClass); }

// The completion's drop-down list while it shows.
HWND CompletionList() {
  HWND list = FindWindowW(L"TEditorCompletionList", nullptr);
  if (!list || !IsWindowVisible(list)) throw Failure{"no completion list shows"};
  return list;
}

// --- typed messages to the editor ---

LRESULT EditorTextLength(HWND editor) { return SendMessageA(editor, WM_GETTEXTLENGTH, 0, 0); }

LRESULT EditorText(HWND editor, std::vector<char>& buffer) {
  return SendMessageA(editor, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
}

void TypeByte(HWND editor, unsigned char byte) { SendMessageA(editor, WM_CHAR, byte, 1); }

// --- reading inside the program ---

class ReplyWindow {
 public:
  ReplyWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantorelProbeReply";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    if (!hwnd_) throw Failure{"cannot create the reply window"};
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ReplyWindow() { DestroyWindow(hwnd_); }
  ReplyWindow(const ReplyWindow&) = delete;
  ReplyWindow& operator=(const ReplyWindow&) = delete;

  HWND Handle() const { return hwnd_; }

  std::optional<std::string> Wait(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!reply_) {
      DWORD elapsed = GetTickCount() - start;
      if (elapsed >= timeoutMs) return std::nullopt;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return reply_;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
      auto* self = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (self && data) self->reply_ = std::string(static_cast<const char*>(data->lpData), data->cbData);
      return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  std::optional<std::string> reply_;
};

std::wstring ProbePath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1) + L"vprobe.dll";
}

class Hook {
 public:
  explicit Hook(DWORD thread) {
    std::wstring path = ProbePath();
    module_ = LoadLibraryW(path.c_str());
    if (!module_) throw Failure{"cannot load " + Utf8(path)};
    // FARPROC's type is a placeholder; going through void* says so to the compiler.
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, vprobe::kHookProcName)));
    if (!proc) throw Failure{"vprobe.dll does not export the hook procedure"};
    // The system loads the DLL into the program the first time the hook runs there.
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, proc, module_, thread);
    if (!hook_) throw Failure{"SetWindowsHookExW failed, error " + std::to_string(GetLastError())};
  }
  ~Hook() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (module_) FreeLibrary(module_);
  }
  Hook(const Hook&) = delete;
  Hook& operator=(const Hook&) = delete;

 private:
  HMODULE module_ = nullptr;
  HHOOK hook_ = nullptr;
};

std::string AskProbe(vprobe::Operation operation, unsigned argument = 0) {
  HWND main = MainWindow();
  DWORD thread = GetWindowThreadProcessId(main, nullptr);
  ReplyWindow reply;
  Hook hook(thread);
  static const UINT request = RegisterWindowMessageW(vprobe::kRequestMessage);
  const WPARAM what = operation | (static_cast<WPARAM>(argument) << vprobe::kArgumentShift);
  if (!PostMessageW(main, request, what, reinterpret_cast<LPARAM>(reply.Handle())))
    throw Failure{"cannot post the request to the main window"};
  std::optional<std::string> text = reply.Wait(kProbeTimeoutMs);
  if (!text) throw Failure{"the probe did not answer (is the program's GUI thread busy?)"};
  return *text;
}

std::vector<std::string> Split(std::string_view text, char separator, std::size_t maxFields = std::string::npos) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() + 1 < maxFields) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) break;
    fields.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  fields.emplace_back(text.substr(start));
  return fields;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = Split(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

struct MenuEntry {
  std::string path;  // "0/2/0"
  UINT id = 0;
  std::string kind;
  std::string caption;
};

std::vector<MenuEntry> MenuTree() {
  std::vector<MenuEntry> entries;
  for (const std::string& line : Lines(AskProbe(vprobe::kMenuTree))) {
    std::vector<std::string> fields = Split(line, '\t', 4);
    if (fields.size() != 4) throw Failure{"bad menu line from the probe: " + line};
    entries.push_back({fields[0], static_cast<UINT>(std::stoul(fields[1])), fields[2], vprobe::Unescape(fields[3])});
  }
  return entries;
}

// A menu path element names an item by its caption without the shortcut text after a
// tab and without the '&' that marks a mnemonic.
std::string MenuLabel(const std::string& caption) {
  std::string label;
  for (std::size_t i = 0; i < caption.size() && caption[i] != '\t'; ++i) {
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] != '&') continue;
    label += caption[i];
  }
  return label;
}

std::string ParentPath(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

const MenuEntry& FindMenuItem(const std::vector<MenuEntry>& tree, const std::string& captionPath) {
  std::string parent;
  const MenuEntry* found = nullptr;
  for (const std::string& element : Split(captionPath, '/')) {
    found = nullptr;
    for (const MenuEntry& entry : tree)
      if (ParentPath(entry.path) == parent && entry.kind != "sep" && MenuLabel(entry.caption) == element) {
        found = &entry;
        break;
      }
    if (!found) {
      std::string known;
      for (const MenuEntry& entry : tree)
        if (ParentPath(entry.path) == parent) known += " [" + entry.caption + "]";
      throw Failure{"no menu item \"" + element + "\" here; the items are" + known};
    }
    parent = found->path;
  }
  return *found;
}

// --- commands ---

// A visible top-level window of the program's process: "find" names the system's find
// dialog (class #32770), anything else is a caption.
HWND ProgramWindow(const std::wstring& which) {
  DWORD process = 0;
  GetWindowThreadProcessId(MainWindow(), &process);
  struct Search {
    DWORD process;
    const std::wstring& which;
    HWND found;
  } search{process, which, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->process || !IsWindowVisible(hwnd)) return TRUE;
        const bool match = s->which == L"find" ? ClassOf(hwnd) == L"#32770" : TextOf(hwnd) == s->which;
        if (match) s->found = hwnd;
        return match ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) throw Failure{"no window \"" + Utf8(which) + "\" is shown"};
  return search.found;
}

std::wstring SentText(HWND hwnd) {
  wchar_t text[1024] = L"";
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
  return std::wstring(text, static_cast<std::size_t>(copied));
}

// The children of a program window, one a line: class, id, text (WM_GETTEXT), 1 when
// enabled, 1 when visible, and the rectangle in the window's client coordinates.
int DialogDump(const std::wstring& which) {
  HWND dialog = ProgramWindow(which);
  for (HWND hwnd : Descendants(dialog)) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    Print(Utf8(ClassOf(hwnd)) + "\t" + std::to_string(GetDlgCtrlID(hwnd)) + "\t" + Utf8(SentText(hwnd)) + "\t" +
          (IsWindowEnabled(hwnd) ? "1" : "0") + "\t" + (IsWindowVisible(hwnd) ? "1" : "0") + "\t" + RectText(r));
  }
  return 0;
}

// The screen rectangle of the child of a program window whose text is the given one.
int ControlRect(const std::wstring& which, const std::wstring& text) {
  for (HWND hwnd : Descendants(ProgramWindow(which))) {
    if (SentText(hwnd) != text) continue;
    RECT r;
    GetWindowRect(hwnd, &r);
    Print(RectText(r));
    return 0;
  }
  throw Failure{"no control \"" + Utf8(text) + "\" in that window"};
}

// The n-th edit field of a program window (0-based).
HWND DialogEdit(HWND dialog, int n) {
  for (HWND hwnd : Descendants(dialog))
    if (lstrcmpiW(ClassOf(hwnd).c_str(), L"Edit") == 0 && n-- == 0) return hwnd;
  throw Failure{"the window has no such edit field"};
}

// Sets a field's text as typing would: the field reports the change to its window.
int DialogSet(const std::wstring& which, int n, const std::wstring& text) {
  HWND edit = DialogEdit(ProgramWindow(which), n);
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                           &ignored))
    throw Failure{"the field did not take the text"};
  return 0;
}

// Presses a button of a program window, named by its text or by its control id;
// posted, since the press may open a modal window.
// The system's buttons and the program's own XP-look ones.
bool IsButtonClass(HWND hwnd) {
  const std::wstring name = ClassOf(hwnd);
  return lstrcmpiW(name.c_str(), L"Button") == 0 || name == L"TXPButton" || name == L"TXPSpeedButton";
}

int DialogClick(const std::wstring& which, const std::wstring& button) {
  HWND dialog = ProgramWindow(which);
  for (HWND hwnd : Descendants(dialog)) {
    if (!IsButtonClass(hwnd)) continue;
    if (SentText(hwnd) == button || std::to_wstring(GetDlgCtrlID(hwnd)) == button) {
      if (!PostMessageW(hwnd, BM_CLICK, 0, 0)) throw Failure{"cannot post BM_CLICK"};
      return 0;
    }
  }
  throw Failure{"no button \"" + Utf8(button) + "\" in that window"};
}

int Wait(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND main = FindWindowW(kMainClass, nullptr);
    if (main && IsWindowVisible(main)) {
      Print(Hex(main));
      return 0;
    }
    if (GetTickCount() - start >= timeoutMs) throw Failure{"the main window did not appear in time"};
    Sleep(50);
  }
}

HWND NamedWindow(const std::wstring& name) {
  if (name == L"main") return MainWindow();
  if (name == L"editor") return Editor();
  if (name == L"status") return Descendant(MainWindow(), STATUSCLASSNAMEW);
  if (name == L"list") return CompletionList();
  if (name == L"pane") return Descendant(MainWindow(), L"TBuildOutput");
  if (name == L"menu") {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) throw Failure{"no pop-up menu shows"};
    return menu;
  }
  throw Usage{};
}

int EditorTextToFile(const std::wstring& file) {
  HWND editor = Editor();
  LRESULT length = EditorTextLength(editor);
  if (length < 0) throw Failure{"WM_GETTEXTLENGTH returned a negative length"};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 64, '\0');
  LRESULT count = EditorText(editor, buffer);
  std::size_t size = 0;
  while (size < buffer.size() && buffer[size] != '\0') ++size;
  if (count >= 0 && static_cast<std::size_t>(count) < size) size = static_cast<std::size_t>(count);
  FILE* out = _wfopen(file.c_str(), L"wb");
  if (!out) throw Failure{"cannot write " + Utf8(file)};
  std::fwrite(buffer.data(), 1, size, out);
  std::fclose(out);
  Print(std::to_string(count) + " " + std::to_string(length));
  return 0;
}

int Panel(int index) {
  for (const std::string& line : Lines(AskProbe(vprobe::kStatusPanels))) {
    std::vector<std::string> fields = Split(line, '\t', 2);
    if (fields.size() == 2 && fields[0] == std::to_string(index)) {
      std::string text = vprobe::Unescape(fields[1]);
      // The control centres a panel's text when the text starts with a tab.
      if (!text.empty() && text[0] == '\t') text.erase(0, 1);
      Print(text);
      return 0;
    }
    if (fields[0] == "error") throw Failure{"probe: " + (fields.size() > 1 ? fields[1] : std::string())};
  }
  throw Failure{"the status bar has no panel " + std::to_string(index)};
}

int Menu(const std::string& captionPath) {
  std::vector<MenuEntry> tree = MenuTree();
  const MenuEntry& item = FindMenuItem(tree, captionPath);
  if (item.kind != "item" && item.kind != "checked") throw Failure{"\"" + captionPath + "\" is not a command item"};
  if (!PostMessageW(MainWindow(), WM_COMMAND, MAKEWPARAM(item.id, 0), 0))
    throw Failure{"cannot post WM_COMMAND to the main window"};
  Print(std::to_string(item.id));
  return 0;
}

int MenuCaption(const std::string& positionPath) {
  for (const MenuEntry& entry : MenuTree())
    if (entry.path == positionPath) {
      Print(entry.caption);
      return 0;
    }
  throw Failure{"no menu item at position " + positionPath};
}

int MenuDump() {
  for (const MenuEntry& entry : MenuTree())
    Print(entry.path + "\t" + std::to_string(entry.id) + "\t" + entry.kind + "\t" + vprobe::Escape(entry.caption));
  return 0;
}

int TypeText(const std::wstring& text) {
  HWND editor = Editor();
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  for (char byte : bytes) TypeByte(editor, static_cast<unsigned char>(byte));
  return 0;
}

// How long the program takes for what a message asks, in milliseconds: the characters
// of a text sent one WM_CHAR at a time, or one posted-command message (WM_USER + 0x101)
// handled synchronously. Printed for the record; nothing is asserted on it.
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int TimeChars(const std::wstring& text) {
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  TypeText(text);
  // A paint the characters left waiting is part of their cost.
  UpdateWindow(Editor());
  QueryPerformanceCounter(&to);
  Print(std::to_string(Milliseconds(from, to)));
  return 0;
}

int TimeCommand(const std::wstring& code) {
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  SendMessageA(Editor(), WM_USER + 0x101, static_cast<WPARAM>(std::stoi(code)), 0);
  QueryPerformanceCounter(&to);
  Print(std::to_string(Milliseconds(from, to)));
  return 0;
}

HWND ButtonByHint(const std::wstring& hint) {
  std::string known;
  for (HWND hwnd : Descendants(MainWindow())) {
    if (!IsButtonClass(hwnd)) continue;
    std::wstring text = TextOf(hwnd);
    if (text == hint) return hwnd;
    known += " [" + Utf8(text) + "]";
  }
  throw Failure{"no button \"" + Utf8(hint) + "\"; the buttons are" + known};
}

// A palette button clicked: its handler types the button's code into the editor inside
// the program, one WM_CHAR at a time; the time runs until the editor has painted.
int TimePalette(const std::wstring& hint) {
  HWND button = ButtonByHint(hint);
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  SendMessageW(button, BM_CLICK, 0, 0);
  UpdateWindow(Editor());
  QueryPerformanceCounter(&to);
  Print(std::to_string(Milliseconds(from, to)));
  return 0;
}

// The same characters typed into a multiline EDIT control of the system in this
// process, with a notepad's scroll bars, as wide as the program's editor and in its
// font: the yardstick the program's typing is measured against. With the visual
// themes on, Wine draws a scroll bar anew in the theme's images on every character
// the control scrolls, 20 to 50 times slower than a notepad without them; the test
// that asks for it turns the themes off. Rounds of it, each in an emptied control;
// the times are printed in milliseconds, one a line.
int TimeEditControl(const std::wstring& text, int width, int rounds) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantorelYardstick";
  RegisterClassW(&wc);
  RECT frame{0, 0, width, 400};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND top = CreateWindowExW(0, wc.lpszClassName, L"yardstick", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, wc.hInstance, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_HSCROLL | WS_VSCROLL |
                                  ES_AUTOHSCROLL | ES_AUTOVSCROLL, 0, 0, width, 400, top, nullptr, wc.hInstance, nullptr);
  if (!top || !edit) throw Failure{"cannot create the EDIT control"};
  HFONT font = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SetFocus(edit);
  // The window settles (shown, mapped, painted) before anything is timed.
  for (int i = 0; i < 30; ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  const std::string bytes = Utf8(text);
  for (int round = 0; round < rounds; ++round) {
    SetWindowTextW(edit, L"");
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    UpdateWindow(edit);
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    for (char byte : bytes) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(byte), 1);
    UpdateWindow(edit);
    QueryPerformanceCounter(&to);
    Print(std::to_string(Milliseconds(from, to)));
  }
  DestroyWindow(top);
  DeleteObject(font);
  return 0;
}

int Button(const std::wstring& hint) {
  RECT r;
  GetWindowRect(ButtonByHint(hint), &r);
  Print(RectText(r));
  return 0;
}

// The clipboard as another program sees it: its text, and text put there as another
// program would put it (no block type).
int ClipboardGet() {
  bool open = false;
  for (int attempt = 0; attempt < 20 && !(open = OpenClipboard(nullptr)); ++attempt) Sleep(25);
  // A clipboard that stays open is a fault of whoever holds it, not an empty one.
  if (!open) throw Failure{"the clipboard stays open, error " + std::to_string(GetLastError())};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text.assign(p, strnlen(p, GlobalSize(data)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  Print(text);
  return 0;
}

int ClipboardSet(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(25);
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  std::memcpy(GlobalLock(memory), bytes.c_str(), bytes.size() + 1);
  GlobalUnlock(memory);
  const bool ok = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  return ok ? 0 : 1;
}

int Focus() {
  DWORD thread = GetWindowThreadProcessId(MainWindow(), nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info)) throw Failure{"GetGUIThreadInfo failed"};
  Print(info.hwndFocus ? Utf8(ClassOf(info.hwndFocus)) : std::string());
  return 0;
}

// Opens the file as another program that reads it would, sharing reading and writing
// but not deletion, or as one that writes it ("write": write access, sharing reading
// only), says so, and keeps it open for the given time.
int Hold(const std::wstring& path, DWORD milliseconds, const std::wstring& mode) {
  if (!mode.empty() && mode != L"write") throw Usage{};
  const bool writing = mode == L"write";
  HANDLE file = CreateFileW(path.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                            writing ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Failure{"cannot open " + Utf8(path) + ": " + std::to_string(GetLastError())};
  Print("held");
  std::fflush(stdout);
  Sleep(milliseconds);
  CloseHandle(file);
  return 0;
}

// Visible top-level windows of the program's process: the main window and any box
// or dialog it shows.
int TopLevel() {
  DWORD process = 0;
  GetWindowThreadProcessId(MainWindow(), &process);
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->process && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (HWND hwnd : search.found) Print(Hex(hwnd) + "\t" + Utf8(ClassOf(hwnd)) + "\t" + Utf8(TextOf(hwnd)));
  return 0;
}

// The system caret of the program's thread: its window's class and its rectangle in
// that window's client coordinates.
int Caret() {
  DWORD thread = GetWindowThreadProcessId(MainWindow(), nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info)) throw Failure{"GetGUIThreadInfo failed"};
  if (!info.hwndCaret) throw Failure{"the program shows no caret"};
  Print(Utf8(ClassOf(info.hwndCaret)) + " " + RectText(info.rcCaret));
  return 0;
}

// EM_SETSEL and EM_GETSEL carry no pointers here, so they cross processes.
int SetSel(const std::wstring& start, const std::wstring& end) {
  SendMessageA(Editor(), EM_SETSEL, static_cast<WPARAM>(std::stol(start)), static_cast<LPARAM>(std::stol(end)));
  return 0;
}

int GetSel() {
  const LRESULT r = SendMessageA(Editor(), EM_GETSEL, 0, 0);
  Print(r == -1 ? std::string("-1") : std::to_string(LOWORD(r)) + " " + std::to_string(HIWORD(r)));
  return 0;
}

// The system's text for an error code, as the program shows it after its own words.
int ErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  if (text.empty()) throw Failure{"the system has no text for error " + std::to_string(code)};
  Print(Utf8(text));
  return 0;
}

vprobe::FailingCall FailingCallNamed(const std::wstring& name) {
  if (name == L"none") return vprobe::kNoFailure;
  if (name == L"GlobalLock") return vprobe::kGlobalLockOnce;
  if (name == L"GetTextMetricsW") return vprobe::kGetTextMetricsAlways;
  throw Usage{};
}

// What the probe answered, or a failure when it answered an error.
std::string ProbeAnswer(vprobe::Operation operation, unsigned argument) {
  std::string report = AskProbe(operation, argument);
  if (report.rfind("error\t", 0) == 0) throw Failure{"probe: " + report.substr(6)};
  while (!report.empty() && report.back() == '\n') report.pop_back();
  return report;
}

int Xid() {
  auto id = reinterpret_cast<UINT_PTR>(GetPropA(MainWindow(), "__wine_x11_whole_window"));
  if (!id) throw Failure{"the main window has no X11 window (not running under Wine's X11 driver?)"};
  Print(std::to_string(id));
  return 0;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.empty()) throw Usage{};
  const std::wstring& command = args[0];
  auto arg = [&](std::size_t i) -> const std::wstring& {
    if (i >= args.size()) throw Usage{};
    return args[i];
  };
  if (command == L"wait") return Wait(args.size() > 1 ? std::wcstoul(args[1].c_str(), nullptr, 10) : 10000);
  if (command == L"caption") {
    Print(Utf8(TextOf(MainWindow())));
    return 0;
  }
  if (command == L"rect") {
    RECT r;
    GetWindowRect(NamedWindow(arg(1)), &r);
    Print(RectText(r));
    return 0;
  }
  if (command == L"client") {
    HWND hwnd = NamedWindow(arg(1));
    RECT r;
    GetClientRect(hwnd, &r);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    Print(RectText(r));
    return 0;
  }
  if (command == L"screen") {
    Print(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    return 0;
  }
  if (command == L"editor-text") return EditorTextToFile(arg(1));
  if (command == L"panel") return Panel(std::stoi(arg(1)));
  if (command == L"menu") return Menu(Utf8(arg(1)));
  if (command == L"menu-caption") return MenuCaption(Utf8(arg(1)));
  if (command == L"menu-dump") return MenuDump();
  if (command == L"ping") {
    Print(Lines(AskProbe(vprobe::kPing)).at(0));
    return 0;
  }
  if (command == L"close") {
    if (!PostMessageW(MainWindow(), WM_CLOSE, 0, 0)) throw Failure{"cannot post WM_CLOSE"};
    return 0;
  }
  if (command == L"exists") return FindWindowW(kMainClass, nullptr) ? 0 : 1;
  if (command == L"xid") return Xid();
  if (command == L"char") return TypeText(arg(1));
  if (command == L"button") return Button(arg(1));
  if (command == L"focus") return Focus();
  if (command == L"caret") return Caret();
  if (command == L"setsel") return SetSel(arg(1), arg(2));
  if (command == L"clip-get") return ClipboardGet();
  if (command == L"time-char") return TimeChars(arg(1));
  if (command == L"time-command") return TimeCommand(arg(1));
  if (command == L"time-palette") return TimePalette(arg(1));
  if (command == L"repaint-now") {
    // The whole editor painted anew before the answer.
    RedrawWindow(Editor(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return 0;
  }
  if (command == L"time-edit-control") return TimeEditControl(arg(1), std::stoi(arg(2)), std::stoi(arg(3)));
  if (command == L"clip-set") return ClipboardSet(arg(1));
  if (command == L"getsel") return GetSel();
  if (command == L"style") {
    Print(std::to_string(GetWindowLongW(Editor(), GWL_STYLE)));
    return 0;
  }
  if (command == L"tooltip") {
    std::string report = AskProbe(vprobe::kToolTip);
    while (!report.empty() && report.back() == '\n') report.pop_back();
    Print(vprobe::Unescape(report));
    return 0;
  }
  if (command == L"vscroll") {
    std::string report = AskProbe(vprobe::kVerticalScrollBar);
    while (!report.empty() && report.back() == '\n') report.pop_back();
    Print(report);
    return 0;
  }
  if (command == L"toplevel") return TopLevel();
  if (command == L"dialog") return DialogDump(arg(1));
  if (command == L"dialog-set") return DialogSet(arg(1), std::stoi(arg(2)), arg(3));
  if (command == L"dialog-click") return DialogClick(arg(1), arg(2));
  if (command == L"control-rect") return ControlRect(arg(1), arg(2));
  if (command == L"hold") return Hold(arg(1), std::wcstoul(arg(2).c_str(), nullptr, 10), args.size() > 3 ? args[3] : L"");
  if (command == L"repaint") {
    // Another program may ask for a repaint; the window paints when it next looks at its queue.
    if (!InvalidateRect(Editor(), nullptr, FALSE)) throw Failure{"InvalidateRect failed"};
    return 0;
  }
  if (command == L"copy") {
    SendMessageA(Editor(), WM_COPY, 0, 0);
    return 0;
  }
  if (command == L"error-text") return ErrorText(std::wcstoul(arg(1).c_str(), nullptr, 10));
  if (command == L"paint-frames") {
    Print(ProbeAnswer(vprobe::kPaintFrames, static_cast<unsigned>(std::wcstoul(arg(1).c_str(), nullptr, 10))));
    return 0;
  }
  if (command == L"pane") {
    const std::vector<std::string> lines = Lines(ProbeAnswer(vprobe::kBuildPane, 0));
    for (const std::string& line : lines) Print(vprobe::Unescape(line));
    return 0;
  }
  if (command == L"completion-lists") {
    Print(ProbeAnswer(vprobe::kCompletionLists, 0));
    return 0;
  }
  if (command == L"pane-item") {
    Print(ProbeAnswer(vprobe::kBuildPaneItem, static_cast<unsigned>(std::wcstoul(arg(1).c_str(), nullptr, 10))));
    return 0;
  }
  if (command == L"fail") {
    Print(ProbeAnswer(vprobe::kFailCall, FailingCallNamed(arg(1))));
    return 0;
  }
  throw Usage{};
}

constexpr char kUsage[] =
    "usage: vdriver COMMAND [ARG]\n"
    "  wait [timeout_ms]     wait for the visible main window, print its handle\n"
    "  caption               main window text\n"
    "  rect main|editor|status|list|menu, client main|editor|status|list|menu\n"
    "                        screen rectangle \"left top right bottom\" (list: the completion's\n"
    "                        drop-down list, menu: an open pop-up menu; an error while none shows)\n"
    "  screen                screen width and height\n"
    "  editor-text FILE      editor's WM_GETTEXT bytes to FILE; prints \"count length\"\n"
    "  panel N               status bar panel N\n"
    "  menu PATH             run the menu item with captions PATH (\"Файл/завершить работу\")\n"
    "  menu-caption POS      caption of the item at position path POS (\"0/2/0\")\n"
    "  menu-dump             the whole menu tree\n"
    "  ping                  check that the probe answers\n"
    "  close                 post WM_CLOSE to the main window\n"
    "  exists                exit 0 when the main window exists, 1 otherwise\n"
    "  xid                   X11 window id of the main window\n"
    "  char TEXT             send WM_CHAR for each ANSI byte of TEXT to the editor\n"
    "  button HINT           screen rectangle of the button whose text is HINT\n"
    "  focus                 class of the window with the keyboard focus\n"
    "  toplevel              visible top-level windows of the program's process\n"
    "  caret                 the caret's window class and client rectangle\n"
    "  tooltip               the text of the tool tip shown now\n"
    "  style                 the editor window's style bits (decimal)\n"
    "  vscroll               the editor's vertical bar: pos min max page thumbTop thumbBottom rect\n"
    "  dialog WIN            children of the program's window WIN (a caption, or \"find\" for the\n"
    "                        find dialog): class, id, text, enabled, visible, client rect\n"
    "  dialog-set WIN N TEXT set the N-th edit field of WIN to TEXT as typing would\n"
    "  dialog-click WIN B    press the button of WIN with the text or control id B\n"
    "  control-rect WIN T    screen rectangle of the control of WIN whose text is T\n"
    "  hold FILE MS [write]  keep FILE open (no delete sharing) for MS ms; prints \"held\" once open;\n"
    "                        \"write\" opens it for writing, sharing reading only\n"
    "  repaint               mark the editor's whole window for repainting\n"
    "  copy                  send WM_COPY to the editor\n"
    "  error-text CODE       the system's text for an error code\n"
    "  paint-frames N        paint the editor N times; GDI objects the program made and deleted\n"
    "  fail CALL             make GlobalLock (once) or GetTextMetricsW (until \"fail none\") fail\n"
    "                        in the program\n"
    "  pane                  the build output pane: \"count N selected S top T visible V\", then\n"
    "                        \"kind<TAB>text\" per line (kind 0 text, 1 error, 2 warning)\n"
    "  pane-item N           screen rectangle of the pane's line N\n"
    "  completion-lists      give the editor's completion the list tests' lists\n"
    "Arguments may carry UTF-8 bytes escaped as %XX.\n";

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(DecodeArgument(argv[i]));
  try {
    int code = Run(args);
    std::fflush(stdout);
    return code;
  } catch (const Usage&) {
    std::fputs(kUsage, stderr);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "vdriver: %s\n", failure.message.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vdriver: %s\n", error.what());
  }
  return 2;
}
