#pragma once
// What the benchmark programs share: a clock in milliseconds, medians, a message loop that runs
// until something has happened, and a plain visible window at the screen's corner to host views.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
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

// A hidden window that a helper thread posts a message to every 2 ms while the object lives;
// `onTick` runs for each one this thread processes. The gaps between ticks are how long the
// thread could not process messages.
class Ticker {
public:
    explicit Ticker(LRESULT (*onTick)()) : m_onTick(onTick)
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Ticker::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BenchTicks";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(m_onTick));
        m_thread = std::thread([this] {
            while (!m_stop) {
                ::PostMessageW(m_window, kTick, 0, 0);
                ::Sleep(2);
            }
        });
    }
    ~Ticker()
    {
        m_stop = true;
        m_thread.join();
        ::DestroyWindow(m_window);
    }
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

private:
    static constexpr UINT kTick = WM_APP + 1;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == kTick) {
            auto onTick = reinterpret_cast<LRESULT (*)()>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            return onTick ? onTick() : 0;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    LRESULT (*m_onTick)();
    HWND m_window = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace bench
