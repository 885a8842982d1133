// Meta refresh, the back list, form encoding, URL resolution and the CSS subset.

#include <gtest/gtest.h>

#include <utility>

#include "browser/html/BackList.h"
#include "browser/html/Css.h"
#include "browser/html/FormEncoding.h"
#include "browser/html/MetaRefresh.h"
#include "browser/html/Parser.h"
#include "browser/html/Url.h"

namespace {

using namespace browser;

TEST(MetaRefresh, ParsesDelayAndUrlForms)
{
    auto r = ParseMetaRefresh("0;url=app://loadgame|http://127.0.0.1:5/game/?account=a%7Cb");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->delaySeconds, 0);
    EXPECT_EQ(r->url, "app://loadgame|http://127.0.0.1:5/game/?account=a%7Cb");
    r = ParseMetaRefresh("  5 ; URL = 'next.html' ");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->delaySeconds, 5);
    EXPECT_EQ(r->url, "next.html");
    r = ParseMetaRefresh("3");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->url, "");
    r = ParseMetaRefresh("2.5, http://x/");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->delaySeconds, 2);
    EXPECT_EQ(r->url, "http://x/");
    EXPECT_FALSE(ParseMetaRefresh("soon; url=x"));
    EXPECT_FALSE(ParseMetaRefresh(""));
    EXPECT_EQ(ParseMetaRefresh("99999999999999999999")->delaySeconds, 1e9);
}

TEST(MetaRefresh, FoundInDocument)
{
    const auto d = ParseHtml("<head><meta http-equiv=\"Content-Type\" content=\"text/html\">"
                             "<meta HTTP-EQUIV=Refresh content=\"0;url=app://loadgame|x\"></head>");
    auto r = FindMetaRefresh(d);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->url, "app://loadgame|x");
    EXPECT_FALSE(FindMetaRefresh(ParseHtml("<p>none")));
}

// Address number `i`, `length` bytes long, and the number back (-1 for none).
std::string Address(std::size_t i, std::size_t length)
{
    const std::string n = "http://h/" + std::to_string(i) + "?";
    return n + std::string(length - n.size(), 'x');
}
long Number(const std::optional<std::string>& address) { return address ? std::stol(address->substr(9)) : -1; }

TEST(BackList, KeepsTheNewestAddressesWithinACountAndASize)
{
    static_assert(kMaxBackEntries == 50 && kMaxBackBytes == 1u << 20);
    struct Case {
        const char* what;
        std::size_t visits, length, kept;
    };
    const Case cases[] = {
        {"up to the count", 50, 20, 50},
        {"beyond the count", 1000, 20, 50},
        {"up to the size", 16, 64 << 10, 16},
        {"a byte beyond the size", 100, (64 << 10) + 1, 15},
        {"one longer than the size: the page shown stays", 3, 2 << 20, 1},
    };
    for (const Case& c : cases) {
        BackList list;
        for (std::size_t i = 0; i < c.visits; ++i) list.Visit(Address(i, c.length));
        EXPECT_EQ(list.entries().size(), c.kept) << c.what;
        EXPECT_EQ(Number(list.entries().front()), long(c.visits - c.kept)) << c.what;
    }

    // A reload adds nothing; going back takes the page shown and the one before off the list and
    // frees their room.
    BackList list;
    for (std::size_t i = 0; i < 16; ++i) list.Visit(Address(i, 64 << 10));
    list.Visit(Address(15, 64 << 10));
    EXPECT_EQ(Number(list.GoBack()), 14);
    EXPECT_EQ(Number(list.GoBack()), 12);
    for (std::size_t i = 100; i < 104; ++i) list.Visit(Address(i, 64 << 10));
    EXPECT_EQ(list.entries().size(), 16u);
    EXPECT_EQ(Number(list.entries().front()), 0);
}

TEST(FormEncoding, EncodesLikeBrowsers)
{
    EXPECT_EQ(FormUrlEncode({{"username", "tester"}, {"password", "p w&d=1"}}), "username=tester&password=p+w%26d%3D1");
    EXPECT_EQ(FormUrlEncode({{"n", "中"}}), "n=%E4%B8%AD");
    EXPECT_EQ(FormUrlEncode({{"a*-._~", "|+/"}}), "a*-._%7E=%7C%2B%2F");
    EXPECT_EQ(FormUrlEncode({{"t", "a\nb\r\nc\rd"}}), "t=a%0D%0Ab%0D%0Ac%0D%0Ad");
    EXPECT_EQ(FormUrlEncode({}), "");
    EXPECT_EQ(FormUrlEncode({{"", ""}}), "=");
    EXPECT_EQ(FormGetUrl("/pcLogin/login?old=1#top", "u=a"), "/pcLogin/login?u=a#top");
    EXPECT_EQ(FormGetUrl("", "u=a"), "?u=a");
}

TEST(Url, ResolvesReferences)
{
    const std::string base = "http://127.0.0.1:8778/pcLogin/index.html?x=1";
    EXPECT_EQ(ResolveUrl(base, "/pcLogin/login"), "http://127.0.0.1:8778/pcLogin/login");
    EXPECT_EQ(ResolveUrl(base, "login"), "http://127.0.0.1:8778/pcLogin/login");
    EXPECT_EQ(ResolveUrl(base, "../static/logo.png"), "http://127.0.0.1:8778/static/logo.png");
    EXPECT_EQ(ResolveUrl(base, "../../../a"), "http://127.0.0.1:8778/a");
    EXPECT_EQ(ResolveUrl(base, "?y=2"), "http://127.0.0.1:8778/pcLogin/index.html?y=2");
    EXPECT_EQ(ResolveUrl(base, "#top"), "http://127.0.0.1:8778/pcLogin/index.html?x=1#top");
    EXPECT_EQ(ResolveUrl(base, ""), "http://127.0.0.1:8778/pcLogin/index.html?x=1");
    EXPECT_EQ(ResolveUrl(base, "//other.example/p"), "http://other.example/p");
    EXPECT_EQ(ResolveUrl(base, "https://s.example"), "https://s.example/");
    EXPECT_EQ(ResolveUrl(base, " \\game\\?a=b\\c "), "http://127.0.0.1:8778/game/?a=b\\c");
    EXPECT_EQ(ResolveUrl("http://h", "a"), "http://h/a");
    // Command URLs keep every character, the "|" and the embedded URL included.
    EXPECT_EQ(ResolveUrl(base, "app://loadgame|http://127.0.0.1:1/game/?account=x"),
              "app://loadgame|http://127.0.0.1:1/game/?account=x");
    EXPECT_EQ(ResolveUrl(base, "about:blank"), "about:blank");
    EXPECT_EQ(UrlScheme("HTTP://x"), "http");
    EXPECT_EQ(UrlScheme("/a:b"), "");
}

// Two addresses are one origin when these match: a web address's scheme, host and port only.
TEST(Url, WebOriginOfWebAddressesOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"http://Portal.Test:80/game/?a=1#b", "http://portal.test"}, {"HTTPS://portal.test:443", "https://portal.test"},
        {"https://portal.test:80/", "https://portal.test:80"},      {"http://user@portal.test/", "http://user@portal.test"},
        {"javascript:alert(1)", ""}, {"about:blank", ""}, {"file://host/share/x", ""}, {"http:///x", ""}, {"//h/", ""}};
    for (const auto& [url, origin] : cases) EXPECT_EQ(WebOrigin(url), origin) << url;
}

TEST(Css, ColoursFromStylesAndAttributes)
{
    EXPECT_EQ(ParseColor("#FEFEFE"), 0xFEFEFEu);
    EXPECT_EQ(ParseColor("#fff"), 0xFFFFFFu);
    EXPECT_EQ(ParseColor(" Red "), 0xFF0000u);
    EXPECT_EQ(ParseColor("rgb(30, 51, 80)"), 0x1E3350u);
    EXPECT_FALSE(ParseColor("FEFEFE"));
    EXPECT_EQ(ParseColor("FEFEFE", true), 0xFEFEFEu);
    EXPECT_EQ(ParseColor("chucknorris", true), 0xC00000u);
    EXPECT_FALSE(ParseColor("transparent", true));
    EXPECT_FALSE(ParseColor("#12345"));
}

TEST(Css, DeclarationsAndLengths)
{
    const auto d = ParseDeclarations("margin:0;padding:0; Background-Color : #FEFEFE !important;;bad;x:");
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[2].first, "background-color");
    EXPECT_EQ(d[2].second, "#FEFEFE");
    EXPECT_EQ(d[3].second, "");
    EXPECT_EQ(ParseLength("12px")->value, 12);
    EXPECT_EQ(ParseLength("1.5em", 12)->value, 18);
    EXPECT_TRUE(ParseLength("50%")->percent);
    EXPECT_FALSE(ParseLength("wide"));
    EXPECT_EQ(*ParseBoxShorthand("8px 0 2px 0"), (std::vector<double>{8, 0, 2, 0}));
    EXPECT_EQ(*ParseBoxShorthand("0 0 0 16px"), (std::vector<double>{0, 0, 0, 16}));
    EXPECT_EQ(*ParseBoxShorthand("4px 6px"), (std::vector<double>{4, 6, 4, 6}));
    EXPECT_FALSE(ParseBoxShorthand("1 2 3 4 5"));
}

}  // namespace
