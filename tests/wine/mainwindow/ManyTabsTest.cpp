// Many accounts in one main window, with real mouse and keys: the selected tab whole on the
// strip however far right it lies, the chevron's list of every tab, the tab keys from inside a
// game page (which never sees them). 14 tabs in a 1280 x 800 window; in the 800 x 600 desktop
// (run_in_small_desktop.sh) 8 tabs in the maximised window.

#include <gtest/gtest.h>

#include <ole2.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/PublicData.h"
#include "mainwindow/WebMainFrm.h"
#include "tabstrip/CTabItem.h"
#include "tabstrip/CaptionFit.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using corvane::WebMainFrm;

bool SmallScreen()
{
    return ::GetSystemMetrics(SM_CXSCREEN) < 1280;
}

long TabCount()
{
    return SmallScreen() ? 8 : 14;
}

class ManyTabs : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::OleInitialize(nullptr);
        ::CopyFileW((driver::SourceDir() + L"\\resources\\vld.ico").c_str(), corvane::IconFilePath().c_str(), FALSE);
        WebMainFrm& frm = WebMainFrm::Instance();
        // The first page has text fields, to show that the tab keys never reach a page.
        frm.SetURL(driver::Portal() + L"/inputs/2/");
        frm.Show();
        ASSERT_TRUE(mainwindow_test::WaitVisible(frm.hWnd(), true));
        if (!SmallScreen()) {
            // Restored, then 1280 x 800.
            ASSERT_TRUE(driver::ClickOn(frm.MinMaxButton().rt::Window::hWnd()));
            ASSERT_TRUE(driver::PumpUntil([&] { return !frm.MinMaxButton().Value(); }, 3000));
            ::SetWindowPos(frm.hWnd(), nullptr, 0, 0, 1280, 800, SWP_NOZORDER | SWP_NOACTIVATE);
            driver::Pump(200);
        }
        for (long i = 1; i < TabCount(); ++i) frm.SetURL(mainwindow_test::GameUrl(L"acct" + std::to_wstring(i)));
        // Every page has loaded when the portal has been quiet for a second.
        std::string log = driver::PortalLog();
        DWORD quietSince = ::GetTickCount();
        driver::PumpUntil(
            [&] {
                const std::string now = driver::PortalLog();
                if (now != log) {
                    log = now;
                    quietSince = ::GetTickCount();
                }
                return ::GetTickCount() - quietSince > 1000;
            },
            20000);
    }

    static void TearDownTestSuite()
    {
        if (WebMainFrm* frm = WebMainFrm::IfExists()) {
            frm->m_bExit = true;
            frm->Unload();
        }
        driver::Pump(200);
    }

    static WebMainFrm& Frm() { return WebMainFrm::Instance(); }
    static corvane::uTab& Strip() { return Frm().TabStrip(); }
    static HWND StripWindow() { return Strip().rt::Window::hWnd(); }

    // A point of the strip in screen coordinates, from tab-area coordinates.
    static POINT OnStrip(long rx, long y)
    {
        POINT p{Strip().TabLeftSize() + rx, y};
        ::ClientToScreen(StripWindow(), &p);
        return p;
    }

    // The selected tab's left and right ends as drawn, in tab-area coordinates.
    static std::pair<long, long> SelectedAsDrawn()
    {
        const auto tab = Strip().TabItems().Item(Strip().Selected());
        const long shift = Strip().Overflow().shift;
        return {tab->Left() - shift, tab->Left() + tab->Width() - shift};
    }

    static bool Foreground()
    {
        ::SetForegroundWindow(Frm().hWnd());
        return driver::PumpUntil([] { return ::GetForegroundWindow() == Frm().hWnd(); }, 3000);
    }
};

TEST_F(ManyTabs, TheLastTabIsSelectedAndWholeOnTheStrip)
{
    corvane::uTab& strip = Strip();
    ASSERT_EQ(strip.TabItems().Count(), TabCount());
    EXPECT_EQ(strip.Selected(), TabCount() - 1) << "a new page is selected";
    RECT client{};
    ::GetClientRect(StripWindow(), &client);
    if (!SmallScreen()) {
        EXPECT_EQ(client.right, 820);
    }
    const corvane::TabOverflow overflow = strip.Overflow();
    ASSERT_TRUE(overflow.chevron) << "the last tabs lie beyond the strip's end";
    const auto [left, right] = SelectedAsDrawn();
    EXPECT_GT(overflow.shift, 0);
    EXPECT_GE(left, 0);
    EXPECT_EQ(right, overflow.chevronLeft) << "whole, by the least shift";

    driver::Pump(300);
    const driver::Capture window = driver::Screenshot(Frm().hWnd(), SmallScreen() ? L"tabs-8" : L"tabs-14");
    RECT stripRect{};
    ::GetWindowRect(StripWindow(), &stripRect);
    RECT mainRect{};
    ::GetWindowRect(Frm().hWnd(), &mainRect);
    const long x0 = stripRect.left - mainRect.left + strip.TabLeftSize();
    const long y0 = stripRect.top - mainRect.top;
    // The selected tab's face is near white from end to end; the close mark (slate blue) at its
    // right end; the chevron's "»" in dark ink after it.
    for (long x : {left + 8, (left + right) / 2, right - 24})
        EXPECT_TRUE(driver::ColorNear(window.At(x0 + x, y0 + 22), 0xF0F0F0, 40)) << "selected face at " << x;
    const RECT glyph{x0 + right - 20, y0 + 7, x0 + right - 8, y0 + 19};
    EXPECT_GT(window.CountNear(glyph, RGB(61, 78, 110), 40), 6) << "its close mark";
    // Inside the chevron's outline only its glyph is darker than the light face.
    const RECT chevron{x0 + overflow.chevronLeft + 10, y0 + 6, x0 + overflow.visibleWidth - 10, y0 + 20};
    EXPECT_GT(window.CountNear(chevron, RGB(64, 64, 64), 96), 4) << "the chevron's glyph";

    // The pointer over the shifted tab finds that tab: its whole caption in the tooltip.
    // The pointer comes from the page area, so that the strip reports the tab it enters.
    RECT pages{};
    ::GetWindowRect(Frm().PageContainer(), &pages);
    driver::MoveMouseTo({(pages.left + pages.right) / 2, (pages.top + pages.bottom) / 2});
    ASSERT_TRUE(driver::PumpUntil([&] { return Frm().ToolTip().Text().empty(); }, 3000));
    const POINT over = OnStrip((left + right) / 2 - 10, 12);
    ASSERT_TRUE(driver::WaitUntilTakesInput(StripWindow(), over, 3000));
    driver::MoveMouseTo(over);
    const auto caption = [&] { return strip.TabItems().Item(TabCount() - 1)->Caption(); };
    EXPECT_TRUE(driver::PumpUntil([&] { return !caption().empty() && Frm().ToolTip().Text() == caption(); }, 3000))
        << driver::WideToUtf8(Frm().ToolTip().Text()) << " / " << driver::WideToUtf8(caption());
    // A click on the body of the tab drawn left of it selects that one.
    const POINT before = OnStrip(left - 40, 12);
    EXPECT_TRUE(driver::ClickOn(StripWindow(), before));
    EXPECT_TRUE(driver::PumpUntil([&] { return strip.Selected() == TabCount() - 2; }, 3000));
    strip.SetSelected(TabCount() - 1);
}

// Reads the chevron's menu from a thread of its own (the test's thread is inside the menu's
// loop), then picks the third item with real keys.
class MenuReader {
public:
    MenuReader()
        : m_thread([this] {
              const DWORD until = ::GetTickCount() + 5000;
              HWND menu = nullptr;
              while (!menu && ::GetTickCount() < until) {
                  menu = ::FindWindowW(L"#32768", nullptr);
                  if (menu && !::IsWindowVisible(menu)) menu = nullptr;
                  if (!menu) ::Sleep(20);
              }
              if (!menu) return;
              HMENU items = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
              count = ::GetMenuItemCount(items);
              for (int i = 0; i < count; ++i) {
                  wchar_t text[256] = {};
                  ::GetMenuStringW(items, i, text, 256, MF_BYPOSITION);
                  captions.push_back(text);
                  if (::GetMenuState(items, i, MF_BYPOSITION) & MF_CHECKED) checked = i;
              }
              for (int i = 0; i < 3; ++i) driver::PressKey(VK_DOWN);
              driver::PressKey(VK_RETURN);
          })
    {
    }
    ~MenuReader()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    void Join() { m_thread.join(); }

    int count = -1;
    int checked = -1;
    std::vector<std::wstring> captions;

private:
    std::thread m_thread;
};

TEST_F(ManyTabs, TheChevronListsEveryTabAndSelectsTheThird)
{
    corvane::uTab& strip = Strip();
    strip.SetSelected(TabCount() - 1);
    ASSERT_TRUE(Foreground());
    const corvane::TabOverflow overflow = strip.Overflow();
    ASSERT_TRUE(overflow.chevron);
    const POINT chevron = OnStrip((overflow.chevronLeft + overflow.visibleWidth) / 2, 12);
    ASSERT_TRUE(driver::WaitUntilTakesInput(StripWindow(), chevron, 3000));
    // Counts TabChanged for the length of the test, passing it on to the main window.
    struct CountChanges {
        explicit CountChanges(corvane::uTab& strip) : strip(strip), previous(strip.TabChanged)
        {
            strip.TabChanged = [this] {
                ++count;
                if (previous) previous();
            };
        }
        ~CountChanges() { strip.TabChanged = previous; }
        corvane::uTab& strip;
        std::function<void()> previous;
        long count = 0;
    } changed(strip);
    MenuReader reader;
    EXPECT_TRUE(driver::ClickOn(StripWindow(), chevron));
    EXPECT_TRUE(driver::PumpUntil([&] { return strip.Selected() == 2; }, 8000));
    reader.Join();
    EXPECT_EQ(reader.count, TabCount());
    EXPECT_EQ(reader.checked, TabCount() - 1) << "the selected tab is checked";
    ASSERT_EQ(static_cast<long>(reader.captions.size()), TabCount());
    for (long i = 0; i < TabCount(); ++i)
        EXPECT_EQ(reader.captions[i], corvane::MenuCaption(strip.TabItems().Item(i)->Caption(), i)) << i;
    EXPECT_EQ(changed.count, 1) << "TabChanged, as a click on the tab raises it";
    EXPECT_EQ(strip.Overflow().shift, 0) << "the third tab lies inside the area";
}

TEST_F(ManyTabs, TabKeysSwitchTabsAndNeverReachThePage)
{
    corvane::uTab& strip = Strip();
    corvane::CTabItems& tabs = strip.TabItems();
    ASSERT_TRUE(Foreground());
    // The keyboard in the first page: its first text field with the lite engine, else the
    // innermost window of the system's browser control.
    strip.SetSelected(0);
    driver::Pump(200);
    HWND page = reinterpret_cast<HWND>(tabs.Item(0)->Form()->hWnd());
    std::vector<HWND> fields = driver::Descendants(page, L"Edit");
    const char* engine = std::getenv("CORVANE_WEBVIEW");
    const bool systemControl = engine && std::string(engine) == "mshtml";
    HWND focus = nullptr;
    std::wstring fieldText;
    if (!systemControl) {
        ASSERT_EQ(fields.size(), 2u) << "the page's two text fields";
        focus = fields[0];
        RECT r{};
        ::GetWindowRect(focus, &r);
        const POINT inField{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ASSERT_TRUE(driver::ClickOn(focus, inField));
        ASSERT_TRUE(driver::PumpUntil([&] { return ::GetFocus() == focus; }, 3000));
        driver::PressKey(VK_END);
        driver::TypeText(L"abc");
        fieldText = driver::WindowText(focus);
        ASSERT_TRUE(driver::PumpUntil([&] { return driver::WindowText(focus) == L"0abc"; }, 3000));
        fieldText = L"0abc";
    } else {
        focus = page;
        while (HWND child = ::GetWindow(focus, GW_CHILD)) focus = child;
        ::SetFocus(focus);
        ASSERT_TRUE(driver::PumpUntil([&] { return ::GetFocus() == focus; }, 3000));
    }
    strip.SetSelected(TabCount() - 1);
    driver::Pump(100);
    const std::string log = driver::PortalLog();

    struct Step {
        WORD vk;
        UINT modifiers;
        long selected;
        const char* name;
    };
    const Step steps[] = {
        {VK_TAB, MOD_CONTROL, 0, "Ctrl+Tab from the last wraps to the first"},
        {VK_TAB, MOD_CONTROL, 1, "Ctrl+Tab"},
        {VK_TAB, MOD_CONTROL | MOD_SHIFT, 0, "Ctrl+Shift+Tab"},
        {VK_TAB, MOD_CONTROL | MOD_SHIFT, TabCount() - 1, "Ctrl+Shift+Tab from the first wraps to the last"},
        {'2', MOD_CONTROL, 1, "Ctrl+2"},
        {'9', MOD_CONTROL, TabCount() - 1, "Ctrl+9"},
        {'1', MOD_CONTROL, 0, "Ctrl+1"},
    };
    for (const Step& s : steps) {
        driver::PressKey(s.vk, s.modifiers);
        EXPECT_TRUE(driver::PumpUntil([&] { return strip.Selected() == s.selected; }, 3000)) << s.name;
        // The last tab selected shows it whole.
        const auto [left, right] = SelectedAsDrawn();
        EXPECT_LE(right, strip.Overflow().chevronLeft) << s.name;
        EXPECT_GE(left, 0) << s.name;
    }
    driver::Pump(500);
    EXPECT_EQ(::GetFocus(), focus) << "no Tab moved the focus in the page";
    if (!fieldText.empty()) {
        EXPECT_EQ(driver::WindowText(focus), fieldText) << "no key typed into the field";
        EXPECT_EQ(driver::WindowText(fields[1]), L"1");
    }
    EXPECT_EQ(driver::PortalLog(), log) << "no key made the page ask the portal for anything";
}

}  // namespace
