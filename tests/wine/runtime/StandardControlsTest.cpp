// The runtime's standard controls on a real form: a picture box with a bitmap, a label with
// Chinese text, a popup menu chosen from the keyboard, and ANSI text files.

#include <gtest/gtest.h>

#include <fstream>

#include "runtime/Form.h"
#include "runtime/Label.h"
#include "runtime/PictureBox.h"
#include "runtime/PopupMenu.h"
#include "runtime/Screen.h"
#include "runtime/TextFile.h"
#include "runtime/Timer.h"
#include "tests/driver/Driver.h"

namespace {

class HostForm : public rt::Form {
public:
    HostForm() : rt::Form(Design()) {}

    rt::PictureBox logo;
    rt::Label question;

protected:
    void OnLoad() override
    {
        logo.Create(hWnd(), 150, 150, 900, 900);  // 60 x 60 pixels, larger than the 29 x 29 picture
        logo.SetBackColor(0x00FFFFFF);
        question.Create(hWnd(), 1200, 300, 3135, 615);
        question.SetCaption(L"窗口即将关闭，确定要退出游戏？");
    }

private:
    static rt::FormDesign Design()
    {
        rt::FormDesign d;
        d.className = L"StandardControlsHost";
        d.clientWidth = 4800;
        d.clientHeight = 1500;
        d.backColor = 0x00FFFFFF;
        return d;
    }
};

rt::Module OpenCorvane()
{
    return rt::Module(::LoadLibraryExW((driver::BuildDir() + L"\\app\\Corvane.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE));
}

TEST(StandardControls, PictureBoxAndLabelPaintTheirContent)
{
    rt::Module corvane = OpenCorvane();
    ASSERT_TRUE(corvane);
    rt::PictureRef logoPicture = rt::LoadResPicture(105, corvane.get());
    ASSERT_TRUE(logoPicture);

    HostForm form;
    form.Load();
    form.logo.SetPicture(logoPicture);
    form.Show();
    ::SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    // What the logo bitmap itself holds.
    rt::ClientDC screen(nullptr);
    rt::MemoryDC source(::CreateCompatibleDC(screen.get()));
    driver::Capture expected;
    {
        rt::SelectGuard select(source.get(), logoPicture->handle());
        expected = driver::CaptureDC(source.get(), 29, 29);
    }

    RECT logoRect;
    ::GetWindowRect(form.logo.hWnd(), &logoRect);
    driver::Capture shot;
    int matching = 0;
    driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(logoRect);
            matching = 0;
            for (int y = 0; y < 29; ++y)
                for (int x = 0; x < 29; ++x)
                    if (driver::ColorNear(shot.At(x, y), expected.At(x, y), 2)) ++matching;
            return matching == 29 * 29;
        },
        5000);
    EXPECT_EQ(matching, 29 * 29) << "the picture is drawn at the box's top-left corner";
    // Beyond the picture the box shows its back colour.
    EXPECT_EQ(shot.CountNear({30, 30, 60, 60}, 0x00FFFFFF), 30 * 30);

    RECT labelRect;
    ::GetWindowRect(form.question.hWnd(), &labelRect);
    const driver::Capture label = driver::CaptureScreen(labelRect);
    const int white = label.CountNear({0, 0, label.width(), label.height()}, 0x00FFFFFF, 8);
    EXPECT_GT(label.width() * label.height() - white, 100) << "the label's text leaves ink";
    EXPECT_GT(white, label.width() * label.height() / 2) << "the label lets the white form show through";
    driver::Screenshot(form.hWnd(), L"runtime_standard_controls");
    form.Unload();
}

TEST(StandardControls, PictureBoxMouseEventsInTwips)
{
    HostForm form;
    form.Show();
    std::vector<std::string> events;
    form.logo.MouseDown = [&](int& button, int&, double& x, double& y) {
        events.push_back("down " + std::to_string(button) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
    };
    form.logo.MouseMove = [&](int& button, int&, double&, double&) { events.push_back("move " + std::to_string(button)); };
    ::SendMessageW(form.logo.hWnd(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 3));
    ::SendMessageW(form.logo.hWnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(4, 4));
    const rt::TwipsScale s = rt::Screen::Scale();
    EXPECT_EQ(events, (std::vector<std::string>{
                          "down 2 " + std::to_string(s.TwipsX(2)) + " " + std::to_string(s.TwipsY(3)), "move 3"}));
    form.Unload();
}

TEST(StandardControls, PopupMenuReturnsTheChosenItem)
{
    HostForm form;
    form.Show();
    rt::PopupMenu menu;
    menu.Add(1, L"刷新(F5)");
    menu.Add(2, L"隐藏/恢复(F10)");
    menu.Add(3, L"-");
    menu.Add(4, L"版本号:");
    menu.SetCaption(4, L"版本号:1.1.0");
    EXPECT_EQ(menu.Count(), 4);
    EXPECT_EQ(menu.Caption(4), L"版本号:1.1.0");

    // While the menu's own loop runs, pick the second item from the keyboard.
    bool shotTaken = false;
    rt::Timer driverTimer([&] {
        HWND popup = driver::FindTopLevel(L"#32768", nullptr, ::GetCurrentProcessId());
        if (!popup || !::IsWindowVisible(popup) || shotTaken) return;
        shotTaken = true;
        driver::Screenshot(popup, L"runtime_popup_menu");
        ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
    });
    driverTimer.Start(200);
    EXPECT_EQ(menu.Show(form.hWnd()), 2u);
    driverTimer.Stop();
    EXPECT_TRUE(shotTaken);
    form.Unload();
}

TEST(TextFiles, AnsiLinesAreConvertedWithTheSystemCodePage)
{
    ASSERT_EQ(::GetACP(), 936u) << "the tests run with the players' code page";
    const std::wstring path = driver::BuildDir() + L"\\manifest-gbk.txt";
    {
        std::ofstream out(path.c_str(), std::ios::binary);
        out << "version=1.1.0\r\n\xB0\xE6\xB1\xBE|http://127.0.0.1/a\rlast";  // 版本 in GBK
    }
    auto lines = rt::ReadAnsiLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::wstring>{L"version=1.1.0", L"版本|http://127.0.0.1/a", L"last"}));
    EXPECT_FALSE(rt::ReadAnsiLines(path + L".missing"));
    ::DeleteFileW(path.c_str());
}

}  // namespace
