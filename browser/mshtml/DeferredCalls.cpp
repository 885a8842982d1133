#include "browser/mshtml/DeferredCalls.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "runtime/Window.h"

namespace browser {
namespace {

constexpr UINT kRunMessage = WM_APP + 0x33;
constexpr UINT_PTR kRetryTimer = 1;

class DeferredCalls {
public:
    ~DeferredCalls()
    {
        // The thread is ending: what is still waiting runs now rather than never.
        RunAll();
        if (m_hwnd) ::DestroyWindow(m_hwnd);
    }

    void Add(std::function<void()> job)
    {
        m_jobs.push_back(std::move(job));
        if (!m_hwnd && !Create()) {
            RunAll();  // no window on this thread at all: there is no later to wait for
            return;
        }
        // A full queue refuses the message; a timer needs no room in it.
        if (!::PostMessageW(m_hwnd, kRunMessage, 0, 0)) ::SetTimer(m_hwnd, kRetryTimer, 10, nullptr);
    }

private:
    bool Create()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &DeferredCalls::Proc;
        wc.hInstance = rt::CurrentInstance();
        wc.lpszClassName = L"CorvaneDeferredCalls";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        return m_hwnd != nullptr;
    }

    void RunAll()
    {
        while (!m_jobs.empty()) {
            std::vector<std::function<void()>> jobs;
            jobs.swap(m_jobs);  // jobs may add jobs
            for (auto& job : jobs) job();
        }
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    std::vector<std::function<void()>> m_jobs;
};

thread_local DeferredCalls t_calls;

LRESULT CALLBACK DeferredCalls::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kRunMessage || (msg == WM_TIMER && wParam == kRetryTimer)) {
        ::KillTimer(hwnd, kRetryTimer);
        t_calls.RunAll();
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RunAfterCurrentMessage(std::function<void()> job)
{
    if (job) t_calls.Add(std::move(job));
}

}  // namespace browser
