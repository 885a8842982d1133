#include "app/SessionClient.h"

#include "app/ClientFront.h"
#include "app/LaunchWait.h"

namespace corvane {

namespace {

const wchar_t* const kWindowClass = L"CorvaneClient";
// At most this many windows of the class are asked in one round.
constexpr int kMostClients = 8;

UINT BringBackMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"CorvaneClient.BringBack");
    return message;
}

// Asks the running client of this user and session to show itself. The request names this
// process; the foreground is allowed to the client first, or Windows would only flash its
// taskbar button.
ClientAnswer AskRunningClient(unsigned timeoutMs)
{
    ClientAnswer answer = ClientAnswer::None;
    HWND window = nullptr;
    for (int asked = 0; asked < kMostClients; ++asked) {
        window = ::FindWindowExW(HWND_MESSAGE, window, kWindowClass, nullptr);
        if (!window) break;
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        if (processId == ::GetCurrentProcessId() || !SameUserAndSession(processId)) continue;
        ::AllowSetForegroundWindow(processId);
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(window, BringBackMessage(), ::GetCurrentProcessId(), 0,
                                   SMTO_BLOCK | SMTO_ABORTIFHUNG, timeoutMs, &result))
            continue;
        const ClientAnswer a = ReadClientAnswer(static_cast<std::intptr_t>(result));
        if (a == ClientAnswer::Shown) return a;
        if (a == ClientAnswer::NotYet) answer = a;
    }
    return answer;
}

}  // namespace

SessionClient::SessionClient() = default;

SessionClient::~SessionClient()
{
    Release();
}

std::unique_ptr<SessionClient> SessionClient::Claim()
{
    std::unique_ptr<SessionClient> client(new SessionClient());
    ClientLock& lock = client->m_lock;
    if (!lock.Usable()) {
        // Better a second client than none.
        rt::App::LogEvent(L"SessionClient.Claim: the client lock cannot be made");
    } else {
        const ULONGLONG start = ::GetTickCount64();
        bool held = lock.Take(0);
        for (;;) {
            const ClientAnswer answer =
                held ? ClientAnswer::None : AskRunningClient(LaunchAskTimeout(::GetTickCount64() - start));
            // Asking takes time of its own.
            const LaunchDecision next = NextLaunchStep(held, answer, ::GetTickCount64() - start);
            if (next.step == LaunchStep::StartClient) break;
            if (next.step != LaunchStep::Wait) return nullptr;
            held = lock.Take(next.waitMs);
        }
    }
    rt::WindowParams params;
    params.className = kWindowClass;
    params.parent = HWND_MESSAGE;
    client->CreateHandle(params);
    // A sudden end (the update path at start-up, a connection failure) gives the session up too.
    SessionClient* self = client.get();
    client->m_endHook = rt::App::AtEnd([self] { self->Release(); });
    return client;
}

void SessionClient::Release()
{
    // No later launch may hear from a client that is going.
    DestroyHandle();
    m_lock.Release();
    m_endHook.Reset();
}

LRESULT SessionClient::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == BringBackMessage() && msg != 0) {
        // From another process: only a launch of this user and session is heard.
        if (lParam != 0 || !SameUserAndSession(static_cast<DWORD>(wParam))) return 0;
        return BringFrontBack() ? kAnswerShown : kAnswerNotYet;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace corvane
