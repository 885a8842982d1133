#include "mainwindow/ModMsg.h"

namespace corvane::ModMsg {

namespace {

struct HookState {
    HWND hwnd = nullptr;
    WNDPROC PrevMainWndProc = nullptr;
    ShowMenuHandler showMenu;
    bool hotKey = false;
};

HookState& State()
{
    static HookState state;
    return state;
}

}  // namespace

void ToggleWindow(HWND hWnd)
{
    if (::IsWindowVisible(hWnd)) {
        ::ShowWindow(hWnd, SW_HIDE);
        return;
    }
    ::ShowWindow(hWnd, SW_SHOW);
    // Brought back from another application's foreground, the window must take the input too.
    ::SetForegroundWindow(hWnd);
}

bool HotKeyRegistered()
{
    return State().hotKey;
}

void HookMainWnd(HWND hWnd, ShowMenuHandler showMenu)
{
    HookState& s = State();
    if (s.hwnd) return;  // one main window
    s.hwnd = hWnd;
    s.showMenu = std::move(showMenu);
    s.hotKey = ::RegisterHotKey(hWnd, kHotKeyId, 0, kHotKey) != FALSE;
    s.PrevMainWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWndProc)));
}

void UnhookMainWnd(HWND hWnd)
{
    HookState& s = State();
    if (s.hwnd != hWnd || !hWnd) return;
    ::UnregisterHotKey(hWnd, kHotKeyId);
    s.hotKey = false;
    s.showMenu = nullptr;
    // Another subclasser installed after us stays in front: taking the procedure back from under
    // it would cut it out. MainWndProc then only passes messages on until the window is gone.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == &MainWndProc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.PrevMainWndProc));
        s = HookState{};
    }
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    HookState& s = State();
    const WNDPROC previous = s.PrevMainWndProc;
    const bool active = s.hwnd == hWnd && s.showMenu;
    if (active) {
        switch (uMsg) {
        case WM_HOTKEY:
            if (HIWORD(lParam) == kHotKey) ToggleWindow(hWnd);
            break;
        case kTrayMessage:
            if (lParam == WM_LBUTTONUP) {
                ToggleWindow(hWnd);
            } else if (lParam == WM_RBUTTONUP) {
                // Through a copy: a menu command may unload the window and unhook it.
                const ShowMenuHandler showMenu = s.showMenu;
                showMenu();
            }
            break;
        }
    }
    if (uMsg == WM_NCDESTROY && s.hwnd == hWnd) s = HookState{};
    if (!previous) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    return ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam);
}

}  // namespace corvane::ModMsg
