#pragma once
// The HTML fragment serialisation browsers use for innerHTML.

#include <cstddef>
#include <string>

#include "browser/html/Dom.h"

namespace browser {

std::string InnerHtml(const Node& node);
// Length of InnerHtml in UTF-16 code units (what a browser's innerHTML.length reports).
std::size_t InnerHtmlLength(const Node& node);

}  // namespace browser
