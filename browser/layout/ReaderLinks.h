#pragma once
// The page's links as a screen reader lists them: one per a element in page order (a link
// broken over lines is one link, placed at its first piece), named by its text, or else by the
// alt text of its pictures, its title or its address.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "browser/layout/Layout.h"

namespace browser {

struct ReaderLink {
    const Node* element = nullptr;
    std::string name;  // UTF-8, spaces collapsed
    std::shared_ptr<const std::string> href;  // as written in the page, shared with the layout
    Rect rect;         // page coordinates
};

std::vector<ReaderLink> ReaderLinks(const PageLayout& layout);

// The links of the layout last asked about, built again only for another layout: a reader asks
// for the count, for each link and for the link under a point one call at a time.
class ReaderLinkList {
public:
    const std::vector<ReaderLink>& Of(const PageLayout& layout);

private:
    std::uint64_t m_layout = 0;  // no layout's id
    std::vector<ReaderLink> m_links;
};
// How many link lists this process has built: a reader's questions must not each cost one.
std::size_t ReaderLinkListsBuilt();

}  // namespace browser
