#pragma once
// The built-in page shown when a navigation fails, kept short as a browser's own error page is
// (its root inner HTML stays far below 1500 characters whatever the address).

#include <functional>
#include <string>
#include <string_view>

#include "browser/html/Dom.h"

namespace browser {

// TooLarge: the page arrived, but the process had no memory to parse or lay it out.
enum class LoadFailure { NoConnection, Refused, HttpError, UnsupportedScheme, BadAddress, TooLarge };

std::string ErrorPageHtml(std::string_view url, LoadFailure failure, int httpStatus = 0);

// The document of a page that arrived from `url`: `parse(html)`, or the TooLarge error page when
// the process has no memory for it (parse throws std::bad_alloc), instead of ending the client.
using PageParser = std::function<Document(std::string_view html)>;
Document ParsePageOrErrorPage(std::string_view url, std::string_view html, const PageParser& parse);

}  // namespace browser
