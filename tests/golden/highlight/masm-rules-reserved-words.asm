; masm-rules: the assembler's reserved words in a program of the usual shape
.686p
.xmm
.model flat, stdcall
option casemap :none
.nolist
include \masm32\include\windows.inc
.list

Sum     PROTO C :DWORD, :VARARG
Blend   PROTO PASCAL :DWORD
Hook    PROTO SYSCALL
MessageBox equ <MessageBoxA>
FLAGS   RECORD fDirty:1, fKind:3, fRest:4

PAIR STRUCT
  key     DWORD ?
  UNION
    ival  SDWORD ?
    fval  REAL4 ?
    STRUCT
      lo  WORD ?
      hi  WORD ?
    ENDS
  ENDS
  mask    BYTE ?
  size    SBYTE ?
  pt      POINT <>
PAIR ENDS

zero MACRO reg:REQ, rest:VARARG
  xor reg, reg
  EXITM <rest>
ENDM

.data
  rc      RECT <0, 0, 100, 100>
  pts     POINT 8 DUP (<1, 2>)
  more    POINT MAXPTS dup (<>)
  pair    PAIR <1, <-5>, 0FFh, 7, <3, 4>>
  wc      WNDCLASSEX <>
  msg     BYTE <Hi>, 0
  vals    QWORD 1, 2
  big     OWORD 0
  wide    XMMWORD ?
  ymmv    YMMWORD ?
  ten     REAL10 1.5e3
  eight   REAL8 2.0
  tb      TBYTE 0
  fw      FWORD 0
  sw      SWORD -1
  sd      SDWORD -1
  xmm8    DWORD 0

.code
  assume fs:nothing, ds:@data
% echo @CurSeg @code

option prologue:none
option epilogue:none
FastCopy proc private uses esi edi pDst:DWORD, pSrc:DWORD, n:DWORD
  mov esi, [esp+8]
  mov edi, [esp+4]
  mov ecx, [esp+12]
  rep movsb
  ret 12
FastCopy endp
option prologue:PrologueDef
option epilogue:EpilogueDef

Area proc export uses ebx lpRect:PTR RECT
  LOCAL w:DWORD, buf[16]:BYTE
  mov ebx, lpRect
  assume ebx:ptr RECT
  mov eax, [ebx].right
  sub eax, [ebx].left
  assume ebx:nothing
  mov w, eax
  mov ecx, sizeof RECT / type DWORD
  mov edx, lengthof pts
  mov eax, (PAIR ptr [ebx]).mask
  mov al, byte ptr w
  mov ax, highword 12345678h
  mov dx, lowword 12345678h
  mov ah, high 1234h
  mov al, low 1234h
  mov eax, (1 shl 4) or (3 and 5) xor not 0
  mov edx, 17 mod 5 + 1 shr 1
  and eax, mask fKind
  lock or dword ptr [ebx], width fKind
  mov al, pair.mask
  mov eax, wc.style
  if type w eq 4 and sizeof PAIR ne 0
  elseifidni <a>, <A>
  endif
  xor ecx, ecx
@@:
  inc ecx
  cmp ecx, 10
  jb @B
  test eax, eax
  jz @F
  dec eax
@@:
  ret
Area endp

Poly proc public c x:REAL8
  finit
  fld x
  fld st(0)
  fmul st, st(1)
  fsincos
  fxch st(2)
  fcomip st, st(1)
  fnstsw ax
  fstp qword ptr [esp-8]
  ffree st(7)
  ret
Poly endp

Scale proc pVec:PTR OWORD
  mov eax, pVec
  movaps xmm0, oword ptr [eax]
  movups xmm1, xmmword ptr [eax+16]
  mulps xmm0, xmm1
  pshufb xmm0, xmm1
  pmaxsd xmm2, xmm3
  roundps xmm0, xmm1, 0
  aesenc xmm4, xmm5
  vaddps ymm0, ymm1, ymm2
  vfmadd231ps ymm3, ymm4, ymm5
  vzeroupper
  ret
Scale endp

IFDEF _WIN64
  mov rax, r8
  movsxd rcx, r9d
  add r10b, spl
  movdqa xmm8, xmm15
  vmovdqu ymm15, ymm8
  .if rax == r15
    cqo
  .endif
ENDIF

start:
  zero eax, <1, 2>
  invoke Sum, 1, 2, 3
  invoke MessageBox, NULL, addr szText, offset szTitle, MB_OK
  invoke ExitProcess, 0
end start
