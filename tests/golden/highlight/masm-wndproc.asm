; Оконная процедура
WndProc proc hWin:DWORD, uMsg:DWORD, wParam:DWORD, lParam:DWORD
    .if uMsg == WM_CREATE
        invoke CreateWindowEx, 0, SADD("BUTTON"), SADD("OK"), \
               WS_CHILD or WS_VISIBLE, 10, 10, 80, 24, hWin, 500, hInstance, NULL
    .elseif uMsg == WM_DESTROY
        invoke PostQuitMessage, NULL
        xor eax, eax      ; return 0
        ret
    .endif
    invoke DefWindowProc, hWin, uMsg, wParam, lParam
    ret
WndProc endp
