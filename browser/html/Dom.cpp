#include "browser/html/Dom.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "browser/html/PageLimits.h"
#include "browser/html/Utf8.h"

namespace browser {

Node::~Node()
{
    // Deep trees (a fuzzer makes them) must not overflow the stack through recursive
    // destructors: move the grandchildren out before each child dies.
    std::vector<std::unique_ptr<Node>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->m_children) pending.push_back(std::move(child));
        node->m_children.clear();
    }
}

Node* Node::AppendChild(std::unique_ptr<Node> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

namespace {

// Where a child stands, searched from the end; end() when it is not one.
std::vector<std::unique_ptr<Node>>::iterator FindChild(std::vector<std::unique_ptr<Node>>& children, const Node* child)
{
    const auto found = std::find_if(children.rbegin(), children.rend(), [&](const auto& c) { return c.get() == child; });
    return found == children.rend() ? children.end() : std::prev(found.base());
}

}  // namespace

Node* Node::InsertBefore(std::unique_ptr<Node> child, const Node* before)
{
    const auto it = FindChild(m_children, before);
    child->m_parent = this;
    return m_children.insert(it, std::move(child))->get();
}

void Node::InsertTextBefore(std::string_view text, const Node* before)
{
    if (text.empty()) return;
    const auto it = FindChild(m_children, before);
    if (it != m_children.begin() && (*std::prev(it))->m_type == NodeType::Text) {
        (*std::prev(it))->m_data.append(text);
        return;
    }
    InsertBefore(std::make_unique<Node>(NodeType::Text, std::string(text)), before);
}

void Node::AppendText(std::string_view text)
{
    if (text.empty()) return;
    if (!m_children.empty() && m_children.back()->m_type == NodeType::Text)
        m_children.back()->m_data.append(text);
    else
        AppendChild(std::make_unique<Node>(NodeType::Text, std::string(text)));
}

const std::string* Node::FindAttribute(std::string_view name) const
{
    for (const auto& a : m_attributes)
        if (a.name == name) return &a.value;
    return nullptr;
}

std::string Node::Attr(std::string_view name) const
{
    const std::string* v = FindAttribute(name);
    return v ? *v : std::string{};
}

bool Node::AttributesFull() const { return m_attributes.size() >= kMaxAttributesPerElement; }

bool Node::AddAttribute(std::string name, std::string value)
{
    if (AttributesFull() || FindAttribute(name)) return false;
    m_attributes.push_back({std::move(name), std::move(value)});
    return true;
}

void Node::AddAttributes(std::vector<Attribute> attributes, AttributeNames& names)
{
    if (AttributesFull() || attributes.empty()) return;
    // Names are only ever added, each once: as many names as attributes are the same names.
    if (names.size() != m_attributes.size()) {
        names.clear();
        for (const auto& a : m_attributes) names.insert(a.name);
    }
    for (auto& a : attributes) {
        if (AttributesFull()) return;
        if (!names.insert(a.name).second) continue;
        m_attributes.push_back(std::move(a));
    }
}

void Node::SetAttribute(std::string_view name, std::string value)
{
    for (auto& a : m_attributes)
        if (a.name == name) {
            a.value = std::move(value);
            return;
        }
    m_attributes.push_back({std::string(name), std::move(value)});
}

Node* Node::FindFirst(std::string_view name) const
{
    std::vector<const Node*> stack;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->IsElement(name)) return const_cast<Node*>(n);
        for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it) stack.push_back(it->get());
    }
    return nullptr;
}

std::string Node::TextContent() const
{
    std::string out;
    std::vector<const Node*> stack{this};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->m_type == NodeType::Text) out += n->m_data;
        if (n->m_type == NodeType::Element && (n->m_data == "script" || n->m_data == "style")) continue;
        for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it) stack.push_back(it->get());
    }
    return out;
}

Document::Document() : m_root(std::make_unique<Node>(NodeType::Document, "#document")) {}

Node* Document::documentElement() const
{
    for (const auto& c : m_root->children())
        if (c->IsElement("html")) return c.get();
    return nullptr;
}

Node* Document::head() const
{
    Node* html = documentElement();
    if (!html) return nullptr;
    for (const auto& c : html->children())
        if (c->IsElement("head")) return c.get();
    return nullptr;
}

Node* Document::body() const
{
    Node* html = documentElement();
    if (!html) return nullptr;
    for (const auto& c : html->children())
        if (c->IsElement("body")) return c.get();
    return nullptr;
}

std::string Document::Title() const
{
    const Node* title = m_root->FindFirst("title");
    if (!title) return {};
    std::string out;
    bool space = false;
    for (char c : title->TextContent()) {
        if (IsAsciiSpace(c)) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        out += c;
    }
    return out;
}

bool IsVoidElement(std::string_view name)
{
    static constexpr std::array<std::string_view, 16> kVoid{"area", "base", "basefont", "bgsound", "br", "col",
                                                            "embed", "frame", "hr", "img", "input", "keygen",
                                                            "link", "meta", "param", "source"};
    return std::find(kVoid.begin(), kVoid.end(), name) != kVoid.end() || name == "track" || name == "wbr";
}

bool IsRawTextElement(std::string_view name)
{
    return name == "script" || name == "style" || name == "xmp" || name == "iframe" || name == "noembed" ||
           name == "noframes" || name == "plaintext";
}

}  // namespace browser
