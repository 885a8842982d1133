// Update.exe as it stands: it shows its window "更新" for a moment and ends by itself.

#include <gtest/gtest.h>

#include "tests/driver/Driver.h"

namespace {

TEST(UpdaterStub, ShowsItsWindowThenEnds)
{
    driver::Process updater = driver::Process::Start(driver::BuildDir() + L"\\updater\\Update.exe");
    ASSERT_TRUE(updater);
    HWND window = nullptr;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            window = driver::FindTopLevel(L"UpdateFrm", nullptr, updater.id());
            return window && ::IsWindowVisible(window);
        },
        15000));
    EXPECT_EQ(driver::WindowText(window), L"更新");

    // Its client area is the form's white background.
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    driver::Capture shot;
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(client);
            return shot.CountNear({0, 0, shot.width(), shot.height()}, 0x00FFFFFF) == shot.width() * shot.height();
        },
        1500));
    shot.SavePng(driver::OutDir() + L"\\updater.png");

    EXPECT_EQ(updater.WaitForExit(15000), 0);
}

}  // namespace
