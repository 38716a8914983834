	mov eax, 1
	xor ebx, ebx
	ret