// The page's focus order for Tab and Shift+Tab: what takes part, in which order, the wrap at both
// ends, and the box a focused link or control occupies.

#include <gtest/gtest.h>

#include "browser/html/Parser.h"
#include "browser/layout/FocusOrder.h"

namespace {

using namespace browser;

// Every character is 8 pixels wide; lines are 16 pixels high.
class EvenHost : public LayoutHost {
public:
    int TextWidth(std::string_view utf8, const FontDesc&) override { return static_cast<int>(utf8.size()) * 8; }
    int Ascent(const FontDesc&) override { return 12; }
    int Descent(const FontDesc&) override { return 4; }
    std::optional<Size> ImageSize(const std::string&) override { return std::nullopt; }
};

struct Page {
    explicit Page(const std::string& html, int width = 600) : document(ParseHtml(html))
    {
        EvenHost host;
        layout = LayoutDocument(document, host, width);
        order = FocusOrder(document, layout);
    }
    // "a:<text>" for links, "<tag>:<name or value>" for controls, in focus order.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> out;
        for (const FocusStop& s : order) out.push_back(Name(s.element));
        return out;
    }
    static std::string Name(const Node* e)
    {
        if (!e) return "none";
        if (e->IsElement("a")) return "a:" + e->TextContent();
        return e->name() + ":" + (e->HasAttr("name") ? e->Attr("name") : e->Attr("value"));
    }
    Document document;
    PageLayout layout;
    std::vector<FocusStop> order;
};

// The login page's shape: command links in the first row, the form in a cell further down.
const char kLogin[] =
    "<table><tr><td colspan=2 align=right><a href='app://minimize'>min</a> <a href='app://exitgame'>close</a></td></tr>"
    "<tr><td>left</td><td><form method=post action='/login'>"
    "<input type=text name=username><br><input type=password name=password><br>"
    "<input type=hidden name=token value=x><input type=submit value=go></form>"
    "<a href='/news'>news</a></td></tr></table>";

TEST(FocusOrder, LinksAndControlsInDocumentOrderAndTheWrap)
{
    const Page page(kLogin);
    ASSERT_EQ(page.Names(), (std::vector<std::string>{"a:min", "a:close", "input:username", "input:password",
                                                      "input:go", "a:news"}));
    EXPECT_TRUE(page.order[0].link);
    EXPECT_FALSE(page.order[2].link);

    // From the user name field: password, the button, the news link, then round to the top.
    const Node* at = page.order[2].element;
    std::vector<std::string> forward;
    for (int i = 0; i < 6; ++i) {
        at = NextFocusStop(page.order, at, true)->element;
        forward.push_back(Page::Name(at));
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"input:password", "input:go", "a:news", "a:min", "a:close",
                                                 "input:username"}));
    EXPECT_EQ(Page::Name(NextFocusStop(page.order, page.order[0].element, false)->element), "a:news");
    EXPECT_EQ(Page::Name(NextFocusStop(page.order, page.order[3].element, false)->element), "input:username");

    // Nothing focused yet (the page itself): Tab starts at the first stop, Shift+Tab at the last.
    EXPECT_EQ(Page::Name(NextFocusStop(page.order, nullptr, true)->element), "a:min");
    EXPECT_EQ(Page::Name(NextFocusStop(page.order, nullptr, false)->element), "a:news");
    EXPECT_EQ(Page::Name(NextFocusStop(page.order, &page.document.root(), true)->element), "a:min");
}

TEST(FocusOrder, LeavesOutWhatCannotTakeTheFocus)
{
    const Page page(
        "<p><a>no href</a> <a href='/x' tabindex='-1'>skipped</a> <a href='/y' tabindex='2'>kept</a>"
        " <a href='/z' style='display:none'>gone</a></p>"
        "<form><input name=off disabled><input name=on><textarea name=text></textarea>"
        "<button name=b>press</button><input type=button value=plain></form>");
    EXPECT_EQ(page.Names(), (std::vector<std::string>{"a:kept", "input:on", "textarea:text", "button:b", "input:plain"}));

    const Page empty("<p>nothing to focus</p>");
    EXPECT_TRUE(empty.order.empty());
    EXPECT_EQ(NextFocusStop(empty.order, nullptr, true), nullptr);
    EXPECT_EQ(NextFocusStop(empty.order, nullptr, false), nullptr);
}

TEST(FocusOrder, BoundsCoverEveryLineOfABrokenLink)
{
    // 100 pixels hold 12 characters: the link's words land on three lines.
    const Page page("<p>aaaa <a href='/long'>bbbbbbbb cccccccc dddddddd</a> <input name=field></p>", 100);
    ASSERT_EQ(page.order.size(), 2u);
    const Node* link = page.order[0].element;
    int areas = 0;
    Rect lineBox;
    for (const LinkArea& a : page.layout.links)
        if (a.element == link) {
            ++areas;
            lineBox = a.rect;
        }
    ASSERT_GE(areas, 2);
    const Rect bounds = FocusStopBounds(page.layout, link);
    for (const LinkArea& a : page.layout.links) {
        if (a.element != link) continue;
        EXPECT_LE(bounds.x, a.rect.x);
        EXPECT_LE(bounds.y, a.rect.y);
        EXPECT_GE(bounds.right(), a.rect.right());
        EXPECT_GE(bounds.bottom(), a.rect.bottom());
    }
    EXPECT_GT(bounds.height, lineBox.height);

    const Node* field = page.order[1].element;
    const Rect box = FocusStopBounds(page.layout, field);
    EXPECT_EQ(box.x, page.layout.controls[0].rect.x);
    EXPECT_EQ(box.width, page.layout.controls[0].rect.width);
    EXPECT_EQ(FocusStopBounds(page.layout, &page.document.root()).width, 0);
}

}  // namespace
