// libFuzzer target for the cookie jar: whatever Set-Cookie headers and addresses a server sends,
// parsing, dates, the jar's rules and its store must neither crash nor trip the sanitizers, the
// jar stays within its bounds, and what it sends or hands to a store holds its rules.
//
// Input: lines. A line starting with "@" is the address of the responses that follow; every other
// line is a Set-Cookie header of such a response. The first byte picks how the requests are made.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "browser/cookies/CookieJar.h"
#include "browser/cookies/CookieRules.h"
#include "browser/cookies/SetCookie.h"

namespace {

using namespace browser;

void Require(bool condition)
{
    if (!condition) std::abort();
}

bool HasByteOf(std::string_view text, std::string_view bytes)
{
    return text.find_first_of(bytes) != std::string_view::npos;
}

constexpr std::string_view kControls("\0\r\n\x01\x7f", 5);

void CheckParsed(std::string_view line)
{
    const auto parsed = ParseSetCookie(line);
    if (parsed) {
        Require(parsed->name.size() + parsed->value.size() <= kMaxCookieBytes);
        Require(!HasByteOf(parsed->name, ";=") && !HasByteOf(parsed->value, ";"));
        Require(!HasByteOf(parsed->name, kControls) && !HasByteOf(parsed->value, kControls));
        // Only one leading dot goes, as in browsers; a domain left with another matches no host.
        Require(!parsed->domain || !parsed->domain->empty());
        Require(!parsed->path || parsed->path->starts_with('/'));
        Require(!parsed->maxAge || (*parsed->maxAge >= 0 && *parsed->maxAge <= kMaxCookieLifetime));
    }
    if (const auto date = ParseCookieDate(line)) Require(*date >= -11644473600 && *date <= 253402300799);
}

void CheckJar(const CookieJar& jar, CookieTime now, const CookieRequest& request)
{
    Require(jar.Cookies().size() <= kMaxCookiesPerJar);
    std::map<std::string, std::size_t> perDomain;
    for (const Cookie& c : jar.Cookies()) {
        Require(++perDomain[c.domain] <= kMaxCookiesPerDomain);
        Require(c.name.size() + c.value.size() <= kMaxCookieBytes && c.path.starts_with('/') && IsCookieHost(c.domain));
        Require(!c.expires || *c.expires <= now + kMaxCookieLifetime);
        Require(c.hostOnly || (!IsPublicSuffix(c.domain) && !IsIpAddressHost(c.domain)));
        Require(c.sameSite != CookieSameSite::None || c.secure);
    }
    for (const char* url : {"http://www.game.com/a/b", "https://pay.game.com/", "http://127.0.0.1:8778/pcLogin/x",
                            "https://game.com.cn/x/", "http://[::1]/"})
        Require(!HasByteOf(jar.CookieHeaderFor(url, request, now), kControls));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const unsigned flags = size ? data[0] : 0;
    const CookieRequest request{(flags & 1) != 0, (flags & 2) == 0, (flags & 4) == 0};
    std::string url = "http://www.game.com/a/b";
    CookieTime now = 1'800'000'000;
    CookieJar jar;
    std::size_t pos = size ? 1 : 0;
    while (pos < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', pos), bytes.size());
        const std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (line.starts_with('@')) {
            url = std::string(line.substr(1));
            (void)ParseCookieUrl(url);
            continue;
        }
        CheckParsed(line);
        jar.SetCookie(url, line, request, now);
        (void)jar.CookieHeaderFor(url, request, now);
        now += line.empty() ? 0 : static_cast<unsigned char>(line[0]) * 1000;
    }
    CheckJar(jar, now, request);

    // What goes to a store comes back from it as it was.
    const std::vector<Cookie> stored = jar.PersistentCookies(now);
    CookieJar again;
    Require(again.Restore(stored, now) == stored.size());
    Require(again.PersistentCookies(now) == stored);
    return 0;
}
