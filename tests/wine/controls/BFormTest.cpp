// BForm in a real window under Wine: the caption strip and the host's border painted from the
// frame skin (checked against the skin's own pixels), the caption, dragging the host through
// frmHwnd, the events, the fixed height and the persisted properties.

#include <gtest/gtest.h>

#include <thread>

#include "controls/BForm.h"
#include "resources/ResourceIds.h"
#include "runtime/Screen.h"
#include "tests/driver/HighContrastScheme.h"
#include "tests/wine/controls/ControlsTestSupport.h"

using namespace controls_test;
using corvane::BForm;

namespace {

class BFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_form = new HostForm(L"BFormHost", 100, 100, 600, 300);
        s_form->SetAutoRedraw(true);
        s_form->Show();
        driver::PumpUntil([] { return s_form->Visible(); }, 3000);
    }
    static void TearDownTestSuite()
    {
        s_form->Unload();
        delete s_form;
        s_form = nullptr;
    }

    void SetUp() override
    {
        MoveTo({5, 5});
        strip = std::make_unique<BForm>();
        strip->Create(s_form->hWnd(), 0, 0, s_form->ScaleWidth(), 500);
        strip->MouseDown = [this](short& button, short&, float&, float&) {
            RECT r;
            ::GetWindowRect(s_form->hWnd(), &r);
            log.push_back("MouseDown " + std::to_string(button) + " at " + std::to_string(r.left) + "," +
                          std::to_string(r.top));
        };
        strip->DblClick = [this] { log.push_back("DblClick"); };
        strip->MouseMove = [this](short&, short&, float&, float&) { log.push_back("MouseMove"); };
        skin = PicturePixels(*rt::LoadResPicture(IDB_FRAME_SKIN));
    }
    void TearDown() override
    {
        strip.reset();
        ::SetWindowPos(s_form->hWnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        driver::Pump(50);
    }

    driver::Capture StripPixels() const
    {
        const SIZE size = strip->PixelSize();
        return driver::CaptureDC(strip->hDC(), size.cx, size.cy);
    }

    // A press on the strip at (x, y), a drag by (dx, dy) from another thread (the press sits in
    // the system's move loop until the release), then the release.
    void DragStrip(int x, int y, int dx, int dy)
    {
        const POINT from = ScreenPoint(strip->hWnd(), x, y);
        MoveTo(from);
        std::thread mover([from, dx, dy] {
            ::Sleep(150);
            for (int step = 1; step <= 4; ++step) {
                ::SetCursorPos(from.x + dx * step / 4, from.y + dy * step / 4);
                INPUT in{};
                in.type = INPUT_MOUSE;
                in.mi.dwFlags = MOUSEEVENTF_MOVE;
                ::SendInput(1, &in, sizeof(in));
                ::Sleep(40);
            }
            INPUT up{};
            up.type = INPUT_MOUSE;
            up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            ::SendInput(1, &up, sizeof(up));
        });
        LeftDown();
        driver::PumpUntil([&] { return !Without(log, "MouseMove").empty(); }, 3000);
        mover.join();
        driver::Pump(100);
    }

    std::unique_ptr<BForm> strip;
    driver::Capture skin;
    Log log;
    static HostForm* s_form;
};

HostForm* BFormTest::s_form = nullptr;

TEST_F(BFormTest, StripIsTiledFromTheSkinWithTheCaption)
{
    rt::PropertyBag none;
    strip->ReadProperties(none);
    strip->SetCaption(L"LumoraVeldan");
    strip->SetHasLogo(true);
    // Every resize keeps the strip 500 twips high.
    EXPECT_EQ(strip->Height(), rt::Screen::Scale().TwipsY(33));
    strip->Move(0, 0, 9000, 1200);
    EXPECT_EQ(strip->PixelSize().cy, 33);

    const driver::Capture shown = StripPixels();
    ASSERT_EQ(shown.width(), 600);
    // Left end (pixels 0..35), a middle tile (x = 300 is the start of tile 15: skin column 20),
    // the right end from 8000 twips = pixel 533 (skin column 27), rows clear of the caption.
    for (int y : {1, 30}) {
        EXPECT_EQ(shown.Rgb(5, y), skin.Rgb(5, y)) << y;
        EXPECT_EQ(shown.Rgb(300, y), skin.Rgb(20, y)) << y;
        EXPECT_EQ(shown.Rgb(319, y), skin.Rgb(39, y)) << y;
        EXPECT_EQ(shown.Rgb(590, y), skin.Rgb(84, y)) << y;
    }
    // The caption in white from (600, 150) twips = (40, 10) pixels on.
    const RECT text{40, 10, 140, 24};
    EXPECT_GT(shown.CountNear(text, 0xFFFFFF, 40), 10);
    const RECT beforeText{0, 10, 38, 24};
    EXPECT_EQ(shown.CountNear(beforeText, 0xFFFFFF, 40), skin.CountNear(beforeText, 0xFFFFFF, 40));

    driver::Pump(100);
    driver::Screenshot(s_form->hWnd(), L"controls_bform_strip");

    // Without the logo the caption starts at (150, 150) twips.
    strip->SetHasLogo(false);
    const driver::Capture plain = StripPixels();
    const RECT early{10, 10, 38, 24};
    EXPECT_GT(plain.CountNear(early, 0xFFFFFF, 40), skin.CountNear(early, 0xFFFFFF, 40));
}

// In High Contrast the caption takes the scheme's caption colours, text on its backdrop; a
// change of the scheme redraws the strip, and so does the way back.
TEST_F(BFormTest, HighContrastCaptionInTheSchemesColours)
{
    rt::PropertyBag none;
    strip->ReadProperties(none);
    strip->SetCaption(L"LumoraVeldan");
    strip->SetHasLogo(true);
    strip->Move(0, 0, 9000, 1200);
    const RECT text{40, 10, 140, 24};
    const COLORREF back = 0x00800000, ink = 0x0000FFFF;
    {
        driver::HighContrastScheme scheme{{COLOR_ACTIVECAPTION, back}, {COLOR_CAPTIONTEXT, ink}};
        ASSERT_TRUE(scheme);
        ASSERT_TRUE(driver::PumpUntil([&] { return StripPixels().CountNear(text, back) > 200; }, 3000));
        const driver::Capture shown = StripPixels();
        EXPECT_GT(shown.CountNear(text, ink, 40), 10);
        EXPECT_EQ(shown.CountNear(text, 0xFFFFFF, 40), 0);
        driver::Screenshot(s_form->hWnd(), L"controls_bform_contrast");
    }
    ASSERT_TRUE(driver::PumpUntil([&] { return StripPixels().CountNear(text, back) == 0; }, 3000));
    EXPECT_GT(StripPixels().CountNear(text, 0xFFFFFF, 40), 10);
}

TEST_F(BFormTest, PrintformPaintsTheHostBorder)
{
    // A host of 3000 x 2000 twips: 11 bottom tiles, 7 on each side.
    HostForm host(L"BorderHost", 700, 100, 200, 133);
    host.SetAutoRedraw(true);
    host.Show();
    ASSERT_TRUE(driver::PumpUntil([&] { return host.Visible(); }, 3000));
    BForm caption;
    caption.Create(host.hWnd(), 0, 0, host.ScaleWidth(), 500);
    caption.SetCaption(L"提示");
    caption.Printform(host);
    const driver::Capture shown = driver::CaptureDC(host.hDC(), 200, 133);
    // Left edge: tile 2 at 40 px from skin row 53; right edge from skin column 90; bottom four
    // rows from skin row 81, a bottom tile at 100 px from skin column 20.
    EXPECT_EQ(shown.Rgb(1, 50), skin.Rgb(1, 63));
    EXPECT_EQ(shown.Rgb(3, 100), skin.Rgb(3, 53 + 20));
    EXPECT_EQ(shown.Rgb(198, 50), skin.Rgb(92, 63));
    EXPECT_EQ(shown.Rgb(100, 131), skin.Rgb(20, 83));
    EXPECT_EQ(shown.Rgb(5, 130), skin.Rgb(5, 82));    // bottom-left corner
    EXPECT_EQ(shown.Rgb(195, 130), skin.Rgb(89, 82));  // bottom-right corner
    // Inside, the host's own back colour; the border is 4 pixels wide.
    EXPECT_EQ(shown.Rgb(100, 80), 0xFFFFFFu);
    EXPECT_EQ(shown.Rgb(4, 80), 0xFFFFFFu);
    EXPECT_EQ(shown.Rgb(195, 80), 0xFFFFFFu);
    driver::Pump(100);
    driver::Screenshot(host.hWnd(), L"controls_bform_printform");
    host.Unload();
}

TEST_F(BFormTest, DraggingTheStripMovesFrmHwnd)
{
    strip->SetfrmHwnd(s_form->hWnd());
    DragStrip(300, 15, 40, 24);
    RECT r;
    ::GetWindowRect(s_form->hWnd(), &r);
    EXPECT_EQ(r.left, 140);
    EXPECT_EQ(r.top, 124);
    // MouseDown reaches the host after the move loop has ended.
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 1 at 140,124"}));
    LeftUp();
}

TEST_F(BFormTest, WithoutFrmHwndNothingMoves)
{
    DragStrip(300, 15, 40, 24);
    LeftUp();
    RECT r;
    ::GetWindowRect(s_form->hWnd(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(Without(log, "MouseMove").front(), "MouseDown 1 at 100,100");
}

TEST_F(BFormTest, RightButtonAndDoubleClick)
{
    strip->SetfrmHwnd(s_form->hWnd());
    MoveTo(ScreenPoint(strip->hWnd(), 200, 10));
    log.clear();
    RightDown();
    RightUp();
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 2 at 100,100"}));
    log.clear();
    strip->SetfrmHwnd(nullptr);
    LeftDown();
    LeftUp();
    LeftDown();
    LeftUp();
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 1 at 100,100", "DblClick"}));
    MoveTo(ScreenPoint(strip->hWnd(), 210, 12));
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "MouseMove");
}

TEST_F(BFormTest, PropertiesPersistInOrderWithTheirDefaults)
{
    rt::PropertyBag bag;
    strip->ReadProperties(bag);
    EXPECT_EQ(bag.ReadOrder(), (std::vector<std::wstring>{L"BackColor", L"Caption", L"frmHwnd", L"HasLogo"}));
    EXPECT_EQ(strip->BackColor(), L"14346732");
    EXPECT_EQ(strip->Caption(), L"NewForm");

    strip->SetBackColor(L"255");
    EXPECT_EQ(strip->BackColor(), L"255");
    strip->SetBackColor(L"not a colour");
    EXPECT_EQ(strip->BackColor(), L"255");
    strip->SetCaption(L"LumoraVeldan");
    EXPECT_EQ(strip->ChangedProperties(), (std::vector<std::wstring>{L"BackColor", L"Caption"}));

    rt::PropertyBag saved;
    strip->WriteProperties(saved);
    EXPECT_EQ(saved.WriteOrder(), (std::vector<std::wstring>{L"BackColor", L"Caption", L"frmHwnd", L"HasLogo"}));
    // frmHwnd 0 is its default; HasLogo has none and is always stored.
    EXPECT_FALSE(saved.Contains(L"frmHwnd"));
    EXPECT_TRUE(saved.Contains(L"HasLogo"));

    BForm other;
    other.Create(s_form->hWnd(), 0, 1000, 3000, 500);
    rt::PropertyBag loaded = rt::PropertyBag::Parse(saved.Serialize());
    other.ReadProperties(loaded);
    EXPECT_EQ(other.BackColor(), L"255");
    EXPECT_EQ(other.Caption(), L"LumoraVeldan");
    EXPECT_FALSE(other.HasLogo());
}

}  // namespace
