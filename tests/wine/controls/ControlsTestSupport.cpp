#include "tests/wine/controls/ControlsTestSupport.h"

#include "runtime/Screen.h"

namespace controls_test {

namespace {

rt::FormDesign HostDesign(const wchar_t* className, int left, int top, int width, int height, DWORD backColor)
{
    const rt::TwipsScale s = rt::Screen::Scale();
    rt::FormDesign d;
    d.className = className;
    d.caption = L"控件测试";
    d.clientWidth = s.ScaleXToTwips(width);
    d.clientHeight = s.ScaleYToTwips(height);
    d.left = s.ScaleXToTwips(left);
    d.top = s.ScaleYToTwips(top);
    d.startUp = rt::StartUpPosition::Manual;
    d.backColor = backColor;
    return d;
}

void Send(DWORD flags, POINT at, bool absolute)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    if (absolute) {
        in.mi.dx = static_cast<LONG>(at.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
        in.mi.dy = static_cast<LONG>(at.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof(in));
    driver::Pump(30);
}

}  // namespace

HostForm::HostForm(const wchar_t* className, int left, int top, int width, int height, DWORD backColor)
    : rt::Form(HostDesign(className, left, top, width, height, backColor))
{
}

HostForm* ShowSuiteHost(const wchar_t* className, int left, int top, int width, int height)
{
    auto* form = new HostForm(className, left, top, width, height);
    form->Show();
    driver::PumpUntil([form] { return form->Visible(); }, 3000);
    return form;
}

void CloseSuiteHost(HostForm*& form)
{
    form->Unload();
    delete form;
    form = nullptr;
}

void MoveTo(POINT screen)
{
    Send(MOUSEEVENTF_MOVE, screen, true);
    // The system may round the absolute position; put the cursor exactly where asked.
    ::SetCursorPos(screen.x, screen.y);
    driver::Pump(20);
}

void LeftDown() { Send(MOUSEEVENTF_LEFTDOWN, {}, false); }
void LeftUp() { Send(MOUSEEVENTF_LEFTUP, {}, false); }
void RightDown() { Send(MOUSEEVENTF_RIGHTDOWN, {}, false); }
void RightUp() { Send(MOUSEEVENTF_RIGHTUP, {}, false); }

POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT p{x, y};
    ::ClientToScreen(hwnd, &p);
    return p;
}

driver::Capture PicturePixels(const rt::Picture& picture)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, picture.handle());
    driver::Capture capture = driver::CaptureDC(dc, picture.WidthPixels(), picture.HeightPixels());
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return capture;
}

int Mismatches(const driver::Capture& capture, int x0, int y0, const driver::Capture& expected, int ex, int ey,
               int w, int h)
{
    int bad = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (capture.Rgb(x0 + x, y0 + y) != expected.Rgb(ex + x, ey + y)) ++bad;
    return bad;
}

Log Without(const Log& log, const std::string& prefix)
{
    Log kept;
    for (const auto& entry : log)
        if (entry.rfind(prefix, 0) != 0) kept.push_back(entry);
    return kept;
}

}  // namespace controls_test
