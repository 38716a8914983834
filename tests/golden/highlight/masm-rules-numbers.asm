; numbers in the assembler's forms, and tokens that only look like numbers
  dd 123, 0FFh, 0ffh, 1010b, 17o, 17q, 123d, 10t, 101y, 3F800000r
  real8 1.5, 1.5e3, 2.0E-5, 1.e+2, 3.
  dd 0ah, ah, FFh, 12ab, 19o, 102b, 0FFx, 1e3, 1.2.3, 9d9
  dd 10h+5, 7-1, 1.5e+
  mov ah, 0ah
ah: mov al, ah
  dd $, ?, @@, @F, @B
@@:
  jmp @B
