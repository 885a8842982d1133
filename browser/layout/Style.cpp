#include "browser/layout/Style.h"

#include <algorithm>
#include <cmath>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

int Px(double v) { return static_cast<int>(std::lround(std::clamp(v, -100000.0, 100000.0))); }

// <font size=N>: the HTML size scale.
int FontSizeFromAttribute(std::string_view value, int current)
{
    static constexpr int kSizes[] = {10, 13, 16, 18, 24, 32, 48};
    value = TrimAsciiSpace(value);
    if (value.empty()) return current;
    int sign = 0;
    if (value.front() == '+' || value.front() == '-') {
        sign = value.front() == '+' ? 1 : -1;
        value.remove_prefix(1);
    }
    if (value.empty() || value.front() < '0' || value.front() > '9') return current;
    int n = value.front() - '0';
    if (sign) n = 3 + sign * n;
    return kSizes[std::clamp(n, 1, 7) - 1];
}

std::optional<Length> AttributeLength(const Node& e, std::string_view name)
{
    const std::string* v = e.FindAttribute(name);
    if (!v) return std::nullopt;
    auto l = ParseLength(*v);
    if (!l || l->value < 0) return std::nullopt;
    return l;
}

void ApplyDeclaration(ComputedStyle& s, const std::string& name, const std::string& value, const ComputedStyle& parent)
{
    const double em = s.font.sizePx;
    const auto px = [&](int& slot) {
        if (auto l = ParseLength(value, em); l && !l->percent) slot = Px(l->value);
    };
    if (name == "color") {
        if (auto c = ParseColor(value)) s.color = *c;
    } else if (name == "background-color" || name == "background") {
        // The colour word of a "background" shorthand; images are not drawn.
        std::size_t pos = 0;
        const std::string_view v = value;
        while (pos < v.size()) {
            while (pos < v.size() && IsAsciiSpace(v[pos])) ++pos;
            std::size_t end = pos;
            int depth = 0;
            while (end < v.size() && (depth || !IsAsciiSpace(v[end]))) {
                depth += v[end] == '(' ? 1 : v[end] == ')' ? -1 : 0;
                ++end;
            }
            if (auto c = ParseColor(v.substr(pos, end - pos))) s.background = *c;
            else if (EqualsIgnoreCase(v.substr(pos, end - pos), "transparent")) s.background.reset();
            pos = end;
        }
    } else if (name == "font-size") {
        if (auto l = ParseLength(value, parent.font.sizePx))
            s.font.sizePx = std::clamp(Px(l->percent ? parent.font.sizePx * l->value / 100 : l->value), 1, 400);
    } else if (name == "font-weight") {
        s.font.bold = value == "bold" || value == "bolder" || (value.size() == 3 && value >= "600");
        if (value == "normal") s.font.bold = false;
    } else if (name == "font-style") {
        s.font.italic = value == "italic" || value == "oblique";
    } else if (name == "text-decoration") {
        s.font.underline = value.find("underline") != std::string::npos;
    } else if (name == "text-align") {
        const std::string v = AsciiLowercase(value);
        s.textAlign = v == "center" ? TextAlign::Center : v == "right" ? TextAlign::Right : TextAlign::Left;
    } else if (name == "margin" || name == "padding") {
        if (auto box = ParseBoxShorthand(value, em))
            for (int i = 0; i < 4; ++i) (name == "margin" ? s.margin : s.padding)[i] = Px((*box)[i]);
    } else if (name == "margin-top") px(s.margin[0]);
    else if (name == "margin-right") px(s.margin[1]);
    else if (name == "margin-bottom") px(s.margin[2]);
    else if (name == "margin-left") px(s.margin[3]);
    else if (name == "padding-top") px(s.padding[0]);
    else if (name == "padding-right") px(s.padding[1]);
    else if (name == "padding-bottom") px(s.padding[2]);
    else if (name == "padding-left") px(s.padding[3]);
    else if (name == "width") {
        if (auto l = ParseLength(value, em); l && l->value >= 0) s.width = l;
    } else if (name == "height") {
        if (auto l = ParseLength(value, em); l && l->value >= 0) s.height = l;
    } else if (name == "display") {
        const std::string v = AsciiLowercase(value);
        if (v == "none") s.display = Display::None;
        else if (v == "block") s.display = Display::Block;
        else if (v == "inline" || v == "inline-block") s.display = Display::Inline;
    } else if (name == "white-space") {
        s.preformatted = value == "pre" || value == "pre-wrap";
        s.noWrap = value == "nowrap";
    } else if (name == "overflow") {
        s.overflow = AsciiLowercase(value);
    } else if (name == "vertical-align") {
        if (value == "top") s.verticalAlign = VerticalAlign::Top;
        else if (value == "bottom") s.verticalAlign = VerticalAlign::Bottom;
        else if (value == "middle") s.verticalAlign = VerticalAlign::Middle;
    }
}

void ApplyAlignAttribute(ComputedStyle& s, const Node& e)
{
    const std::string a = AsciiLowercase(e.Attr("align"));
    if (a == "center" || a == "middle") s.textAlign = TextAlign::Center;
    else if (a == "right") s.textAlign = TextAlign::Right;
    else if (a == "left") s.textAlign = TextAlign::Left;
}

}  // namespace

ComputedStyle InitialStyle() { return {}; }

ComputedStyle ComputeStyle(const Node& e, const ComputedStyle& parent)
{
    ComputedStyle s;
    s.font = parent.font;
    s.color = parent.color;
    s.linkColor = parent.linkColor;
    s.textAlign = parent.textAlign;
    s.preformatted = parent.preformatted;
    s.noWrap = parent.noWrap;
    const std::string& n = e.name();
    const int em = parent.font.sizePx;

    // The defaults of a browser's own style sheet.
    if (IsOneOf(n, {"head", "script", "style", "title", "meta", "link", "base", "noscript", "template", "area", "map",
                    "param", "option", "datalist"})) {
        s.display = Display::None;
        return s;
    }
    if (IsOneOf(n, {"html", "body", "div", "p", "form", "center", "blockquote", "ul", "ol", "dl", "dt", "dd", "pre",
                    "address", "hr", "h1", "h2", "h3", "h4", "h5", "h6", "fieldset", "section", "article", "nav",
                    "header", "footer", "aside", "main", "figure", "listing", "xmp", "plaintext", "menu", "dir",
                    "caption", "legend", "details", "summary"}))
        s.display = Display::Block;
    if (n == "li") s.display = Display::ListItem;
    if (n == "table") s.display = Display::Table;
    if (n == "tr") s.display = Display::TableRow;
    if (n == "td" || n == "th") s.display = Display::TableCell;
    if (n == "tbody" || n == "thead" || n == "tfoot") s.display = Display::TableSection;

    if (n == "body") {
        s.margin = {8, 8, 8, 8};
        if (auto c = ParseColor(e.Attr("bgcolor"), true); c && e.HasAttr("bgcolor")) s.background = c;
        if (auto c = ParseColor(e.Attr("text"), true); c && e.HasAttr("text")) s.color = *c;
        if (auto c = ParseColor(e.Attr("link"), true); c && e.HasAttr("link")) s.linkColor = *c;
        for (const char* a : {"leftmargin", "marginwidth"})
            if (auto l = AttributeLength(e, a)) s.margin[1] = s.margin[3] = Px(l->value);
        for (const char* a : {"topmargin", "marginheight"})
            if (auto l = AttributeLength(e, a)) s.margin[0] = s.margin[2] = Px(l->value);
    }
    if (n == "p" || n == "ul" || n == "ol" || n == "dl" || n == "blockquote" || n == "pre" || n == "xmp" ||
        n == "listing" || n == "menu" || n == "dir")
        s.margin[0] = s.margin[2] = em;
    if (n == "blockquote") s.margin[1] = s.margin[3] = 40;
    if (n == "ul" || n == "ol" || n == "menu" || n == "dir") s.padding[3] = 40;
    if (n == "dd") s.margin[3] = 40;
    if (n == "form") s.margin[2] = em;
    if (n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6') {
        static constexpr double kScale[] = {2.0, 1.5, 1.17, 1.0, 0.83, 0.67};
        static constexpr double kMargin[] = {0.67, 0.83, 1.0, 1.33, 1.67, 2.33};
        s.font.sizePx = Px(em * kScale[n[1] - '1']);
        s.font.bold = true;
        s.margin[0] = s.margin[2] = Px(s.font.sizePx * kMargin[n[1] - '1']);
    }
    if (n == "hr") s.margin[0] = s.margin[2] = 8;
    if (n == "pre" || n == "xmp" || n == "listing" || n == "plaintext" || n == "textarea") s.preformatted = true;
    if (n == "b" || n == "strong" || n == "th") s.font.bold = true;
    if (n == "i" || n == "em" || n == "cite" || n == "var" || n == "address" || n == "dfn") s.font.italic = true;
    if (n == "u" || n == "ins") s.font.underline = true;
    if (n == "center" || n == "th") s.textAlign = TextAlign::Center;
    if (n == "small") s.font.sizePx = std::max(1, Px(em * 0.83));
    if (n == "big") s.font.sizePx = Px(em * 1.2);
    if (n == "nobr") s.noWrap = true;
    if (n == "a" && e.HasAttr("href")) {
        s.color = s.linkColor;
        s.font.underline = true;
    }
    if (n == "font") {
        if (e.HasAttr("size")) s.font.sizePx = FontSizeFromAttribute(e.Attr("size"), s.font.sizePx);
        if (auto c = ParseColor(e.Attr("color"), true); c && e.HasAttr("color")) s.color = *c;
    }
    if (IsOneOf(n, {"div", "p", "h1", "h2", "h3", "h4", "h5", "h6", "td", "th", "tr", "caption"})) ApplyAlignAttribute(s, e);
    if (n == "table" || n == "td" || n == "th" || n == "tr") {
        if (auto c = ParseColor(e.Attr("bgcolor"), true); c && e.HasAttr("bgcolor")) s.background = c;
        if (n != "tr") {
            if (auto l = AttributeLength(e, "width")) s.width = l;
            if (auto l = AttributeLength(e, "height")) s.height = l;
        }
    }
    if (n == "td" || n == "th" || n == "tr") {
        const std::string v = AsciiLowercase(e.Attr("valign"));
        if (v == "top") s.verticalAlign = VerticalAlign::Top;
        else if (v == "bottom") s.verticalAlign = VerticalAlign::Bottom;
        if (e.HasAttr("nowrap")) s.noWrap = true;
    }
    if (n == "img") {
        if (auto l = AttributeLength(e, "width")) s.width = l;
        if (auto l = AttributeLength(e, "height")) s.height = l;
    }
    if (e.HasAttr("style"))
        for (const auto& [name, value] : ParseDeclarations(e.Attr("style"))) ApplyDeclaration(s, name, value, parent);
    return s;
}

}  // namespace browser
