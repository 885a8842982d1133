#include "browser/html/MetaRefresh.h"

#include <algorithm>
#include <vector>

#include "browser/html/Utf8.h"

namespace browser {

std::optional<MetaRefresh> ParseMetaRefresh(std::string_view content)
{
    std::size_t i = 0;
    const auto skipSpace = [&] {
        while (i < content.size() && IsAsciiSpace(content[i])) ++i;
    };
    skipSpace();
    MetaRefresh result;
    const std::size_t digitsStart = i;
    double whole = 0;
    while (i < content.size() && content[i] >= '0' && content[i] <= '9') {
        whole = std::min(whole * 10 + (content[i] - '0'), 1e9);
        ++i;
    }
    if (i < content.size() && content[i] == '.') {
        ++i;
        while (i < content.size() && ((content[i] >= '0' && content[i] <= '9') || content[i] == '.')) ++i;
    }
    if (i == digitsStart) return std::nullopt;
    result.delaySeconds = whole;
    skipSpace();
    if (i < content.size() && (content[i] == ';' || content[i] == ',')) ++i;
    skipSpace();
    if (i >= content.size()) return result;
    std::string_view rest = content.substr(i);
    if (rest.size() >= 3 && EqualsIgnoreCase(rest.substr(0, 3), "url")) {
        std::size_t j = 3;
        while (j < rest.size() && IsAsciiSpace(rest[j])) ++j;
        if (j < rest.size() && rest[j] == '=') {
            ++j;
            while (j < rest.size() && IsAsciiSpace(rest[j])) ++j;
            rest.remove_prefix(j);
        }
    }
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
        const char quote = rest.front();
        rest.remove_prefix(1);
        const std::size_t end = rest.find(quote);
        if (end != std::string_view::npos) rest = rest.substr(0, end);
    }
    result.url = std::string(TrimAsciiSpace(rest));
    return result;
}

std::optional<MetaRefresh> FindMetaRefresh(const Document& document)
{
    std::vector<const Node*> stack{&document.root()};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->IsElement("meta") && EqualsIgnoreCase(n->Attr("http-equiv"), "refresh"))
            if (auto r = ParseMetaRefresh(n->Attr("content"))) return r;
        for (auto it = n->children().rbegin(); it != n->children().rend(); ++it) stack.push_back(it->get());
    }
    return std::nullopt;
}

}  // namespace browser
