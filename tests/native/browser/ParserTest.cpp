// The tree the parser builds from the markup pages really contain, and from broken markup.

#include <gtest/gtest.h>

#include <string>

#include "browser/html/Entities.h"
#include "browser/html/PageLimits.h"
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

// `count` attributes named from `first` on ("a0=0 a1=1 ..."), each `repeat` times in a row.
std::string Attributes(int first, int count, int repeat = 1)
{
    std::string out;
    for (int i = first; i < first + count; ++i)
        for (int r = 0; r < repeat; ++r) out += " a" + std::to_string(i) + "=" + std::to_string(r == 0 ? i : -1);
    return out;
}

// The names of an element's attributes, in order, as "a0..a255" when they run on without a gap.
std::string Names(const browser::Node& e)
{
    const auto& a = e.attributes();
    if (a.empty()) return "";
    bool run = true;
    for (std::size_t i = 0; i < a.size(); ++i) run = run && a[i].name == "a" + std::to_string(i);
    if (run) return "a0..a" + std::to_string(a.size() - 1);
    std::string out;
    for (const auto& x : a) out += (out.empty() ? "" : " ") + x.name;
    return out;
}

TEST(PageBounds, AnElementKeepsItsFirstAttributesEachNameOnce)
{
    static_assert(browser::kMaxAttributesPerElement == 256);
    struct Case {
        const char* what;
        std::string html;
        const char* element;
        std::string names;
    };
    const Case cases[] = {
        {"under the cap", "<p" + Attributes(0, 3) + ">", "p", "a0..a2"},
        {"exactly the cap", "<p" + Attributes(0, 256) + ">", "p", "a0..a255"},
        {"one more", "<p" + Attributes(0, 257) + ">", "p", "a0..a255"},
        {"forty thousand", "<p" + Attributes(0, 40000) + ">", "p", "a0..a255"},
        {"duplicates take no place", "<p" + Attributes(0, 300, 3) + ">", "p", "a0..a255"},
        {"a void element", "<img" + Attributes(0, 1000) + ">", "img", "a0..a255"},
        {"further html tags add what is missing", "<html" + Attributes(0, 200) + "><html" + Attributes(100, 300) + ">",
         "html", "a0..a255"},
        {"further body tags too", "<body" + Attributes(0, 10) + "><body" + Attributes(5, 10) + ">", "body", "a0..a14"},
        {"a full element takes no more", "<body" + Attributes(0, 256) + "><body x=1>", "body", "a0..a255"},
        {"a foster-parented element", "<table><tr><td>c</td></tr><div" + Attributes(0, 999) + "></div></table>", "div",
         "a0..a255"},
    };
    for (const Case& c : cases) {
        const Document d = ParseHtml(c.html);
        const browser::Node* e = std::string(c.element) == "html" ? d.documentElement() : d.root().FindFirst(c.element);
        ASSERT_NE(e, nullptr) << c.what;
        EXPECT_EQ(Names(*e), c.names) << c.what;
        EXPECT_EQ(e->Attr("a0"), "0") << c.what << ": the first occurrence wins";
    }

    // Many further <html> tags, each full of names already there: each costs its length only.
    std::string many = "<html" + Attributes(0, 256) + ">";
    for (int i = 0; i < 500; ++i) many += "<html" + Attributes(0, 256) + ">";
    EXPECT_EQ(Names(*ParseHtml(many).documentElement()), "a0..a255");

    // The DOM itself refuses a further attribute; the program's own SetAttribute still sets one.
    Document d = ParseHtml("<p" + Attributes(0, 256) + ">");
    browser::Node* p = d.root().FindFirst("p");
    EXPECT_FALSE(p->AddAttribute("style", "x"));
    EXPECT_FALSE(p->HasAttr("style"));
    p->SetAttribute("style", "overflow: hidden");
    EXPECT_EQ(p->Attr("style"), "overflow: hidden");
}

std::size_t CountNodes(const browser::Node& n)
{
    std::size_t count = 1;
    for (const auto& c : n.children()) count += CountNodes(*c);
    return count;
}

TEST(PageBounds, APageKeepsItsFirstNodes)
{
    static_assert(browser::kMaxNodesPerPage == 200000);
    const std::size_t cap = browser::kMaxNodesPerPage;
    const auto repeat = [](const std::string& piece, std::size_t n) {
        std::string out;
        out.reserve(piece.size() * n);
        for (std::size_t i = 0; i < n; ++i) out += piece;
        return out;
    };
    struct Case {
        const char* what;
        std::string html;
        std::size_t atMost;  // nodes of the root element, itself, head and body included
        std::size_t atLeast;
        bool whole;  // the <p> after them is there
    };
    // Each further <html> or <body> tag makes no node, but merging it into the first one is work.
    const std::string fullHtml = "<html" + Attributes(0, 255) + ">";
    const Case cases[] = {
        {"elements, text and comments beyond the cap", repeat("<i>x</i><!---->", cap / 3 + 10) + "<p>after</p>",
         cap + 3, cap, false},
        {"a page below the cap is whole", repeat("<b>x</b>", 1000) + "<p>after</p>", 2002 + 3, 2002 + 3, true},
        {"further html tags", fullHtml + repeat("<html a0>", cap) + "<p>after</p>", 3, 3, false},
        {"further body tags", "<body" + Attributes(0, 255) + ">" + repeat("<body a0>", cap) + "<p>after</p>", 3, 3,
         false},
        {"further html tags below the cap", fullHtml + repeat("<html a0>", cap - 10) + "<p>after</p>", 5, 5, true},
    };
    for (const Case& c : cases) {
        const Document d = ParseHtml(c.html);
        ASSERT_NE(d.body(), nullptr) << c.what;
        const std::size_t nodes = CountNodes(*d.documentElement());
        EXPECT_LE(nodes, c.atMost) << c.what;
        EXPECT_GE(nodes, c.atLeast) << c.what;
        // What comes after the cap is not there.
        EXPECT_EQ(d.body()->FindFirst("p") != nullptr, c.whole) << c.what;
    }
}

TEST(PageBounds, FosterParentingKeepsOrderAndMergesText)
{
    // Content in a table that does not belong there goes before it, in its order; text that
    // lands next to text joins it.
    EXPECT_EQ(Body("<table>a<b>x</b>b<tr><td>c</td></tr>d</table>"),
              "a<b>x</b>bd<table><tbody><tr><td>c</td></tr></tbody></table>");
    EXPECT_EQ(Body("<table>one<tr>two<td>c</td></tr></table>"),
              "onetwo<table><tbody><tr><td>c</td></tr></tbody></table>");
    const Document d = ParseHtml("<table>a</i>b</u>c<tr><td>x</td></tr></table>");
    ASSERT_EQ(d.body()->children().size(), 2u);
    EXPECT_EQ(d.body()->children()[0]->text(), "abc");

    // Thousands of pieces before one table: each lands in its place at once.
    std::string html = "<div><table><tr><td>cell</td></tr>";
    for (int i = 0; i < 50000; ++i) html += "<span>" + std::to_string(i) + "</span>";
    const Document big = ParseHtml(html + "</table></div>");
    const browser::Node* div = big.body()->FindFirst("div");
    ASSERT_NE(div, nullptr);
    ASSERT_EQ(div->children().size(), 50001u);
    EXPECT_EQ(div->children()[0]->TextContent(), "0");
    EXPECT_EQ(div->children()[49999]->TextContent(), "49999");
    EXPECT_TRUE(div->children()[50000]->IsElement("table"));
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
