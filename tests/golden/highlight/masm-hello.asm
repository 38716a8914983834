; Простое окно на Masm32
.386
.model flat, stdcall
option casemap :none

include \masm32\include\windows.inc
include \masm32\include\user32.inc
includelib \masm32\lib\user32.lib

.data
  szTitle db "Vantorel", 0
  szText  db 'It''s alive', 0Dh, 0Ah, 0
  mask    dd 0FFh, 1234, 10.5

.code
start:
  invoke MessageBox, NULL, addr szText, addr szTitle, MB_OK   ; показать
  .if eax == IDOK
    mov eax, [ebx+4*ecx]   /* not a comment in asm */
  .endif
  cmp al, '/'
  push -1
  invoke ExitProcess, 0
end start
