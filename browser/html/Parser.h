#pragma once
// A tolerant HTML parser in the manner of browsers: any input gives a document with <html>,
// <head> and <body>; misnested and unclosed tags are repaired, unknown tags kept as elements.

#include <string_view>

#include "browser/html/Dom.h"

namespace browser {

// Nesting deeper than this is flattened: further elements become siblings at the deepest level.
inline constexpr std::size_t kMaxTreeDepth = 400;

// `html` must be UTF-8 (see DecodeToUtf8); invalid sequences are tolerated.
Document ParseHtml(std::string_view html);

}  // namespace browser
