// The runtime's services under Wine: message boxes answered through the driver, timers, the
// application object, the event log and resources read from the built executable.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "runtime/App.h"
#include "runtime/MessageBox.h"
#include "runtime/Resources.h"
#include "runtime/Timer.h"
#include "tests/driver/Driver.h"

namespace {

std::wstring CorvaneExe()
{
    return driver::BuildDir() + L"\\app\\Corvane.exe";
}

std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    BITMAPINFO info = rt::TopDownDib32(width, height);
    rt::ClientDC screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    return pixels;
}

TEST(MessageBoxes, FixedTitleAndTheButtonPressed)
{
    driver::MessageBoxAnswerer answerer(rt::kAnswerYes);
    answerer.SetScreenshotPrefix(L"messagebox");
    EXPECT_EQ(rt::MsgBox(L"发现有新版本，是否现在更新！", rt::kMsgQuestionYesNo), rt::kAnswerYes);
    answerer.SetButton(rt::kAnswerNo);
    EXPECT_EQ(rt::MsgBox(L"您是否要退出更新！", rt::kMsgQuestionYesNo), rt::kAnswerNo);
    answerer.SetButton(IDOK);
    EXPECT_EQ(rt::MsgBox(L"缓存已清理完毕！", rt::kMsgInformation, rt::kCacheTitle), rt::kAnswerOk);
    EXPECT_EQ(rt::MsgBox(L"软件已升至最新版本！", rt::kMsgInformation), rt::kAnswerOk);

    auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title, L"提示");
    EXPECT_EQ(seen[0].text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(seen[1].text, L"您是否要退出更新！");
    EXPECT_EQ(seen[2].title, L"缓存清理");

    // The Chinese texts are drawn with real glyphs: two different texts of the same length
    // leave different amounts of ink, where missing glyphs would all be the same box.
    EXPECT_GT(seen[2].textInk, 50);
    EXPECT_GT(seen[3].textInk, 50);
    EXPECT_EQ(seen[2].text.size() + 2, seen[3].text.size());
    EXPECT_NE(seen[2].textInk, seen[3].textInk);
}

// The driver tells every box's style apart by its pixels and buttons, the program's three and
// the ones it never uses alike, so a box shown with the wrong icon is caught.
TEST(MessageBoxes, StyleReadFromTheIconAndTheButtons)
{
    static constexpr unsigned kStyles[] = {rt::kMsgExclamation, rt::kMsgQuestionYesNo, rt::kMsgInformation,
                                           MB_ICONHAND, MB_OK, MB_ICONQUESTION | MB_OKCANCEL,
                                           MB_ICONEXCLAMATION | MB_YESNOCANCEL};
    driver::MessageBoxAnswerer answerer(IDCANCEL);
    answerer.SetRecordStyle(true);
    for (unsigned style : kStyles) {
        answerer.SetButton((style & MB_TYPEMASK) == MB_YESNO ? IDNO : (style & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL);
        rt::MsgBox(L"样式", style);
    }
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), std::size(kStyles));
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].style, kStyles[i]) << "box " << i;
}

TEST(Timers, TickUntilStoppedEvenFromTheirOwnCallback)
{
    int ticks = 0;
    rt::Timer timer;
    timer.SetHandler([&] {
        if (++ticks == 3) timer.Stop();
    });
    timer.Start(20);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(driver::PumpUntil([&] { return !timer.Enabled(); }, 3000));
    driver::Pump(100);
    EXPECT_EQ(ticks, 3);
}

TEST(Timers, DestroyedInsideItsCallback)
{
    auto timer = std::make_unique<rt::Timer>();
    int ticks = 0;
    timer->SetHandler([&] {
        ++ticks;
        timer.reset();
    });
    timer->Start(20);
    EXPECT_TRUE(driver::PumpUntil([&] { return timer == nullptr; }, 3000));
    driver::Pump(100);
    EXPECT_EQ(ticks, 1);
}

TEST(Application, PathNameAndVersion)
{
    const std::wstring exe = rt::App::ExePath();
    EXPECT_EQ(rt::App::EXEName(), L"runtime_test");
    EXPECT_EQ(rt::App::Path() + L"\\runtime_test.exe", exe);
    EXPECT_NE(rt::App::Path().back(), L'\\');

    rt::Module corvane(::LoadLibraryExW(CorvaneExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(corvane) << "cannot open " << driver::WideToUtf8(CorvaneExe());
    rt::VersionFields v = rt::App::Version(corvane.get());
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 1);
    EXPECT_EQ(v.build, 0);
    EXPECT_EQ(v.revision, 0);
}

TEST(Application, EventLogGoesToTheInstalledSink)
{
    std::vector<std::wstring> entries;
    rt::App::SetLogSink([&](const std::wstring& text) { entries.push_back(text); });
    rt::App::LogEvent(L"CSubclass.Subclass: 超出范围");
    rt::App::SetLogSink(nullptr);
    rt::App::LogEvent(L"to the system log, not to the sink");
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"CSubclass.Subclass: 超出范围"}));
}

TEST(Resources, BitmapsAndCustomResourcesOfAModule)
{
    rt::Module corvane(::LoadLibraryExW(CorvaneExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(corvane);
    rt::PictureRef strip = rt::LoadResPicture(102, corvane.get());
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->WidthPixels(), 150);
    EXPECT_EQ(strip->HeightPixels(), 18);
    EXPECT_EQ(strip->WidthHimetric(), 3969);  // 150 px at 96 dpi
    EXPECT_EQ(rt::LoadResPicture(999, corvane.get()), nullptr);

    EXPECT_FALSE(rt::CustomResource(101, L"PNG", corvane.get()).empty());
    EXPECT_TRUE(rt::CustomResource(103, L"PNG", corvane.get()).empty());
}

TEST(Resources, PicturesDrawnForAScaleShowOneToOneAndAreShrunkFrameByFrameBetweenScales)
{
    rt::Module corvane(::LoadLibraryExW(CorvaneExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(corvane);
    const int frames[] = {43, 43, 43};  // the caption close strip, 129 x 18 at 100 %
    struct Case {
        int dpi;
        int width;
        int height;
        int drawnId;  // the resource shown 1:1, 0 when shrunk
    };
    const Case cases[] = {
        {96, 129, 18, 103},   {120, 162, 22, 1103}, {144, 192, 27, 2103}, {168, 225, 32, 3103},
        {192, 258, 36, 4103}, {108, 144, 20, 0},    {132, 177, 25, 0},    {240, 324, 45, 0},
    };
    for (const Case& c : cases) {
        const rt::PictureRef picture = rt::LoadResPictureFor(103, c.dpi, corvane.get(), 0xFF00FF, frames);
        ASSERT_TRUE(picture) << c.dpi;
        // Frames of whole pixels: 129 x 1.25 would be 161, a third of it no whole pixel.
        EXPECT_EQ(picture->WidthPixels(), c.width) << c.dpi << " dpi";
        EXPECT_EQ(picture->HeightPixels(), c.height) << c.dpi << " dpi";
        if (c.drawnId == 0) continue;
        rt::Bitmap drawn(static_cast<HBITMAP>(
            ::LoadImageW(corvane.get(), MAKEINTRESOURCEW(c.drawnId), IMAGE_BITMAP, 0, 0, 0)));
        ASSERT_TRUE(drawn) << c.drawnId;
        const std::vector<std::uint32_t> shown = BitmapPixels(picture->handle(), c.width, c.height);
        EXPECT_FALSE(shown.empty());
        EXPECT_TRUE(shown == BitmapPixels(drawn.get(), c.width, c.height)) << c.dpi << " dpi: not the drawn picture";
    }
}

}  // namespace
