#include "browser/layout/ReaderFields.h"

#include <vector>

#include "browser/layout/ReaderText.h"

namespace browser {

namespace {

// Elements that end the run of text a field is written after.
bool EndsLine(const Node& node)
{
    static constexpr const char* kBreaks[] = {"br", "p", "div", "table", "tr", "li", "ul", "ol", "hr", "form",
                                              "h1", "h2", "h3", "h4", "h5", "h6"};
    for (const char* name : kBreaks)
        if (node.IsElement(name)) return true;
    return false;
}

std::string TextName(const Node& node)
{
    std::string text;
    std::string alt;
    CollectReaderText(node, text, alt);
    std::string name = ReaderName(text);
    return name.empty() ? ReaderName(alt) : name;
}

std::string AttributeName(const Node& node, const char* attribute)
{
    std::string text;
    AppendCollapsed(text, node.Attr(attribute));
    return ReaderName(text);
}

const Node& RootOf(const Node& node)
{
    const Node* root = &node;
    while (root->parent()) root = root->parent();
    return *root;
}

// The first <label for=id> of the document, in document order.
const Node* LabelFor(const Node& root, const std::string& id)
{
    const Node* found = nullptr;
    VisitBelow(root, [&](const Node& node) {
        if (found || !node.IsElement()) return false;
        if (const std::string* target = node.FindAttribute("for"); target && node.IsElement("label") && *target == id)
            found = &node;
        return !found;
    });
    return found;
}

// The nearest <label> around the field that names no other element.
const Node* EnclosingLabel(const Node& field, const std::string& id)
{
    for (const Node* up = field.parent(); up; up = up->parent()) {
        if (!up->IsElement("label")) continue;
        const std::string* target = up->FindAttribute("for");
        return !target || *target == id ? up : nullptr;
    }
    return nullptr;
}

// The text written right before `node` among its siblings, back to a line break or a control.
std::string TextBefore(const Node& node)
{
    const Node* parent = node.parent();
    if (!parent) return {};
    const auto& siblings = parent->children();
    std::size_t at = 0;
    while (at < siblings.size() && siblings[at].get() != &node) ++at;
    std::vector<const Node*> run;
    while (at > 0) {
        const Node& before = *siblings[--at];
        if (IsFormControl(before) || EndsLine(before)) break;
        run.push_back(&before);
    }
    std::string text;
    for (auto it = run.rbegin(); it != run.rend(); ++it) {
        if ((*it)->type() == NodeType::Text) {
            AppendCollapsed(text, (*it)->text());
        } else if ((*it)->IsElement()) {
            std::string alt;
            CollectReaderText(**it, text, alt);
        }
    }
    return ReaderName(text);
}

// The text of the table cell to the left of the field's cell, when that cell holds no control
// of its own.
std::string CellBefore(const Node& field)
{
    const Node* cell = field.parent();
    while (cell && !cell->IsElement("td") && !cell->IsElement("th")) {
        if (cell->IsElement("table")) return {};
        cell = cell->parent();
    }
    if (!cell || !cell->parent()) return {};
    const Node* left = nullptr;
    for (const auto& sibling : cell->parent()->children()) {
        if (sibling.get() == cell) break;
        if (sibling->IsElement("td") || sibling->IsElement("th")) left = sibling.get();
    }
    if (!left) return {};
    if (left->FindFirst("input") || left->FindFirst("textarea") || left->FindFirst("select") || left->FindFirst("button")) return {};
    return TextName(*left);
}

}  // namespace

std::string FieldName(const Node& field)
{
    if (std::string name = AttributeName(field, "aria-label"); !name.empty()) return name;
    const std::string id = field.Attr("id");
    if (!id.empty()) {
        if (const Node* label = LabelFor(RootOf(field), id)) {
            if (std::string name = TextName(*label); !name.empty()) return name;
        }
    }
    if (const Node* label = EnclosingLabel(field, id)) {
        if (std::string name = TextName(*label); !name.empty()) return name;
    }
    for (const char* attribute : {"placeholder", "title"}) {
        if (std::string name = AttributeName(field, attribute); !name.empty()) return name;
    }
    if (std::string name = TextBefore(field); !name.empty()) return name;
    return CellBefore(field);
}

}  // namespace browser
