// Captions in their tabs: centred in their box when they fit it, else cut with "…" just before
// the close mark; and captions as menu items.

#include <gtest/gtest.h>

#include "tabstrip/CaptionFit.h"
#include "tabstrip/TabPaintPlan.h"

namespace {

using corvane::CaptionFit;
using corvane::FitCaption;
using corvane::PixelRect;

// Latin letters 6 pixels, the ellipsis 8, anything else (Chinese) 12.
long Measure(std::wstring_view text)
{
    long w = 0;
    for (wchar_t c : text) w += c < 0x80 ? 6 : c == L'\u2026' ? 8 : 12;
    return w;
}

TEST(CaptionFit, Elision)
{
    struct Case {
        const wchar_t* caption;
        long width;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"abcdef", 36, L"abcdef"},          // fits exactly
        {L"abcdef", 35, L"abcd\u2026"},      // 4 x 6 + 8 = 32
        {L"abcdef", 14, L"a\u2026"},
        {L"abcdef", 7, L"\u2026"},           // nothing fits before it
        {L"abcdef", 0, L""},
        {L"ab   cdef", 40, L"ab\u2026"},     // blanks before the cut go
        {L"帐号一二三", 40, L"帐号\u2026"},  // 24 + 8
        {L"a\xD83D\xDE00" L"b", 30, L"a\u2026"},  // a pair is never split: 6 + 6 + 8 = 20 with half of it
        {L"", 10, L""},
    };
    for (const Case& c : cases) EXPECT_EQ(corvane::ElideCaption(c.caption, c.width, Measure), c.expected) << c.width;
}

TEST(CaptionFit, CentredWhenItFitsCutBeforeTheCloseMarkWhenNot)
{
    // The rounded style's box of a 120-wide tab at Left 0: x 12, width 92; the glyph at x 100,
    // so the room is 86.
    const corvane::TabPaint tab = corvane::PlanTabs(1, {{0, 120, false}}, -1, -1, 0)[0];
    ASSERT_EQ(tab.caption, (PixelRect{12, 0, 92, 26}));
    ASSERT_EQ(tab.captionRoom, 86);
    struct Case {
        const wchar_t* caption;
        PixelRect box;
        unsigned format;
        const wchar_t* text;
    };
    const Case cases[] = {
        // 60 wide, centred it ends at 12 + 76 = 88: as before.
        {L"abcdefghij", {12, 0, 92, 26}, corvane::kCaptionCentred, L"abcdefghij"},
        // 84 wide fits the box: centred in it as the strip always drew it.
        {L"abcdefghijklmn", {12, 0, 92, 26}, corvane::kCaptionCentred, L"abcdefghijklmn"},
        // 102 wide: cut in the room, started at the box's left, centred by the text's height.
        {L"abcdefghijklmnopq", {12, 6, 86, 26}, corvane::kCaptionEllipsis, L"abcdefghijklm\u2026"},
    };
    for (const Case& c : cases) {
        const CaptionFit fit = FitCaption(tab.caption, tab.captionRoom, c.caption, 14, Measure);
        EXPECT_EQ(fit.box, c.box) << fit.format;
        EXPECT_EQ(fit.format, c.format);
        EXPECT_EQ(fit.text, c.text);
    }
    // A full rounded tab, 200 wide: fourteen Chinese characters (168) fit its box of 172 whole,
    // though they reach past the room of 166 left clear of the mark.
    const corvane::TabPaint full = corvane::PlanTabs(1, {{0, 200, false}}, -1, -1, 0)[0];
    const CaptionFit title = FitCaption(full.caption, full.captionRoom, std::wstring(14, L'帐'), 14, Measure);
    EXPECT_EQ(title.box, (PixelRect{12, 0, 172, 26}));
    EXPECT_EQ(title.text, std::wstring(14, L'帐'));
    // The glyph-less and trapezoid boxes keep their whole width as room.
    EXPECT_EQ(corvane::PlanTabs(1, {{0, 120, true}}, -1, -1, 0)[0].captionRoom, 112);
    EXPECT_EQ(corvane::PlanTabs(0, {{14, 108, false}}, -1, -1, 0)[0].captionRoom, 70);
    EXPECT_EQ(corvane::PlanTabs(0, {{14, 108, false}}, 0, -1, 0)[0].captionRoom, 82);
}

TEST(CaptionFit, TooNarrowTabsDrawNothing)
{
    const CaptionFit fit = FitCaption({12, 0, -3, 26}, -9, L"abc", 14, Measure);
    EXPECT_EQ(fit.text, L"");
    EXPECT_EQ(fit.box.w, 0);
}

TEST(CaptionFit, MenuCaptions)
{
    EXPECT_EQ(corvane::MenuCaption(L"Tom & Jerry", 0), L"Tom && Jerry");
    EXPECT_EQ(corvane::MenuCaption(L"a\tb\nc", 0), L"a b c");
    EXPECT_EQ(corvane::MenuCaption(L"", 4), L"5");
    const std::wstring longCaption(300, L'x');
    EXPECT_EQ(corvane::MenuCaption(longCaption, 0), std::wstring(80, L'x') + L"\u2026");
}

}  // namespace
