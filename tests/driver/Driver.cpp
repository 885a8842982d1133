#include "tests/driver/Driver.h"

#include "runtime/Handles.h"
#include "runtime/MessageFilter.h"

#include <objidl.h>
#include <gdiplus.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

namespace driver {

// --- Paths -----------------------------------------------------------------------------------

std::wstring Utf8ToWide(std::string_view text)
{
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string WideToUtf8(std::wstring_view text)
{
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                  nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring UnixToWindowsPath(std::string_view unixPath)
{
    std::wstring path = L"Z:" + Utf8ToWide(unixPath);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

namespace {

std::wstring PathFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value) return {};
    // CTest hands over Unix paths; a Windows path passes through unchanged.
    if (value[0] == '/') return UnixToWindowsPath(value);
    return Utf8ToWide(value);
}

}  // namespace

std::wstring BuildDir() { return PathFromEnvironment("CORVANE_BUILD_DIR"); }
std::wstring SourceDir() { return PathFromEnvironment("CORVANE_SOURCE_DIR"); }

std::wstring OutDir()
{
    std::wstring dir = SourceDir();
    dir = dir.empty() ? L"out" : dir + L"\\out";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// --- Demo portal -------------------------------------------------------------------------------

std::wstring Portal(std::string_view which)
{
    std::string name = "CORVANE_TEST_PORTAL";
    if (!which.empty()) name.append("_").append(which);
    const char* value = std::getenv(name.c_str());
    return value ? Utf8ToWide(value) : std::wstring{};
}

std::string PortalLog()
{
    const std::wstring path = PathFromEnvironment("CORVANE_TEST_PORTAL_LOG");
    std::string log;
    if (path.empty()) return log;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) log.append(buffer, n);
        std::fclose(f);
    }
    return log;
}

DefaultBrowserRecorder::DefaultBrowserRecorder()
{
    // Where tests/wine/data/record-url writes: the lane's folder, else the build directory.
    const char* lane = std::getenv("CORVANE_TEST_LANE_DIR");
    const char* build = std::getenv("CORVANE_BUILD_DIR");
    const char* dir = lane ? lane : build;
    m_log = UnixToWindowsPath(std::string(dir ? dir : "") + "/opened-urls.log");
    ::DeleteFileW(m_log.c_str());
    const char* source = std::getenv("CORVANE_SOURCE_DIR");
    const std::wstring unixScript = Utf8ToWide(std::string(source ? source : "") + "/tests/wine/data/record-url");
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key,
                      nullptr);
    ::RegSetValueExW(m_key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(unixScript.c_str()),
                     static_cast<DWORD>((unixScript.size() + 1) * sizeof(wchar_t)));
}

DefaultBrowserRecorder::~DefaultBrowserRecorder()
{
    ::RegDeleteValueW(m_key, L"Browsers");
    ::RegCloseKey(m_key);
}

std::string DefaultBrowserRecorder::Opened() const
{
    std::ifstream in(m_log.c_str());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --- Messages ----------------------------------------------------------------------------------

void Pump(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        // The program's loops offer keys to the message filters first; so does this one.
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) rt::TranslateAndDispatch(msg);
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// --- Windows -----------------------------------------------------------------------------------

std::wstring WindowText(HWND hwnd)
{
    wchar_t buffer[1024] = {};
    ::GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

std::wstring ClassNameOf(HWND hwnd)
{
    wchar_t buffer[256] = {};
    ::GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

namespace {

struct DescendantQuery {
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDescendant(HWND hwnd, LPARAM param)
{
    auto* q = reinterpret_cast<DescendantQuery*>(param);
    if (ClassNameOf(hwnd) == q->className) q->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> Descendants(HWND parent, const wchar_t* className)
{
    DescendantQuery q{className, {}};
    ::EnumChildWindows(parent, &CollectDescendant, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

namespace {

struct WindowQuery {
    const wchar_t* className;
    const wchar_t* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* q = reinterpret_cast<WindowQuery*>(param);
    if (q->processId) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != q->processId) return TRUE;
    }
    if (q->className && ClassNameOf(hwnd) != q->className) return TRUE;
    if (q->title && WindowText(hwnd) != q->title) return TRUE;
    q->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FindTopLevel(const wchar_t* className, const wchar_t* title, DWORD processId)
{
    WindowQuery query{className, title, processId, nullptr};
    ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs, DWORD processId)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindTopLevel(className, title, processId)) != nullptr; }, timeoutMs);
    return found;
}

// --- Message boxes -------------------------------------------------------------------------------

MessageBoxAnswerer::MessageBoxAnswerer(int buttonId, DWORD processId)
    : m_button(buttonId), m_processId(processId), m_thread([this] { Watch(); })
{
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    m_stop = true;
    m_thread.join();
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen() const
{
    std::lock_guard lock(m_mutex);
    return m_seen;
}

bool MessageBoxAnswerer::WaitForCount(std::size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Seen().size() >= count; }, timeoutMs);
}

void MessageBoxAnswerer::Watch()
{
    while (!m_stop) {
        HWND box = FindTopLevel(L"#32770", nullptr, m_processId);
        bool fresh = false;
        {
            std::lock_guard lock(m_mutex);
            fresh = box && ::IsWindowVisible(box) &&
                    std::find(m_answered.begin(), m_answered.end(), box) == m_answered.end();
        }
        if (fresh) {
            wchar_t text[2048] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
            SeenMessageBox seen{WindowText(box), text};
            if (m_recordStyle) seen.style = MessageBoxStyle(box);
            if (!m_screenshotPrefix.empty()) {
                ::Sleep(300);  // let the box paint itself
                RECT boxRect, textRect;
                ::GetWindowRect(box, &boxRect);
                ::GetWindowRect(::GetDlgItem(box, 0xFFFF), &textRect);
                Capture shot = CaptureScreen(boxRect);
                shot.SavePng(OutDir() + L"\\" + m_screenshotPrefix + L"-" + std::to_wstring(m_seen.size() + 1) + L".png");
                ::OffsetRect(&textRect, -boxRect.left, -boxRect.top);
                seen.textInk = 0;
                for (int y = std::max<LONG>(textRect.top, 0); y < std::min<LONG>(textRect.bottom, shot.height()); ++y)
                    for (int x = std::max<LONG>(textRect.left, 0); x < std::min<LONG>(textRect.right, shot.width()); ++x)
                        if (GetRValue(shot.At(x, y)) + GetGValue(shot.At(x, y)) + GetBValue(shot.At(x, y)) < 384) ++seen.textInk;
            }
            HWND button = ::GetDlgItem(box, m_button);
            {
                std::lock_guard lock(m_mutex);
                m_answered.push_back(box);
                m_seen.push_back(std::move(seen));
            }
            if (button)
                ::SendMessageW(button, BM_CLICK, 0, 0);
            else
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), 0);
        }
        ::Sleep(30);
    }
}

// --- Pixels ------------------------------------------------------------------------------------

COLORREF Capture::At(int x, int y) const
{
    const std::uint32_t rgb = Rgb(x, y);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool ColorNear(COLORREF a, COLORREF b, int tolerance)
{
    auto close = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

int Capture::CountNear(const RECT& rect, COLORREF color, int tolerance) const
{
    int count = 0;
    for (int y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, m_height); ++y)
        for (int x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, m_width); ++x)
            if (ColorNear(At(x, y), color, tolerance)) ++count;
    return count;
}

namespace {

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring_view(codecs[i].MimeType) == L"image/png") {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool Capture::SavePng(const std::wstring& path) const
{
    if (empty()) return false;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool ok = false;
    {
        std::vector<std::uint32_t> opaque(m_pixels);
        for (auto& p : opaque) p |= 0xFF000000u;
        Gdiplus::Bitmap bitmap(m_width, m_height, m_width * 4, PixelFormat32bppARGB,
                               reinterpret_cast<BYTE*>(opaque.data()));
        CLSID png;
        ok = PngEncoder(&png) && bitmap.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

Capture CaptureDC(HDC dc, int width, int height)
{
    if (width <= 0 || height <= 0) return {};
    Capture capture(width, height);
    HDC memory = ::CreateCompatibleDC(dc);
    void* bits = nullptr;
    HBITMAP dib = rt::CreateDib32(dc, width, height, &bits);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < capture.pixels().size(); ++i) capture.pixels()[i] = source[i] & 0x00FFFFFFu;
    ::SelectObject(memory, old);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    return capture;
}

namespace {

// Lets `draw` fill a screen-compatible bitmap of the given size, then reads it back.
template <typename Draw>
Capture CaptureThrough(int width, int height, Draw draw)
{
    if (width <= 0 || height <= 0) return {};
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    draw(memory, screen);
    Capture capture = CaptureDC(memory, width, height);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return capture;
}

}  // namespace

Capture CaptureWindow(HWND hwnd)
{
    RECT r;
    if (!::GetWindowRect(hwnd, &r)) return {};
    return CaptureThrough(r.right - r.left, r.bottom - r.top, [hwnd](HDC memory, HDC) { ::PrintWindow(hwnd, memory, 0); });
}

Capture CaptureScreen(const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    return CaptureThrough(width, height, [&](HDC memory, HDC screen) {
        ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    });
}

Capture DrawnIcon(HICON icon, int width, int height, COLORREF background)
{
    return CaptureThrough(width, height, [&](HDC memory, HDC) {
        rt::Brush brush(::CreateSolidBrush(background));
        RECT all{0, 0, width, height};
        ::FillRect(memory, &all, brush.get());
        ::DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    });
}

namespace {

BOOL CALLBACK FindIconStatic(HWND child, LPARAM param)
{
    if (ClassNameOf(child) == L"Static" && (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

// How many of the icon's opaque pixels `shown` reproduces, as a share of them; the icon is
// drawn here at the control's size on black and on white, and the pixels that differ between
// the two are its transparent ones.
double IconMatch(const Capture& shown, LPCWSTR iconId)
{
    HICON icon = ::LoadIconW(nullptr, iconId);  // shared: never destroyed
    const int width = shown.width();
    const int height = shown.height();
    const Capture onBlack = DrawnIcon(icon, width, height, RGB(0, 0, 0));
    const Capture onWhite = DrawnIcon(icon, width, height, RGB(255, 255, 255));
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (onBlack.Rgb(x, y) != onWhite.Rgb(x, y)) continue;
            ++opaque;
            if (ColorNear(onBlack.At(x, y), shown.At(x, y), 8)) ++same;
        }
    }
    return opaque ? double(same) / opaque : 0.0;
}

unsigned ButtonsOf(HWND box)
{
    auto shown = [box](int id) {
        HWND button = ::GetDlgItem(box, id);
        return button && ::IsWindowVisible(button);
    };
    const int set = (shown(IDOK) ? 1 : 0) | (shown(IDCANCEL) ? 2 : 0) | (shown(IDYES) ? 4 : 0) | (shown(IDNO) ? 8 : 0);
    switch (set) {
    case 1: return MB_OK;
    case 1 | 2: return MB_OKCANCEL;
    case 4 | 8: return MB_YESNO;
    case 2 | 4 | 8: return MB_YESNOCANCEL;
    default: return ~0u;
    }
}

}  // namespace

unsigned MessageBoxStyle(HWND box, DWORD timeoutMs)
{
    const unsigned buttons = ButtonsOf(box);
    if (buttons == ~0u) return ~0u;
    HWND iconControl = nullptr;
    ::EnumChildWindows(box, &FindIconStatic, reinterpret_cast<LPARAM>(&iconControl));
    if (!iconControl || !::IsWindowVisible(iconControl)) return buttons;
    static const struct {
        LPCWSTR id;
        unsigned style;
    } kIcons[] = {{IDI_HAND, MB_ICONHAND}, {IDI_QUESTION, MB_ICONQUESTION},
                  {IDI_EXCLAMATION, MB_ICONEXCLAMATION}, {IDI_ASTERISK, MB_ICONASTERISK}};
    RECT rect{};
    ::GetClientRect(iconControl, &rect);
    ::MapWindowPoints(iconControl, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    // A box just shown may not have painted yet: look again until one icon stands out.
    const DWORD start = ::GetTickCount();
    do {
        const Capture shown = CaptureScreen(rect);
        for (const auto& icon : kIcons)
            if (!shown.empty() && IconMatch(shown, icon.id) > 0.95) return buttons | icon.style;
        ::Sleep(30);
    } while (::GetTickCount() - start < timeoutMs);
    return buttons;
}

Capture Screenshot(HWND hwnd, const std::wstring& name)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    Capture capture = CaptureScreen(r);
    capture.SavePng(OutDir() + L"\\" + name + L".png");
    return capture;
}

// --- Programs ----------------------------------------------------------------------------------

Process::~Process()
{
    if (m_process) ::CloseHandle(m_process);
}

Process::Process(Process&& other) noexcept
    : m_process(std::exchange(other.m_process, nullptr)), m_id(std::exchange(other.m_id, 0))
{
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        if (m_process) ::CloseHandle(m_process);
        m_process = std::exchange(other.m_process, nullptr);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

Process Process::Start(const std::wstring& exe, const std::wstring& arguments,
                       const std::vector<std::wstring>& environment)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;

    // The child's environment: ours, with the given entries added or replaced.
    std::wstring block;
    if (!environment.empty()) {
        wchar_t* current = ::GetEnvironmentStringsW();
        for (const wchar_t* p = current; *p; p += wcslen(p) + 1) {
            std::wstring_view entry(p);
            bool replaced = false;
            for (const auto& extra : environment) {
                auto eq = extra.find(L'=');
                if (eq != std::wstring::npos && entry.size() > eq && entry.substr(0, eq + 1) == extra.substr(0, eq + 1))
                    replaced = true;
            }
            if (!replaced) block.append(entry).push_back(L'\0');
        }
        ::FreeEnvironmentStringsW(current);
        for (const auto& extra : environment) block.append(extra).push_back(L'\0');
        block.push_back(L'\0');
    }

    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    Process process;
    if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                         environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                         environment.empty() ? nullptr : block.data(), nullptr, &si, &pi)) {
        ::CloseHandle(pi.hThread);
        process.m_process = pi.hProcess;
        process.m_id = pi.dwProcessId;
    }
    return process;
}

Process Process::Attach(DWORD processId)
{
    Process process;
    process.m_process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process.m_process) process.m_id = processId;
    return process;
}

long Process::WaitForExit(DWORD timeoutMs)
{
    if (!m_process) return -1;
    bool ended = PumpUntil([&] { return ::WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0; }, timeoutMs);
    if (!ended) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    return static_cast<long>(code);
}

bool Process::Running() const
{
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void Process::Kill()
{
    if (Running()) {
        ::TerminateProcess(m_process, 1);
        ::WaitForSingleObject(m_process, 5000);
    }
}

std::vector<DWORD> ProcessesNamed(const wchar_t* exeName)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL ok = ::Process32FirstW(snapshot, &entry); ok; ok = ::Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, exeName) == 0) ids.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return ids;
}

// --- Input -------------------------------------------------------------------------------------

namespace {

INPUT MouseInput(POINT screenPoint, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(screenPoint.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(screenPoint.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return in;
}

}  // namespace

void MoveMouseTo(POINT screenPoint, DWORD buttonFlags)
{
    INPUT in = MouseInput(screenPoint, MOUSEEVENTF_MOVE | buttonFlags);
    ::SendInput(1, &in, sizeof(in));
}

void ClickAt(POINT screenPoint)
{
    // Each event carries the position: injected input moves Wine's cursor but not the X
    // pointer, and a crossing event that X sends late (a window mapped or unmapped under the
    // real pointer, the splash going say) puts the cursor back there; a press without a
    // position of its own then lands where the real pointer rests.
    const DWORD move = MOUSEEVENTF_MOVE;
    INPUT in[3] = {MouseInput(screenPoint, move), MouseInput(screenPoint, move | MOUSEEVENTF_LEFTDOWN),
                   MouseInput(screenPoint, move | MOUSEEVENTF_LEFTUP)};
    ::SendInput(3, in, sizeof(INPUT));
}

bool WaitUntilTakesInput(HWND window, POINT screenPoint, DWORD timeoutMs)
{
    return PumpUntil(
        [&] {
            if (!::IsWindow(window) || !::IsWindowVisible(window) || !::IsWindowEnabled(window)) return false;
            const HWND there = ::WindowFromPoint(screenPoint);
            if (there != window && !::IsChild(window, there)) return false;
            DWORD_PTR result = 0;
            return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 200, &result) != 0;
        },
        timeoutMs);
}

POINT CentreOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool ClickOn(HWND window, POINT screenPoint)
{
    if (!WaitUntilTakesInput(window, screenPoint)) return false;
    MoveMouseTo(screenPoint);
    Pump(150);
    ClickAt(screenPoint);
    return true;
}

bool ClickOn(HWND window)
{
    return ClickOn(window, CentreOf(window));
}

namespace {

INPUT KeyInput(WORD vk, WORD scan, DWORD flags)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags;
    return in;
}

}  // namespace

void PressKey(WORD vk, UINT modifiers)
{
    std::vector<WORD> held;
    if (modifiers & MOD_CONTROL) held.push_back(VK_CONTROL);
    if (modifiers & MOD_SHIFT) held.push_back(VK_SHIFT);
    if (modifiers & MOD_ALT) held.push_back(VK_MENU);
    std::vector<INPUT> in;
    for (WORD m : held) in.push_back(KeyInput(m, 0, 0));
    in.push_back(KeyInput(vk, 0, 0));
    in.push_back(KeyInput(vk, 0, KEYEVENTF_KEYUP));
    for (auto it = held.rbegin(); it != held.rend(); ++it) in.push_back(KeyInput(*it, 0, KEYEVENTF_KEYUP));
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void TypeText(std::wstring_view text)
{
    for (wchar_t c : text) {
        INPUT in[2] = {KeyInput(0, c, KEYEVENTF_UNICODE), KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)};
        ::SendInput(2, in, sizeof(INPUT));
    }
}

}  // namespace driver
