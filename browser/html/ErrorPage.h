#pragma once
// The built-in page shown when a navigation fails, kept short as a browser's own error page is
// (its root inner HTML stays far below 1500 characters whatever the address).

#include <string>
#include <string_view>

namespace browser {

// TooLarge: the page arrived, but the process had no memory to parse or lay it out.
enum class LoadFailure { NoConnection, Refused, HttpError, UnsupportedScheme, BadAddress, TooLarge };

std::string ErrorPageHtml(std::string_view url, LoadFailure failure, int httpStatus = 0);

}  // namespace browser
