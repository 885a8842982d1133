#pragma once
// Where a line may break: between words at white space, and around every CJK character.

#include <cstddef>
#include <string_view>

#include "browser/html/Utf8.h"

namespace browser::layout_engine {

inline bool IsCjk(char32_t cp)
{
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFFEF) || (cp >= 0x20000 && cp <= 0x2FFFF);
}

// Splits text into the pieces a line may break between: words at white space, and every CJK
// character on its own. `onToken(text, spaceBefore)`; in preformatted text `onNewline()` at
// every line feed and no white space is collapsed.
template <typename OnToken, typename OnNewline>
void Tokenize(std::string_view text, bool pre, bool& pendingSpace, OnToken onToken, OnNewline onNewline)
{
    if (pre) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\n') {
                std::string_view line = text.substr(start, i - start);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                if (!line.empty()) onToken(line, false);
                if (i < text.size()) onNewline();
                start = i + 1;
            }
        }
        return;
    }
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t wordStart = kNone;
    std::size_t pos = 0;
    const auto endWord = [&](std::size_t end) {
        if (wordStart != kNone) {
            onToken(text.substr(wordStart, end - wordStart), pendingSpace);
            pendingSpace = false;
            wordStart = kNone;
        }
    };
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f') {
            endWord(start);
            pendingSpace = true;
        } else if (IsCjk(cp)) {
            endWord(start);
            onToken(text.substr(start, pos - start), pendingSpace);
            pendingSpace = false;
        } else if (wordStart == kNone) {
            wordStart = start;
        }
    }
    endWord(text.size());
}

}  // namespace browser::layout_engine
