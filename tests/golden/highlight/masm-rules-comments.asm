; a line comment with "quotes", 'ticks', .if and mov in it
  mov eax, 1 ; a comment after code
COMMENT ! the first line of a block
  mov eax, ebx   ; still the block
  invoke nothing

the line that ends it ! and the rest of it
  mov eax, 2
comment * a one-line block * mov is no code here
  push eax
   Comment ~
~
  pop eax
COMMENT
  add eax, 1
commentary db 0
  ; COMMENT ! not a block behind a semicolon
  db "COMMENT ! in a string"
  nop
COMMENT ÿ a Cyrillic letter as the delimiter
  mov eax, 3 ÿ
  mov eax, 4
