#include "browser/html/Parser.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "browser/html/Entities.h"
#include "browser/html/PageLimits.h"
#include "browser/html/Utf8.h"

namespace browser {
namespace {

struct Token {
    enum Kind { StartTag, EndTag, Text, Comment, Doctype, End } kind = End;
    std::string name;  // tag name, or the text / comment data
    std::vector<Attribute> attributes;
};

bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class Tokenizer {
public:
    explicit Tokenizer(std::string_view input) : m_in(input) {}

    // After a start tag of a raw-text element, the tree builder asks for its content.
    void EnterRawText(const std::string& tag) { m_rawTag = tag; }

    Token Next()
    {
        if (!m_rawTag.empty()) return RawText();
        if (m_pos >= m_in.size()) return {};
        if (m_in[m_pos] != '<') return TextRun();
        const std::string_view rest = m_in.substr(m_pos);
        if (rest.starts_with("<!--")) return CommentToken(4, "-->");
        if (rest.size() > 1 && rest[1] == '!') return Declaration();
        if (rest.size() > 1 && rest[1] == '?') return CommentToken(1, ">");
        if (rest.size() > 1 && IsAsciiAlpha(rest[1])) return Tag(false);
        if (rest.size() > 2 && rest[1] == '/' && IsAsciiAlpha(rest[2])) return Tag(true);
        if (rest.starts_with("</>")) {  // nothing at all, as in browsers
            m_pos += 3;
            return Next();
        }
        if (rest.size() > 1 && rest[1] == '/') return CommentToken(2, ">");
        ++m_pos;
        return {Token::Text, "<", {}};
    }

private:
    Token TextRun()
    {
        const std::size_t end = std::min(m_in.find('<', m_pos + 1), m_in.size());
        Token t{Token::Text, DecodeCharacterReferences(m_in.substr(m_pos, end - m_pos), false), {}};
        m_pos = end;
        return t;
    }

    Token CommentToken(std::size_t skip, std::string_view close)
    {
        const std::size_t start = m_pos + skip;
        std::size_t end = m_in.find(close, start);
        std::string data;
        if (end == std::string_view::npos) {
            data = std::string(m_in.substr(start));
            m_pos = m_in.size();
        } else {
            data = std::string(m_in.substr(start, end - start));
            m_pos = end + close.size();
        }
        if (close == "-->" && (data == ">" || data == "->")) data.clear();  // "<!-->" closes at once
        return {Token::Comment, std::move(data), {}};
    }

    Token Declaration()
    {
        const std::size_t end = m_in.find('>', m_pos);
        const std::size_t stop = end == std::string_view::npos ? m_in.size() : end;
        const std::string_view body = m_in.substr(m_pos + 2, stop - m_pos - 2);
        m_pos = end == std::string_view::npos ? m_in.size() : end + 1;
        if (body.size() >= 7 && EqualsIgnoreCase(body.substr(0, 7), "doctype"))
            return {Token::Doctype, std::string(TrimAsciiSpace(body.substr(7))), {}};
        return {Token::Comment, std::string(body), {}};
    }

    Token Tag(bool end)
    {
        std::size_t i = m_pos + (end ? 2 : 1);
        Token t{end ? Token::EndTag : Token::StartTag, {}, {}};
        // The names kept so far: a tag may repeat a name or hold thousands of them, and each is
        // looked up once.
        std::unordered_set<std::string> seen;
        while (i < m_in.size() && !IsAsciiSpace(m_in[i]) && m_in[i] != '/' && m_in[i] != '>')
            t.name += AsciiLower(m_in[i++]);
        for (;;) {
            while (i < m_in.size() && (IsAsciiSpace(m_in[i]) || m_in[i] == '/')) ++i;
            if (i >= m_in.size()) {
                // A tag cut off by the end of the input is dropped, as browsers do.
                m_pos = m_in.size();
                return {};
            }
            if (m_in[i] == '>') {
                m_pos = i + 1;
                break;
            }
            std::string name;
            do {
                name += AsciiLower(m_in[i++]);
            } while (i < m_in.size() && !IsAsciiSpace(m_in[i]) && m_in[i] != '/' && m_in[i] != '>' && m_in[i] != '=');
            while (i < m_in.size() && IsAsciiSpace(m_in[i])) ++i;
            std::string value;
            if (i < m_in.size() && m_in[i] == '=') {
                ++i;
                while (i < m_in.size() && IsAsciiSpace(m_in[i])) ++i;
                if (i < m_in.size() && (m_in[i] == '"' || m_in[i] == '\'')) {
                    const char quote = m_in[i++];
                    const std::size_t close = m_in.find(quote, i);
                    if (close == std::string_view::npos) {
                        m_pos = m_in.size();
                        return {};
                    }
                    value = DecodeCharacterReferences(m_in.substr(i, close - i), true);
                    i = close + 1;
                } else {
                    const std::size_t start = i;
                    while (i < m_in.size() && !IsAsciiSpace(m_in[i]) && m_in[i] != '>') ++i;
                    value = DecodeCharacterReferences(m_in.substr(start, i - start), true);
                }
            }
            if (!end && t.attributes.size() < kMaxAttributesPerElement && seen.insert(name).second)
                t.attributes.push_back({std::move(name), std::move(value)});
        }
        return t;
    }

    Token RawText()
    {
        const std::string tag = std::exchange(m_rawTag, {});
        const bool rcdata = tag == "title" || tag == "textarea";
        std::size_t end = m_in.size();
        if (tag != "plaintext") {
            for (std::size_t p = m_in.find("</", m_pos); p != std::string_view::npos; p = m_in.find("</", p + 2)) {
                const std::size_t after = p + 2 + tag.size();
                if (after <= m_in.size() && EqualsIgnoreCase(m_in.substr(p + 2, tag.size()), tag) &&
                    (after == m_in.size() || IsAsciiSpace(m_in[after]) || m_in[after] == '>' || m_in[after] == '/')) {
                    end = p;
                    break;
                }
            }
        }
        const std::string_view raw = m_in.substr(m_pos, end - m_pos);
        m_pos = end;
        return {Token::Text, rcdata ? DecodeCharacterReferences(raw, false) : std::string(raw), {}};
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    std::string m_rawTag;
};

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsHeadContent(std::string_view name)
{
    return IsOneOf(name, {"title", "meta", "link", "style", "script", "base", "basefont", "bgsound"});
}

// Start tags that end an open <p> (quirks mode: <table> does not).
bool ClosesParagraph(std::string_view name)
{
    return IsOneOf(name, {"address", "article", "aside", "blockquote", "center", "div", "dl", "fieldset",
                          "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr",
                          "menu", "nav", "ol", "p", "pre", "section", "ul", "li", "dd", "dt", "listing",
                          "plaintext", "xmp", "dir", "figcaption", "main", "details", "summary"});
}

bool IsHeading(std::string_view name) { return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6'; }

bool IsTableSection(std::string_view name) { return IsOneOf(name, {"tbody", "thead", "tfoot"}); }

// Elements that stop the search for an end tag's partner, unless the end tag names them.
bool IsScopeBoundary(std::string_view name)
{
    return IsOneOf(name, {"html", "body", "table", "td", "th", "caption", "applet", "object", "marquee", "template"});
}

bool IsWhitespace(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiSpace(c); });
}

class TreeBuilder {
public:
    Document Build(std::string_view input)
    {
        Tokenizer tokenizer(input);
        for (;;) {
            Token t = tokenizer.Next();
            if (t.kind == Token::End || m_nodes >= kMaxNodesPerPage) break;
            if (t.kind != Token::Text) m_dropNewline = false;
            Process(t);
            if (t.kind == Token::StartTag && (t.name == "pre" || t.name == "listing")) m_dropNewline = true;
            if (t.kind == Token::StartTag && !m_stack.empty() && m_stack.back()->name() == t.name &&
                (IsRawTextElement(t.name) || t.name == "title" || t.name == "textarea")) {
                tokenizer.EnterRawText(t.name);
                Token content = tokenizer.Next();
                std::string_view text = content.name;
                if (t.name == "textarea" && text.starts_with('\n')) text.remove_prefix(1);
                m_stack.back()->AppendText(text);
                if (t.name != "plaintext") Pop();
            }
        }
        EnsureBody();
        return std::move(m_doc);
    }

private:
    enum class Phase { BeforeHead, InHead, AfterHead, InBody };

    Node* html()
    {
        if (!m_html) {
            m_html = m_doc.root().AppendChild(std::make_unique<Node>(NodeType::Element, "html"));
        }
        return m_html;
    }

    void EnsureHead()
    {
        if (m_head) return;
        m_head = html()->AppendChild(std::make_unique<Node>(NodeType::Element, "head"));
        m_phase = Phase::InHead;
    }

    void EnsureBody()
    {
        if (m_body) return;
        EnsureHead();
        m_body = html()->AppendChild(std::make_unique<Node>(NodeType::Element, "body"));
        ResetStack(m_html, m_body);
        m_phase = Phase::InBody;
    }

    std::unique_ptr<Node> MakeElement(Token& t)
    {
        ++m_nodes;
        auto e = std::make_unique<Node>(NodeType::Element, t.name);
        AttributeNames names;
        e->AddAttributes(std::move(t.attributes), names);
        return e;
    }

    Node* Current() { return m_stack.empty() ? m_body : m_stack.back(); }

    // The stack of open elements with a count per name, so that scope checks for names not open
    // at all (the common case) cost nothing even on a deeply nested page.
    void Push(Node* n)
    {
        m_stack.push_back(n);
        ++m_openCount[n->name()];
    }
    void Pop()
    {
        --m_openCount[m_stack.back()->name()];
        m_stack.pop_back();
    }
    void ResetStack(Node* html, Node* body)
    {
        while (!m_stack.empty()) Pop();
        Push(html);
        Push(body);
    }
    bool IsOpen(std::string_view name)
    {
        const auto it = m_openCount.find(std::string(name));
        return it != m_openCount.end() && it->second > 0;
    }

    void Process(Token& t)
    {
        switch (t.kind) {
        case Token::Doctype:
            return;  // rendering is the same in every mode this engine knows
        case Token::Comment:
            ++m_nodes;
            if (!m_html) m_doc.root().AppendChild(std::make_unique<Node>(NodeType::Comment, t.name));
            else if (m_phase == Phase::InBody) Current()->AppendChild(std::make_unique<Node>(NodeType::Comment, t.name));
            else (m_head && m_phase == Phase::InHead ? m_head : html())->AppendChild(std::make_unique<Node>(NodeType::Comment, t.name));
            return;
        case Token::Text:
            return Text(t.name);
        case Token::StartTag:
            return Start(t);
        case Token::EndTag:
            return EndTag(t.name);
        case Token::End:
            return;
        }
    }

    // A further <html> or <body> tag makes no node, but its merge is work all the same: it counts
    // as one, so that a page of them stops at the cap as one of elements does.
    void MergeAttributes(Node* into, Token& t, AttributeNames& names)
    {
        ++m_nodes;
        into->AddAttributes(std::move(t.attributes), names);
    }

    void Text(std::string_view text)
    {
        if (std::exchange(m_dropNewline, false) && text.starts_with('\n')) text.remove_prefix(1);
        if (text.empty()) return;
        if (m_phase != Phase::InBody) {
            if (IsWhitespace(text)) {
                if (m_phase == Phase::InHead) m_head->AppendText(text);
                else if (m_phase == Phase::AfterHead) html()->AppendText(text);
                return;  // before <head>: dropped
            }
            // Leading white space stays where it was; the rest starts the body.
            std::size_t n = 0;
            while (IsAsciiSpace(text[n])) ++n;
            Text(text.substr(0, n));
            EnsureBody();
            text.remove_prefix(n);
        }
        ++m_nodes;
        Node* where = Current();
        if (IsTableContext(where) && !IsWhitespace(text)) {
            FosterParent()->InsertTextBefore(text, NearestTable());
            return;
        }
        where->AppendText(text);
    }

    static bool IsTableContext(const Node* n)
    {
        return n && n->IsElement() && (n->name() == "table" || n->name() == "tr" || IsTableSection(n->name()));
    }

    Node* NearestTable()
    {
        if (!IsOpen("table")) return nullptr;
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it)
            if ((*it)->IsElement("table")) return *it;
        return nullptr;
    }

    Node* FosterParent()
    {
        Node* table = NearestTable();
        return table && table->parent() ? table->parent() : Current();
    }

    bool InScope(std::string_view name, bool tableScope = false)
    {
        if (!IsOpen(name)) return false;
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if ((*it)->name() == name) return true;
            if (tableScope ? IsOneOf((*it)->name(), {"table", "html"}) : IsScopeBoundary((*it)->name())) return false;
        }
        return false;
    }

    void PopUntil(std::string_view name)
    {
        while (m_stack.size() > 2) {
            const bool hit = m_stack.back()->name() == name;
            Pop();
            if (hit) return;
        }
    }

    void PopUntilOneOf(std::initializer_list<std::string_view> names)
    {
        while (m_stack.size() > 2 && !IsOneOf(m_stack.back()->name(), names)) Pop();
    }

    void Insert(Token& t)
    {
        Node* where = Current();
        std::unique_ptr<Node> element = MakeElement(t);
        Node* node;
        if (IsTableContext(where) && !IsOneOf(t.name, {"caption", "colgroup", "col", "tbody", "thead", "tfoot", "tr",
                                                       "td", "th", "script", "style", "form", "input", "table"}))
            node = FosterParent()->InsertBefore(std::move(element), NearestTable());
        else
            node = where->AppendChild(std::move(element));
        const bool push = !IsVoidElement(t.name);
        if (push && m_stack.size() < kMaxTreeDepth) Push(node);
        else if (push && !(IsRawTextElement(t.name) || t.name == "title" || t.name == "textarea")) return;
        else if (push) Push(node);  // raw text is popped right after its content
    }

    void Start(Token& t)
    {
        const std::string& name = t.name;
        if (name == "html") {
            MergeAttributes(html(), t, m_htmlNames);
            return;
        }
        if (m_phase != Phase::InBody) {
            if (name == "head" && !m_head) {
                m_head = html()->AppendChild(MakeElement(t));
                m_phase = Phase::InHead;
                return;
            }
            if (IsHeadContent(name)) {
                EnsureHead();
                Node* e = m_head->AppendChild(MakeElement(t));
                if (!IsVoidElement(name)) {
                    // Raw content follows; the builder appends it to the top of the stack.
                    Push(e);
                }
                return;
            }
            if (name == "body") {
                EnsureHead();
                m_body = html()->AppendChild(MakeElement(t));
                ResetStack(m_html, m_body);
                m_phase = Phase::InBody;
                return;
            }
            EnsureBody();
        }
        if (name == "head") return;
        if (name == "body") {
            MergeAttributes(m_body, t, m_bodyNames);
            return;
        }
        if (name == "frameset") return;
        if (ClosesParagraph(name) && InScope("p")) PopUntil("p");
        if (IsHeading(name) && IsHeading(Current()->name())) Pop();
        if (name == "li") CloseListItem({"li"});
        if (name == "dd" || name == "dt") CloseListItem({"dd", "dt"});
        if (name == "form" && m_form && InScope("form")) return;  // nested forms are ignored
        if (name == "a" && InScope("a")) PopUntil("a");
        if ((name == "option" || name == "optgroup") && Current()->IsElement("option")) Pop();
        if (IsOneOf(name, {"button", "nobr"}) && InScope(name)) PopUntil(name);
        if (name == "table" && InTableBody()) {
            // A table directly in a table row or section belongs in a cell; close up to the table.
            PopUntilOneOf({"table"});
            PopUntil("table");
        }
        if (IsTableSection(name) || name == "caption" || name == "colgroup") {
            if (NearestTable()) {
                PopUntilOneOf({"table"});
            }
        }
        if (name == "tr") {
            if (!NearestTable()) return;
            PopUntilOneOf({"table", "tbody", "thead", "tfoot"});
            if (Current()->IsElement("table")) InsertImplied("tbody");
        }
        if (name == "td" || name == "th") {
            if (!NearestTable()) return;
            PopUntilOneOf({"table", "tbody", "thead", "tfoot", "tr"});
            if (Current()->IsElement("table")) InsertImplied("tbody");
            if (!Current()->IsElement("tr")) InsertImplied("tr");
        }
        if (name == "col" && NearestTable()) {
            PopUntilOneOf({"table", "colgroup"});
            if (Current()->IsElement("table")) InsertImplied("colgroup");
        }
        if (name == "image") t.name = "img";
        Insert(t);
        if (name == "form" && !Current()->IsElement("form")) return;
        if (name == "form") m_form = Current();
    }

    bool InTableBody()
    {
        Node* c = Current();
        return c->IsElement("tr") || IsTableSection(c->name()) || c->IsElement("table");
    }

    void InsertImplied(const char* name)
    {
        Token t{Token::StartTag, name, {}};
        Insert(t);
    }

    void CloseListItem(std::initializer_list<std::string_view> names)
    {
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            const std::string& n = (*it)->name();
            if (IsOneOf(n, names)) {
                PopUntil(std::string(n));
                return;
            }
            if (IsOneOf(n, {"ul", "ol", "dl", "menu", "table", "td", "th", "body", "html", "button"})) return;
        }
    }

    void EndTag(const std::string& name)
    {
        if (m_phase != Phase::InBody) {
            if (name == "head" && m_head) {
                m_phase = Phase::AfterHead;
                return;
            }
            if (!m_stack.empty() && m_stack.back()->name() == name && m_stack.back()->parent() == m_head) {
                Pop();
                return;
            }
            if (name == "html" || name == "body" || name == "br") EnsureBody();
            else return;
        }
        if (name == "body" || name == "html") return;  // later content still goes into the body
        if (name == "br") {
            Token t{Token::StartTag, "br", {}};
            Insert(t);
            return;
        }
        if (name == "p" && !InScope("p")) {
            InsertImplied("p");
            Pop();
            return;
        }
        if (name == "form") {
            m_form = nullptr;
        }
        if (IsTableSection(name) || name == "tr" || name == "td" || name == "th" || name == "table" || name == "caption") {
            if (InScope(name, true)) PopUntil(name);
            return;
        }
        for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
            if ((*it)->name() == name) {
                PopUntil(name);
                return;
            }
            if (IsScopeBoundary((*it)->name())) return;
        }
    }

    Document m_doc;
    Node* m_html = nullptr;
    Node* m_head = nullptr;
    Node* m_body = nullptr;
    Node* m_form = nullptr;
    AttributeNames m_htmlNames;
    AttributeNames m_bodyNames;
    std::vector<Node*> m_stack;
    std::map<std::string, int, std::less<>> m_openCount;
    // Elements, comments and pieces of text made so far (text merged into a neighbour counts too).
    std::size_t m_nodes = 0;
    bool m_dropNewline = false;  // right after <pre> or <listing>
    Phase m_phase = Phase::BeforeHead;
};

}  // namespace

Document ParseHtml(std::string_view html)
{
    TreeBuilder builder;
    return builder.Build(html);
}

}  // namespace browser
