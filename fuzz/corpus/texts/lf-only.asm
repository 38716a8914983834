; hello.asm - a window that says hello
      .386
      .model flat, stdcall
      option casemap :none

      include \masm32\include\windows.inc
      include \masm32\include\user32.inc
      include \masm32\include\kernel32.inc
      includelib \masm32\lib\user32.lib
      includelib \masm32\lib\kernel32.lib

      WndProc PROTO :DWORD,:DWORD,:DWORD,:DWORD

    .data
      szClass   db "HelloClass",0
      szTitle   db "Hello",0
      hInstance dd 0

    .code
start:
      invoke GetModuleHandle, NULL
      mov hInstance, eax
      invoke WinMain, hInstance, NULL, NULL, SW_SHOWDEFAULT
      invoke ExitProcess, eax

WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD
    .if uMsg == WM_DESTROY
        invoke PostQuitMessage, NULL
        xor eax, eax
        ret
    .endif
    invoke DefWindowProc, hWin, uMsg, wParam, lParam
    ret
WndProc endp

end start
