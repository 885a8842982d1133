#include <gtest/gtest.h>

#include "runtime/OnScreen.h"

namespace {

using rt::ScreenRect;
using rt::Sizing;

struct Case {
    const char* name;
    ScreenRect window;
    ScreenRect workArea;
    Sizing sizing;
    ScreenRect expected;
};

// 800 x 600 with a 30-pixel taskbar at the bottom, as Wine's desktop has one.
constexpr ScreenRect kSmall{0, 0, 800, 570};
constexpr ScreenRect kLarge{0, 0, 1920, 1040};

const Case kCases[] = {
    {"a window that fits stays where it is", {516, 261, 1404, 779}, kLarge, Sizing::Fixed, {516, 261, 1404, 779}},
    {"a shrinkable one too", {442, 200, 1478, 839}, kLarge, Sizing::Shrinkable, {442, 200, 1478, 839}},
    {"the exit box centred on a small screen", {279, 230, 521, 370}, kSmall, Sizing::Fixed, {279, 230, 521, 370}},
    {"partly left of the work area: moved just inside", {-10, 100, 290, 300}, kSmall, Sizing::Fixed,
     {0, 100, 300, 300}},
    {"partly right of it", {700, 100, 1000, 300}, kSmall, Sizing::Fixed, {500, 100, 800, 300}},
    {"partly under the taskbar: moved up", {100, 500, 400, 600}, kSmall, Sizing::Fixed, {100, 470, 400, 570}},
    {"above the top: moved down", {100, -40, 400, 60}, kSmall, Sizing::Fixed, {100, 0, 400, 100}},
    {"the taskbar on the left", {0, 100, 300, 300}, {62, 0, 800, 600}, Sizing::Fixed, {62, 100, 362, 300}},
    {"the second monitor's work area", {1800, 100, 2300, 400}, {1920, 0, 3200, 1024}, Sizing::Fixed,
     {1920, 100, 2420, 400}},
    {"the login pair, wider than a small screen: its right end and caption links on it",
     {-44, 41, 844, 559}, kSmall, Sizing::Fixed, {-88, 41, 800, 559}},
    {"taller than the work area: its top on it", {100, -20, 400, 640}, kSmall, Sizing::Fixed,
     {100, 0, 400, 660}},
    {"both: the top-right corner stays on the work area", {-118, -19, 918, 620}, kSmall, Sizing::Fixed,
     {-236, 0, 800, 639}},
    {"the main window restored on a small screen shrinks to the work area", {-118, -19, 918, 620}, kSmall,
     Sizing::Shrinkable, {0, 0, 800, 570}},
    {"shrunk in width only", {-118, 10, 918, 300}, kSmall, Sizing::Shrinkable, {0, 10, 800, 300}},
    {"exactly the work area's size", {0, 0, 800, 570}, kSmall, Sizing::Fixed, {0, 0, 800, 570}},
};

TEST(OnScreen, WindowsKeepTheirCornerAndCaptionButtonsOnTheWorkArea)
{
    for (const Case& c : kCases) {
        const ScreenRect got = rt::KeepOnWorkArea(c.window, c.workArea, c.sizing);
        EXPECT_EQ(got, c.expected) << c.name << ": got " << got.left << "," << got.top << " - " << got.right << ","
                                   << got.bottom;
    }
}

// Maximised: the work area of the window's own monitor, in twips at the window's factors.
TEST(OnScreen, MaximisedWindowsCoverTheirMonitorsWorkArea)
{
    const struct {
        const char* name;
        ScreenRect workArea;
        double twipsPerPixel;
        rt::TwipsPlace expected;
    } cases[] = {
        {"a 40-pixel taskbar at the bottom of a 1920 x 1080 primary screen", {0, 0, 1920, 1040}, 15,
         {0, 0, 28800, 15600}},
        {"the taskbar at the top", {0, 40, 1920, 1080}, 15, {0, 600, 28800, 15600}},
        {"the taskbar on the left", {62, 0, 1920, 1080}, 15, {930, 0, 27870, 16200}},
        {"a second monitor right of the first, at 120 dpi", {1920, 0, 3520, 860}, 12, {23040, 0, 19200, 10320}},
        {"a monitor left of and above the primary", {-1280, -1024, 0, -40}, 15, {-19200, -15360, 19200, 14760}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::MaximisedPlace(c.workArea, c.twipsPerPixel, c.twipsPerPixel), c.expected) << c.name;
}

}  // namespace
