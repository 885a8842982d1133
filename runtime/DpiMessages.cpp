#include "runtime/DpiMessages.h"

#include <windows.h>

namespace rt {

namespace {

// WM_DPICHANGED, the notices to child windows before and after their parent, WM_GETDPISCALEDSIZE.
constexpr UINT kFirstDpiMessage = 0x02E0;
constexpr UINT kLastDpiMessage = 0x02E4;

LRESULT CALLBACK DropPostedDpiMessage(int code, WPARAM removal, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && msg && msg->message >= kFirstDpiMessage && msg->message <= kLastDpiMessage)
        *msg = MSG{msg->hwnd, WM_NULL, 0, 0, msg->time, msg->pt};
    return ::CallNextHookEx(nullptr, code, removal, lParam);
}

class DpiGuard {
public:
    DpiGuard() : m_hook(::SetWindowsHookExW(WH_GETMESSAGE, &DropPostedDpiMessage, nullptr, ::GetCurrentThreadId())) {}
    ~DpiGuard()
    {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
    }
    DpiGuard(const DpiGuard&) = delete;
    DpiGuard& operator=(const DpiGuard&) = delete;

private:
    HHOOK m_hook;
};

}  // namespace

void GuardDpiMessages()
{
    thread_local const DpiGuard guard;
}

}  // namespace rt
