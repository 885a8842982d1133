// cSetStyle on a real window under Wine: the window style, CloseClick for exactly SC_CLOSE,
// maximising to the work area and restoring, fitting on WM_SETTINGCHANGE, and resizing by the
// edge zones with the outline, the minima and the mouse capture.

#include <gtest/gtest.h>

#include <memory>

#include "controls/cSetStyle.h"
#include "runtime/Form.h"
#include "runtime/Screen.h"
#include "tests/wine/controls/ControlsTestSupport.h"

using controls_test::Log;
using corvane::cSetStyle;

namespace {

class StyledForm : public controls_test::HostForm {
public:
    explicit StyledForm(Log& log) : HostForm(L"StyledForm", 100, 100, 900, 700, 0x00F0E0D0), m_log(log) {}
    bool cancelClose = true;

protected:
    void OnQueryUnload(bool& cancel, rt::UnloadMode) override
    {
        m_log.push_back("QueryUnload");
        cancel = cancelClose;
    }

private:
    Log& m_log;
};

// The work area for the length of a test.
// The screen's work area as a taskbar at `top` or `bottom` leaves it, for as long as it lives.
class WorkArea {
public:
    explicit WorkArea(int bottom)
    {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_saved, 0);
        Set(bottom);
    }
    ~WorkArea() { ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &m_saved, 0); }
    void Set(int bottom, int top = 0)
    {
        RECT r{0, top, ::GetSystemMetrics(SM_CXSCREEN), bottom};
        ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &r, 0);
    }

private:
    RECT m_saved{};
};

class SetStyleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_log = new Log;
        s_form = new StyledForm(*s_log);
        s_form->Show();
        driver::PumpUntil([] { return s_form->Visible(); }, 3000);
    }
    static void TearDownTestSuite()
    {
        s_form->cancelClose = false;
        s_form->Unload();
        delete s_form;
        delete s_log;
    }

    void SetUp() override
    {
        ::SetWindowPos(s_form->hWnd(), nullptr, 100, 100, 900, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        controls_test::MoveTo({1200, 1000});
        style = std::make_unique<cSetStyle>();
        style->SetobjForm(s_form);
        style->SetWindowStyle(s_form->hWnd());
        style->CloseClick = [] { s_log->push_back("CloseClick"); };
        style->SettingChange = [] { s_log->push_back("SettingChange"); };
        style->MouseSize = [](std::int32_t zone) { s_log->push_back("MouseSize " + std::to_string(zone)); };
        s_log->clear();
    }
    void TearDown() override { style.reset(); }

    static RECT Rect()
    {
        RECT r;
        ::GetWindowRect(s_form->hWnd(), &r);
        return r;
    }

    // The cursor to screen point (x, y), then the message as the window would get it there.
    static void Mouse(UINT msg, int x, int y, WPARAM keys)
    {
        ::SetCursorPos(x, y);
        POINT client{x, y};
        ::ScreenToClient(s_form->hWnd(), &client);
        ::SendMessageW(s_form->hWnd(), msg, keys, MAKELPARAM(client.x, client.y));
    }

    std::unique_ptr<cSetStyle> style;
    static StyledForm* s_form;
    static Log* s_log;
};

StyledForm* SetStyleTest::s_form = nullptr;
Log* SetStyleTest::s_log = nullptr;

TEST_F(SetStyleTest, StyleIsSystemMenuAndMinimiseBox)
{
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(s_form->hWnd(), GWL_STYLE));
    EXPECT_EQ(style & ~WS_CLIPSIBLINGS, 0xA0000u | WS_VISIBLE);
}

TEST_F(SetStyleTest, CloseClickForExactlyScClose)
{
    ::SendMessageW(s_form->hWnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    // Raised before the window's own processing, which still runs.
    EXPECT_EQ(*s_log, (Log{"CloseClick", "QueryUnload"}));
    s_log->clear();
    ::SendMessageW(s_form->hWnd(), WM_SYSCOMMAND, 0xF061, 0);
    EXPECT_EQ(*s_log, (Log{"QueryUnload"}));
}

TEST_F(SetStyleTest, MaximiseToTheWorkAreaAndRestore)
{
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    WorkArea area(screenHeight - 40);

    EXPECT_TRUE(style->CallWindowStateChange());
    RECT r = Rect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, screenHeight - 40);
    controls_test::MoveTo({0, 0});
    driver::Pump(100);
    driver::Screenshot(s_form->hWnd(), L"controls_setstyle_maximised");

    // A settings change refits the maximised window to the new work area.
    area.Set(screenHeight - 60);
    s_log->clear();
    ::SendMessageW(s_form->hWnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(*s_log, (Log{"SettingChange"}));
    EXPECT_EQ(Rect().bottom, screenHeight - 60);

    // While maximised no zone is reported and no resize starts.
    s_log->clear();
    Mouse(WM_MOUSEMOVE, 0, 300, 0);
    Mouse(WM_LBUTTONDOWN, 0, 300, MK_LBUTTON);
    EXPECT_FALSE(style->IsResizing());
    Mouse(WM_LBUTTONUP, 0, 300, 0);
    EXPECT_TRUE(controls_test::Without(*s_log, "MouseSize").size() == s_log->size());

    EXPECT_FALSE(style->CallWindowStateChange());
    r = Rect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.right - r.left, 900);
    EXPECT_EQ(r.bottom - r.top, 700);

    // A taskbar at the top: the maximised window starts below it and reaches the screen's bottom.
    area.Set(screenHeight, 40);
    EXPECT_TRUE(style->CallWindowStateChange());
    r = Rect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, screenHeight);
    EXPECT_FALSE(style->CallWindowStateChange());
    EXPECT_EQ(Rect().top, 100);
}

TEST_F(SetStyleTest, ZonesAreReportedOnMouseMoves)
{
    Mouse(WM_MOUSEMOVE, 500, 400, 0);
    Mouse(WM_MOUSEMOVE, 1000, 400, 0);
    Mouse(WM_MOUSEMOVE, 998, 798, 0);
    Mouse(WM_MOUSEMOVE, 102, 101, 0);
    EXPECT_EQ(controls_test::Without(*s_log, "x"), (Log{"MouseSize -1", "MouseSize 2", "MouseSize 3", "MouseSize 7"}));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZENWSE));
}

// On a monitor of 120 dpi the edge is 6 pixels and the minimum 1000 x 750: 96-dpi pixels at the
// window's scale.
TEST_F(SetStyleTest, ZonesAndMinimaAreThoseOfTheWindowsDpi)
{
    const auto moveToDpi = [](int dpi) {
        RECT same = Rect();
        ::SendMessageW(s_form->hWnd(), rt::kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&same));
    };
    moveToDpi(120);
    Mouse(WM_MOUSEMOVE, 106, 400, 0);
    Mouse(WM_MOUSEMOVE, 107, 400, 0);
    EXPECT_EQ(controls_test::Without(*s_log, "x"), (Log{"MouseSize 6", "MouseSize -1"}));
    // 999 pixels wide is not more than 1000: the right edge stays; 1001 is.
    for (const int x : {1099, 1101}) {
        Mouse(WM_MOUSEMOVE, Rect().right - 1, 400, 0);
        Mouse(WM_LBUTTONDOWN, Rect().right - 1, 400, MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, x, 400, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, x, 400, 0);
    }
    EXPECT_EQ(Rect().right, 1101);
    moveToDpi(96);  // for the tests after this one
}

TEST_F(SetStyleTest, RightEdgeResizeKeepsTheMinimumAndMovesOnlyOnRelease)
{
    Mouse(WM_MOUSEMOVE, 999, 400, 0);
    Mouse(WM_LBUTTONDOWN, 999, 400, MK_LBUTTON);
    EXPECT_TRUE(style->IsResizing());
    EXPECT_EQ(::GetCapture(), s_form->hWnd());
    Mouse(WM_MOUSEMOVE, 1100, 420, MK_LBUTTON);
    // The outline follows; the window does not.
    EXPECT_EQ(Rect().right, 1000);
    const RECT band{1095, 300, 1105, 500};
    const driver::Capture outlined = driver::CaptureScreen(band);
    // Narrower than 800 + 1 pixels: the edge stays at 1100.
    Mouse(WM_MOUSEMOVE, 850, 420, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 850, 420, 0);
    EXPECT_FALSE(style->IsResizing());
    EXPECT_EQ(::GetCapture(), nullptr);
    RECT r = Rect();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.right, 1100);
    EXPECT_EQ(r.bottom - r.top, 700);
    // The dotted outline was on the screen during the drag, its right side at x = 1099, and is
    // gone after it.
    const auto dotted = [](const driver::Capture& c) {
        int n = 0;
        for (int y = 0; y < c.height(); ++y) n += c.Rgb(4, y) != c.Rgb(0, y);
        return n;
    };
    EXPECT_GT(dotted(outlined), 20);
    EXPECT_EQ(dotted(driver::CaptureScreen({1195, 300, 1205, 500})), 0);
}

TEST_F(SetStyleTest, BottomRightCornerKeepsWhicheverEdgeReachesItsMinimum)
{
    Mouse(WM_MOUSEMOVE, 1000, 800, 0);
    Mouse(WM_LBUTTONDOWN, 1000, 800, MK_LBUTTON);
    // Width 700 is below the minimum, height 650 is not.
    Mouse(WM_MOUSEMOVE, 800, 750, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 800, 750, 0);
    RECT r = Rect();
    EXPECT_EQ(r.right - r.left, 900);
    EXPECT_EQ(r.bottom - r.top, 650);

    // The left edge dragged right stops while the width would be 800 or less.
    Mouse(WM_MOUSEMOVE, 100, 400, 0);
    Mouse(WM_LBUTTONDOWN, 100, 400, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 180, 400, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 250, 400, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 250, 400, 0);
    r = Rect();
    EXPECT_EQ(r.left, 180);
    EXPECT_EQ(r.right, 1000);
    driver::Pump(100);
    driver::Screenshot(s_form->hWnd(), L"controls_setstyle_resized");
}

}  // namespace
