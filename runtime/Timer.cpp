#include "runtime/Timer.h"

#include <map>

namespace rt {

namespace {

// Thread timers carry no context pointer, so the live timers are found by their id.
std::map<UINT_PTR, Timer*>& LiveTimers()
{
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}

}  // namespace

Timer::~Timer()
{
    Stop();
}

void Timer::Start(UINT intervalMs)
{
    Stop();
    m_interval = intervalMs;
    m_id = ::SetTimer(nullptr, 0, intervalMs, &Timer::Tick);
    if (m_id) LiveTimers()[m_id] = this;
}

void Timer::Stop()
{
    if (!m_id) return;
    ::KillTimer(nullptr, m_id);
    LiveTimers().erase(m_id);
    m_id = 0;
}

std::size_t Timer::Running()
{
    return LiveTimers().size();
}

void CALLBACK Timer::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto it = LiveTimers().find(id);
    if (it == LiveTimers().end()) return;
    // Copy the handler: the callback may stop, restart or destroy this timer.
    std::function<void()> handler = it->second->m_onTick;
    if (handler) handler();
}

}  // namespace rt
