// The Set-Cookie header as servers send it, well and badly, and the dates it carries.

#include <gtest/gtest.h>

#include <string>

#include "browser/cookies/SetCookie.h"

namespace {

using namespace browser;

TEST(SetCookie, HeadersAsServersSendThem)
{
    using S = SetCookieHeader;
    const std::string big(4095, 'v');
    const struct {
        std::string header;
        std::optional<SetCookieHeader> parsed;
    } cases[] = {
        {"vld_session=ab12; Path=/; HttpOnly; SameSite=Lax", S{.name = "vld_session", .value = "ab12", .path = "/", .httpOnly = true}},
        {" a = b c ;secure;\tHTTPONLY ; samesite = STRICT",
         S{.name = "a", .value = "b c", .secure = true, .httpOnly = true, .sameSite = CookieSameSite::Strict}},
        {"a=b=c; SameSite=None; Secure", S{.name = "a", .value = "b=c", .secure = true, .sameSite = CookieSameSite::None}},
        {"a=1; SameSite=None; SameSite=sometimes", S{.name = "a", .value = "1"}},
        {"token", S{.value = "token"}},
        {"=", std::nullopt},
        {"a=1\r\nSet-Cookie: b=2", std::nullopt},
        {"a=" + big, S{.name = "a", .value = big}},
        {"ab=" + big, std::nullopt},
        {"a=1; Domain=.Game.COM", S{.name = "a", .value = "1", .domain = "game.com"}},
        {"a=1; Domain=game.com; Domain=; Domain=.", S{.name = "a", .value = "1", .domain = "game.com"}},
        {"a=1; Domain=" + std::string(1025, 'd') + ".com", S{.name = "a", .value = "1"}},
        {"a=1; Path=/p; Path=relative", S{.name = "a", .value = "1"}},
        {"a=1; Max-Age=60", S{.name = "a", .value = "1", .maxAge = 60}},
        {"a=1; Max-Age=-5", S{.name = "a", .value = "1", .maxAge = 0}},
        {"a=1; Max-Age=1x; Max-Age=+3; Max-Age=", S{.name = "a", .value = "1"}},
        {"a=1; Max-Age=99999999999999999999999999", S{.name = "a", .value = "1", .maxAge = kMaxCookieLifetime}},
        {"a=1; Expires=Sun, 06 Nov 1994 08:49:37 GMT; Expires=never", S{.name = "a", .value = "1", .expires = 784111777}},
    };
    for (const auto& c : cases) {
        const auto got = ParseSetCookie(c.header);
        EXPECT_EQ(got.has_value(), c.parsed.has_value()) << c.header.substr(0, 60);
        if (got && c.parsed) {
            EXPECT_TRUE(*got == *c.parsed) << c.header.substr(0, 60);
        }
    }
}

TEST(SetCookie, DatesInTheFormsServersWrite)
{
    const std::optional<CookieTime> nov6 = 784111777;
    const struct {
        const char* text;
        std::optional<CookieTime> time;
    } cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", nov6},
        {"Sunday, 06-Nov-94 08:49:37 GMT", nov6},
        {"Sun Nov  6 08:49:37 1994", nov6},
        {"1994 november 6 8:49:37", nov6},
        {"Thu, 01 Jan 70 00:00:01 GMT", 1},
        {"Tue, 29 Feb 2000 12:00:00 GMT", 951825600},
        {"01 Jan 69 00:00:00", 3124224000},
        {"Mon, 01 Jan 1601 00:00:00 GMT", -11644473600},
        {"Fri, 31 Dec 9999 23:59:59 GMT", 253402300799},
        {"Fri, 29 Feb 2019 00:00:00 GMT", std::nullopt},
        {"Sun, 31 Dec 1600 23:59:59 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
        {"Sun, 06 Nov 1994", std::nullopt},
        {"Sun, 06 Nov 19945 08:49:37 GMT", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCookieDate(c.text), c.time) << c.text;
}

}  // namespace
