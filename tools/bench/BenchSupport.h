#pragma once
// What the benchmark programs share: a clock in milliseconds, medians, a message loop that runs
// until something has happened, and a plain visible window at the screen's corner to host views.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace bench {

inline double NowMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline void PumpUntil(const std::function<bool()>& done)
{
    MSG msg;
    while (!done() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A class of its own, registered on first use, named `name`, with the window's title the same.
inline HWND PopupWindow(const wchar_t* name, int width, int height)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, name, name, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                             wc.hInstance, nullptr);
}

}  // namespace bench
