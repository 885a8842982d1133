#include "browser/cookies/CookieJar.h"

#include <algorithm>
#include <utility>

#include "browser/cookies/CookieRules.h"
#include "browser/html/Utf8.h"

namespace browser {
namespace {

bool IsExpired(const Cookie& cookie, CookieTime now) { return cookie.expires && now >= *cookie.expires; }

bool SameKey(const Cookie& a, const Cookie& b)
{
    return a.name == b.name && a.domain == b.domain && a.hostOnly == b.hostOnly && a.path == b.path;
}

bool HasPrefix(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

bool IsCleanText(std::string_view text, std::string_view forbidden)
{
    return std::none_of(text.begin(), text.end(), [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return (c < 0x20 && c != '\t') || c == 0x7F || forbidden.find(ch) != std::string_view::npos;
    });
}

// The rules a cookie must hold wherever it comes from: a response or a store that another
// program could have written.
bool IsAdmissible(const Cookie& c)
{
    if (c.name.size() + c.value.size() > kMaxCookieBytes || (c.name.empty() && c.value.empty()) ||
        !IsCleanText(c.name, ";=") || !IsCleanText(c.value, ";"))
        return false;
    if (!c.path.starts_with('/') || c.path.size() > kMaxCookieAttributeBytes || !IsCleanText(c.path, ";"))
        return false;
    if (!IsCookieHost(c.domain) || (!c.hostOnly && (IsIpAddressHost(c.domain) || IsPublicSuffix(c.domain))))
        return false;
    if (c.sameSite == CookieSameSite::None && !c.secure) return false;
    // Names that promise how they were set: a page cannot fake them over http or for a wider scope.
    if (HasPrefix(c.name, "__Secure-") && !c.secure) return false;
    if (HasPrefix(c.name, "__Host-") && (!c.secure || !c.hostOnly || c.path != "/")) return false;
    if (c.name.empty() && (HasPrefix(c.value, "__Secure-") || HasPrefix(c.value, "__Host-"))) return false;
    return true;
}

// The domain a Set-Cookie's Domain gives the cookie on `host`, or nullopt when it may not.
std::optional<std::pair<std::string, bool>> CookieDomain(const std::optional<std::string>& attribute, const std::string& host)
{
    if (!attribute) return std::pair{host, true};
    // A public suffix or an IP address names no group of hosts: it is only good for itself.
    if (IsPublicSuffix(*attribute) || IsIpAddressHost(*attribute) || IsIpAddressHost(host)) {
        if (*attribute == host) return std::pair{host, true};
        return std::nullopt;
    }
    if (!DomainMatches(host, *attribute)) return std::nullopt;
    return std::pair{*attribute, false};
}

}  // namespace

bool CookieJar::SetCookie(std::string_view url, std::string_view header, const CookieRequest& request, CookieTime now)
{
    const auto target = ParseCookieUrl(url);
    const auto parsed = target ? ParseSetCookie(header) : std::nullopt;
    if (!parsed) return false;
    const auto domain = CookieDomain(parsed->domain, target->host);
    if (!domain || (parsed->secure && !target->secure)) return false;
    if (parsed->domain && HasPrefix(parsed->name, "__Host-")) return false;
    // A page of another site sets only cookies meant for other sites, but for a navigation to this one.
    if (parsed->sameSite != CookieSameSite::None && request.crossSite && !request.topLevel) return false;

    Cookie cookie{parsed->name, parsed->value, domain->first, parsed->path.value_or(DefaultCookiePath(target->path)),
                  domain->second, parsed->secure, parsed->httpOnly, parsed->sameSite, std::nullopt, now};
    if (parsed->maxAge) cookie.expires = now + *parsed->maxAge;
    else cookie.expires = parsed->expires;

    // Over http a page cannot shadow or replace a secure cookie of the same name.
    if (!target->secure) {
        const bool shadows = std::any_of(m_cookies.begin(), m_cookies.end(), [&](const Cookie& old) {
            return old.secure && old.name == cookie.name &&
                   (DomainMatches(old.domain, cookie.domain) || DomainMatches(cookie.domain, old.domain)) &&
                   PathMatches(cookie.path, old.path);
        });
        if (shadows) return false;
    }
    return Admit(std::move(cookie), now);
}

bool CookieJar::Admit(Cookie cookie, CookieTime now)
{
    if (!IsAdmissible(cookie)) return false;
    const auto old = std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& c) { return SameKey(c, cookie); });
    if (IsExpired(cookie, now)) {
        if (old != m_cookies.end()) m_cookies.erase(old);
        return false;
    }
    if (cookie.expires) cookie.expires = std::min(*cookie.expires, now + kMaxCookieLifetime);
    if (old != m_cookies.end()) {
        cookie.created = old->created;
        *old = std::move(cookie);
        return true;
    }
    const std::string domain = cookie.domain;
    m_cookies.push_back(std::move(cookie));
    const auto inDomain = [&] {
        return static_cast<std::size_t>(
            std::count_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& c) { return c.domain == domain; }));
    };
    if (inDomain() > kMaxCookiesPerDomain || m_cookies.size() > kMaxCookiesPerJar) DropExpired(now);
    while (inDomain() > kMaxCookiesPerDomain) DropOldest(&domain);
    while (m_cookies.size() > kMaxCookiesPerJar) DropOldest(nullptr);
    return true;
}

void CookieJar::DropExpired(CookieTime now)
{
    std::erase_if(m_cookies, [&](const Cookie& c) { return IsExpired(c, now); });
}

void CookieJar::DropOldest(const std::string* domain)
{
    auto oldest = m_cookies.end();
    for (auto it = m_cookies.begin(); it != m_cookies.end(); ++it)
        if ((!domain || it->domain == *domain) && (oldest == m_cookies.end() || it->created < oldest->created)) oldest = it;
    if (oldest != m_cookies.end()) m_cookies.erase(oldest);
}

std::string CookieJar::CookieHeaderFor(std::string_view url, const CookieRequest& request, CookieTime now) const
{
    const auto target = ParseCookieUrl(url);
    if (!target) return {};
    std::vector<const Cookie*> sent;
    for (const Cookie& c : m_cookies) {
        if (IsExpired(c, now) || (c.secure && !target->secure) || !PathMatches(target->path, c.path)) continue;
        if (c.hostOnly ? target->host != c.domain : !DomainMatches(target->host, c.domain)) continue;
        if (request.crossSite && (c.sameSite == CookieSameSite::Strict ||
                                  (c.sameSite == CookieSameSite::Lax && !(request.topLevel && request.safeMethod))))
            continue;
        sent.push_back(&c);
    }
    std::stable_sort(sent.begin(), sent.end(), [](const Cookie* a, const Cookie* b) {
        if (a->path.size() != b->path.size()) return a->path.size() > b->path.size();
        return a->created < b->created;
    });
    std::string header;
    for (const Cookie* c : sent) {
        if (!header.empty()) header += "; ";
        if (!c->name.empty()) header += c->name + "=";
        header += c->value;
    }
    return header;
}

std::vector<Cookie> CookieJar::PersistentCookies(CookieTime now) const
{
    std::vector<Cookie> kept;
    for (const Cookie& c : m_cookies)
        if (!c.IsSession() && !IsExpired(c, now)) kept.push_back(c);
    return kept;
}

std::size_t CookieJar::Restore(const std::vector<Cookie>& cookies, CookieTime now)
{
    std::size_t kept = 0;
    // An entry that has run out is skipped: it deletes nothing that came back before it.
    for (const Cookie& c : cookies)
        if (!IsExpired(c, now) && Admit(c, now)) ++kept;
    return kept;
}

}  // namespace browser
