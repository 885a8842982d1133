#include "tests/wine/mainwindow/MainWindowTestSupport.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "runtime/Form.h"

namespace mainwindow_test {

void MoveToDpi(HWND window, int dpi)
{
    SIZE asked{};
    ::SendMessageW(window, rt::kWmGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&asked));
    RECT offered{};
    ::GetWindowRect(window, &offered);
    offered.right = offered.left + asked.cx;
    offered.bottom = offered.top + asked.cy;
    ::SendMessageW(window, rt::kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&offered));
}

RECT PlaceIn(HWND parent, HWND child)
{
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring GameUrl(const std::wstring& account)
{
    return Portal() + L"/game/?account=" + account;
}

int GameRequests(const char* account)
{
    const std::string log = driver::PortalLog();
    const std::string query = std::string("\"query\": \"account=") + account + "\"";
    int n = 0;
    for (std::size_t at = log.find(query); at != std::string::npos; at = log.find(query, at + 1)) ++n;
    return n;
}

HWND FindExitBox(DWORD processId)
{
    HWND box = driver::FindTopLevel(L"MsgFrm", nullptr, processId);
    return box && ::IsWindowVisible(box) ? box : nullptr;
}

namespace {

LONG LeftOf(HWND hwnd)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r.left;
}

struct KeyStroke {
    WORD vk;
    UINT modifiers;
};

// The keyboard answers: the first button ("是") has the focus when the box opens.
const std::vector<KeyStroke>* KeysFor(wchar_t answer)
{
    static const struct {
        wchar_t answer;
        std::vector<KeyStroke> keys;
    } table[] = {
        {L'K', {{VK_RETURN, 0}}},                                                   // "是"
        {L'T', {{VK_TAB, 0}, {VK_RETURN, 0}}},                                      // "否"
        {L'S', {{VK_TAB, MOD_SHIFT}, {VK_TAB, 0}, {VK_TAB, 0}, {VK_SPACE, 0}}},  // "否"
        {L'E', {{VK_ESCAPE, 0}}},
        {L'A', {{VK_F4, MOD_ALT}}},
    };
    for (const auto& row : table)
        if (row.answer == answer) return &row.keys;
    return nullptr;
}

}  // namespace

std::vector<HWND> ButtonsLeftToRight(HWND main)
{
    std::vector<HWND> buttons = driver::Descendants(main, L"iButton");
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) { return LeftOf(a) < LeftOf(b); });
    return buttons;
}

bool TrayIconShown(HWND main)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = NOTIFYICONDATAW_V2_SIZE;
    probe.hWnd = main;
    probe.uID = 1000;
    probe.uFlags = NIF_TIP;
    lstrcpyW(probe.szTip, L"LumoraVeldan客户端");
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

bool ChooseMenuItem(HWND toolButton, DWORD processId, int index)
{
    if (!driver::ClickOn(toolButton)) return false;
    HWND menu = nullptr;
    if (!driver::PumpUntil(
            [&] { return (menu = driver::FindTopLevel(L"#32768", nullptr, processId)) && ::IsWindowVisible(menu); },
            5000))
        return false;
    for (int i = 0; i <= index; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

void PressF10()
{
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_F10;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

bool WaitVisible(HWND hwnd, bool visible, DWORD timeoutMs)
{
    return driver::PumpUntil([&] { return (::IsWindowVisible(hwnd) != FALSE) == visible; }, timeoutMs);
}

ExitBoxAnswerer::ExitBoxAnswerer(std::wstring answers, DWORD processId)
    : m_answers(std::move(answers)), m_processId(processId), m_thread([this] { Watch(); })
{
}

ExitBoxAnswerer::~ExitBoxAnswerer()
{
    m_stop = true;
    m_thread.join();
}

bool ExitBoxAnswerer::WaitForCount(int count, DWORD timeoutMs) const
{
    return driver::PumpUntil([&] { return m_answered >= count; }, timeoutMs);
}

void ExitBoxAnswerer::Watch()
{
    std::size_t next = 0;
    HWND last = nullptr;
    while (!m_stop && next < m_answers.size()) {
        HWND box = FindExitBox(m_processId);
        if (!box || box == last) {
            // A box answered "否" may be followed by a new one with the same handle only after
            // the old one is gone.
            if (!box) last = nullptr;
            ::Sleep(20);
            continue;
        }
        ::Sleep(300);  // let it paint
        RECT r{};
        ::GetWindowRect(box, &r);
        if (next == 0) {
            m_firstBox = m_screenshot.empty() ? driver::CaptureScreen(r) : driver::Screenshot(box, m_screenshot);
        }
        wchar_t answer = m_answers[next++];
        if (answer == L'D' && next < m_answers.size()) {
            // Drag the caption strip by (40, 30), then answer with the next letter.
            const POINT from{r.left + 150, r.top + 15};
            driver::MoveMouseTo(from, 0);
            ::Sleep(150);
            driver::MoveMouseTo(from, MOUSEEVENTF_LEFTDOWN);
            for (int i = 1; i <= 5; ++i) {
                ::Sleep(30);
                driver::MoveMouseTo(POINT{from.x + 8 * i, from.y + 6 * i}, 0);
            }
            driver::MoveMouseTo(POINT{from.x + 40, from.y + 30}, MOUSEEVENTF_LEFTUP);
            RECT moved{};
            for (int i = 0; i < 100; ++i) {
                ::Sleep(20);
                ::GetWindowRect(box, &moved);
                if (moved.left != r.left) break;
            }
            m_dragOffset = {moved.left - r.left, moved.top - r.top};
            r = moved;
            answer = m_answers[next++];
        }
        if (answer == L'P' && next < m_answers.size()) {
            MoveToDpi(box, 144);
            ::Sleep(300);  // let it paint
            ::GetWindowRect(box, &r);
            m_boxAt144Dpi = driver::Screenshot(box, L"mainwindow_exit_box_144_dpi");
            answer = m_answers[next++];
        }
        if (const std::vector<KeyStroke>* keys = KeysFor(answer)) {
            // Keys go to the active window's focus: the box must have become active first.
            for (int i = 0; i < 100 && ::GetForegroundWindow() != box; ++i) ::Sleep(20);
            for (const KeyStroke& k : *keys) {
                driver::PressKey(k.vk, k.modifiers);
                ::Sleep(60);
            }
        } else if (answer == L'F') {
            ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            // Designer places in pixels: "是" at (56, 88), "否" at (136, 88), 65 x 25; the close
            // button 730 twips from the right edge, 43 x 18.
            POINT p{r.left + 88, r.top + 100};
            if (answer == L'N') p = {r.left + 168, r.top + 100};
            if (answer == L'C') p = {r.right - 49 + 21, r.top + 10};
            driver::MoveMouseTo(p, 0);
            ::Sleep(150);
            driver::MoveMouseTo(p, MOUSEEVENTF_LEFTDOWN);
            ::Sleep(60);
            driver::MoveMouseTo(p, MOUSEEVENTF_LEFTUP);
        }
        last = box;
        // Wait for this box to go before looking for the next.
        for (int i = 0; i < 250 && !m_stop && ::IsWindow(box) && ::IsWindowVisible(box); ++i) ::Sleep(20);
        ++m_answered;
    }
}

void Drag(POINT from, POINT to)
{
    driver::MoveMouseTo(from, 0);
    driver::Pump(150);
    driver::MoveMouseTo(from, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 10; ++i)
        driver::MoveMouseTo(POINT{from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}, 0);
    driver::MoveMouseTo(to, MOUSEEVENTF_LEFTUP);
    driver::Pump(500);
}

int PictureMismatches(const driver::Capture& capture, int x0, int y0, HBITMAP picture, int px, int py, int w, int h)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, picture);
    int bad = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x0 + x >= capture.width() || y0 + y >= capture.height()) {
                ++bad;
                continue;
            }
            if (!driver::ColorNear(capture.At(x0 + x, y0 + y), ::GetPixel(dc, px + x, py + y), 8)) ++bad;
        }
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return bad;
}

}  // namespace mainwindow_test
