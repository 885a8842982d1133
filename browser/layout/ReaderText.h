#pragma once
// Text as screen readers are given it: runs of white space (no-break spaces too) made one
// space, the ends trimmed, the whole bounded.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "browser/html/Dom.h"

namespace browser {

// The longest name handed to a reader, in characters; a longer one is cut at a whole character.
inline constexpr std::size_t kMaxReaderNameChars = 160;

// Visits the nodes below `root` in document order, going into a node's children when `visit`
// returns true for it. Walked with a stack of its own: a page's depth is bounded by the parser,
// not by this thread's stack.
template <typename Visit>
void VisitBelow(const Node& root, Visit visit)
{
    std::vector<std::pair<const Node*, std::size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [parent, next] = stack.back();
        if (next == parent->children().size()) {
            stack.pop_back();
            continue;
        }
        const Node& child = *parent->children()[next++];
        if (visit(child)) stack.emplace_back(&child, 0);
    }
}

bool IsFormControl(const Node& node);
// Appends `text` (UTF-8) to `out` with runs of white space made one space.
void AppendCollapsed(std::string& out, const std::string& text);
// The text below `node` (script and style left out, and the content of form controls, which is
// their value rather than their name), and separately the alt texts of its pictures.
void CollectReaderText(const Node& node, std::string& text, std::string& alt);
// `text` without spaces at its ends, cut to kMaxReaderNameChars characters.
std::string ReaderName(std::string text);

}  // namespace browser
