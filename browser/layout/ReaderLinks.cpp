#include "browser/layout/ReaderLinks.h"

#include <unordered_set>

#include "browser/html/Dom.h"

namespace browser {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Appends `text` with runs of white space made one space.
void AppendCollapsed(std::string& out, const std::string& text)
{
    for (char c : text) {
        if (IsSpace(c)) {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
}

void CollectText(const Node& node, std::string& text, std::string& alt, int depth)
{
    // Pages are bounded elsewhere; the walk is bounded here too, as it recurses.
    if (depth > 64) return;
    for (const auto& child : node.children()) {
        if (child->type() == NodeType::Text) {
            AppendCollapsed(text, child->text());
        } else if (child->IsElement("img")) {
            if (!alt.empty()) alt.push_back(' ');
            AppendCollapsed(alt, child->Attr("alt"));
        } else if (child->IsElement() && !child->IsElement("script") && !child->IsElement("style")) {
            CollectText(*child, text, alt, depth + 1);
        }
    }
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string NameOf(const Node& element, const std::string& href)
{
    std::string text;
    std::string alt;
    CollectText(element, text, alt, 0);
    for (std::string candidate : {text, alt, element.Attr("title"), href}) {
        candidate = Trimmed(candidate);
        if (!candidate.empty()) return candidate;
    }
    return {};
}

}  // namespace

std::vector<ReaderLink> ReaderLinks(const PageLayout& layout)
{
    std::vector<ReaderLink> links;
    std::unordered_set<const Node*> seen;
    for (const LinkArea& area : layout.links) {
        if (area.element && !seen.insert(area.element).second) continue;
        ReaderLink link;
        link.element = area.element;
        link.href = area.href ? area.href : std::make_shared<const std::string>();
        link.rect = area.rect;
        link.name = area.element ? NameOf(*area.element, *link.href) : Trimmed(*link.href);
        links.push_back(std::move(link));
    }
    return links;
}

}  // namespace browser
