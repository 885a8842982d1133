// The jar's rules at its seam: the Set-Cookie headers of responses in, the Cookie header of each
// further request out.

#include <gtest/gtest.h>

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

TEST(CookieJar, DomainsPathsAndSchemesACookieReaches)
{
    const struct {
        const char* from;
        const char* header;
        bool stored;
        std::vector<const char*> sentTo = {}, notSentTo = {};
    } cases[] = {
        {"http://www.game.com/", "a=1", true, {"http://www.game.com:8080/x", "https://WWW.game.com/"},
         {"http://game.com/", "http://sub.www.game.com/", "http://www.game.com.cn/"}},
        {"http://www.game.com/", "a=1; Domain=.GAME.com", true, {"http://game.com/", "http://a.b.game.com/"},
         {"http://evilgame.com/", "http://game.com.cn/"}},
        {"http://www.game.com/", "a=1; Domain=www.game.com", true, {"http://x.www.game.com/"}, {"http://game.com/"}},
        {"http://www.game.com/", "a=1; Domain=other.com", false},
        {"http://www.game.com/", "a=1; Domain=sub.www.game.com", false},
        {"http://www.game.com/", "a=1; Domain=com", false},
        {"http://x.game.com.cn/", "a=1; Domain=com.cn", false},
        {"http://www.beijing.gov.cn/", "a=1; Domain=gov.cn", false},
        {"http://pay.game.com.cn/", "a=1; Domain=game.com.cn", true, {"http://www.game.com.cn/"}, {"http://com.cn/"}},
        {"http://com.cn/", "a=1; Domain=com.cn", true, {"http://com.cn/"}, {"http://x.com.cn/"}},
        {"http://localhost/", "a=1; Domain=localhost", true, {"http://localhost/"}, {"http://x.localhost/"}},
        {"http://127.0.0.1:8778/", "a=1", true, {"http://127.0.0.1:9000/"}, {"http://127.0.0.2/", "http://localhost/"}},
        {"http://127.0.0.1/", "a=1; Domain=127.0.0.1", true, {"http://127.0.0.1/"}, {"http://1.127.0.0.1/"}},
        {"http://127.0.0.1/", "a=1; Domain=0.0.1", false},
        {"http://10.0.0.1/", "a=1; Domain=1", false},
        {"http://[::1]:8080/", "a=1", true, {"http://[::1]/"}, {"http://[::2]/"}},
        {"http://[::1]/", "a=1; Domain=::1", false},
        {"file:///C:/x.html", "a=1", false},
        {"about:blank", "a=1", false},
        {"http:///x", "a=1", false},
        {"http://exa mple.com/", "a=1", false},
        {"http://h.com/a/b/c.html?x=/y/z", "a=1", true, {"http://h.com/a/b", "http://h.com/a/b/", "http://h.com/a/b/d/e"},
         {"http://h.com/a/bc", "http://h.com/a", "http://h.com/"}},
        {"http://h.com/page", "a=1", true, {"http://h.com/", "http://h.com/x/y"}, {}},
        {"http://h.com", "a=1", true, {"http://h.com/x"}, {}},
        {"http://h.com/a/b/c", "a=1; Path=docs", true, {"http://h.com/a/b/x"}, {"http://h.com/a/x"}},
        {"http://h.com/", "a=1; Path=/docs", true, {"http://h.com/docs", "http://h.com/docs/web?q"},
         {"http://h.com/doc", "http://h.com/docsx", "http://h.com/Docs"}},
        {"http://h.com/", "a=1; Path=/docs/", true, {"http://h.com/docs/x"}, {"http://h.com/docs"}},
        {"https://h.com/", "a=1; Secure", true, {"https://h.com/"}, {"http://h.com/"}},
        {"http://h.com/", "a=1; Secure", false},
        {"https://h.com/", "__Secure-a=1; Secure", true, {"https://h.com/"}, {}},
        {"https://h.com/", "__secure-a=1", false},
        {"https://h.com/", "__Host-a=1; Secure; Path=/", true, {"https://h.com/x"}, {}},
        {"https://h.com/", "__Host-a=1; Secure; Path=/; Domain=h.com", false},
        {"https://h.com/", "__Host-a=1; Secure; Path=/x", false},
        {"https://h.com/", "=__Host-a", false},
    };
    for (const auto& c : cases) {
        const std::string label = std::string(c.from) + " " + c.header;
        CookieJar jar;
        EXPECT_EQ(jar.SetCookie(c.from, c.header, kSame, kNow), c.stored) << label;
        const std::string pair = std::string(c.header).substr(0, std::string(c.header).find(';'));
        for (const char* url : c.sentTo) EXPECT_EQ(jar.CookieHeaderFor(url, kSame, kNow), pair) << label << " to " << url;
        for (const char* url : c.notSentTo) EXPECT_EQ(jar.CookieHeaderFor(url, kSame, kNow), "") << label << " to " << url;
    }
}

TEST(CookieJar, SitesOfTwoAddresses)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"http://www.game.com/a", "http://pay.game.com/b", true}, {"http://www.game.com/", "https://www.game.com/", false},
        {"http://a.game.com.cn/", "http://b.game.com.cn/", true}, {"http://a.com.cn/", "http://b.com.cn/", false},
        {"http://127.0.0.1:1/", "http://127.0.0.1:2/", true},     {"http://127.0.0.1/", "http://127.0.0.2/", false},
        {"http://game.com/", "http://game.net/", false},          {"about:blank", "about:blank", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSameSite(c.a, c.b), c.same) << c.a << " " << c.b;
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
        {kSame, "s=1; l=2; n=3; d=4"},
        {{false, false, false}, "s=1; l=2; n=3; d=4"},
        {kCrossTopGet, "l=2; n=3; d=4"},
        {kCrossTopPost, "n=3"},
        {kCrossPart, "n=3"},
    };
    for (const auto& c : sends) EXPECT_EQ(jar.CookieHeaderFor("https://game.com/x", c.request, kNow), c.sent) << c.sent;

    // What a page of another site loads sets only cookies meant for other sites; a navigation any.
    const struct {
        CookieRequest request;
        const char* header;
        bool stored;
    } sets[] = {
        {kCrossPart, "a=1; SameSite=Lax", false},       {kCrossPart, "a=1", false},
        {kCrossPart, "a=1; SameSite=None; Secure", true}, {kCrossTopPost, "a=1; SameSite=Strict", true},
    };
    for (const auto& c : sets) EXPECT_EQ(jar.SetCookie("https://game.com/", c.header, c.request, kNow), c.stored) << c.header;
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
    Play("Max-Age counts from when it is set", {{1000, h, "a=1; Max-Age=60"}, {1059, h, nullptr, "a=1"}, {1060, h, nullptr, ""}});
    Play("Expires", {{kNov6 - 100, h, "a=1; Expires=Sun, 06 Nov 1994 08:49:37 GMT"}, {kNov6 - 1, h, nullptr, "a=1"},
                     {kNov6, h, nullptr, ""}});
    Play("Max-Age wins over Expires, before or after it",
         {{kNov6 - 100, h, "a=1; Max-Age=10; Expires=Sun, 06 Nov 1994 08:49:37 GMT"},
          {kNov6 - 100, h, "b=2; Expires=Sun, 06 Nov 1994 08:49:37 GMT; Max-Age=10"},
          {kNov6 - 91, h, nullptr, "a=1; b=2"}, {kNov6 - 90, h, nullptr, ""}});
    Play("past dates and Max-Age of 0 or less delete",
         {{1000, h, "a=1"}, {1000, h, "b=2"}, {1000, h, "c=3"}, {1000, h, "a=x; Max-Age=0", "a=1; b=2; c=3"},
          {1001, h, "b=x; Expires=Thu, 01 Jan 1970 00:00:01 GMT"}, {1001, h, "c=x; Max-Age=-1"}, {1002, h, nullptr, ""}});
    Play("a deletion names the cookie's path", {{1, h, "a=1; Path=/x"}, {1, h, "a=2; Max-Age=0"}, {1, "http://h.com/x", nullptr, "a=1"}});
    Play("no longer than 400 days", {{0, h, "a=1; Max-Age=999999999"}, {0, h, "b=2; Expires=Fri, 31 Dec 9999 23:59:59 GMT"},
                                     {kMaxCookieLifetime - 1, h, nullptr, "a=1; b=2"}, {kMaxCookieLifetime, h, nullptr, ""}});
    Play("a session cookie outlives any time", {{0, h, "a=1; Max-Age=soon"}, {kNow, h, nullptr, "a=1"}});

    Play("the same name, domain and path replace a cookie, which keeps its place",
         {{1, h, "a=1"}, {2, h, "b=1"}, {3, h, "a=2", "a=1; b=1"}, {4, h, nullptr, "a=2; b=1"}});
    Play("another path, or a domain cookie of the same name, is another cookie",
         {{1, "http://www.h.com/", "a=1"}, {2, "http://www.h.com/", "a=2; Domain=h.com"},
          {3, "http://www.h.com/x/", "a=3; Path=/x", "a=1; a=2"}, {4, "http://www.h.com/x/y", nullptr, "a=3; a=1; a=2"}});
    Play("http neither replaces nor shadows a secure cookie",
         {{1, "https://h.com/", "s=1; Secure"}, {2, h, "s=2"}, {2, "http://h.com/x/", "s=3; Path=/x"},
          {3, "https://h.com/x/", nullptr, "s=1"}, {3, h, "t=1", ""}, {4, "https://h.com/", "s=4; Secure", "s=1; t=1"},
          {5, "https://h.com/", nullptr, "s=4; t=1"}});
    Play("longer paths first, then the earlier set",
         {{1, "http://www.game.com/", "a=1"}, {2, "http://www.game.com/", "b=2; Path=/game"},
          {3, "http://www.game.com/", "c=3; Domain=game.com"}, {4, "http://www.game.com/", "d=4; Path=/game/room"},
          {5, "https://www.game.com/", "e=5; Secure"}, {6, "http://www.game.com/game/room/1", nullptr, "d=4; b=2; a=1; c=3"},
          {6, "https://www.game.com/game/room/1", nullptr, "d=4; b=2; a=1; c=3; e=5"},
          {6, "http://game.com/game", nullptr, "c=3"}, {6, "http://www.game.com/", nullptr, "a=1; c=3"}});
    // Each response of a chain of redirects sets cookies for its own address; the next request
    // carries them.
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

    // A store another program can write: what breaks a rule stays out.
    std::vector<Cookie> offered(11, stored[0]);
    offered[1].domain = "com", offered[1].hostOnly = false;
    offered[2].domain = "1.2.3.4", offered[2].hostOnly = false;
    offered[3].domain = "bad host";
    offered[4].value = "x; injected=1";
    offered[5].name = "a=b";
    offered[6].name = std::string(kMaxCookieBytes, 'n');
    offered[7].expires = 15;
    offered[8].path = "x";
    offered[9].sameSite = CookieSameSite::None;
    offered[10].name = "__Host-a", offered[10].secure = true, offered[10].path = "/x";
    CookieJar again;
    EXPECT_EQ(again.Restore(offered, 20), 1u);
    EXPECT_EQ(again.CookieHeaderFor(h, kSame, 20), "kept=2");
    EXPECT_EQ(again.PersistentCookies(20), stored);
}

}  // namespace
