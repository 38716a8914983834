; false friends: the same letters in other roles
  mov ah, 0ah
ah: add ah, 1
  add eax, addr
  invoke Func, addr buffer, ADDR buffer
  .if eax
  if DEBUG
  endif
  .IF EAX == 1
  .ENDIF
  MOV Eax, Ebx
  mov eax, [ebx].code
  mov eax, wc.data
  in al, dx
  int 21h
  inc eax
  movsd
  cmpsd xmm0, xmm1, 0
  str szName
  st0 db 0
  xmm8 dd 0
  proc2 proc
