#include "browser/html/Serializer.h"

#include <vector>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

void Escape(std::string& out, std::string_view text, bool attribute)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&') out += "&amp;";
        else if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') out += "&nbsp;", ++i;
        else if (attribute && c == '"') out += "&quot;";
        else if (!attribute && c == '<') out += "&lt;";
        else if (!attribute && c == '>') out += "&gt;";
        else out += c;
    }
}

// Iterative, so that the deepest tree the parser allows cannot exhaust the stack.
void Serialize(std::string& out, const Node& root)
{
    struct Frame {
        const Node* node;
        std::size_t next;
    };
    std::vector<Frame> stack{{&root, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children().size()) {
            if (stack.size() > 1) out += "</" + f.node->name() + ">";
            stack.pop_back();
            continue;
        }
        const Node& child = *f.node->children()[f.next++];
        switch (child.type()) {
        case NodeType::Text:
            if (f.node->IsElement() && (IsRawTextElement(f.node->name()) || f.node->name() == "noscript"))
                out += child.text();
            else
                Escape(out, child.text(), false);
            break;
        case NodeType::Comment:
            out += "<!--" + child.text() + "-->";
            break;
        case NodeType::Element: {
            out += '<' + child.name();
            for (const auto& a : child.attributes()) {
                out += ' ' + a.name + "=\"";
                Escape(out, a.value, true);
                out += '"';
            }
            out += '>';
            if (IsVoidElement(child.name())) break;
            const auto& kids = child.children();
            if ((child.name() == "pre" || child.name() == "textarea" || child.name() == "listing") && !kids.empty() &&
                kids.front()->type() == NodeType::Text && kids.front()->text().starts_with('\n'))
                out += '\n';
            stack.push_back({&child, 0});
            break;
        }
        case NodeType::Document:
            break;
        }
    }
}

}  // namespace

std::string InnerHtml(const Node& node)
{
    std::string out;
    Serialize(out, node);
    return out;
}

std::size_t InnerHtmlLength(const Node& node) { return Utf16Length(InnerHtml(node)); }

}  // namespace browser
