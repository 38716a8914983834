; masm-rules: a small Masm32 program, every class of the rules
.386
.model flat, stdcall
option casemap :none

include \masm32\include\windows.inc
include \masm32\include\user32.inc   ; the message box
includelib \masm32\lib\user32.lib
include <kernel32.inc>

WndProc PROTO :DWORD, :DWORD, :DWORD, :DWORD

RECT2 struct
  left   dd ?
  top    dd ?
RECT2 ends

.data
  szTitle db "Vantorel ""1.1""", 0
  szText  db 'It''s alive; really', 0Dh, 0Ah, 0
  msg     db <Hello, world>, 0
  escaped textequ <a!>b>
  table   dw 1, 2, 3 dup (0)
.data?
  hInst   dd ?
.const
  MAXLEN  equ 128
  ONE     textequ <1>

.code
start:
  invoke GetModuleHandle, NULL
  mov hInst, eax
  invoke MessageBox, NULL, addr szText, offset szTitle, MB_OK
  invoke ExitProcess, 0

WndProc proc uses ebx esi hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD
  LOCAL rc:RECT2
  .if uMsg == WM_CREATE && eax < 5
    mov eax, dword ptr [ebx+4*ecx]
    lea esi, rc
    mov eax, [esi].RECT2.left
    mov wc.style, CS_HREDRAW
  .elseif uMsg >= WM_USER
    xor eax, eax
  .else
    invoke DefWindowProc, hWin, uMsg, wParam, lParam
    ret
  .endif
  .while ecx != 0
    dec ecx
    .break .if ecx < 3
    .continue
  .endw
  .repeat
    fld st(1)
    movq mm0, mm1
    addps xmm0, xmm1
  .until eax > 10
  ret
WndProc endp

end start
