#pragma once
// The page's links as a screen reader lists them: one per a element in page order (a link
// broken over lines is one link, placed at its first piece), named by its text, or else by the
// alt text of its pictures, its title or its address.

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

}  // namespace browser
