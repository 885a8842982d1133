#pragma once
// The cookies of one session: what the responses of one login's pages set, and what its further
// requests carry. Pages come from any server, so the jar is bounded (kMaxCookieBytes a cookie,
// kMaxCookiesPerDomain a domain, kMaxCookiesPerJar in all: the oldest go first) and applies the
// rules of today's browsers: Domain and Path (CookieRules.h), Secure cookies only over https,
// expiry, SameSite, and the __Secure- and __Host- name prefixes. HttpOnly is kept for the store;
// the engine runs no script, so every cookie goes to HTTP requests alone anyway.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/cookies/SetCookie.h"

namespace browser {

inline constexpr std::size_t kMaxCookiesPerDomain = 50;
inline constexpr std::size_t kMaxCookiesPerJar = 3000;

struct Cookie {
    std::string name;
    std::string value;
    std::string domain;  // lower case; the host itself when host-only
    std::string path;
    bool hostOnly = true;  // sent to `domain` only, not to the hosts under it
    bool secure = false;
    bool httpOnly = false;
    CookieSameSite sameSite = CookieSameSite::Lax;
    std::optional<CookieTime> expires;  // none: a session cookie, gone with its jar
    CookieTime created = 0;

    bool IsSession() const { return !expires; }
    bool operator==(const Cookie&) const = default;
};

// How a request is made, which decides the SameSite cookies it carries and takes.
struct CookieRequest {
    // Made by a page of another site than its address (IsSameSite), or a navigation such a page
    // started. A view's first page and a typed address are same-site.
    bool crossSite = false;
    // A navigation of the view's own page, not a picture, frame or other part of a page.
    bool topLevel = true;
    // GET or HEAD; a cross-site form POST carries no Lax cookie.
    bool safeMethod = true;
};

class CookieJar {
public:
    // Applies one Set-Cookie header of the response to `url`. True when the jar now holds the
    // cookie; false when the header was refused or deleted a cookie (an expiry in the past).
    bool SetCookie(std::string_view url, std::string_view header, const CookieRequest& request, CookieTime now);

    // The value of the Cookie header of a request to `url` ("" for none): the cookies whose
    // domain, path, Secure and SameSite allow it and which have not expired, those of longer paths
    // first, then the earlier set.
    std::string CookieHeaderFor(std::string_view url, const CookieRequest& request, CookieTime now) const;

    // The cookies a store keeps past the session (those with an expiry not yet reached), in the
    // order the jar took them, and their return from it: each is checked as a new one would be, and kept unless it
    // breaks a rule. Returns how many were kept.
    std::vector<Cookie> PersistentCookies(CookieTime now) const;
    std::size_t Restore(const std::vector<Cookie>& cookies, CookieTime now);

    // Every cookie held, expired ones not yet dropped included, in the order the jar took them.
    const std::vector<Cookie>& Cookies() const { return m_cookies; }

private:
    bool Admit(Cookie cookie, CookieTime now);
    void DropExpired(CookieTime now);
    void DropOldest(const std::string* domain);

    std::vector<Cookie> m_cookies;  // a replaced cookie keeps its place
};

}  // namespace browser
