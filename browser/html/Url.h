#pragma once
// URL resolution the way a browser resolves links, form actions and refresh targets.

#include <optional>
#include <string>
#include <string_view>

namespace browser {

// The scheme in lower case ("http", "app", "about"), or "" for a relative reference.
std::string UrlScheme(std::string_view url);
// Resolves `reference` against the absolute `base` (RFC 3986, with the leniencies of browsers:
// surrounding white space and tabs/newlines removed, "\" in http(s) paths read as "/").
std::string ResolveUrl(std::string_view base, std::string_view reference);
// Bytes a server cannot take raw (non-ASCII, spaces, controls) percent-encoded, as browsers send them.
std::string EscapeForRequest(std::string_view url);
// The origin of an http: or https: address, "scheme://authority" in lower case without the
// scheme's own port (":80", ":443"); "" for any other address and for one without a host.
std::string WebOrigin(std::string_view url);
// `url` without its "#fragment".
std::string_view WithoutFragment(std::string_view url);

struct HostAndPath {
    std::string host;  // lower case, without user info and port; an IPv6 address keeps its brackets
    std::string path;  // without query and fragment; "/" when the URL has none
};
// The host and path of an absolute URL with an authority ("http://h/p"); nullopt for others.
std::optional<HostAndPath> UrlHostAndPath(std::string_view url);

}  // namespace browser
