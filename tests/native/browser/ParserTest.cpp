// The tree the parser builds from the markup pages really contain, and from broken markup.

#include <gtest/gtest.h>

#include <string>

#include "browser/html/Entities.h"
#include "browser/html/Parser.h"
#include "browser/html/Serializer.h"

namespace {

using browser::Document;
using browser::InnerHtml;
using browser::ParseHtml;

std::string Body(std::string_view html) { return InnerHtml(*ParseHtml(html).body()); }

TEST(Parser, ImpliesHtmlHeadAndBody)
{
    EXPECT_EQ(InnerHtml(*ParseHtml("hello").documentElement()), "<head></head><body>hello</body>");
    EXPECT_EQ(InnerHtml(*ParseHtml("").documentElement()), "<head></head><body></body>");
    EXPECT_EQ(InnerHtml(*ParseHtml("<title>T</title><p>x").documentElement()),
              "<head><title>T</title></head><body><p>x</p></body>");
    // Doctype and comments before <html> are outside the root element.
    const Document d = ParseHtml("<!DOCTYPE html><!-- c --><html lang=zh><body>b</body></html>");
    EXPECT_EQ(InnerHtml(*d.documentElement()), "<head></head><body>b</body>");
    EXPECT_EQ(d.documentElement()->Attr("lang"), "zh");
}

TEST(Parser, KeepsWhiteSpaceWhereBrowsersDo)
{
    const Document d = ParseHtml("<html>\n<head>\n<title>t</title>\n</head>\n<body>\nx\n</body>\n</html>\n");
    EXPECT_EQ(InnerHtml(*d.documentElement()), "<head>\n<title>t</title>\n</head>\n<body>\nx\n\n\n</body>");
}

TEST(Parser, AttributesAreLowerCasedFirstWinsAndDecoded)
{
    const Document d = ParseHtml("<A HREF='/x?a=1&amp;b=2' href=dup Title=\"&lt;&quot;\" checked data-x=a&copy=1>t</a>");
    const browser::Node* a = d.body()->FindFirst("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Attr("href"), "/x?a=1&b=2");
    EXPECT_EQ(a->Attr("title"), "<\"");
    EXPECT_TRUE(a->HasAttr("checked"));
    EXPECT_EQ(a->Attr("data-x"), "a&copy=1");  // no decoding before "=" inside attributes
    EXPECT_EQ(a->attributes().size(), 4u);
}

TEST(Parser, ScriptAndStyleContentIsNotText)
{
    const Document d = ParseHtml("<p>a<script>if (x < 1) document.write('<b>no</b>')</script>b"
                                 "<style>p{color:red}</style>c</p>");
    EXPECT_EQ(d.body()->TextContent(), "abc");
    EXPECT_EQ(d.body()->FindFirst("b"), nullptr);
    EXPECT_EQ(Body("x<script>a</scriptx></script>b"), "x<script>a</scriptx></script>b");
    EXPECT_EQ(Body("<textarea>\n&lt;b&gt;</textarea>"), "<textarea>&lt;b&gt;</textarea>");
}

TEST(Parser, RepairsMisnestingLikeBrowsers)
{
    EXPECT_EQ(Body("<p>one<p>two"), "<p>one</p><p>two</p>");
    EXPECT_EQ(Body("<p>a<div>b</div>"), "<p>a</p><div>b</div>");
    EXPECT_EQ(Body("<ul><li>a<li>b</ul>"), "<ul><li>a</li><li>b</li></ul>");
    EXPECT_EQ(Body("<ul><li>a<ul><li>b</ul><li>c</ul>"), "<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>");
    EXPECT_EQ(Body("x</p>"), "x<p></p>");
    EXPECT_EQ(Body("a</span>b</div>c"), "abc");
    EXPECT_EQ(Body("a<br/>b</br>c"), "a<br>b<br>c");
    EXPECT_EQ(Body("<h1>a<h2>b</h2>"), "<h1>a</h1><h2>b</h2>");
    EXPECT_EQ(Body("<a href=1>x<a href=2>y</a>"), "<a href=\"1\">x</a><a href=\"2\">y</a>");
}

TEST(Parser, BuildsTablesWithImpliedSections)
{
    EXPECT_EQ(Body("<table><tr><td>a<td>b<tr><td>c</table>"),
              "<table><tbody><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></tbody></table>");
    EXPECT_EQ(Body("<table><td>x</table>"), "<table><tbody><tr><td>x</td></tr></tbody></table>");
    // Text directly in a table moves before it.
    EXPECT_EQ(Body("<table>oops<tr><td>x</td></tr></table>"),
              "oops<table><tbody><tr><td>x</td></tr></tbody></table>");
    EXPECT_EQ(Body("<table><tr><td><table><tr><td>in</table>out</td></tr></table>"),
              "<table><tbody><tr><td><table><tbody><tr><td>in</td></tr></tbody></table>out</td></tr></tbody></table>");
}

TEST(Parser, TitleCollapsesWhiteSpaceAndDecodes)
{
    EXPECT_EQ(ParseHtml("<title>\n  LumoraVeldan &amp;  登录\n</title>").Title(), "LumoraVeldan & 登录");
    EXPECT_EQ(ParseHtml("<p>no title").Title(), "");
    EXPECT_EQ(ParseHtml("<title><b>x</b></title>").Title(), "<b>x</b>");
}

TEST(Parser, SurvivesHostileInput)
{
    // Truncated tags and comments, binary bytes, unterminated quotes.
    EXPECT_EQ(Body("a<b"), "a");
    EXPECT_EQ(Body("<!-- never closed"), "");
    EXPECT_EQ(Body("x<a href=\"unterminated>y"), "x");
    const std::string binary("\0\xff\xfe<\x01>\x80\x81<<>>", 12);
    EXPECT_NO_FATAL_FAILURE(ParseHtml(binary));
    // Deep nesting is capped, not recursed into.
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<div>";
    const Document d = ParseHtml(deep + "end");
    EXPECT_EQ(d.body()->TextContent(), "end");
    EXPECT_GT(InnerHtml(*d.body()).size(), 100000u);
    // A huge attribute is kept whole.
    const std::string big(1 << 20, 'x');
    EXPECT_EQ(ParseHtml("<p title=\"" + big + "\">").body()->FindFirst("p")->Attr("title").size(), big.size());
    EXPECT_EQ(Body("<unknown-tag foo=bar>t</unknown-tag>"), "<unknown-tag foo=\"bar\">t</unknown-tag>");
}

TEST(Entities, DecodesNamedAndNumericReferences)
{
    using browser::DecodeCharacterReferences;
    EXPECT_EQ(DecodeCharacterReferences("&lt;&gt;&amp;&quot;&nbsp;&copy;", false), "<>&\"\xC2\xA0©");
    EXPECT_EQ(DecodeCharacterReferences("&#20013;&#x6587;&#X41;", false), "中文A");
    EXPECT_EQ(DecodeCharacterReferences("&#0;&#xD800;&#x110000;&#99999999999;", false), "\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(DecodeCharacterReferences("&#128;&#150;", false), "€–");
    EXPECT_EQ(DecodeCharacterReferences("&amp &copy2 &notit; &nosuch; & &#; &#x;", false),
              "& ©2 ¬it; &nosuch; & &#; &#x;");
    EXPECT_EQ(DecodeCharacterReferences("?a=1&copy=2&lt", true), "?a=1&copy=2<");
    EXPECT_EQ(DecodeCharacterReferences("&hellip;&mdash;", false), "…—");
}

}  // namespace
