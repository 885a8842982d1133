#include "browser/layout/ReaderText.h"

namespace browser {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

bool IsFormControl(const Node& node)
{
    return node.IsElement("textarea") || node.IsElement("select") || node.IsElement("input") ||
           node.IsElement("button");
}

void AppendCollapsed(std::string& out, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // U+00A0 (&nbsp;) separates words on a page, and says nothing to a reader either.
        const bool nbsp = c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0';
        if (IsSpace(c) || nbsp) {
            if (nbsp) ++i;
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
}

void CollectReaderText(const Node& node, std::string& text, std::string& alt)
{
    VisitBelow(node, [&](const Node& child) {
        if (child.type() == NodeType::Text) {
            AppendCollapsed(text, child.text());
        } else if (child.IsElement("img")) {
            if (!alt.empty()) alt.push_back(' ');
            AppendCollapsed(alt, child.Attr("alt"));
        } else {
            return child.IsElement() && !child.IsElement("script") && !child.IsElement("style") && !IsFormControl(child);
        }
        return false;
    });
}

std::string ReaderName(std::string text)
{
    while (!text.empty() && text.back() == ' ') text.pop_back();
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text.erase(0, first);
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++chars > kMaxReaderNameChars) {
            text.resize(i);
            while (!text.empty() && text.back() == ' ') text.pop_back();
            break;
        }
    }
    return text;
}

}  // namespace browser
