// The jar's rules at its seam: the Set-Cookie headers of responses in, the Cookie header of each
// further request out.

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "browser/cookies/CookieJar.h"
#include "browser/cookies/CookieRules.h"

namespace {

using namespace browser;

constexpr CookieTime kNow = 1'800'000'000;
constexpr CookieTime kNov6 = 784111777;  // "Sun, 06 Nov 1994 08:49:37 GMT"
constexpr CookieRequest kSame{};
constexpr CookieRequest kCrossTopGet{true, true, true};
constexpr CookieRequest kCrossTopPost{true, true, false};
constexpr CookieRequest kCrossPart{true, false, true};

std::vector<std::string> Words(const char* text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(CookieJar, DomainsPathsAndSchemesACookieReaches)
{
    // Set from `from`; sent to the addresses of `to` and to none of `notTo`. Nothing to send to: refused.
    const struct {
        const char *from, *header, *to, *notTo;
    } cases[] = {
        {"http://www.game.com/", "a=1", "http://www.game.com:8080/x https://WWW.game.com/",
         "http://game.com/ http://sub.www.game.com/ http://www.game.com.cn/"},
        {"http://www.game.com/", "a=1; Domain=.GAME.com", "http://game.com/ http://a.b.game.com/",
         "http://evilgame.com/ http://game.com.cn/"},
        {"http://www.game.com/", "a=1; Domain=www.game.com", "http://x.www.game.com/", "http://game.com/"},
        {"http://www.game.com/", "a=1; Domain=com", "", ""},
        {"http://x.game.com.cn/", "a=1; Domain=com.cn", "", ""},
        {"http://pay.game.com.cn/", "a=1; Domain=game.com.cn", "http://www.game.com.cn/", "http://com.cn/"},
        {"http://com.cn/", "a=1; Domain=com.cn", "http://com.cn/", "http://x.com.cn/"},
        {"http://127.0.0.1:8778/", "a=1; Domain=127.0.0.1", "http://127.0.0.1:9000/",
         "http://127.0.0.2/ http://1.127.0.0.1/ http://localhost/"},
        {"http://127.0.0.1/", "a=1; Domain=0.0.1", "", ""},
        {"http://[::1]:8080/", "a=1", "http://[::1]/", "http://[::2]/"},
        {"http://[::1]/", "a=1; Domain=::1", "", ""},
        {"file:///C:/x.html", "a=1", "", ""},
        {"http://exa mple.com/", "a=1", "", ""},
        {"http://h.com/a/b/c.html?x=/y/z", "a=1", "http://h.com/a/b http://h.com/a/b/ http://h.com/a/b/d/e",
         "http://h.com/a/bc http://h.com/a http://h.com/"},
        {"http://h.com/a/b/c", "a=1; Path=docs", "http://h.com/a/b/x", "http://h.com/a/x"},
        {"http://h.com/", "a=1; Path=/docs", "http://h.com/docs http://h.com/docs/web?q",
         "http://h.com/doc http://h.com/docsx http://h.com/Docs"},
        {"https://h.com/", "a=1; Secure", "https://h.com/", "http://h.com/"},
        {"http://h.com/", "a=1; Secure", "", ""},
        {"https://h.com/", "__secure-a=1", "", ""},
        {"https://h.com/", "__Host-a=1; Secure; Path=/", "https://h.com/x", ""},
        {"https://h.com/", "__Host-a=1; Secure; Path=/; Domain=h.com", "", ""},
    };
    for (const auto& c : cases) {
        const std::string label = std::string(c.from) + " " + c.header;
        const std::string pair = std::string(c.header).substr(0, std::string(c.header).find(';'));
        CookieJar jar;
        EXPECT_EQ(jar.SetCookie(c.from, c.header, kSame, kNow), *c.to != '\0') << label;
        for (const std::string& url : Words(c.to)) EXPECT_EQ(jar.CookieHeaderFor(url, kSame, kNow), pair) << label << " to " << url;
        for (const std::string& url : Words(c.notTo)) EXPECT_EQ(jar.CookieHeaderFor(url, kSame, kNow), "") << label << " to " << url;
    }
    EXPECT_TRUE(IsSameSite("http://www.game.com.cn/a", "http://pay.game.com.cn/b"));
    for (const char* other : {"https://www.game.com.cn/", "http://x.com.cn/", "http://127.0.0.1/", "about:blank"})
        EXPECT_FALSE(IsSameSite("http://www.game.com.cn/a", other)) << other;
}

TEST(CookieJar, SameSiteByHowTheRequestIsMade)
{
    CookieJar jar;
    for (const char* header : {"s=1; SameSite=Strict", "l=2; SameSite=Lax", "n=3; SameSite=None; Secure", "d=4"})
        ASSERT_TRUE(jar.SetCookie("https://game.com/", header, kSame, kNow)) << header;
    EXPECT_FALSE(jar.SetCookie("https://game.com/", "x=1; SameSite=None", kSame, kNow)) << "None needs Secure";
    const struct {
        CookieRequest request;
        const char* sent;
    } sends[] = {
        {kSame, "s=1; l=2; n=3; d=4"}, {{false, false, false}, "s=1; l=2; n=3; d=4"}, {kCrossTopGet, "l=2; n=3; d=4"},
        {kCrossTopPost, "n=3"},        {kCrossPart, "n=3"},
    };
    for (const auto& c : sends) EXPECT_EQ(jar.CookieHeaderFor("https://game.com/x", c.request, kNow), c.sent) << c.sent;

    // What a page of another site loads sets only cookies meant for other sites; a navigation any.
    EXPECT_FALSE(jar.SetCookie("https://game.com/", "a=1", kCrossPart, kNow));
    EXPECT_TRUE(jar.SetCookie("https://game.com/", "b=1; SameSite=None; Secure", kCrossPart, kNow));
    EXPECT_TRUE(jar.SetCookie("https://game.com/", "c=1; SameSite=Strict", kCrossTopPost, kNow));
}

// A request to `url` at `at` carries `sent` (when given); its response then sets `setCookie`.
struct Step {
    CookieTime at;
    const char* url;
    const char* setCookie;
    const char* sent = nullptr;
    CookieRequest request = kSame;
};

void Play(const char* story, const std::vector<Step>& steps)
{
    CookieJar jar;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        if (s.sent) {
            EXPECT_EQ(jar.CookieHeaderFor(s.url, s.request, s.at), s.sent) << story << ", step " << i;
        }
        if (s.setCookie) jar.SetCookie(s.url, s.setCookie, s.request, s.at);
    }
}

TEST(CookieJar, ExpiryReplacementOrderAndRedirects)
{
    const char* h = "http://h.com/";
    Play("Max-Age counts from when it is set and wins over Expires, before or after it",
         {{kNov6 - 100, h, "a=1; Max-Age=10; Expires=Sun, 06 Nov 1994 08:49:37 GMT"},
          {kNov6 - 100, h, "b=2; Expires=Sun, 06 Nov 1994 08:49:37 GMT; Max-Age=10"},
          {kNov6 - 100, h, "c=3; Expires=Sun, 06 Nov 1994 08:49:37 GMT"}, {kNov6 - 100, h, "d=4; Max-Age=soon"},
          {kNov6 - 91, h, nullptr, "a=1; b=2; c=3; d=4"}, {kNov6 - 90, h, nullptr, "c=3; d=4"}, {kNow, h, nullptr, "d=4"}});
    Play("past dates and Max-Age of 0 or less delete, on the cookie's own path",
         {{1000, h, "a=1"}, {1000, h, "b=2"}, {1000, h, "c=3; Path=/x"}, {1000, h, "a=x; Max-Age=0"},
          {1001, h, "b=x; Expires=Thu, 01 Jan 1970 00:00:01 GMT"}, {1001, h, "c=x; Max-Age=-1"},
          {1002, "http://h.com/x", nullptr, "c=3"}});
    Play("no longer than 400 days", {{0, h, "a=1; Max-Age=999999999"}, {0, h, "b=2; Expires=Fri, 31 Dec 9999 23:59:59 GMT"},
                                     {kMaxCookieLifetime - 1, h, nullptr, "a=1; b=2"}, {kMaxCookieLifetime, h, nullptr, ""}});
    Play("the same name, domain and path replace a cookie, which keeps its place; another path or domain is another "
         "cookie; longer paths go first, then the earlier set",
         {{1, "http://www.h.com/", "a=1"}, {2, "http://www.h.com/", "b=1"}, {3, "http://www.h.com/", "a=2"},
          {4, "http://www.h.com/", "a=3; Domain=h.com"}, {5, "http://www.h.com/x/", "a=4; Path=/x", "a=2; b=1; a=3"},
          {6, "http://www.h.com/x/y", nullptr, "a=4; a=2; b=1; a=3"}});
    Play("http neither replaces nor shadows a secure cookie",
         {{1, "https://h.com/", "s=1; Secure"}, {2, h, "s=2"}, {2, "http://h.com/x/", "s=3; Path=/x"}, {3, h, "t=1", ""},
          {3, "https://h.com/", "s=4; Secure", "s=1; t=1"}, {5, "https://h.com/", nullptr, "s=4; t=1"}});
    // Each response of a chain of redirects sets cookies for its own address; the next request carries them.
    Play("a login's redirects",
         {{1, "http://127.0.0.1:8778/pcLogin/login", "vld_session=ab; Path=/; HttpOnly; SameSite=Lax", ""},
          {1, "http://127.0.0.1:8778/pcLogin/login", "step=1"},
          {1, "http://127.0.0.1:8778/pcLogin/welcome", "step=; Max-Age=0; Path=/pcLogin", "step=1; vld_session=ab"},
          {1, "http://127.0.0.1:8778/pcLogin/welcome", "sso=1; Domain=game.com"},
          {1, "https://pass.game.com/sso", "ticket=t; Domain=game.com; Secure; SameSite=None", "", kCrossTopGet},
          {1, "http://www.game.com/enter", "sid=w", "", kCrossTopGet},
          {1, "https://www.game.com/play", nullptr, "ticket=t; sid=w", kCrossTopGet},
          {1, "http://127.0.0.1:8778/game/", nullptr, "vld_session=ab"}});
}

TEST(CookieJar, BoundsDropTheOldest)
{
    CookieJar jar;
    for (int i = 0; i <= 50; ++i) ASSERT_TRUE(jar.SetCookie("http://h.com/", "c" + std::to_string(i) + "=1", kSame, i));
    ASSERT_EQ(jar.Cookies().size(), kMaxCookiesPerDomain);
    EXPECT_EQ(jar.Cookies().front().name, "c1") << "a host's 51st cookie drops its oldest";
    // An expired cookie goes before the oldest live one.
    jar.SetCookie("http://h.com/", "c30=1; Max-Age=1", kSame, 100);
    jar.SetCookie("http://h.com/", "new=1", kSame, 200);
    EXPECT_EQ(jar.Cookies().front().name, "c1");
    EXPECT_EQ(jar.CookieHeaderFor("http://h.com/", kSame, 200).find("c30="), std::string::npos);

    EXPECT_TRUE(jar.SetCookie("http://big.com/", "n=" + std::string(4095, 'v'), kSame, 0)) << "4096 bytes fit";
    EXPECT_FALSE(jar.SetCookie("http://big.com/", "nn=" + std::string(4095, 'v'), kSame, 0)) << "4097 do not";

    CookieJar full;
    for (int i = 0; i <= 3000; ++i)
        full.SetCookie("http://h" + std::to_string(i / 50) + ".com/", "c" + std::to_string(i) + "=1", kSame, i);
    EXPECT_EQ(full.Cookies().size(), kMaxCookiesPerJar);
    EXPECT_EQ(full.CookieHeaderFor("http://h0.com/", kSame, 3001).substr(0, 10), "c1=1; c2=1") << "the jar's 3001st drops its oldest";
}

TEST(CookieJar, PersistentCookiesGoToAStoreAndComeBackChecked)
{
    const char* h = "http://h.com/";
    CookieJar jar;
    jar.SetCookie(h, "session=1", kSame, 10);
    jar.SetCookie(h, "kept=2; Max-Age=100", kSame, 10);
    jar.SetCookie(h, "gone=3; Max-Age=5", kSame, 10);
    EXPECT_TRUE(jar.Cookies().front().IsSession());
    const std::vector<Cookie> stored = jar.PersistentCookies(20);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].expires, 110);

    // A store another program can write: what breaks a rule stays out, and what has run out
    // deletes nothing.
    std::vector<Cookie> offered(8, stored[0]);
    offered[1].domain = "com", offered[1].hostOnly = false;
    offered[2].domain = "1.2.3.4", offered[2].hostOnly = false;
    offered[3].value = "x; injected=1";
    offered[4].name = "a=b";
    offered[5].expires = 15;
    offered[6].sameSite = CookieSameSite::None;
    offered[7].name = "__Host-a", offered[7].secure = true, offered[7].path = "/x";
    CookieJar again;
    EXPECT_EQ(again.Restore(offered, 20), 1u);
    EXPECT_EQ(again.PersistentCookies(20), stored);
}

}  // namespace
