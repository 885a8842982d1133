#pragma once
// ModMsg: the main window's own window procedure. It receives the system-wide hot key F10 and
// the tray icon's notifications and passes every message on to the procedure it replaced.

#include <windows.h>

#include <functional>

namespace corvane::ModMsg {

inline constexpr int kHotKeyId = 1000;
inline constexpr UINT kHotKey = VK_F10;
inline constexpr UINT kTrayMessage = 6242;

// What the procedure asks of the main window: its popup menu at the pointer.
using ShowMenuHandler = std::function<void()>;

// Registers F10 for the window (a key held by another program leaves F10 without effect) and
// puts MainWndProc in front of the window's procedure.
void HookMainWnd(HWND hWnd, ShowMenuHandler showMenu);
// Unregisters the hot key and gives the window its procedure back.
void UnhookMainWnd(HWND hWnd);

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Hides a visible window, shows (and activates) a hidden one; size, place and content stay.
void ToggleWindow(HWND hWnd);

// Whether RegisterHotKey succeeded for the hooked window.
bool HotKeyRegistered();

}  // namespace corvane::ModMsg
