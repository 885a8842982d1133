#include "browser/cookies/CookieRules.h"

#include <algorithm>
#include <cctype>

#include "browser/html/Url.h"

namespace browser {
namespace {

// The registries under which players' portals, their mirrors and their advertisers live; every
// one-label name (com, cn, net, org, ...) counts without being listed.
constexpr std::string_view kTwoLabelSuffixes[] = {
    "com.cn", "net.cn", "org.cn", "gov.cn", "edu.cn", "ac.cn", "mil.cn", "ah.cn", "bj.cn", "cq.cn", "fj.cn",
    "gd.cn",  "gs.cn",  "gz.cn",  "gx.cn",  "ha.cn",  "hb.cn", "he.cn",  "hi.cn", "hl.cn", "hn.cn", "jl.cn",
    "js.cn",  "jx.cn",  "ln.cn",  "nm.cn",  "nx.cn",  "qh.cn", "sc.cn",  "sd.cn", "sh.cn", "sn.cn", "sx.cn",
    "tj.cn",  "xj.cn",  "xz.cn",  "yn.cn",  "zj.cn",  "hk.cn", "mo.cn",  "tw.cn", "com.hk", "net.hk", "org.hk",
    "edu.hk", "gov.hk", "idv.hk", "com.tw", "net.tw", "org.tw", "edu.tw", "gov.tw", "idv.tw", "com.mo", "co.jp",
    "ne.jp",  "or.jp",  "ac.jp",  "go.jp",  "co.kr",  "or.kr", "ne.kr",  "co.uk", "org.uk", "ac.uk", "gov.uk",
    "me.uk",  "ltd.uk", "plc.uk", "com.au", "net.au", "org.au", "com.sg", "com.my", "com.br",
};

bool IsHostNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

}  // namespace

bool IsCookieHost(std::string_view host)
{
    if (host.empty() || host.size() > 253) return false;
    if (host.front() == '[') {
        return host.size() > 2 && host.back() == ']' &&
               std::all_of(host.begin() + 1, host.end() - 1, [](char c) {
                   return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == ':' || c == '.';
               });
    }
    return std::all_of(host.begin(), host.end(), IsHostNameChar) && host.front() != '.' && host.back() != '.' &&
           host.find("..") == std::string_view::npos;
}

std::optional<CookieUrl> ParseCookieUrl(std::string_view url)
{
    const std::string scheme = UrlScheme(url);
    if (scheme != "http" && scheme != "https") return std::nullopt;
    auto parts = UrlHostAndPath(url);
    if (!parts || !IsCookieHost(parts->host)) return std::nullopt;
    return CookieUrl{scheme == "https", std::move(parts->host), std::move(parts->path)};
}

bool IsIpAddressHost(std::string_view host)
{
    if (host.starts_with('[')) return true;
    const std::string_view last = host.substr(host.rfind('.') + 1);
    if (last.empty()) return false;
    if (last.starts_with("0x") || last.starts_with("0X"))
        return std::all_of(last.begin() + 2, last.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    return std::all_of(last.begin(), last.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsPublicSuffix(std::string_view domain)
{
    return domain.find('.') == std::string_view::npos ||
           std::find(std::begin(kTwoLabelSuffixes), std::end(kTwoLabelSuffixes), domain) != std::end(kTwoLabelSuffixes);
}

bool DomainMatches(std::string_view host, std::string_view domain)
{
    if (host == domain) return true;
    return !IsIpAddressHost(host) && host.size() > domain.size() && host.ends_with(domain) &&
           host[host.size() - domain.size() - 1] == '.';
}

std::string DefaultCookiePath(std::string_view requestPath)
{
    const std::size_t slash = requestPath.rfind('/');
    if (!requestPath.starts_with('/') || slash == 0) return "/";
    return std::string(requestPath.substr(0, slash));
}

bool PathMatches(std::string_view requestPath, std::string_view cookiePath)
{
    if (!requestPath.starts_with(cookiePath)) return false;
    return requestPath.size() == cookiePath.size() || cookiePath.ends_with('/') || requestPath[cookiePath.size()] == '/';
}

std::string RegistrableDomain(std::string_view host)
{
    if (IsIpAddressHost(host) || IsPublicSuffix(host)) return std::string(host);
    std::size_t start = 0;
    for (;;) {
        const std::size_t next = host.find('.', start) + 1;
        if (IsPublicSuffix(host.substr(next))) return std::string(host.substr(start));
        start = next;
    }
}

bool IsSameSite(std::string_view urlA, std::string_view urlB)
{
    const auto a = ParseCookieUrl(urlA);
    const auto b = ParseCookieUrl(urlB);
    return a && b && a->secure == b->secure && RegistrableDomain(a->host) == RegistrableDomain(b->host);
}

}  // namespace browser
