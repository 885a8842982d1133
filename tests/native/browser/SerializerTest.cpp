// innerHTML as browsers serialise it, and its length in UTF-16 units: the login window decides
// "server unreachable" by this number, with the boundary at 1500.

#include <gtest/gtest.h>

#include <string>

#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"

namespace {

using browser::InnerHtml;
using browser::InnerHtmlLength;
using browser::ParseHtml;

std::size_t RootLength(const std::string& html) { return InnerHtmlLength(*ParseHtml(html).documentElement()); }

TEST(Serializer, SimpleDocumentIsTextPlus26)
{
    for (const std::string text : {"", "x", "hello world"})
        EXPECT_EQ(RootLength("<html><head></head><body>" + text + "</body></html>"), text.size() + 26);
    // Characters count as UTF-16 units, not bytes; astral characters count twice.
    EXPECT_EQ(RootLength("<html><head></head><body>中文</body></html>"), 28u);
    EXPECT_EQ(RootLength("<html><head></head><body>\xF0\x9F\x98\x80</body></html>"), 28u);
}

TEST(Serializer, BoundaryOf1500)
{
    EXPECT_EQ(RootLength("<html><head></head><body>" + std::string(1473, 'a') + "</body></html>"), 1499u);
    EXPECT_EQ(RootLength("<html><head></head><body>" + std::string(1474, 'a') + "</body></html>"), 1500u);
    // Built from other parts: an escaped character grows as it is serialised again.
    EXPECT_EQ(RootLength("<body>" + std::string(1468, 'a') + "&amp;</body>"), 1499u);
}

TEST(Serializer, EscapesTextAndAttributes)
{
    const auto d = ParseHtml("<p title='a\"b&amp;&lt;&nbsp;'>1 &lt; 2 &amp;&amp; 3 &gt; 2&nbsp;\"q\"</p>");
    EXPECT_EQ(InnerHtml(*d.body()),
              "<p title=\"a&quot;b&amp;<&nbsp;\">1 &lt; 2 &amp;&amp; 3 &gt; 2&nbsp;\"q\"</p>");
    EXPECT_EQ(InnerHtml(*ParseHtml("<style>a>b{}</style>").head()), "<style>a>b{}</style>");
    EXPECT_EQ(InnerHtml(*ParseHtml("<img src=a.png><br><input value=x>").body()),
              "<img src=\"a.png\"><br><input value=\"x\">");
    EXPECT_EQ(InnerHtml(*ParseHtml("x<!--c-->").body()), "x<!--c-->");
    EXPECT_EQ(InnerHtml(*ParseHtml("<pre>\n\nx</pre>").body()), "<pre>\n\nx</pre>");
}

TEST(Serializer, RoundTripIsStable)
{
    const std::string page =
        "<table width=\"888\"><tr><td bgcolor=\"#FEFEFE\"><a href=\"app://minimize\">最小化</a></td></tr></table>"
        "<form method=\"post\" action=\"/pcLogin/login\"><input type=\"text\" name=\"username\"></form>";
    const std::string once = InnerHtml(*ParseHtml(page).documentElement());
    const std::string twice = InnerHtml(*ParseHtml("<html>" + once + "</html>").documentElement());
    EXPECT_EQ(once, twice);
}

}  // namespace
