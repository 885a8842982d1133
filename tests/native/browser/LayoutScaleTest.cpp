// A page at a display scale: laid out in CSS pixels and taken to device pixels edge by edge.

#include <gtest/gtest.h>

#include "browser/html/Parser.h"
#include "browser/html/Utf8.h"
#include "browser/layout/LayoutScale.h"
#include "runtime/DpiScale.h"

namespace {

using namespace browser;

// Every byte half the font size wide, rounded down as hinted fonts round.
class RunHost : public LayoutHost {
public:
    int TextWidth(std::string_view utf8, const FontDesc& font) override
    {
        return static_cast<int>(utf8.size()) * (font.sizePx / 2);
    }
    int Ascent(const FontDesc& font) override { return font.sizePx * 8 / 10; }
    int Descent(const FontDesc& font) override { return font.sizePx - font.sizePx * 8 / 10; }
    std::optional<Size> ImageSize(const std::string& src) override
    {
        if (src == "logo.png") return Size{96, 32};
        return std::nullopt;
    }
};

const std::string kLoginLikePage =
    "<html><body style='margin:0'><div style='padding:10px 14px'>"
    "<p style='font-size:12px'>Account <input type=text name=account size=20></p>"
    "<p>Password <input type=password name=password></p>"
    "<p><input type=submit value='Log in'> <a href='/register'>Register</a> <img src='logo.png'></p>"
    "<table border=1 cellpadding=3><tr><td>left</td><td bgcolor=#336699>right</td></tr></table>"
    "</div></body></html>";

Rect Scaled(const Rect& r, int dpi)
{
    const int left = rt::ScalePixels(r.x, dpi);
    const int top = rt::ScalePixels(r.y, dpi);
    return Rect{left, top, rt::ScalePixels(r.right(), dpi) - left, rt::ScalePixels(r.bottom(), dpi) - top};
}

DisplayItem Fill(const Rect& rect)
{
    DisplayItem item;
    item.rect = rect;
    return item;
}

void ExpectSameRect(const Rect& a, const Rect& b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
}

TEST(LayoutScale, APageAtAnyScaleIsItsPageAt96ScaledEdgeByEdge)
{
    const Document doc = ParseHtml(kLoginLikePage);
    RunHost host;
    const PageLayout base = LayoutDocument(doc, host, 600);
    ASSERT_EQ(base.controls.size(), 3u);
    ASSERT_FALSE(base.links.empty());
    for (int dpi : {96, 120, 144, 168, 192}) {
        SCOPED_TRACE(dpi);
        const PageLayout scaled = LayoutDocumentAt(doc, host, rt::ScalePixels(600, dpi), dpi);
        ASSERT_EQ(scaled.items.size(), base.items.size());
        for (std::size_t i = 0; i < base.items.size(); ++i) {
            ExpectSameRect(scaled.items[i].rect, Scaled(base.items[i].rect, dpi));
            EXPECT_EQ(scaled.items[i].font.sizePx, rt::ScalePixels(base.items[i].font.sizePx, dpi));
            EXPECT_EQ(scaled.items[i].text, base.items[i].text);
        }
        ASSERT_EQ(scaled.controls.size(), base.controls.size());
        for (std::size_t i = 0; i < base.controls.size(); ++i) {
            ExpectSameRect(scaled.controls[i].rect, Scaled(base.controls[i].rect, dpi));
            EXPECT_EQ(scaled.controls[i].font.sizePx, rt::ScalePixels(base.controls[i].font.sizePx, dpi));
        }
        ASSERT_EQ(scaled.links.size(), base.links.size());
        for (std::size_t i = 0; i < base.links.size(); ++i)
            ExpectSameRect(scaled.links[i].rect, Scaled(base.links[i].rect, dpi));
        EXPECT_EQ(scaled.height, rt::ScalePixels(base.height, dpi));
    }
}

TEST(LayoutScale, EdgesRoundHalvesToEvenAndAbuttingBoxesStillAbut)
{
    struct Row {
        int dpi;
        Rect in;
        Rect out;
    };
    const Row rows[] = {
        {96, {3, 5, 7, 9}, {3, 5, 7, 9}},
        {144, {2, 4, 10, 6}, {3, 6, 15, 9}},
        {144, {1, 3, 1, 1}, {2, 4, 1, 2}},   // 1.5 -> 2, 4.5 -> 4, 3 -> 3, 6 -> 6
        {120, {2, 6, 2, 2}, {2, 8, 3, 2}},   // 2.5 -> 2, 5 -> 5, 7.5 -> 8, 10 -> 10
        {192, {7, 0, 1, 1}, {14, 0, 2, 2}},
        {0, {3, 5, 7, 9}, {3, 5, 7, 9}},     // no dpi known: 96
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dpi);
        PageLayout layout;
        layout.items.push_back(Fill(row.in));
        layout.items.push_back(Fill(Rect{row.in.right(), row.in.y, 5, row.in.height}));
        const PageLayout scaled = ScaleLayout(layout, row.dpi);
        ExpectSameRect(scaled.items[0].rect, row.out);
        EXPECT_EQ(scaled.items[1].rect.x, scaled.items[0].rect.right());
    }
}

TEST(LayoutScale, APageAsWideAsTheViewStaysWithinIt)
{
    const Document doc = ParseHtml("<body style='margin:0'><div style='width:100%;background:#ff0000'>x</div>");
    RunHost host;
    for (int width : {301, 599, 1000}) {
        for (int dpi : {120, 144, 168}) {
            const PageLayout scaled = LayoutDocumentAt(doc, host, width, dpi);
            for (const DisplayItem& item : scaled.items) EXPECT_LE(item.rect.right(), width) << width << " at " << dpi;
        }
    }
}

}  // namespace
