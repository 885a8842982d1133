#include "browser/layout/ReaderLinks.h"

#include <atomic>
#include <unordered_set>

#include "browser/html/Dom.h"
#include "browser/layout/ReaderText.h"

namespace browser {

namespace {

std::atomic<std::size_t> g_listsBuilt{0};

std::string NameOf(const Node& element, const std::string& href)
{
    std::string text;
    std::string alt;
    CollectReaderText(element, text, alt);
    for (const std::string* candidate : {&text, &alt}) {
        if (std::string name = ReaderName(*candidate); !name.empty()) return name;
    }
    std::string title;
    AppendCollapsed(title, element.Attr("title"));
    if (std::string name = ReaderName(title); !name.empty()) return name;
    return ReaderName(href);
}

}  // namespace

std::vector<ReaderLink> ReaderLinks(const PageLayout& layout)
{
    ++g_listsBuilt;
    std::vector<ReaderLink> links;
    std::unordered_set<const Node*> seen;
    for (const LinkArea& area : layout.links) {
        if (area.element && !seen.insert(area.element).second) continue;
        ReaderLink link;
        link.element = area.element;
        link.href = area.href ? area.href : std::make_shared<const std::string>();
        link.rect = area.rect;
        link.name = area.element ? NameOf(*area.element, *link.href) : ReaderName(*link.href);
        links.push_back(std::move(link));
    }
    return links;
}

const std::vector<ReaderLink>& ReaderLinkList::Of(const PageLayout& layout)
{
    if (layout.id != m_layout) {
        m_links = ReaderLinks(layout);
        m_layout = layout.id;
    }
    return m_links;
}

std::size_t ReaderLinkListsBuilt()
{
    return g_listsBuilt;
}

}  // namespace browser
