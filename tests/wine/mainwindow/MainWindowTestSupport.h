#pragma once
// What the main window's Wine tests share: the demo portal's address, the exit box answered
// from a thread of its own with real mouse input, and window checks that wait with a bound.

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/driver/Driver.h"

namespace mainwindow_test {

using driver::Portal;
std::wstring GameUrl(const std::wstring& account);
// Requests the portal has seen so far for the game page of `account` (letter case counts).
int GameRequests(const char* account);

// Moves `window` as the system moves it to a monitor of `dpi`: asks it for its size there, then
// tells it to take that size at its corner.
void MoveToDpi(HWND window, int dpi);
// `child`'s window rectangle in `parent`'s client coordinates.
RECT PlaceIn(HWND parent, HWND child);

// The exit box's answer buttons and its close button.
enum class BoxButton { Yes, No, Close, AltF4 };

// Waits on a thread of its own for each exit box (class "MsgFrm") of a process and presses the
// next button of `answers` with real mouse or key input. The first box can be saved as a screenshot.
class ExitBoxAnswerer {
public:
    ExitBoxAnswerer(std::wstring answers, DWORD processId = ::GetCurrentProcessId());
    ~ExitBoxAnswerer();
    ExitBoxAnswerer(const ExitBoxAnswerer&) = delete;
    ExitBoxAnswerer& operator=(const ExitBoxAnswerer&) = delete;

    void SetScreenshot(const std::wstring& name) { m_screenshot = name; }
    int Answered() const { return m_answered; }
    // Pumps this thread until `count` boxes were answered.
    bool WaitForCount(int count, DWORD timeoutMs) const;
    // The box's text as read from the first box: its question label's caption is drawn, so the
    // test reads its pixels instead.
    driver::Capture FirstBox() const { return m_firstBox; }
    // How far the last 'D' moved the box.
    POINT DragOffset() const { return m_dragOffset; }
    // The box after the last 'P' moved it to a monitor of 144 dpi.
    driver::Capture BoxAt144Dpi() const { return m_boxAt144Dpi; }

private:
    void Watch();

    std::wstring m_answers;  // 'Y' yes, 'N' no, 'C' the close button, 'F' the system close
                             // command; with real keys: 'K' Enter, 'T' Tab and Enter, 'S'
                             // Shift+Tab, Tab, Tab and Space, 'E' Esc, 'A' Alt+F4; 'D' drags the
                             // box by its caption strip first, 'P' moves it to a monitor of
                             // 144 dpi first (the letter after either answers; 'C' after 'P')
    DWORD m_processId;
    std::wstring m_screenshot;
    std::atomic<int> m_answered{0};
    std::atomic<bool> m_stop{false};
    driver::Capture m_firstBox;
    POINT m_dragOffset{};
    driver::Capture m_boxAt144Dpi;
    std::thread m_thread;
};

// A visible top-level window of class "MsgFrm" of the process, or nullptr.
HWND FindExitBox(DWORD processId);

// Real input queued at once: press at `from`, move in steps to `to`, release. A window that
// starts a move loop on the press finds the rest of the input waiting in its queue.
void Drag(POINT from, POINT to);

// Opens the menu with the menu button and picks the item `index` (0-based, the separator not
// counted) with the keyboard.
bool ChooseMenuItem(HWND toolButton, DWORD processId, int index);

// F10 down and up as real key input.
void PressF10();

bool WaitVisible(HWND hwnd, bool visible, DWORD timeoutMs = 5000);

// The main window's buttons from left to right: "登录其他帐号", "游戏大厅", then the caption
// buttons (menu, hide, maximise/restore, close).
std::vector<HWND> ButtonsLeftToRight(HWND main);

// Whether the notification area holds the main window's icon: changing its tip succeeds only
// while it is there.
bool TrayIconShown(HWND main);

// Pixels of `capture` at (x0, y0) .. that differ from the picture's pixels at (px, py) .. in a
// w x h block.
int PictureMismatches(const driver::Capture& capture, int x0, int y0, HBITMAP picture, int px, int py, int w, int h);

}  // namespace mainwindow_test
