#pragma once
// What the tests of Corvane.exe's start-up and login share: the client started as a real process
// against the demo portal around the test program, a silent server, a desktop picture behind the
// client's windows, the pictures of the repository, and real mouse input.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/driver/Driver.h"

namespace logintest {

std::wstring CorvaneExe();
using driver::Portal;
using driver::PortalLog;
// The portal's login page variant that navigates to `target` a second after it has loaded; with
// `after`, only once the plain login page has been served that many times.
std::wstring PortalThen(std::wstring_view target, int after = 0);

// Starts Corvane.exe with its portal at `portalUrl` (its login page is portalUrl + "/pcLogin/")
// and the update manifest of the demo portal.
driver::Process StartCorvane(const std::wstring& portalUrl, const std::wstring& arguments = L"",
                             std::vector<std::wstring> environment = {});
// The same for a copy of Corvane.exe elsewhere.
driver::Process StartCorvaneAt(const std::wstring& exe, const std::wstring& portalUrl,
                               const std::wstring& arguments = L"", std::vector<std::wstring> environment = {});

using driver::DefaultBrowserRecorder;

// A window of this process covering the screen, painted with a pattern that tells every pixel
// apart, below every other window: what the user's desktop picture is to the client.
class DesktopPicture {
public:
    DesktopPicture();
    ~DesktopPicture();
    DesktopPicture(const DesktopPicture&) = delete;
    DesktopPicture& operator=(const DesktopPicture&) = delete;
    static COLORREF At(int screenX, int screenY);

private:
    HWND m_hwnd = nullptr;
};

// The pixels of a PNG file of the repository (ARGB).
class Picture {
public:
    explicit Picture(const std::wstring& relativePath);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    std::uint32_t At(int x, int y) const;
    int Width() const;
    int Height() const;

private:
    ULONG_PTR m_token = 0;
    void* m_bitmap = nullptr;
};

inline int Alpha(std::uint32_t argb) { return static_cast<int>(argb >> 24); }
inline COLORREF Colour(std::uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

struct LoginPair {
    HWND background = nullptr;
    HWND login = nullptr;
    explicit operator bool() const { return background && login; }
};

HWND VisibleWindow(const wchar_t* className, DWORD processId);
// Waits until both windows of the pair are visible and the client handles messages.
LoginPair WaitForLoginPair(const driver::Process& client, DWORD timeoutMs = 20000);
// The main window of the client once it is visible, or nullptr.
HWND WaitForMainWindow(const driver::Process& client, DWORD timeoutMs = 20000);
RECT WindowRect(HWND hwnd);
// Saves the whole screen as out/<name>.png.
void SaveScreen(const std::wstring& name);
// Clicks a two-state caption button and waits until it shows its other state; false when it
// does not within five seconds.
bool ClickUntilItsLookChanges(HWND button);
// Visible top-level windows of a process, message boxes excepted.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// Waits for the end of a process that should show nothing; its exit code (-1 when it still
// runs), and whether it showed a window meanwhile.
long WaitForExitShowingNothing(driver::Process& process, bool& windowSeen, DWORD timeoutMs = 20000);

struct SeenBox {
    std::wstring title;
    std::wstring text;
    unsigned style = 0;  // driver::MessageBoxStyle
    std::vector<std::wstring> otherWindows;  // classes of the process's other visible windows
};
// Waits for a message box of the process, records it and what else the process shows, and
// presses OK.
bool AnswerMessageBox(const driver::Process& client, SeenBox& seen, DWORD timeoutMs = 20000);

// Real mouse input: press the left button at `from`, move in steps to `to`, release. With
// `pressed`, that window hears of the press as well (where Wine hit-tests another window).
void DragMouse(POINT from, POINT to, HWND pressed = nullptr);
void RightClickAt(POINT at);

using driver::CentreOf;
using driver::Descendants;
// Fills the login page's form as a player would and presses its button; false when the form
// is not there.
bool LogIn(const LoginPair& pair, const wchar_t* account);
// Waits until the hand-over from the login pair is over: the pair destroyed (until then it may
// take the foreground back, or cover the main window), the main window answering and standing
// still for half a second.
bool WaitForHandOver(const driver::Process& client, HWND main, DWORD timeoutMs = 15000);
// The opening of every journey: waits for the login pair, logs `account` in and waits for the
// main window and the end of the hand-over; nullptr when a step fails.
HWND LogInToMainWindow(const driver::Process& client, const wchar_t* account);
// Requests of the game page of `account` that carried a session token in their URL.
int GamePageRequests(const std::string& account);
// The session tokens of those requests, in the order the portal saw them.
std::vector<std::string> GamePageSessions(const std::string& account);
inline bool GamePageServed(const std::string& account) { return GamePageRequests(account) > 0; }

// The updater built without keys, acting on an unsigned manifest written to build\<folder>
// that offers a new Corvane.exe the portal never finishes sending: its window stays up.
driver::Process StartStalledUpdater(const std::wstring& folder);

inline constexpr const wchar_t* kNoConnection = L"未能连接到服务器，请检查网络连接是否正常！";

}  // namespace logintest
