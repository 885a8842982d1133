#pragma once
// Which hosts and paths a cookie belongs to, as browsers decide it: a cookie set with a Domain
// goes to that domain and every host under it, but never to a domain anyone can register names
// under (a public suffix such as "com" or "com.cn"), and never across IP addresses; a Path
// covers itself and what lies below it.

#include <optional>
#include <string>
#include <string_view>

namespace browser {

// What the cookie rules read of a request's address. Only http and https addresses of a host
// with a plausible name carry cookies.
struct CookieUrl {
    bool secure = false;  // https
    std::string host;     // lower case; an IPv6 address in brackets
    std::string path;     // without query and fragment, starting with "/"
};
std::optional<CookieUrl> ParseCookieUrl(std::string_view url);
// A lower-case host name of letters, digits, "-", "_" and dots between labels, or an IPv6
// address in brackets: what a cookie's domain may be.
bool IsCookieHost(std::string_view host);

// An IPv4 address in any form a URL allows ("127.0.0.1", "0x7f.1": the last label is a number)
// or an IPv6 address in brackets.
bool IsIpAddressHost(std::string_view host);
// Every one-label name is a public suffix, as are the registries' two-label ones of a built-in list.
bool IsPublicSuffix(std::string_view domain);
// The host is the domain or a name under it; an IP address only matches itself.
bool DomainMatches(std::string_view host, std::string_view domain);
// The directory of the request's path: "/a/b" gives "/a", "/a" and "/" give "/".
std::string DefaultCookiePath(std::string_view requestPath);
// The cookie's path is the request's path or a directory above it.
bool PathMatches(std::string_view requestPath, std::string_view cookiePath);
// The public suffix and one label more ("www.game.com.cn" gives "game.com.cn"); an IP address or a
// host that is itself a public suffix stands for itself.
std::string RegistrableDomain(std::string_view host);
// Both addresses are of one site: the same scheme and the same registrable domain. A later step
// compares a page's address with what it loads to give the jar its cross-site flag.
bool IsSameSite(std::string_view urlA, std::string_view urlB);

}  // namespace browser
