// The built-in error page must read as an error page to the login window: short, whatever the
// address that failed.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "browser/html/ErrorPage.h"
#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"

namespace {

using namespace browser;

TEST(ErrorPage, StaysShortAndEscapesTheAddress)
{
    const std::string hostile = "http://x/<script>" + std::string(100000, 'a') + "\xE4\xB8";
    for (auto failure : {LoadFailure::NoConnection, LoadFailure::Refused, LoadFailure::HttpError,
                         LoadFailure::UnsupportedScheme, LoadFailure::BadAddress, LoadFailure::TooLarge}) {
        const Document d = ParseHtml(ErrorPageHtml(hostile, failure, 404));
        EXPECT_LT(InnerHtmlLength(*d.documentElement()), 1500u);
        EXPECT_EQ(d.Title(), "无法显示此页");
        EXPECT_EQ(d.body()->FindFirst("script"), nullptr);
    }
    const Document d = ParseHtml(ErrorPageHtml("http://127.0.0.1:9/", LoadFailure::HttpError, 404));
    EXPECT_NE(d.body()->TextContent().find("404"), std::string::npos);
    EXPECT_NE(d.body()->TextContent().find("http://127.0.0.1:9/"), std::string::npos);
    EXPECT_NE(ParseHtml(ErrorPageHtml("http://x/", LoadFailure::TooLarge)).body()->TextContent().find("此页过大"),
              std::string::npos);
}

TEST(ErrorPage, APageWithoutMemoryToParseBecomesTheErrorPage)
{
    const Document fine = ParsePageOrErrorPage("http://x/", "<title>t</title>ok", ParseHtml);
    EXPECT_EQ(fine.Title(), "t");
    const Document failed = ParsePageOrErrorPage("http://x/big", "<p>x", [](std::string_view) -> Document {
        throw std::bad_alloc();
    });
    EXPECT_EQ(failed.Title(), "无法显示此页");
    EXPECT_NE(failed.body()->TextContent().find("此页过大"), std::string::npos);
    EXPECT_NE(failed.body()->TextContent().find("http://x/big"), std::string::npos);
    // Other failures are not this one's to hide.
    EXPECT_THROW(ParsePageOrErrorPage("http://x/", "", [](std::string_view) -> Document { throw std::logic_error("x"); }),
                 std::logic_error);
}

}  // namespace
