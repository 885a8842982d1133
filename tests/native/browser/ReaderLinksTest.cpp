#include <gtest/gtest.h>

#include "browser/html/Parser.h"
#include "browser/layout/LayoutScale.h"
#include "browser/layout/ReaderLinks.h"

namespace {

using namespace browser;

void CollectAnchors(const Node& node, std::vector<const Node*>& out)
{
    for (const auto& child : node.children()) {
        if (child->IsElement("a")) out.push_back(child.get());
        CollectAnchors(*child, out);
    }
}

TEST(ReaderLinks, OnePerLinkNamedByWhatItShows)
{
    const Document doc = ParseHtml(
        "<body><a href='/a'>  登录\n  游戏 </a>"
        "<a href='/b'><img src='x.png' alt='游戏大厅'></a>"
        "<a href='/c' title='帮助'><img src='y.png'></a>"
        "<a href='/d'>   </a>"
        "<a href='/e'>前<b>后</b><script>no()</script></a></body>");
    std::vector<const Node*> anchors;
    CollectAnchors(doc.root(), anchors);
    ASSERT_EQ(anchors.size(), 5u);
    PageLayout layout;
    for (std::size_t i = 0; i < anchors.size(); ++i) {
        const auto href = std::make_shared<const std::string>(anchors[i]->Attr("href"));
        layout.links.push_back({Rect{int(i) * 10, 5, 8, 12}, href, anchors[i]});
    }
    // The first link broken over a second line: still one link, at its first piece.
    layout.links.insert(layout.links.begin() + 1, LinkArea{Rect{0, 30, 20, 12}, layout.links[0].href, anchors[0]});

    const std::vector<ReaderLink> links = ReaderLinks(layout);
    ASSERT_EQ(links.size(), 5u);
    const char* names[] = {"登录 游戏", "游戏大厅", "帮助", "/d", "前后"};
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(links[i].name, names[i]) << i;
        EXPECT_EQ(links[i].element, anchors[i]) << i;
        EXPECT_EQ(links[i].rect.x, int(i) * 10) << i;
        EXPECT_EQ(links[i].rect.y, 5) << i;
    }
    EXPECT_EQ(*links[0].href, "/a");
    EXPECT_TRUE(ReaderLinks(PageLayout{}).empty());

    // Built once for a layout however often asked, and again for the page at another dpi.
    ReaderLinkList list;
    const std::size_t before = ReaderLinkListsBuilt();
    EXPECT_EQ(&list.Of(layout), &list.Of(layout));
    EXPECT_EQ(list.Of(ScaleLayout(layout, 192)).at(1).rect.x, 20);
    EXPECT_EQ(ReaderLinkListsBuilt() - before, 2u);
}

}  // namespace
