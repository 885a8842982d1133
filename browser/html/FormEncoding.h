#pragma once
// application/x-www-form-urlencoded: what a form submission sends.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace browser {

// One name/value pair in the bytes of the document's encoding.
using FormField = std::pair<std::string, std::string>;

// "a=1&b=x+y": bytes other than ASCII letters, digits and "*-._" become %XX (upper case),
// spaces become "+", line breaks are normalised to CR LF first.
std::string FormUrlEncode(const std::vector<FormField>& fields);

// Where a GET submission goes: the action with its query replaced by the encoded fields
// (a "#fragment" of the action is kept at the end).
std::string FormGetUrl(std::string_view action, std::string_view encoded);

}  // namespace browser
