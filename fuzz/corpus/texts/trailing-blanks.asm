mov eax, ebx   
    
	push esi 	 
; end  