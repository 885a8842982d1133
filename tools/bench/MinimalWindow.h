#pragma once
// The start-up benchmark's floor and its peers show the same window: a small popup, visible as
// soon as it is shown, with nothing painted.

#include <windows.h>

inline int RunMinimalWindow(HINSTANCE instance)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"MinimalWindow";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 100, 100, 356, 122, nullptr, nullptr, instance,
                                  nullptr);
    ::ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
