#pragma once
// The document tree: elements with lower-case names and attributes in source order, text and
// comments. Nodes own their children; a parent pointer lets layout and forms walk upwards.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace browser {

enum class NodeType { Document, Element, Text, Comment };

struct Attribute {
    std::string name;  // lower case
    std::string value;
};

// The names of one element's attributes, kept beside it by whoever adds to them again and again.
using AttributeNames = std::unordered_set<std::string>;

class Node {
public:
    Node(NodeType type, std::string nameOrText) : m_type(type), m_data(std::move(nameOrText)) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node();

    NodeType type() const { return m_type; }
    bool IsElement() const { return m_type == NodeType::Element; }
    bool IsElement(std::string_view name) const { return m_type == NodeType::Element && m_data == name; }
    // Element name (lower case); for text and comments their data.
    const std::string& name() const { return m_data; }
    const std::string& text() const { return m_data; }
    std::string& mutableText() { return m_data; }

    Node* parent() const { return m_parent; }
    const std::vector<std::unique_ptr<Node>>& children() const { return m_children; }
    Node* AppendChild(std::unique_ptr<Node> child);
    // Inserts before `before` (a child; at the end when it is not one). The place is looked for
    // from the end: content put before a table being built lands right before its last child.
    Node* InsertBefore(std::unique_ptr<Node> child, const Node* before);
    // Appends text, merging with a text node already at the end.
    void AppendText(std::string_view text);
    // Inserts text before `before`, merging with a text node right in front of it.
    void InsertTextBefore(std::string_view text, const Node* before);

    const std::vector<Attribute>& attributes() const { return m_attributes; }
    const std::string* FindAttribute(std::string_view name) const;
    std::string Attr(std::string_view name) const;
    bool HasAttr(std::string_view name) const { return FindAttribute(name) != nullptr; }
    // Adds the attribute unless it is already there (the first occurrence wins) or the element
    // holds kMaxAttributesPerElement already; false when it was not added.
    bool AddAttribute(std::string name, std::string value);
    bool AttributesFull() const;
    // Adds each of `attributes` as AddAttribute does, looking each name up once in `names`: this
    // element's names as the last call left them (made anew when attributes came in another way
    // since). A further <html> or <body> tag, or one with thousands of names, then costs in
    // proportion to its own length, whatever the element holds already.
    void AddAttributes(std::vector<Attribute> attributes, AttributeNames& names);
    void SetAttribute(std::string_view name, std::string value);

    // First element with this name in document order below this node (not the node itself).
    Node* FindFirst(std::string_view name) const;
    // Concatenated text of all text nodes below, script and style excluded.
    std::string TextContent() const;

private:
    NodeType m_type;
    std::string m_data;
    Node* m_parent = nullptr;
    std::vector<std::unique_ptr<Node>> m_children;
    std::vector<Attribute> m_attributes;
};

class Document {
public:
    Document();
    Document(Document&&) noexcept = default;
    Document& operator=(Document&&) noexcept = default;
    Node& root() { return *m_root; }
    const Node& root() const { return *m_root; }
    // The <html> element; every parsed document has one (with <head> and <body>).
    Node* documentElement() const;
    Node* head() const;
    Node* body() const;
    // The text of the first <title>, with white space collapsed, as browsers report it.
    std::string Title() const;

private:
    // Held by pointer so that moving a document keeps its nodes' parent links valid.
    std::unique_ptr<Node> m_root;
};

bool IsVoidElement(std::string_view name);
// Elements whose content is not markup (kept as text, never shown as text).
bool IsRawTextElement(std::string_view name);

}  // namespace browser
