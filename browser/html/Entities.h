#pragma once
// Character references (&amp; &#20013; &#x4E2D;) as browsers decode them in text and in
// attribute values.

#include <string>
#include <string_view>

namespace browser {

// Decodes every character reference of `text` (UTF-8). In attribute values a legacy name
// without ";" followed by "=" or a letter or digit stays literal, as in browsers.
std::string DecodeCharacterReferences(std::string_view text, bool inAttribute);

}  // namespace browser
