start:	mov	eax,	[ebp+8]	; argument
		call	Proc		
