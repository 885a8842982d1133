// Layout with a fixed-pitch measurer: every ASCII character is half the font size wide, every
// other character the full size; lines are ascent 0.8 and descent 0.2 of the size.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "browser/html/Parser.h"
#include "browser/layout/Layout.h"
#include "browser/html/Utf8.h"

namespace {

using namespace browser;

class FixedHost : public LayoutHost {
public:
    int TextWidth(std::string_view utf8, const FontDesc& font) override
    {
        int w = 0;
        std::size_t pos = 0;
        while (pos < utf8.size()) w += NextCodePoint(utf8, pos) < 0x80 ? font.sizePx / 2 : font.sizePx;
        return w;
    }
    int Ascent(const FontDesc& font) override { return font.sizePx * 8 / 10; }
    int Descent(const FontDesc& font) override { return font.sizePx - font.sizePx * 8 / 10; }
    std::optional<Size> ImageSize(const std::string& src) override
    {
        if (src == "/static/logo.png") return Size{96, 32};
        if (src == "huge") return Size{50000000, 50000000};  // as a broken image header may claim
        return std::nullopt;
    }
};

// The layout points into its document: the last one stays alive until the next call.
PageLayout Lay(const std::string& html, int width = 800)
{
    static FixedHost host;
    static Document doc;
    doc = ParseHtml(html);
    return LayoutDocument(doc, host, width);
}

std::vector<const DisplayItem*> Texts(const PageLayout& l)
{
    std::vector<const DisplayItem*> out;
    for (const auto& i : l.items)
        if (i.kind == ItemKind::Text) out.push_back(&i);
    return out;
}

const DisplayItem* FillOf(const PageLayout& l, Rgb color)
{
    for (const auto& i : l.items)
        if (i.kind == ItemKind::Fill && i.color == color) return &i;
    return nullptr;
}

TEST(Layout, WrapsWordsAndCjkText)
{
    // 8 px per ASCII character at 16 px: "aaaa bbbb cccc" is 112 px; 80 px holds "aaaa bbbb" (72).
    auto l = Lay("<body style=\"margin:0\">aaaa bbbb cccc</body>", 80);
    auto t = Texts(l);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0]->text, "aaaa bbbb");
    EXPECT_EQ(t[0]->rect.x, 0);
    EXPECT_EQ(t[1]->text, "cccc");
    EXPECT_EQ(t[1]->rect.y, 16);
    // CJK text breaks between any two characters: 5 characters of 16 px in 40 px make 3 lines.
    l = Lay("<body style=\"margin:0\">一二三四五</body>", 40);
    t = Texts(l);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2]->text, "五");
    EXPECT_EQ(l.height, 48);
}

TEST(Layout, BlocksHeadingsListsAndBreaks)
{
    auto l = Lay("<body style=\"margin:0\"><h1>T</h1><p>a<br>b</p><ul><li>x</li></ul></body>");
    auto t = Texts(l);
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[0]->font.sizePx, 32);
    EXPECT_TRUE(t[0]->font.bold);
    EXPECT_EQ(t[0]->rect.y, 21);  // the heading's top margin, 0.67 em
    EXPECT_EQ(t[2]->rect.y, t[1]->rect.y + 16);
    // The list item's bullet sits left of its text, which is indented by 40.
    const DisplayItem* bullet = t[3];
    EXPECT_EQ(bullet->text, "\xE2\x80\xA2");
    EXPECT_EQ(t[4]->rect.x, 40);
    EXPECT_LT(bullet->rect.x, 40);
}

TEST(Layout, ColoursFromAttributesAndStyle)
{
    auto l = Lay("<body bgcolor=\"#FEFEFE\"><font color=red>r</font><span style=\"color:#00ff00\">g</span>"
                 "<b><i>bi</i></b><div style=\"background-color:#123456\">d</div></body>");
    EXPECT_EQ(l.canvas, 0xFEFEFEu);
    auto t = Texts(l);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0]->color, 0xFF0000u);
    EXPECT_EQ(t[1]->color, 0x00FF00u);
    EXPECT_TRUE(t[2]->font.bold && t[2]->font.italic);
    const DisplayItem* fill = FillOf(l, 0x123456);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->rect.height, 16);
    EXPECT_EQ(fill->rect.width, 800 - 16);
}

TEST(Layout, TablesPlaceCellsByWidthAndHeight)
{
    // The login page's frame: 888 x 518 with the panel at x 520..850, y 110..430.
    auto l = Lay("<body style=\"margin:0\"><table width=\"888\" height=\"518\" border=\"0\" cellpadding=\"0\" cellspacing=\"0\">"
                 "<tr><td colspan=\"3\" height=\"30\" align=\"right\">top</td></tr>"
                 "<tr><td colspan=\"3\" height=\"80\">&nbsp;</td></tr>"
                 "<tr><td width=\"520\" height=\"320\">&nbsp;</td>"
                 "<td width=\"330\" height=\"320\" valign=\"top\" bgcolor=\"#1E3350\" style=\"padding:12px\">panel</td>"
                 "<td width=\"38\">&nbsp;</td></tr>"
                 "<tr><td colspan=\"3\" height=\"88\" valign=\"bottom\">foot</td></tr></table></body>");
    const DisplayItem* panel = FillOf(l, 0x1E3350);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->rect.x, 520);
    EXPECT_EQ(panel->rect.y, 110);
    EXPECT_EQ(panel->rect.width, 330);
    EXPECT_EQ(panel->rect.height, 320);
    EXPECT_EQ(l.height, 518);
    auto t = Texts(l);
    const auto find = [&](std::string_view s) -> const DisplayItem* {
        for (auto* i : t)
            if (i->text == s) return i;
        return nullptr;
    };
    ASSERT_TRUE(find("top") && find("panel") && find("foot"));
    EXPECT_EQ(find("top")->rect.right(), 888);                  // align=right
    EXPECT_EQ(find("panel")->rect.x, 532);                      // padding 12
    EXPECT_EQ(find("panel")->rect.y, 122);                      // valign=top
    EXPECT_EQ(find("foot")->rect.bottom(), 518);                // valign=bottom
}

TEST(Layout, AutoTablesShareWidthByContent)
{
    auto l = Lay("<body style=\"margin:0\"><table cellspacing=0 cellpadding=0><tr><td>aa</td><td>bbbb</td></tr></table>"
                 "<table width=\"100%\" cellspacing=0 cellpadding=0><tr><td>x</td><td width=\"50\">y</td></tr></table></body>",
                 400);
    auto t = Texts(l);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1]->rect.x, 16);    // right after "aa"
    EXPECT_EQ(t[3]->rect.x, 350);   // the 50-pixel column at the right of a full-width table
}

TEST(Layout, TheAreasOfOneLinkShareItsAddress)
{
    // A long address around many pictures and words: one copy of it, however many pieces.
    const std::string href = "/game/?x=" + std::string(1 << 20, 'a');
    std::string pictures;
    for (int i = 0; i < 2000; ++i) pictures += "<img src=\"/static/logo.png\" width=1 height=1> w ";
    const PageLayout l = Lay("<a href=\"" + href + "\">" + pictures + "</a><a href=\"/other\">o</a>", 300);
    ASSERT_GT(l.links.size(), 2000u);
    const std::string* shared = l.links.front().href.get();
    EXPECT_EQ(*shared, href);
    for (std::size_t i = 0; i + 1 < l.links.size(); ++i) ASSERT_EQ(l.links[i].href.get(), shared) << i;
    EXPECT_EQ(*l.links.back().href, "/other");
}

TEST(Layout, LinksControlsAndImages)
{
    auto l = Lay("<body style=\"margin:0\"><a href=\"app://minimize\">min</a> <img src=\"/static/logo.png\">"
                 "<form><input type=text name=u size=10><input type=password name=p>"
                 "<input type=hidden name=h value=1><input type=submit value=\"Go\"></form></body>");
    ASSERT_EQ(l.links.size(), 1u);
    EXPECT_EQ(*l.links[0].href, "app://minimize");
    const Rect r = l.links[0].rect;
    ASSERT_NE(LinkAt(l, r.x + 1, r.y + 1), nullptr);
    EXPECT_EQ(LinkAt(l, r.right() + 200, r.y + 1), nullptr);
    bool image = false;
    for (const auto& i : l.items)
        if (i.kind == ItemKind::Image) image = i.rect.width == 96 && i.rect.height == 32;
    EXPECT_TRUE(image);
    ASSERT_EQ(l.controls.size(), 3u);
    EXPECT_EQ(l.controls[0].kind, ControlKind::TextInput);
    EXPECT_EQ(l.controls[0].rect.width, 10 * 8 + 8);
    EXPECT_EQ(l.controls[1].kind, ControlKind::Password);
    EXPECT_EQ(l.controls[2].kind, ControlKind::Submit);
    EXPECT_EQ(l.controls[2].element->Attr("value"), "Go");
    EXPECT_GT(l.controls[0].rect.y, 32);  // below the image's line
}

TEST(Layout, OverflowAndScrollSettings)
{
    EXPECT_TRUE(Lay("<p>x").scrollable);
    EXPECT_FALSE(Lay("<html style=\"overflow:hidden\"><p>x").scrollable);
    EXPECT_FALSE(Lay("<body scroll=\"no\">x").scrollable);
    EXPECT_EQ(Lay("<p>x").canvas, 0xFFFFFFu);
}

TEST(Layout, SurvivesDeepAndWideContent)
{
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<table><tr><td>";
    EXPECT_NO_FATAL_FAILURE(Lay(deep + "x"));
    EXPECT_NO_FATAL_FAILURE(Lay("<table><tr><td colspan=99999 width=99999999>a</td></tr></table>"));
    EXPECT_NO_FATAL_FAILURE(Lay("<p>" + std::string(100000, 'w'), 10));
    EXPECT_NO_FATAL_FAILURE(Lay("<img width=-5 height=999999999 src=x>", -10));
}

// Pages whose sizes overflow int arithmetic (UBSan stops these at the first overflow) are laid
// out within the page's coordinate limits.
TEST(Layout, HugePagesStayWithinTheirLimits)
{
    const auto within = [](const PageLayout& l) {
        for (const auto& i : l.items)
            if (i.rect.y < -kMaxPageCoordinate || i.rect.y > kMaxPageCoordinate || i.rect.x > kMaxPageCoordinate)
                return false;
        return l.height >= 0 && l.height <= kMaxPageCoordinate && l.width <= kMaxPageCoordinate;
    };
    // Spare table width shared by content width: 6,250 characters are 50,000 pixels here.
    PageLayout l = Lay("<table width=100000><tr><td>" + std::string(6250, 'w') + "</td><td>x</td></tr></table>");
    EXPECT_TRUE(within(l));
    ASSERT_EQ(Texts(l).size(), 2u);
    EXPECT_LT(Texts(l)[0]->rect.x, Texts(l)[1]->rect.x);

    // Spare table height shared by row height.
    l = Lay("<table style=\"height:100000px\" cellspacing=0><tr height=60000><td>a</td></tr>"
            "<tr><td>b</td></tr></table>");
    EXPECT_TRUE(within(l));
    EXPECT_EQ(l.height, 100000 + 16);  // the body's margins
    ASSERT_EQ(Texts(l).size(), 2u);
    EXPECT_GT(Texts(l)[1]->rect.y, 99000);  // the first row took nearly all the extra height

    // The running line position: 21,500 images of 100,000 pixels, one per line.
    std::string tall;
    for (int i = 0; i < 21500; ++i) tall += "<img height=100000 src=x>";
    l = Lay(tall);
    EXPECT_TRUE(within(l));
    EXPECT_EQ(l.height, kMaxPageCoordinate);
    // Text on a line below the limit, raised by an image that claims an enormous size.
    l = Lay(tall + "<nobr><img src=huge>text</nobr>");
    EXPECT_TRUE(within(l));
    EXPECT_EQ(Texts(l).size(), 1u);

    // Wide: columns and nowrap lines that add up past the limit.
    std::string cols = "<table><tr>";
    for (int i = 0; i < 1000; ++i) cols += "<td width=1000000>c</td>";
    EXPECT_TRUE(within(Lay(cols + "</tr></table>")));
    std::string words;
    for (int i = 0; i < 3000; ++i) words += std::string(1000, 'n') + " ";
    EXPECT_TRUE(within(Lay("<nobr>" + words + "</nobr>")));
}

// Content as deep as the parser builds is laid out, not dropped: the deepest text is there.
TEST(Layout, LaysOutEverythingTheParserKeeps)
{
    const int levels = static_cast<int>(kMaxTreeDepth) - 5;
    std::string divs, tables;
    for (int i = 0; i < levels; ++i) divs += "<div>";
    EXPECT_EQ(Texts(Lay(divs + "deep")).size(), 1u);
    for (int i = 0; i < levels / 4; ++i) tables += "<table><tr><td>";
    EXPECT_EQ(Texts(Lay(tables + "deep")).size(), 1u);
}

}  // namespace

namespace {

TEST(Backdrop, LastFillUnderTheItemsCentreElseTheCanvas)
{
    browser::PageLayout layout;
    layout.canvas = 0xFEFEFE;
    using browser::ItemKind;
    layout.items = {
        {ItemKind::Fill, {0, 0, 100, 100}, 0x1E3350},   // 0: a panel
        {ItemKind::Text, {10, 10, 20, 10}, 0xE8EEF6},   // 1: on the panel
        {ItemKind::Fill, {0, 0, 50, 50}, 0xFEFEFE},     // 2: a key-coloured cell over part of it
        {ItemKind::Text, {10, 10, 20, 10}, 0x404040},   // 3: on the cell
        {ItemKind::Text, {40, 40, 30, 30}, 0x404040},   // 4: centre (55, 55) on the panel only
        {ItemKind::Frame, {0, 0, 200, 200}, 0x000000},  // 5: a frame is no backdrop
        {ItemKind::Text, {150, 150, 10, 10}, 0x404040}, // 6: outside every fill
    };
    struct Case {
        std::size_t item;
        browser::Rgb backdrop;
    } cases[] = {{0, 0xFEFEFE}, {1, 0x1E3350}, {3, 0xFEFEFE}, {4, 0x1E3350}, {6, 0xFEFEFE}, {99, 0xFEFEFE}};
    for (const Case& c : cases) EXPECT_EQ(browser::BackdropOf(layout, c.item), c.backdrop) << c.item;
}

}  // namespace
