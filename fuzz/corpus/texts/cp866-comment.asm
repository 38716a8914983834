    push ebx          ; сохранить регистр
    pop ebx           ; Ёжик и ЯЩИК
