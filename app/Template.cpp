#include "app/Template.h"

namespace vantorel {

namespace {

// A semicolon, a blank and 73 bytes 0xAB ('«' in Windows-1251).
constexpr std::string_view kSeparator =
    "; \xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB"
    "\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB"
    "\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB\xAB";

constexpr std::string_view kLines[] = {
    ".486",
    ".model flat, stdcall",
    " option casemap :none",
    kSeparator,
    "",
    "include \\masm32\\include\\windows.inc",
    "include \\masm32\\include\\user32.inc",
    "include \\masm32\\include\\kernel32.inc",
    "",
    "includelib \\masm32\\lib\\user32.lib",
    "includelib \\masm32\\lib\\kernel32.lib",
    "",
    "WinMain PROTO :DWORD,:DWORD,:DWORD,:DWORD",
    "WndProc PROTO :DWORD,:DWORD,:DWORD,:DWORD",
    kSeparator,
    "",
    ".DATA",
    "  FormCaption  db \"Form1\", 0",
    "  FormClass    db \"TForm1\", 0",
    "  hWnd         dd 0",
    "  hInstance    dd 0",
    "",
    ".DATA?",
    "",
    ".CODE",
    "",
    "start:",
    "       invoke GetModuleHandle, NULL",
    "       mov hInstance, EAX",
    "       invoke WinMain, hInstance, NULL, NULL, SW_SHOWDEFAULT",
    "       invoke ExitProcess, EAX",
    "",
    kSeparator,
    "  WinMain proc hInst :DWORD, hPrevInst :DWORD, CmdLine :DWORD, CmdShow :DWORD",
    "        LOCAL wc  :WNDCLASSEX",
    "        LOCAL msg :MSG",
    "",
    "        mov wc.cbSize,           sizeof WNDCLASSEX",
    "        mov wc.style,            CS_HREDRAW or CS_VREDRAW or CS_BYTEALIGNWINDOW",
    "        mov wc.lpfnWndProc,      offset WndProc",
    "        mov wc.cbClsExtra,       NULL",
    "        mov wc.cbWndExtra,       NULL",
    "        push hInst",
    "        pop wc.hInstance",
    "        mov wc.hbrBackground,    COLOR_BTNFACE+1",
    "        mov wc.lpszMenuName,     NULL",
    "        mov wc.lpszClassName,    offset FormClass",
    "        invoke LoadIcon, hInst,  500",
    "        mov wc.hIcon,            EAX",
    "        invoke LoadCursor, NULL, IDC_ARROW",
    "        mov wc.hCursor,          EAX",
    "        mov wc.hIconSm,          0",
    "        invoke RegisterClassEx,  addr wc",
    "        invoke CreateWindowEx, NULL, addr FormClass, addr FormCaption,",
    "                               WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, NULL, NULL, hInst, NULL",
    "        mov   hWnd, EAX",
    "",
    "        invoke ShowWindow, hWnd, SW_SHOWNORMAL",
    "        invoke UpdateWindow, hWnd",
    "",
    "   .WHILE TRUE",
    "      invoke GetMessage, addr msg, NULL, 0, 0",
    "     .BREAK .IF (!EAX)",
    "      invoke TranslateMessage, addr msg",
    "      invoke DispatchMessage,  addr msg",
    "   .ENDW",
    "    mov EAX, msg.wParam",
    "  ret",
    "  WinMain endp",
    kSeparator,
    "   WndProc proc hWin :DWORD, uMsg :DWORD, wParam :DWORD, lParam :DWORD",
    "    .IF uMsg == WM_DESTROY",
    "        invoke PostQuitMessage, NULL",
    "    .ENDIF",
    "    invoke DefWindowProc, hWin, uMsg, wParam, lParam",
    "  ret",
    "  WndProc endp",
    "; ________________________________________________________________________",
    "",
    "end start",
};

static_assert(std::size(kLines) == 80);

}  // namespace

std::span<const std::string_view> NewProjectTemplate() { return kLines; }

}  // namespace vantorel
