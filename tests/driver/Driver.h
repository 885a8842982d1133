#pragma once
// What the Wine tests use to drive real windows: paths, message pumping, finding windows,
// answering message boxes, capturing pixels and starting programs.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace driver {

// --- Paths -----------------------------------------------------------------------------------
// A Unix path as the Wine program sees it (through drive Z:).
std::wstring UnixToWindowsPath(std::string_view unixPath);
// The build and source directories passed by CTest, as Windows paths without a trailing "\".
std::wstring BuildDir();
std::wstring SourceDir();
// <source>\out, created on first use: screenshots for people to look at.
std::wstring OutDir();
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// --- Demo portal -------------------------------------------------------------------------------
// The demo portals that tests/wine/browser/run_with_portal.sh or tests/wine/update/
// run_with_portals.sh start around a test program: http://127.0.0.1:<port> without a trailing
// "/" of the main one, or of CORVANE_TEST_PORTAL_<which>; empty when there is none.
std::wstring Portal(std::string_view which = {});
// The main portal's request log (JSON lines) as it stands now.
std::string PortalLog();

// The user's default browser as Wine knows it (HKCU\Software\Wine\WineBrowser, "Browsers"),
// pointed for the object's life at tests/wine/data/record-url, which notes every URL it is asked
// to open in <build>/opened-urls.log (emptied first).
class DefaultBrowserRecorder {
public:
    DefaultBrowserRecorder();
    ~DefaultBrowserRecorder();
    DefaultBrowserRecorder(const DefaultBrowserRecorder&) = delete;
    DefaultBrowserRecorder& operator=(const DefaultBrowserRecorder&) = delete;
    // The URLs opened so far, one a line.
    std::string Opened() const;

private:
    HKEY m_key = nullptr;
    std::wstring m_log;
};

// --- Messages ----------------------------------------------------------------------------------
// Dispatches this thread's messages for `ms` milliseconds.
void Pump(DWORD ms);
// Dispatches messages until `done` holds or the time runs out; returns the last value of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// --- Windows -----------------------------------------------------------------------------------
// A visible or hidden top-level window by class and/or title (nullptr matches any), optionally
// only of one process.
HWND FindTopLevel(const wchar_t* className, const wchar_t* title, DWORD processId = 0);
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs, DWORD processId = 0);
std::wstring WindowText(HWND hwnd);
std::wstring ClassNameOf(HWND hwnd);
// Every descendant window of `parent` of one class, in the system's enumeration order.
std::vector<HWND> Descendants(HWND parent, const wchar_t* className);

// --- Message boxes -------------------------------------------------------------------------------
struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
    int textInk = -1;  // dark pixels in the text's area, when screenshots are on
    unsigned style = 0;  // what MessageBoxStyle saw, when the answerer records styles
};

// The style a message box of any process shows, as the MB_ bits that ask for it: the icon
// (MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK; 0 for none) told by
// comparing the pixels of the box's icon control with the system icons drawn here (an icon
// handle means nothing in another process), and the buttons (MB_OK, MB_OKCANCEL, MB_YESNO,
// MB_YESNOCANCEL) from the visible buttons. Waits up to `timeoutMs` for the icon to be painted;
// ~0u when the buttons make no known set.
unsigned MessageBoxStyle(HWND box, DWORD timeoutMs = 3000);

// Watches, on a thread of its own, for message boxes (#32770) of one process, records title and
// text and presses the button with the given id (IDOK, IDYES, IDNO...). Boxes of the test's own
// process are answered while the test thread sits in the box's modal loop.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int buttonId, DWORD processId = ::GetCurrentProcessId());
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    void SetButton(int buttonId) { m_button = buttonId; }
    // Saves each box as <OutDir>\<prefix>-<n>.png before answering and counts the ink of its
    // text. Set before the first box appears.
    void SetScreenshotPrefix(const std::wstring& prefix) { m_screenshotPrefix = prefix; }
    // Records each box's MessageBoxStyle before answering (it waits for the icon to be painted,
    // so only tests that look at the style pay for it). Set before the first box appears.
    void SetRecordStyle(bool record) { m_recordStyle = record; }
    std::vector<SeenMessageBox> Seen() const;
    // Waits (pumping this thread's messages) until `count` boxes were answered.
    bool WaitForCount(std::size_t count, DWORD timeoutMs) const;

private:
    void Watch();

    std::atomic<int> m_button;
    DWORD m_processId;
    std::atomic<bool> m_stop{false};
    std::wstring m_screenshotPrefix;
    std::atomic<bool> m_recordStyle{false};
    mutable std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::vector<HWND> m_answered;
    std::thread m_thread;
};

// --- Pixels ------------------------------------------------------------------------------------
// A captured picture; pixels are 0x00RRGGBB, row by row from the top.
class Capture {
public:
    Capture() = default;
    Capture(int width, int height) : m_width(width), m_height(height), m_pixels(std::size_t(width) * height) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_pixels.empty(); }
    std::uint32_t Rgb(int x, int y) const { return m_pixels[std::size_t(y) * m_width + x]; }
    // The same pixel in the platform's 0x00BBGGRR layout.
    COLORREF At(int x, int y) const;
    std::vector<std::uint32_t>& pixels() { return m_pixels; }
    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }

    // Pixels of `rect` whose colour is within `tolerance` per channel of `color` (0x00BBGGRR).
    int CountNear(const RECT& rect, COLORREF color, int tolerance = 0) const;
    // Saves as PNG (GDI+). Returns false on failure.
    bool SavePng(const std::wstring& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

bool ColorNear(COLORREF a, COLORREF b, int tolerance);
// `icon` drawn at width x height over a background of one colour (0x00BBGGRR).
Capture DrawnIcon(HICON icon, int width, int height, COLORREF background);
// Copies what a DC shows (a memory DC, a window DC).
Capture CaptureDC(HDC dc, int width, int height);
// The window painting itself into a bitmap (PrintWindow).
Capture CaptureWindow(HWND hwnd);
// What the screen shows in a rectangle (screen coordinates): layered windows included.
Capture CaptureScreen(const RECT& rect);
// CaptureScreen of a window's rectangle, saved as <OutDir>\<name>.png as well.
Capture Screenshot(HWND hwnd, const std::wstring& name);

// --- Programs ----------------------------------------------------------------------------------
class Process {
public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `exe` with `arguments` (appended after the quoted program path) and extra
    // environment entries "NAME=value".
    static Process Start(const std::wstring& exe, const std::wstring& arguments = L"",
                         const std::vector<std::wstring>& environment = {});
    // A running process that another one started (an updater's restart, say).
    static Process Attach(DWORD processId);

    explicit operator bool() const { return m_process != nullptr; }
    DWORD id() const { return m_id; }
    // Waits for the end; returns the exit code, or -1 when it is still running.
    long WaitForExit(DWORD timeoutMs);
    bool Running() const;
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// The ids of the running processes whose executable file is named `exeName` ("Corvane.exe").
std::vector<DWORD> ProcessesNamed(const wchar_t* exeName);

// --- Input -------------------------------------------------------------------------------------
// Left-clicks a point in screen coordinates with real mouse input.
void ClickAt(POINT screenPoint);
// Waits until `window` takes input at a point on the screen: it is the window the system finds
// there (or holds it), visible and enabled, and its thread answers messages. Real input goes to
// whatever lies under the pointer when it arrives, so a click made as a window appears may reach
// the window that is going (a login pair being unloaded) or one still being laid out.
bool WaitUntilTakesInput(HWND window, POINT screenPoint, DWORD timeoutMs = 10000);
// The centre of a window's rectangle on the screen.
POINT CentreOf(HWND window);
// Clicks `window` at a point on the screen (its centre by default) once it takes input there,
// after resting the pointer on it briefly as a player's hand would (hover states, tooltips).
// False, and nothing clicked, when it never does.
[[nodiscard]] bool ClickOn(HWND window, POINT screenPoint);
[[nodiscard]] bool ClickOn(HWND window);
// Moves the mouse to a point, pressing or releasing the buttons in `buttonFlags`
// (MOUSEEVENTF_LEFTDOWN, ...) there in the same input.
void MoveMouseTo(POINT screenPoint, DWORD buttonFlags = 0);
// Presses and releases a key with real keyboard input to the focused window, holding the
// modifier keys given (MOD_SHIFT, MOD_CONTROL, MOD_ALT) around it.
void PressKey(WORD vk, UINT modifiers = 0);
// Types text as Unicode keyboard input (VK_PACKET), one character at a time.
void TypeText(std::wstring_view text);

}  // namespace driver
