#pragma once
// <meta http-equiv="refresh" content="5;url=..."> as browsers read it.

#include <optional>
#include <string>
#include <string_view>

#include "browser/html/Dom.h"

namespace browser {

struct MetaRefresh {
    double delaySeconds = 0;
    std::string url;  // as written (unresolved); empty means "reload this page"
};

std::optional<MetaRefresh> ParseMetaRefresh(std::string_view content);
// The first refresh <meta> of the document that parses.
std::optional<MetaRefresh> FindMetaRefresh(const Document& document);

}  // namespace browser
