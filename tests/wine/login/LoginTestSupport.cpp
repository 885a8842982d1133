#include "tests/wine/login/LoginTestSupport.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace logintest {

std::wstring CorvaneExe() { return driver::BuildDir() + L"\\app\\Corvane.exe"; }

std::wstring PortalThen(std::wstring_view target, int after)
{
    static const char digits[] = "0123456789abcdef";
    std::wstring hex;
    for (unsigned char c : driver::WideToUtf8(target)) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    if (after > 0) return Portal() + L"/then-after/" + std::to_wstring(after) + L"/" + hex;
    return Portal() + L"/then/" + hex;
}

driver::Process StartCorvane(const std::wstring& portalUrl, const std::wstring& arguments,
                             std::vector<std::wstring> environment)
{
    return StartCorvaneAt(CorvaneExe(), portalUrl, arguments, std::move(environment));
}

driver::Process StartCorvaneAt(const std::wstring& exe, const std::wstring& portalUrl, const std::wstring& arguments,
                               std::vector<std::wstring> environment)
{
    environment.push_back(L"CORVANE_PORTAL_URL=" + portalUrl);
    // The portal's manifest unless the test names another.
    const bool manifestGiven = std::any_of(environment.begin(), environment.end(),
                                           [](const std::wstring& v) { return v.starts_with(L"CORVANE_UPDATE_URL="); });
    if (!manifestGiven) environment.push_back(L"CORVANE_UPDATE_URL=" + Portal() + L"/gamehome/vld/update.txt");
    return driver::Process::Start(exe, arguments, environment);
}

// --- Desktop picture -------------------------------------------------------------------------------

namespace {

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        const int width = ps.rcPaint.right - ps.rcPaint.left;
        const int height = ps.rcPaint.bottom - ps.rcPaint.top;
        if (width > 0 && height > 0) {
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
            std::vector<std::uint32_t> pixels(std::size_t(width) * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const COLORREF c = DesktopPicture::At(ps.rcPaint.left + x, ps.rcPaint.top + y);
                    pixels[std::size_t(y) * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                }
            ::SetDIBitsToDevice(dc, ps.rcPaint.left, ps.rcPaint.top, width, height, 0, 0, 0, height, pixels.data(),
                                &info, DIB_RGB_COLORS);
        }
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

COLORREF DesktopPicture::At(int x, int y)
{
    // Green and blue stripes of a few pixels: no colour of the client's pictures, and any shift
    // of one pixel shows.
    return RGB(0x20 + (x * 3) % 64, 0x90 + (y * 5) % 96, 0x40 + ((x + y) * 7) % 128);
}

DesktopPicture::DesktopPicture()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DesktopProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LoginTestDesktop";
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP, 0, 0,
                               ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                               wc.hInstance, nullptr);
    ::SetWindowPos(m_hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::UpdateWindow(m_hwnd);
    driver::Pump(300);
}

DesktopPicture::~DesktopPicture()
{
    if (m_hwnd) ::DestroyWindow(m_hwnd);
}

// --- Pictures --------------------------------------------------------------------------------------

Picture::Picture(const std::wstring& relativePath)
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    m_bitmap = new Gdiplus::Bitmap((driver::SourceDir() + L"\\" + relativePath).c_str());
}

Picture::~Picture()
{
    delete static_cast<Gdiplus::Bitmap*>(m_bitmap);
    Gdiplus::GdiplusShutdown(m_token);
}

std::uint32_t Picture::At(int x, int y) const
{
    Gdiplus::Color c;
    static_cast<Gdiplus::Bitmap*>(m_bitmap)->GetPixel(x, y, &c);
    return c.GetValue();
}

int Picture::Width() const { return static_cast<int>(static_cast<Gdiplus::Bitmap*>(m_bitmap)->GetWidth()); }
int Picture::Height() const { return static_cast<int>(static_cast<Gdiplus::Bitmap*>(m_bitmap)->GetHeight()); }

// --- Windows -------------------------------------------------------------------------------------

HWND VisibleWindow(const wchar_t* className, DWORD processId)
{
    HWND hwnd = driver::FindTopLevel(className, nullptr, processId);
    return hwnd && ::IsWindowVisible(hwnd) ? hwnd : nullptr;
}

LoginPair WaitForLoginPair(const driver::Process& client, DWORD timeoutMs)
{
    LoginPair pair;
    driver::PumpUntil(
        [&] {
            pair.background = VisibleWindow(L"LoginBgFrm", client.id());
            pair.login = VisibleWindow(L"LoginFrm", client.id());
            return static_cast<bool>(pair);
        },
        timeoutMs);
    // Then until the client handles messages again (showing layered windows takes Wine a while),
    // so that input sent next reaches windows in their shown state.
    if (pair)
        driver::PumpUntil(
            [&] {
                DWORD_PTR result = 0;
                return ::SendMessageTimeoutW(pair.background, WM_NULL, 0, 0, SMTO_BLOCK, 200, &result) != 0;
            },
            timeoutMs);
    return pair;
}

HWND WaitForMainWindow(const driver::Process& client, DWORD timeoutMs)
{
    HWND main = nullptr;
    driver::PumpUntil([&] { return (main = VisibleWindow(L"WebMainFrm", client.id())) != nullptr; }, timeoutMs);
    return main;
}

RECT WindowRect(HWND hwnd)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

void SaveScreen(const std::wstring& name)
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    driver::CaptureScreen(screen).SavePng(driver::OutDir() + L"\\" + name + L".png");
}

bool ClickUntilItsLookChanges(HWND button)
{
    const driver::Capture before = driver::CaptureScreen(WindowRect(button));
    return driver::ClickOn(button) &&
           driver::PumpUntil([&] { return driver::CaptureScreen(WindowRect(button)).pixels() != before.pixels(); }, 5000);
}

namespace {

struct WindowsOf {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM param)
{
    auto* q = reinterpret_cast<WindowsOf*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == q->processId && ::IsWindowVisible(hwnd) && driver::ClassNameOf(hwnd) != L"#32770")
        q->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    WindowsOf q{processId, {}};
    ::EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

long WaitForExitShowingNothing(driver::Process& process, bool& windowSeen, DWORD timeoutMs)
{
    windowSeen = false;
    driver::PumpUntil(
        [&] {
            windowSeen = windowSeen || !VisibleWindowsOf(process.id()).empty();
            return !process.Running();
        },
        timeoutMs);
    return process.WaitForExit(0);
}

bool AnswerMessageBox(const driver::Process& client, SeenBox& seen, DWORD timeoutMs)
{
    HWND box = nullptr;
    if (!driver::PumpUntil([&] { return (box = VisibleWindow(L"#32770", client.id())) != nullptr; }, timeoutMs))
        return false;
    driver::Pump(200);
    seen.title = driver::WindowText(box);
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
    seen.text = text;
    seen.style = driver::MessageBoxStyle(box);
    for (HWND hwnd : VisibleWindowsOf(client.id())) seen.otherWindows.push_back(driver::ClassNameOf(hwnd));
    if (HWND ok = ::GetDlgItem(box, IDOK))
        ::SendMessageW(ok, BM_CLICK, 0, 0);
    else
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return true;
}

// --- Mouse -----------------------------------------------------------------------------------------

namespace {

INPUT MouseAt(POINT p, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    in.mi.dy = static_cast<LONG>((p.y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return in;
}

void Send(POINT p, DWORD flags)
{
    INPUT in = MouseAt(p, flags);
    ::SendInput(1, &in, sizeof(in));
    driver::Pump(40);
}

}  // namespace

void DragMouse(POINT from, POINT to, HWND pressed)
{
    Send(from, 0);
    Send(from, MOUSEEVENTF_LEFTDOWN);
    if (pressed) {
        POINT client = from;
        ::ScreenToClient(pressed, &client);
        ::PostMessageW(pressed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    }
    driver::Pump(200);
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i)
        Send({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps}, 0);
    driver::Pump(200);
    Send(to, MOUSEEVENTF_LEFTUP);
    driver::Pump(200);
}

void RightClickAt(POINT at)
{
    Send(at, 0);
    Send(at, MOUSEEVENTF_RIGHTDOWN);
    Send(at, MOUSEEVENTF_RIGHTUP);
}

bool LogIn(const LoginPair& pair, const wchar_t* account)
{
    const std::vector<HWND> fields = Descendants(pair.login, L"Edit");
    const std::vector<HWND> buttons = Descendants(pair.login, L"Button");
    if (fields.size() != 2 || buttons.size() != 1) return false;
    ::SendMessageW(fields[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(account));
    ::SendMessageW(fields[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"secret"));
    return driver::ClickOn(buttons[0]);
}

bool WaitForHandOver(const driver::Process& client, HWND main, DWORD timeoutMs)
{
    RECT placed = WindowRect(main);
    ULONGLONG steadySince = ::GetTickCount64();
    return driver::PumpUntil(
        [&] {
            const RECT now = WindowRect(main);
            if (!::EqualRect(&now, &placed)) {
                placed = now;
                steadySince = ::GetTickCount64();
            }
            DWORD_PTR result = 0;
            return !driver::FindTopLevel(L"LoginFrm", nullptr, client.id()) &&
                   !driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id()) &&
                   ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 200, &result) != 0 &&
                   ::GetTickCount64() - steadySince >= 500;
        },
        timeoutMs);
}

HWND LogInToMainWindow(const driver::Process& client, const wchar_t* account)
{
    const LoginPair pair = WaitForLoginPair(client);
    if (!pair || !LogIn(pair, account)) return nullptr;
    HWND main = WaitForMainWindow(client);
    if (!main || !WaitForHandOver(client, main)) return nullptr;
    return main;
}

int GamePageRequests(const std::string& account)
{
    return static_cast<int>(GamePageSessions(account).size());
}

std::vector<std::string> GamePageSessions(const std::string& account)
{
    const std::string log = PortalLog();
    const std::string query = "\"query\": \"account=" + account + "&";
    std::vector<std::string> sessions;
    for (std::size_t at = log.find("\"path\": \"/game/\""); at != std::string::npos;
         at = log.find("\"path\": \"/game/\"", at + 1)) {
        const std::size_t end = log.find('\n', at);
        const std::string line = log.substr(at, end - at);
        if (line.find(query) == std::string::npos) continue;
        const std::size_t token = line.find("session=");
        if (token == std::string::npos) continue;
        sessions.push_back(line.substr(token + 8, 32));
    }
    return sessions;
}

driver::Process StartStalledUpdater(const std::wstring& folder)
{
    const std::wstring temp = driver::BuildDir() + L"\\" + folder;
    ::CreateDirectoryW(temp.c_str(), nullptr);
    std::ofstream manifest(std::filesystem::path(temp + L"\\update.txt"), std::ios::binary);
    manifest << "version=9.9.0\r\nCorvane.exe|" << driver::WideToUtf8(Portal()) << "/trickle/Corvane.exe\r\n";
    manifest.close();
    if (!manifest) return driver::Process();
    return driver::Process::Start(driver::BuildDir() + L"\\tests\\wine\\update\\update_nokeys.exe",
                                  temp + L"|" + temp + L"\\Corvane.exe", {L"TMP=" + temp, L"TEMP=" + temp});
}

}  // namespace logintest
