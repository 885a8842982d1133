#pragma once
// A timer that calls back on the GUI thread while the message loop (any loop, modal ones
// included) dispatches. Stopping or destroying it inside its own callback is allowed.

#include <windows.h>

#include <cstddef>
#include <functional>

namespace rt {

class Timer {
public:
    Timer() = default;
    explicit Timer(std::function<void()> onTick) : m_onTick(std::move(onTick)) {}
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    void SetHandler(std::function<void()> onTick) { m_onTick = std::move(onTick); }
    // Starts (or restarts) with the interval in milliseconds.
    void Start(UINT intervalMs);
    void Stop();
    bool Enabled() const { return m_id != 0; }
    UINT Interval() const { return m_interval; }
    // Timers running in the process: lets tests and benchmarks see that none is left behind.
    static std::size_t Running();

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    std::function<void()> m_onTick;
    UINT_PTR m_id = 0;
    UINT m_interval = 0;
};

}  // namespace rt
