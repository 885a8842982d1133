#include "browser/html/Url.h"

#include <vector>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

struct Parts {
    std::string scheme;  // without ":"
    bool hasAuthority = false;
    std::string authority;
    std::string path;
    bool hasQuery = false;
    std::string query;
    bool hasFragment = false;
    std::string fragment;
};

bool IsSchemeChar(char c, bool first)
{
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return alpha || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

Parts Split(std::string_view url)
{
    Parts p;
    const std::string scheme = UrlScheme(url);
    if (!scheme.empty()) {
        p.scheme = scheme;
        url.remove_prefix(scheme.size() + 1);
    }
    if (const auto hash = url.find('#'); hash != std::string_view::npos) {
        p.hasFragment = true;
        p.fragment = std::string(url.substr(hash + 1));
        url = url.substr(0, hash);
    }
    if (const auto q = url.find('?'); q != std::string_view::npos) {
        p.hasQuery = true;
        p.query = std::string(url.substr(q + 1));
        url = url.substr(0, q);
    }
    if (url.starts_with("//")) {
        p.hasAuthority = true;
        url.remove_prefix(2);
        const auto slash = url.find('/');
        p.authority = std::string(url.substr(0, slash));
        url = slash == std::string_view::npos ? std::string_view{} : url.substr(slash);
    }
    p.path = std::string(url);
    return p;
}

std::string RemoveDotSegments(std::string_view path)
{
    std::vector<std::string_view> out;
    const bool absolute = path.starts_with('/');
    std::size_t pos = absolute ? 1 : 0;
    bool trailingSlash = false;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view seg = path.substr(pos, end - pos);
        const bool last = end == path.size();
        if (seg == "." || seg == "%2e" || seg == "%2E") {
            trailingSlash = last;
        } else if (seg == ".." || EqualsIgnoreCase(seg, "%2e%2e") || EqualsIgnoreCase(seg, ".%2e") ||
                   EqualsIgnoreCase(seg, "%2e.")) {
            if (!out.empty()) out.pop_back();
            trailingSlash = last;
        } else {
            out.push_back(seg);
            trailingSlash = false;
        }
        pos = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i) result += '/';
        result += out[i];
    }
    if (trailingSlash && !result.ends_with('/')) result += '/';
    return result;
}

std::string Join(const Parts& p)
{
    std::string out;
    if (!p.scheme.empty()) out += p.scheme + ":";
    if (p.hasAuthority) out += "//" + p.authority;
    out += p.path;
    if (p.hasQuery) out += "?" + p.query;
    if (p.hasFragment) out += "#" + p.fragment;
    return out;
}

std::string Clean(std::string_view url)
{
    url = TrimAsciiSpace(url);
    std::string out;
    for (char c : url)
        if (c != '\t' && c != '\n' && c != '\r') out += c;
    return out;
}

}  // namespace

std::string UrlScheme(std::string_view url)
{
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] == ':') return i == 0 ? std::string{} : AsciiLowercase(url.substr(0, i));
        if (!IsSchemeChar(url[i], i == 0)) return {};
    }
    return {};
}

std::string WebOrigin(std::string_view url)
{
    const Parts p = Split(url);
    if ((p.scheme != "http" && p.scheme != "https") || !p.hasAuthority || p.authority.empty()) return {};
    std::string_view authority = p.authority;
    const std::string_view ownPort = p.scheme == "http" ? ":80" : ":443";
    if (authority.ends_with(ownPort)) authority.remove_suffix(ownPort.size());
    return p.scheme + "://" + AsciiLowercase(authority);
}

std::string EscapeForRequest(std::string_view url)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : url) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string_view WithoutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

std::optional<HostAndPath> UrlHostAndPath(std::string_view url)
{
    const std::string scheme = UrlScheme(url);
    if (scheme.empty()) return std::nullopt;
    url.remove_prefix(scheme.size() + 1);
    if (!url.starts_with("//")) return std::nullopt;
    url.remove_prefix(2);
    const std::size_t end = url.find_first_of("/?#\\");
    std::string_view authority = url.substr(0, end);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        authority = authority.substr(0, close + 1);
    } else {
        authority = authority.substr(0, authority.find(':'));
    }
    HostAndPath parts{AsciiLowercase(authority), "/"};
    if (end != std::string_view::npos && (url[end] == '/' || url[end] == '\\'))
        parts.path = std::string(url.substr(end, url.find_first_of("?#", end) - end));
    return parts;
}

std::string ResolveUrl(std::string_view base, std::string_view reference)
{
    std::string ref = Clean(reference);
    const std::string baseScheme = UrlScheme(base);
    const bool hierarchical = baseScheme == "http" || baseScheme == "https";
    if (hierarchical) {
        // Browsers read backslashes in web addresses as slashes, but only before the query.
        const std::size_t stop = std::min(ref.find('?'), ref.find('#'));
        for (std::size_t i = 0; i < ref.size() && i < stop; ++i)
            if (ref[i] == '\\') ref[i] = '/';
    }
    const std::string refScheme = UrlScheme(ref);
    const bool refHierarchical = refScheme == "http" || refScheme == "https";
    // Other schemes (app:, about:, javascript:) are opaque: they pass through exactly as written.
    if (!refScheme.empty() && !refHierarchical) return ref;
    Parts r = Split(ref);
    if (refHierarchical && (r.hasAuthority || refScheme != baseScheme)) {
        r.path = RemoveDotSegments(r.path);
        if (r.path.empty()) r.path = "/";
        return Join(r);
    }
    r.scheme.clear();  // "http:foo" against an http base is relative, a leniency browsers keep
    Parts b = Split(base);
    Parts t;
    t.scheme = b.scheme;
    if (r.hasAuthority) {
        t.hasAuthority = true;
        t.authority = r.authority;
        t.path = RemoveDotSegments(r.path);
        t.hasQuery = r.hasQuery;
        t.query = r.query;
    } else {
        t.hasAuthority = b.hasAuthority;
        t.authority = b.authority;
        if (r.path.empty()) {
            t.path = b.path;
            t.hasQuery = r.hasQuery || b.hasQuery;
            t.query = r.hasQuery ? r.query : b.query;
        } else {
            if (r.path.starts_with('/')) {
                t.path = RemoveDotSegments(r.path);
            } else {
                std::string merged;
                if (b.hasAuthority && b.path.empty()) merged = "/" + r.path;
                else {
                    const auto slash = b.path.rfind('/');
                    merged = (slash == std::string::npos ? std::string{} : b.path.substr(0, slash + 1)) + r.path;
                }
                t.path = RemoveDotSegments(merged);
            }
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        }
    }
    t.hasFragment = r.hasFragment;
    t.fragment = r.fragment;
    if (t.hasAuthority && t.path.empty() && (t.scheme == "http" || t.scheme == "https")) t.path = "/";
    return Join(t);
}

}  // namespace browser
