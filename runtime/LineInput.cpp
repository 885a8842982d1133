#include "runtime/LineInput.h"

namespace rt {

std::vector<std::string> SplitInputLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r') {
            current += c;
            continue;
        }
        lines.push_back(std::move(current));
        current.clear();
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

}  // namespace rt
