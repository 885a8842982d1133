// iButton in a real window under Wine: its event sequences for the mouse and the keyboard, the
// frame painted for each state (compared with the strip's own pixels), the two-state button,
// Locked, the caption and icon placement, AutoSize and the persisted properties.

#include <gtest/gtest.h>

#include <memory>

#include "controls/iButton.h"
#include "resources/ResourceIds.h"
#include "runtime/Rounding.h"
#include "runtime/Screen.h"
#include "tests/wine/controls/ControlsTestSupport.h"

using namespace controls_test;
using corvane::iButton;

namespace {

class IButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_form = new HostForm(L"IButtonHost", 100, 100, 400, 200);
        s_form->Show();
        driver::PumpUntil([] { return s_form->Visible(); }, 3000);
    }
    static void TearDownTestSuite()
    {
        s_form->Unload();
        delete s_form;
        s_form = nullptr;
    }

    void SetUp() override { MoveTo({5, 5}); }

    // A button at (x, y) pixels of the form, width x height pixels, its events logged.
    std::unique_ptr<iButton> MakeButton(int x, int y, int w, int h)
    {
        auto b = std::make_unique<iButton>();
        const rt::TwipsScale s = rt::Screen::Scale();
        b->Create(s_form->hWnd(), s.ScaleXToTwips(x), s.ScaleYToTwips(y), s.ScaleXToTwips(w), s.ScaleYToTwips(h));
        b->Click = [this] { log.push_back("Click"); };
        b->MouseDown = [this](short& button, short&, float&, float&) { log.push_back("MouseDown " + std::to_string(button)); };
        b->MouseUp = [this](short& button, short&, float&, float&) { log.push_back("MouseUp " + std::to_string(button)); };
        b->MouseMove = [this](short&, short&, float&, float&) { log.push_back("MouseMove"); };
        b->KeyDown = [this](short& key, short&) { log.push_back("KeyDown " + std::to_string(key)); };
        b->KeyUP = [this](short& key, short&) { log.push_back("KeyUP " + std::to_string(key)); };
        b->KeyPress = [this](short& key) { log.push_back("KeyPress " + std::to_string(key)); };
        b->MouseOut = [this] { log.push_back("MouseOut"); };
        b->MouseOver = [this] { log.push_back("MouseOver"); };
        b->DBClick = [this] { log.push_back("DBClick"); };
        // The first timer tick after creation finds the pointer elsewhere: one MouseOut.
        driver::PumpUntil([&] { return !log.empty(); }, 1000);
        EXPECT_EQ(log, Log{"MouseOut"});
        log.clear();
        return b;
    }

    // Lets the windows paint, then saves what the screen shows of the form.
    static driver::Capture Shot(const wchar_t* name)
    {
        driver::Pump(100);
        return driver::Screenshot(s_form->hWnd(), name);
    }

    static rt::PictureRef Strip(int id) { return rt::LoadResPicture(id); }

    // The button's surface against frame `frame` of `strip` (pixel for pixel, no stretching).
    static int FrameMismatches(const iButton& b, const rt::Picture& strip, int frame, int frameWidth)
    {
        const SIZE size = b.PixelSize();
        const driver::Capture shown = driver::CaptureDC(b.hdc(), size.cx, size.cy);
        return Mismatches(shown, 0, 0, PicturePixels(strip), frame * frameWidth, 0, frameWidth, strip.HeightPixels());
    }

    static POINT Centre(const iButton& b)
    {
        const SIZE size = b.PixelSize();
        return ScreenPoint(b.hWnd(), size.cx / 2, size.cy / 2);
    }

    Log log;
    static HostForm* s_form;
};

HostForm* IButtonTest::s_form = nullptr;

TEST_F(IButtonTest, LeftClickRaisesItsEventsInOrderAndPaintsEachFrame)
{
    auto b = MakeButton(20, 20, 60, 40);
    auto strip = Strip(IDB_CAPTION_MIN);  // 72 x 18: three 24-pixel frames
    b->SetBackPicture(strip);
    // AutoSize (the default) sizes the control to one frame at 15 twips per pixel.
    EXPECT_EQ(b->Width(), 360);
    EXPECT_EQ(b->Height(), 270);
    EXPECT_EQ(b->ShownState(), corvane::kStateNormal);
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 24), 0);

    MoveTo(Centre(*b));
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseOver"}));
    EXPECT_EQ(log.front(), "MouseMove");  // MouseMove comes first
    EXPECT_EQ(b->ShownState(), corvane::kStateHover);
    EXPECT_EQ(FrameMismatches(*b, *strip, 1, 24), 0);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));

    log.clear();
    LeftDown();
    EXPECT_EQ(b->ShownState(), corvane::kStatePressed);
    EXPECT_EQ(FrameMismatches(*b, *strip, 2, 24), 0);
    EXPECT_EQ(::GetFocus(), b->hWnd());
    LeftUp();
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 1", "MouseUp 1", "Click"}));
    EXPECT_EQ(b->ShownState(), corvane::kStateHover);
    // What the screen shows: the window copies its surface when it paints.
    const driver::Capture screen = Shot(L"controls_ibutton_hover");
    EXPECT_EQ(Mismatches(screen, 20, 20, PicturePixels(*strip), 24, 0, 24, 18), 0);

    log.clear();
    MoveTo({5, 5});
    EXPECT_TRUE(driver::PumpUntil([&] { return !Without(log, "MouseMove").empty(); }, 1000));
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseOut"}));
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 24), 0);
}

TEST_F(IButtonTest, RightClickNeverClicksNorShowsThePressedFrame)
{
    auto b = MakeButton(20, 20, 60, 40);
    b->SetBackPicture(Strip(IDB_CAPTION_MIN));
    MoveTo(Centre(*b));
    log.clear();
    RightDown();
    EXPECT_EQ(b->ShownState(), corvane::kStateHover);
    RightUp();
    driver::Pump(100);
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 2", "MouseUp 2"}));
}

TEST_F(IButtonTest, DoubleClickGivesOneClick)
{
    auto b = MakeButton(20, 20, 60, 40);
    b->SetBackPicture(Strip(IDB_CAPTION_MIN));
    MoveTo(Centre(*b));
    log.clear();
    std::vector<int> shown;
    b->DBClick = [&] {
        log.push_back("DBClick");
        shown.push_back(b->ShownState());
    };
    LeftDown();
    LeftUp();
    LeftDown();
    LeftUp();
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseDown 1", "MouseUp 1", "Click", "DBClick", "MouseUp 1"}));
    // The second press shows the pressed frame through the double-click handling.
    EXPECT_EQ(shown, std::vector<int>{corvane::kStatePressed});
}

TEST_F(IButtonTest, PressMoveOutAndReleaseOutsideDoesNotClick)
{
    auto b = MakeButton(20, 20, 60, 40);
    auto strip = Strip(IDB_CAPTION_MIN);
    b->SetBackPicture(strip);
    MoveTo(Centre(*b));
    LeftDown();
    log.clear();
    MoveTo(ScreenPoint(s_form->hWnd(), 300, 150));
    // While the press is held outside, the timer keeps running and the button shows normal.
    EXPECT_TRUE(driver::PumpUntil([&] { return b->ShownState() == corvane::kStateNormal; }, 1000));
    driver::Pump(120);
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 24), 0);
    MoveTo(Centre(*b));
    EXPECT_TRUE(driver::PumpUntil([&] { return b->ShownState() == corvane::kStatePressed; }, 1000));
    MoveTo(ScreenPoint(s_form->hWnd(), 300, 150));
    LeftUp();
    EXPECT_TRUE(driver::PumpUntil([&] { return Without(log, "MouseMove").size() == 2; }, 1000));
    EXPECT_EQ(Without(log, "MouseMove"), (Log{"MouseUp 1", "MouseOut"}));
    EXPECT_EQ(b->ShownState(), corvane::kStateNormal);
    EXPECT_TRUE(s_form->mouseLog.empty());
}

TEST_F(IButtonTest, EnterClicksOnKeyDownAndSpaceOnKeyUp)
{
    auto b = MakeButton(20, 20, 60, 40);
    b->SetBackPicture(Strip(IDB_CAPTION_MIN));
    ::SetFocus(b->hWnd());
    driver::Pump(50);
    log.clear();
    ::SendMessageW(b->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(b->hWnd(), WM_CHAR, 13, 0);
    ::SendMessageW(b->hWnd(), WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(log, (Log{"KeyDown 13", "Click", "KeyPress 13", "KeyUP 13"}));

    log.clear();
    ::SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(b->ShownState(), corvane::kStatePressed);
    ::SendMessageW(b->hWnd(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(log, (Log{"KeyDown 32", "KeyUP 32", "Click"}));
    EXPECT_EQ(b->ShownState(), corvane::kStateNormal);

    // A KeyDown handler that clears KeyCode suppresses the key's handling.
    b->KeyDown = [this](short& key, short&) {
        log.push_back("KeyDown " + std::to_string(key));
        key = 0;
    };
    log.clear();
    ::SendMessageW(b->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageW(b->hWnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(log, (Log{"KeyDown 13", "KeyDown 32"}));
    EXPECT_EQ(b->ShownState(), corvane::kStateNormal);
}

TEST_F(IButtonTest, FocusRectangleIsInvertedThreePixelsIn)
{
    auto b = MakeButton(20, 20, 60, 40);
    auto strip = Strip(IDB_CAPTION_CLOSE);  // 129 x 18: 43-pixel frames
    b->SetBackPicture(strip);
    ::SetFocus(nullptr);
    driver::Pump(30);
    ::SetFocus(b->hWnd());
    driver::Pump(30);
    const driver::Capture shown = driver::CaptureDC(b->hdc(), 43, 18);
    const driver::Capture face = PicturePixels(*strip);
    // The dotted rectangle inverts every other pixel of its outline (3, 3) .. (39, 14).
    const auto inverted = [&](int x, int y) { return shown.Rgb(x, y) == (~face.Rgb(x, y) & 0xFFFFFF); };
    const auto countRow = [&](int y, int x0, int x1) {
        int n = 0;
        for (int x = x0; x <= x1; ++x) n += inverted(x, y);
        return n;
    };
    const auto countColumn = [&](int x, int y0, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) n += inverted(x, y);
        return n;
    };
    EXPECT_TRUE(inverted(3, 3));
    EXPECT_GE(countRow(3, 3, 39), 18);
    EXPECT_GE(countRow(14, 3, 39), 18);
    EXPECT_GE(countColumn(3, 3, 14), 5);
    EXPECT_GE(countColumn(39, 3, 14), 5);
    EXPECT_EQ(countRow(2, 0, 42) + countRow(15, 0, 42) + countColumn(2, 0, 17) + countColumn(40, 0, 17), 0);
    EXPECT_EQ(countRow(8, 5, 37), 0);
    // Losing the focus repaints without it.
    ::SetFocus(s_form->hWnd());
    driver::Pump(30);
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 43), 0);
}

TEST_F(IButtonTest, TwoStateButtonFlipsValueBeforeClick)
{
    auto b = MakeButton(20, 20, 60, 40);
    auto strip = Strip(IDB_CAPTION_MINMAX);  // 150 x 18: six 25-pixel frames
    b->SetStyle(1);
    b->SetBackPicture(strip);
    EXPECT_EQ(b->Width(), 375);
    std::vector<bool> seen;
    b->Click = [&] { seen.push_back(b->Value()); };
    MoveTo(Centre(*b));
    LeftDown();
    LeftUp();
    ASSERT_EQ(seen, std::vector<bool>{true});
    // Hover while latched: frame 4.
    EXPECT_EQ(FrameMismatches(*b, *strip, 4, 25), 0);
    MoveTo({5, 5});
    EXPECT_TRUE(driver::PumpUntil([&] { return b->ShownState() == corvane::kStateNormal; }, 1000));
    EXPECT_EQ(FrameMismatches(*b, *strip, 3, 25), 0);

    ::SendMessageW(b->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    // Enter drew the focus rectangle over the face; without the focus the face is plain.
    ::SetFocus(s_form->hWnd());
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 25), 0);

    b->SetValue(true);
    EXPECT_EQ(FrameMismatches(*b, *strip, 3, 25), 0);
    Shot(L"controls_ibutton_twostate");
}

TEST_F(IButtonTest, ValueStaysFalseOnANormalButtonAndLockedShowsPressed)
{
    auto b = MakeButton(20, 20, 60, 40);
    auto strip = Strip(IDB_CAPTION_MIN);
    b->SetBackPicture(strip);
    b->SetValue(true);
    EXPECT_FALSE(b->Value());
    b->SetLocked(true);
    EXPECT_EQ(b->ShownState(), corvane::kStateNormal);
    EXPECT_EQ(FrameMismatches(*b, *strip, 2, 24), 0);
    b->SetLocked(false);
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 24), 0);
    // Disabled: the strip has no frame for it; the normal face is shown.
    b->SetEnabled(false);
    EXPECT_EQ(b->ShownState(), corvane::kStateDisabled);
    EXPECT_EQ(FrameMismatches(*b, *strip, 0, 24), 0);
}

// The bounding box of the pixels darker than `limit` on every channel (the glyphs are smoothed).
RECT DarkBox(const driver::Capture& c, std::uint32_t limit = 0xC0)
{
    RECT box{c.width(), c.height(), -1, -1};
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const std::uint32_t p = c.Rgb(x, y);
            if (((p >> 16) & 0xFF) < limit && ((p >> 8) & 0xFF) < limit && (p & 0xFF) < limit) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
        }
    return box;
}

TEST_F(IButtonTest, CaptionIsCentredAndMovesOnePixelWhilePressed)
{
    auto b = MakeButton(20, 80, 80, 30);
    b->SetCaption(L"是");  // no picture: background and caption only, in button-text colour
    const driver::Capture normal = driver::CaptureDC(b->hdc(), 80, 30);
    const RECT box = DarkBox(normal);
    ASSERT_GE(box.right, box.left) << "no caption pixels";
    // Centred within a few pixels (glyph side bearings).
    EXPECT_NEAR((box.left + box.right) / 2.0, 40, 3);
    EXPECT_NEAR((box.top + box.bottom) / 2.0, 15, 3);
    b->cMouseAction(corvane::kStatePressed, true);
    const RECT pressed = DarkBox(driver::CaptureDC(b->hdc(), 80, 30));
    EXPECT_EQ(pressed.left, box.left + 1);
    EXPECT_EQ(pressed.top, box.top + 1);
    // Locked shows the pressed face but moves the caption only in the pressed state itself.
    b->cMouseAction(corvane::kStateNormal, true);
    b->SetLocked(true);
    EXPECT_EQ(DarkBox(driver::CaptureDC(b->hdc(), 80, 30)).left, box.left);
}

TEST_F(IButtonTest, IconSitsLeftOfTheCaption)
{
    // GameSpaceBtn: 13 x 22 strip stretched to 1215 x 330 twips, 16 x 22 icon, white underlined text.
    auto b = MakeButton(20, 120, 81, 22);
    b->SetAutoSize(false);
    b->Move(rt::kKeep, rt::kKeep, 1215, 330);
    corvane::FontDesc font;
    font.underline = true;
    b->SetcFont(font);
    b->SetcForeColor(0xFFFFFF);
    b->SetCaption(L"游戏大厅");
    auto icon = Strip(IDB_GAMESPACE_ICON);
    b->SetIcon(icon);
    b->SetBackPicture(Strip(IDB_GAMESPACE_STRIP));
    const SIZE size = b->PixelSize();
    ASSERT_EQ(size.cx, 81);
    const driver::Capture shown = driver::CaptureDC(b->hdc(), size.cx, size.cy);
    // The icon's x: width / 2 - text width / 2 - 240 / 2 twips.
    SIZE text{};
    {
        HDC dc = b->hdc();
        LOGFONTW lf{};
        lf.lfHeight = -12;
        lf.lfUnderline = TRUE;
        lf.lfCharSet = GB2312_CHARSET;
        lstrcpyW(lf.lfFaceName, L"宋体");
        HFONT f = ::CreateFontIndirectW(&lf);
        HGDIOBJ old = ::SelectObject(dc, f);
        ::GetTextExtentPoint32W(dc, L"游戏大厅", 4, &text);
        ::SelectObject(dc, old);
        ::DeleteObject(f);
    }
    const double iconX = 1215 / 2.0 - text.cx * 15 / 2.0 - 120;
    const int iconPx = rt::Screen::Scale().PixelsX(rt::RoundHalfEven(iconX));
    EXPECT_EQ(Mismatches(shown, iconPx, 0, PicturePixels(*icon), 0, 0, 16, 22), 0);
    const driver::Capture screen = Shot(L"controls_ibutton_icon");
    EXPECT_EQ(Mismatches(screen, 20 + iconPx, 120, PicturePixels(*icon), 0, 0, 16, 22), 0);
}

TEST_F(IButtonTest, PropertiesPersistWithTheirKeysOrdersAndDefaults)
{
    auto b = MakeButton(200, 20, 60, 40);
    rt::PropertyBag bag;
    b->WriteProperties(bag);
    EXPECT_EQ(bag.WriteOrder(), (std::vector<std::wstring>{L"BackPicture", L"Icon", L"Enabled", L"Style", L"cBackStyle",
                                                          L"Caption", L"AutoSize", L"cFont", L"cDrawMode", L"cForeColor"}));
    // Only the keys without a default are stored for a button left as it was made.
    EXPECT_EQ(bag.Size(), 3u);
    EXPECT_EQ(std::get<std::int32_t>(bag.Read(L"cForeColor", 0)), static_cast<std::int32_t>(0x80000012));
    EXPECT_EQ(std::get<std::int32_t>(bag.Read(L"cDrawMode", 0)), 13);

    auto strip = Strip(IDB_YESNO_STRIP);
    b->SetBackPicture(strip);
    b->SetCaption(L"否");
    b->SetStyle(1);
    b->SetAutoSize(false);
    EXPECT_EQ(b->ChangedProperties(), (std::vector<std::wstring>{L"BackPicture", L"Caption", L"Style", L"AutoSize"}));
    rt::PropertyBag saved;
    b->WriteProperties(saved);
    EXPECT_TRUE(b->ChangedProperties().empty());
    EXPECT_TRUE(saved.Contains(L"BackPicture"));
    EXPECT_FALSE(saved.Contains(L"Icon"));

    // Through the text form and into a new button: read in the fixed order, the strip intact.
    rt::PropertyBag loaded = rt::PropertyBag::Parse(saved.Serialize());
    auto c = MakeButton(200, 80, 60, 40);
    c->ReadProperties(loaded);
    EXPECT_EQ(loaded.ReadOrder(), (std::vector<std::wstring>{L"BackPicture", L"Icon", L"Enabled", L"cBackStyle", L"Caption",
                                                            L"Style", L"AutoSize", L"cForeColor", L"cFont", L"cDrawMode"}));
    EXPECT_EQ(c->Caption(), L"否");
    EXPECT_EQ(c->Style(), 1);
    EXPECT_FALSE(c->AutoSize());
    ASSERT_TRUE(c->BackPicture());
    EXPECT_EQ(Mismatches(PicturePixels(*c->BackPicture()), 0, 0, PicturePixels(*strip), 0, 0, 225, 22), 0);

    // A damaged picture entry loses that property only.
    rt::PropertyBag damaged = rt::PropertyBag::Parse(L"BackPicture=\"DIB 9 9 00\"\nCaption=\"ok\"\n");
    auto d = MakeButton(200, 140, 60, 40);
    d->ReadProperties(damaged);
    EXPECT_FALSE(d->BackPicture());
    EXPECT_EQ(d->Caption(), L"ok");
}

}  // namespace

namespace {

TEST_F(IButtonTest, ButtonsOnOneStripShareItsFramesAndRepaintAsAskedFor)
{
    auto strip = Strip(IDB_CAPTION_MIN);
    auto first = MakeButton(20, 20, 60, 40);
    auto second = MakeButton(120, 20, 60, 40);
    first->SetBackPicture(strip);
    second->SetBackPicture(strip);
    EXPECT_EQ(FrameMismatches(*first, *strip, 0, 24), 0);
    EXPECT_EQ(FrameMismatches(*second, *strip, 0, 24), 0);
    // The frames outlive the button that cut them, and a disabled button still shows its face.
    first.reset();
    second->SetEnabled(false);
    EXPECT_EQ(FrameMismatches(*second, *strip, 0, 24), 0);
    second->SetEnabled(true);

    // Several changes in a row end as if each had repainted at once: the icon, stored without a
    // repaint, stays off the surface until the next state change draws it.
    auto b = MakeButton(220, 20, 80, 30);
    b->SetAutoSize(false);
    b->SetBackPicture(Strip(IDB_GAMESPACE_STRIP));
    b->SetCaption(L"游戏");
    const SIZE size = b->PixelSize();
    const driver::Capture withoutIcon = driver::CaptureDC(b->hdc(), size.cx, size.cy);
    b->SetCaption(L"大厅");
    b->SetCaption(L"游戏");
    auto icon = Strip(IDB_GAMESPACE_ICON);
    b->SetIcon(icon);
    EXPECT_EQ(Mismatches(driver::CaptureDC(b->hdc(), size.cx, size.cy), 0, 0, withoutIcon, 0, 0, size.cx, size.cy), 0);
    b->SetEnabled(true);
    EXPECT_GT(Mismatches(driver::CaptureDC(b->hdc(), size.cx, size.cy), 0, 0, withoutIcon, 0, 0, size.cx, size.cy), 20);
    // What the surface holds is what reaches the screen.
    const driver::Capture surface = driver::CaptureDC(b->hdc(), size.cx, size.cy);
    const driver::Capture screen = Shot(L"controls_ibutton_shared");
    POINT at{0, 0};
    ::MapWindowPoints(b->hWnd(), s_form->hWnd(), &at, 1);
    EXPECT_EQ(Mismatches(screen, at.x, at.y, surface, 0, 0, size.cx, size.cy), 0);
}

}  // namespace
