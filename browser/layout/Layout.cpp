#include "browser/layout/Layout.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "browser/html/Parser.h"
#include "browser/html/Utf8.h"

namespace browser {
namespace {

// Content deeper than the parser builds is not laid out: the native stack stays bounded whatever
// the page holds.
constexpr int kMaxLayoutDepth = static_cast<int>(kMaxTreeDepth);
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsCjk(char32_t cp)
{
    return (cp >= 0x2E80 && cp <= 0x9FFF) || (cp >= 0xAC00 && cp <= 0xD7AF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFFEF) || (cp >= 0x20000 && cp <= 0x2FFFF);
}

// Splits text into the pieces a line may break between: words at white space, and every CJK
// character on its own. `onToken(text, spaceBefore)`; in preformatted text `onNewline()` at
// every line feed and no white space is collapsed.
template <typename OnToken, typename OnNewline>
void Tokenize(std::string_view text, bool pre, bool& pendingSpace, OnToken onToken, OnNewline onNewline)
{
    if (pre) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            if (i == text.size() || text[i] == '\n') {
                std::string_view line = text.substr(start, i - start);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                if (!line.empty()) onToken(line, false);
                if (i < text.size()) onNewline();
                start = i + 1;
            }
        }
        return;
    }
    std::size_t wordStart = kNone;
    std::size_t pos = 0;
    const auto endWord = [&](std::size_t end) {
        if (wordStart != kNone) {
            onToken(text.substr(wordStart, end - wordStart), pendingSpace);
            pendingSpace = false;
            wordStart = kNone;
        }
    };
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        if (cp == ' ' || cp == '\t' || cp == '\n' || cp == '\r' || cp == '\f') {
            endWord(start);
            pendingSpace = true;
        } else if (IsCjk(cp)) {
            endWord(start);
            onToken(text.substr(start, pos - start), pendingSpace);
            pendingSpace = false;
        } else if (wordStart == kNone) {
            wordStart = start;
        }
    }
    endWord(text.size());
}

int Px(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }

// A sum or product of page coordinates, computed wide and kept within the page's limits.
int Coord(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, -kMaxPageCoordinate, kMaxPageCoordinate));
}

int IntAttr(const Node& e, std::string_view name, int fallback, int lo, int hi)
{
    const std::string* v = e.FindAttribute(name);
    if (!v) return fallback;
    auto l = ParseLength(*v);
    if (!l || l->percent) return fallback;
    return std::clamp(Px(l->value), lo, hi);
}

struct Piece {
    std::size_t item = kNone;     // display item, or
    std::size_t control = kNone;  // control box
    std::size_t link = kNone;      // which href (for merging runs)
    std::size_t linkArea = kNone;  // its area in the layout's links
    int ascent = 0;
    int descent = 0;
};

struct LineContext {
    int left = 0;
    int right = 0;
    int y = 0;
    TextAlign align = TextAlign::Left;
    int x = 0;
    bool pendingSpace = false;
    int pendingMargin = 0;  // bottom margin of the last block, collapsed with the next top margin
    std::vector<Piece> pieces;
    int maxAscent = 0;
    int maxDescent = 0;
    int widest = 0;  // right edge of the widest line or block so far
};

struct Intrinsic {
    int min = 0;
    int max = 0;
};

struct Ranges {
    std::size_t items, links, controls;
};

class Engine {
public:
    Engine(LayoutHost& host, PageLayout& out) : m_host(host), m_out(out) {}

    void Run(const Document& doc, int viewportWidth)
    {
        const Node* html = doc.documentElement();
        if (!html) return;
        const ComputedStyle initial = InitialStyle();
        const ComputedStyle htmlStyle = ComputeStyle(*html, initial);
        const Node* body = doc.body();
        std::optional<Rgb> canvas = htmlStyle.background;
        if (!canvas && body) canvas = ComputeStyle(*body, htmlStyle).background;
        m_out.canvas = canvas.value_or(0xFFFFFF);
        m_out.scrollable = htmlStyle.overflow != "hidden" &&
                           !(body && EqualsIgnoreCase(body->Attr("scroll"), "no"));
        LineContext lc;
        lc.left = 0;
        lc.right = std::max(0, viewportWidth);
        lc.x = lc.left;
        Flow(*html, htmlStyle, lc, kNone, 0);
        FinishLine(lc);
        m_out.height = Coord(static_cast<long long>(lc.y) + lc.pendingMargin);
        m_out.width = std::max(lc.widest, 0);
    }

private:
    // What the host measures, kept within the page's limits.
    int TextWidth(std::string_view text, const FontDesc& font) { return Coord(m_host.TextWidth(text, font)); }
    int Ascent(const FontDesc& font) { return std::clamp(m_host.Ascent(font), 0, 100000); }
    int Descent(const FontDesc& font) { return std::clamp(m_host.Descent(font), 0, 100000); }

    // --- Inline flow ----------------------------------------------------------------------------

    void Flow(const Node& node, const ComputedStyle& style, LineContext& lc, std::size_t href, int depth)
    {
        if (depth > kMaxLayoutDepth) return;
        for (const auto& child : node.children()) {
            if (child->type() == NodeType::Text) {
                Text(child->text(), style, lc, href);
                continue;
            }
            if (!child->IsElement()) continue;
            const Node& e = *child;
            const ComputedStyle cs = ComputeStyle(e, style);
            if (cs.display == Display::None) continue;
            const std::string& n = e.name();
            if (n == "br") {
                if (lc.pieces.empty()) StartLineMargin(lc), lc.y = Coord(static_cast<long long>(lc.y) + Ascent(cs.font) + Descent(cs.font));
                else FinishLine(lc);
                lc.pendingSpace = false;
                continue;
            }
            if (n == "img") {
                Image(e, cs, lc, href);
                continue;
            }
            if (n == "input" || n == "textarea" || n == "button" || n == "select") {
                Control(e, cs, lc);
                continue;
            }
            if (cs.display == Display::Inline || cs.display == Display::TableRow || cs.display == Display::TableCell ||
                cs.display == Display::TableSection) {
                std::size_t link = href;
                if (n == "a" && e.HasAttr("href")) {
                    link = m_hrefs.size();
                    m_hrefs.push_back(e.Attr("href"));
                    m_anchors.push_back(&e);
                }
                Flow(e, cs, lc, link, depth + 1);
                continue;
            }
            BlockChild(e, cs, lc, depth + 1);
        }
    }

    void StartLineMargin(LineContext& lc)
    {
        lc.y = Coord(static_cast<long long>(lc.y) + lc.pendingMargin);
        lc.pendingMargin = 0;
    }

    void Text(std::string_view text, const ComputedStyle& style, LineContext& lc, std::size_t href)
    {
        Tokenize(
            text, style.preformatted, lc.pendingSpace,
            [&](std::string_view word, bool spaceBefore) { Word(word, spaceBefore, style, lc, href); },
            [&] {
                if (lc.pieces.empty()) StartLineMargin(lc), lc.y = Coord(static_cast<long long>(lc.y) + Ascent(style.font) + Descent(style.font));
                else FinishLine(lc);
            });
    }

    void Word(std::string_view word, bool spaceBefore, const ComputedStyle& style, LineContext& lc, std::size_t href)
    {
        const int w = TextWidth(word, style.font);
        int space = spaceBefore && !lc.pieces.empty() ? TextWidth(" ", style.font) : 0;
        if (!lc.pieces.empty() && !style.noWrap && static_cast<long long>(lc.x) + space + w > lc.right) {
            FinishLine(lc);
            space = 0;
        }
        if (lc.pieces.empty()) StartLineMargin(lc);
        // Runs of one style on one line become one text item.
        if (!lc.pieces.empty() && lc.pieces.back().item != kNone && lc.pieces.back().link == href) {
            DisplayItem& last = m_out.items[lc.pieces.back().item];
            if (last.kind == ItemKind::Text && last.font == style.font && last.color == style.color &&
                last.rect.right() == lc.x) {
                if (space) last.text += ' ';
                last.text.append(word);
                lc.x = Coord(static_cast<long long>(lc.x) + space + w);
                last.rect.width = lc.x - last.rect.x;
                if (lc.pieces.back().linkArea != kNone) m_out.links[lc.pieces.back().linkArea].rect.width = last.rect.width;
                return;
            }
        }
        lc.x = Coord(static_cast<long long>(lc.x) + space);
        DisplayItem item;
        item.kind = ItemKind::Text;
        item.rect = {lc.x, 0, w, Ascent(style.font) + Descent(style.font)};
        item.color = style.color;
        item.text = std::string(word);
        item.font = style.font;
        item.ascent = Ascent(style.font);
        Place(lc, std::move(item), href, item.ascent, Descent(style.font));
        lc.x = Coord(static_cast<long long>(lc.x) + w);
    }

    void Place(LineContext& lc, DisplayItem item, std::size_t href, int ascent, int descent)
    {
        Piece p;
        p.item = m_out.items.size();
        p.ascent = ascent;
        p.descent = descent;
        p.link = href;
        if (href != kNone) {
            p.linkArea = m_out.links.size();
            m_out.links.push_back({item.rect, m_hrefs[href], m_anchors[href]});
        }
        m_out.items.push_back(std::move(item));
        lc.pieces.push_back(p);
        lc.maxAscent = std::max(lc.maxAscent, ascent);
        lc.maxDescent = std::max(lc.maxDescent, descent);
    }

    // Room for an unbreakable box of width `w` on the current line.
    void MakeRoom(LineContext& lc, int w, bool noWrap)
    {
        const int space = lc.pendingSpace && !lc.pieces.empty() ? 4 : 0;
        if (!lc.pieces.empty() && !noWrap && static_cast<long long>(lc.x) + space + w > lc.right) FinishLine(lc);
        else lc.x = Coord(static_cast<long long>(lc.x) + space);
        lc.pendingSpace = false;
        if (lc.pieces.empty()) StartLineMargin(lc);
    }

    Size ImageBox(const Node& e, const ComputedStyle& cs)
    {
        std::optional<Size> natural = m_host.ImageSize(e.Attr("src"));
        int w = cs.width && !cs.width->percent ? Px(cs.width->value) : -1;
        int h = cs.height && !cs.height->percent ? Px(cs.height->value) : -1;
        if (w < 0 && h < 0) {
            const Size n = natural.value_or(Size{0, 0});
            return {std::clamp(n.width, 0, 100000), std::clamp(n.height, 0, 100000)};
        }
        if (w < 0) w = natural && natural->height ? Px(double(h) * natural->width / natural->height) : h;
        if (h < 0) h = natural && natural->width ? Px(double(w) * natural->height / natural->width) : w;
        return {std::clamp(w, 0, 100000), std::clamp(h, 0, 100000)};
    }

    void Image(const Node& e, const ComputedStyle& cs, LineContext& lc, std::size_t href)
    {
        const Size size = ImageBox(e, cs);
        MakeRoom(lc, size.width, cs.noWrap);
        DisplayItem item;
        item.kind = ItemKind::Image;
        item.rect = {lc.x, 0, size.width, size.height};
        item.text = e.Attr("src");
        Place(lc, std::move(item), href, size.height, 0);
        lc.x = Coord(static_cast<long long>(lc.x) + size.width);
    }

    std::optional<std::pair<ControlKind, Size>> ControlMetrics(const Node& e, const ComputedStyle& cs)
    {
        const std::string type = AsciiLowercase(e.Attr("type"));
        const int line = Ascent(cs.font) + Descent(cs.font);
        const int digit = std::max(1, TextWidth("0", cs.font));
        if (e.IsElement("textarea")) {
            const int cols = IntAttr(e, "cols", 20, 1, 500), rows = IntAttr(e, "rows", 2, 1, 200);
            return std::pair{ControlKind::TextArea, Size{Coord(static_cast<long long>(cols) * digit + 8), Coord(static_cast<long long>(rows) * line + 8)}};
        }
        if (e.IsElement("input") && (type.empty() || type == "text" || type == "password" || type == "email" ||
                                     type == "search" || type == "tel" || type == "url" || type == "number")) {
            const int chars = IntAttr(e, "size", 20, 1, 500);
            Size size{Coord(static_cast<long long>(chars) * digit + 8), line + 8};
            if (cs.width && !cs.width->percent) size.width = Px(cs.width->value);
            return std::pair{type == "password" ? ControlKind::Password : ControlKind::TextInput, size};
        }
        if ((e.IsElement("input") && (type == "submit" || type == "button" || type == "reset" || type == "image")) ||
            e.IsElement("button")) {
            std::string label = e.IsElement("button") ? e.TextContent() : e.Attr("value");
            if (label.empty() && !e.HasAttr("value")) label = type == "reset" ? "Reset" : "Submit";
            const Size size{TextWidth(label, cs.font) + 20, line + 10};
            const bool submit = e.IsElement("button") ? type.empty() || type == "submit" : type != "button" && type != "reset";
            return std::pair{submit ? ControlKind::Submit : ControlKind::Button, size};
        }
        return std::nullopt;
    }

    void Control(const Node& e, const ComputedStyle& cs, LineContext& lc)
    {
        const auto metrics = ControlMetrics(e, cs);
        if (!metrics) return;
        const auto [kind, size] = *metrics;
        MakeRoom(lc, size.width, cs.noWrap);
        Piece p;
        p.control = m_out.controls.size();
        p.ascent = size.height - 4;
        p.descent = 4;
        m_out.controls.push_back({kind, {lc.x, 0, size.width, size.height}, &e, cs.font});
        lc.pieces.push_back(p);
        lc.maxAscent = std::max(lc.maxAscent, p.ascent);
        lc.maxDescent = std::max(lc.maxDescent, p.descent);
        lc.x = Coord(static_cast<long long>(lc.x) + size.width);
    }

    void FinishLine(LineContext& lc)
    {
        lc.pendingSpace = false;
        if (lc.pieces.empty()) {
            lc.x = lc.left;
            return;
        }
        const int extra = lc.right - lc.x;
        const int shift = extra <= 0 ? 0 : lc.align == TextAlign::Center ? extra / 2 : lc.align == TextAlign::Right ? extra : 0;
        for (const Piece& p : lc.pieces) {
            const int y = Coord(static_cast<long long>(lc.y) + lc.maxAscent - p.ascent);
            if (p.item != kNone) {
                Rect& r = m_out.items[p.item].rect;
                r.x = Coord(static_cast<long long>(r.x) + shift);
                r.y = y;
                if (p.linkArea != kNone) m_out.links[p.linkArea].rect = r;
            } else {
                Rect& r = m_out.controls[p.control].rect;
                r.x = Coord(static_cast<long long>(r.x) + shift);
                r.y = y;
            }
        }
        lc.widest = std::max(lc.widest, lc.x + shift);
        lc.y = Coord(static_cast<long long>(lc.y) + lc.maxAscent + lc.maxDescent);
        lc.pieces.clear();
        lc.maxAscent = lc.maxDescent = 0;
        lc.x = lc.left;
    }

    // --- Blocks ----------------------------------------------------------------------------------

    void BlockChild(const Node& e, const ComputedStyle& cs, LineContext& lc, int depth)
    {
        FinishLine(lc);
        const int top = std::max(lc.pendingMargin, cs.margin[0]);
        lc.pendingMargin = 0;
        const int y = Coord(static_cast<long long>(lc.y) + top);
        const int avail = Coord(std::max(0LL, static_cast<long long>(lc.right) - lc.left - cs.margin[1] - cs.margin[3]));
        int x = Coord(static_cast<long long>(lc.left) + cs.margin[3]);
        int width = 0;
        int height = 0;
        if (cs.display == Display::Table) {
            TextAlign align = lc.align;
            const std::string a = AsciiLowercase(e.Attr("align"));
            if (a == "center") align = TextAlign::Center;
            else if (a == "right") align = TextAlign::Right;
            else if (a == "left") align = TextAlign::Left;
            height = Table(e, cs, x, y, avail, align, width, depth);
        } else {
            width = avail;
            if (cs.width) width = std::min(avail, Px(cs.width->percent ? avail * cs.width->value / 100 : cs.width->value));
            height = Block(e, cs, x, y, width, depth);
        }
        lc.widest = std::max(lc.widest, Coord(static_cast<long long>(x) + width));
        lc.y = Coord(static_cast<long long>(y) + height);
        lc.pendingMargin = cs.margin[2];
    }

    // Lays out a block box at (x, y) of the given border-box width; returns its height.
    int Block(const Node& e, const ComputedStyle& cs, int x, int y, int width, int depth)
    {
        const std::size_t fill = BeginFill(cs, e);
        if (e.IsElement("hr")) {
            DisplayItem line;
            line.kind = ItemKind::Fill;
            line.rect = {x, y, width, 2};
            line.color = 0x808080;
            m_out.items.push_back(line);
            return 2;
        }
        LineContext lc;
        lc.left = Coord(static_cast<long long>(x) + cs.padding[3]);
        lc.right = std::max(lc.left, Coord(static_cast<long long>(x) + width - cs.padding[1]));
        lc.x = lc.left;
        lc.y = Coord(static_cast<long long>(y) + cs.padding[0]);
        lc.align = cs.textAlign;
        if (cs.display == Display::ListItem) Marker(e, cs, lc);
        Flow(e, cs, lc, kNone, depth);
        FinishLine(lc);
        int height = Coord(static_cast<long long>(lc.y) + lc.pendingMargin + cs.padding[2] - y);
        if (cs.height && !cs.height->percent) height = std::max(height, Px(cs.height->value));
        EndFill(fill, {x, y, width, height});
        return height;
    }

    void Marker(const Node& e, const ComputedStyle& cs, LineContext& lc)
    {
        std::string marker = "\xE2\x80\xA2";  // bullet
        const Node* list = e.parent();
        if (list && list->IsElement("ol")) {
            int n = 1;
            for (const auto& sibling : list->children()) {
                if (sibling.get() == &e) break;
                if (sibling->IsElement("li")) ++n;
            }
            marker = std::to_string(n) + ".";
        }
        DisplayItem item;
        item.kind = ItemKind::Text;
        const int w = TextWidth(marker, cs.font);
        item.rect = {lc.left - w - 6, lc.y, w, Ascent(cs.font) + Descent(cs.font)};
        item.text = marker;
        item.font = cs.font;
        item.font.underline = false;
        item.color = cs.color;
        item.ascent = Ascent(cs.font);
        m_out.items.push_back(std::move(item));
    }

    std::size_t BeginFill(const ComputedStyle& cs, const Node& e)
    {
        if (!cs.background || e.IsElement("body") || e.IsElement("html")) return kNone;
        DisplayItem fill;
        fill.kind = ItemKind::Fill;
        fill.color = *cs.background;
        m_out.items.push_back(fill);
        return m_out.items.size() - 1;
    }

    void EndFill(std::size_t fill, Rect r)
    {
        if (fill != kNone) m_out.items[fill].rect = r;
    }

    // --- Tables ----------------------------------------------------------------------------------

    struct Cell {
        const Node* node;
        ComputedStyle style;
        int col = 0;
        int span = 1;
        int declaredWidth = -1;   // pixels, border box
        double percent = -1;
        Intrinsic intrinsic;
        int height = 0;
        Ranges start{};  // its fill and content lie between these marks
        Ranges end{};
        std::size_t fill = kNone;
        int x = 0;
        int width = 0;
    };
    struct Row {
        const Node* node;
        ComputedStyle style;
        std::vector<Cell> cells;
        int declaredHeight = 0;
        int height = 0;
        std::size_t fill = kNone;
    };
    struct TableModel {
        std::vector<Row> rows;
        int columns = 0;
        int padding = 1;
        int spacing = 2;
        int border = 0;
        std::vector<int> colMin, colMax, colDeclared;
        std::vector<double> colPercent;
    };

    static void CollectRows(const Node& table, const ComputedStyle& tableStyle, TableModel& m)
    {
        const auto addRow = [&](const Node& tr, const ComputedStyle& parentStyle) {
            Row row{&tr, ComputeStyle(tr, parentStyle), {}, 0, 0, kNone};
            if (const std::string* h = tr.FindAttribute("height"))
                if (auto l = ParseLength(*h); l && !l->percent) row.declaredHeight = std::clamp(Px(l->value), 0, 100000);
            for (const auto& c : tr.children())
                if (c->IsElement("td") || c->IsElement("th")) {
                    Cell cell{c.get(), ComputeStyle(*c, row.style), 0, 1, -1, -1, {}, 0, {}, {}, kNone, 0, 0};
                    if (!c->HasAttr("valign") && tr.HasAttr("valign")) cell.style.verticalAlign = row.style.verticalAlign;
                    cell.span = IntAttr(*c, "colspan", 1, 1, 1000);
                    if (cell.style.width) {
                        if (cell.style.width->percent) cell.percent = std::clamp(cell.style.width->value, 0.0, 100.0);
                        else cell.declaredWidth = std::clamp(Px(cell.style.width->value), 0, 100000);
                    }
                    row.cells.push_back(std::move(cell));
                }
            m.rows.push_back(std::move(row));
        };
        for (const auto& c : table.children()) {
            if (c->IsElement("tr")) addRow(*c, tableStyle);
            else if (c->IsElement("tbody") || c->IsElement("thead") || c->IsElement("tfoot")) {
                const ComputedStyle section = ComputeStyle(*c, tableStyle);
                for (const auto& r : c->children())
                    if (r->IsElement("tr")) addRow(*r, section);
            }
        }
    }

    TableModel Model(const Node& table, const ComputedStyle& cs, int depth)
    {
        TableModel m;
        CollectRows(table, cs, m);
        if (const std::string* b = table.FindAttribute("border"))
            m.border = b->empty() ? 1 : std::clamp(IntAttr(table, "border", 1, 0, 50), 0, 50);
        m.padding = IntAttr(table, "cellpadding", 1, 0, 1000);
        m.spacing = IntAttr(table, "cellspacing", 2, 0, 1000);
        for (auto& row : m.rows) {
            int col = 0;
            for (auto& cell : row.cells) {
                cell.col = col;
                col += cell.span;
                if (cell.style.padding == std::array<int, 4>{}) cell.style.padding.fill(m.padding + (m.border ? 1 : 0));
                const Intrinsic in = ContentIntrinsic(*cell.node, cell.style, depth + 1);
                const int pad = cell.style.padding[1] + cell.style.padding[3];
                cell.intrinsic = {Coord(static_cast<long long>(in.min) + pad), Coord(static_cast<long long>(in.max) + pad)};
                if (cell.style.noWrap) cell.intrinsic.min = cell.intrinsic.max;
            }
            m.columns = std::max(m.columns, std::min(col, 1000));
        }
        m.colMin.assign(m.columns, 0);
        m.colMax.assign(m.columns, 0);
        m.colDeclared.assign(m.columns, -1);
        m.colPercent.assign(m.columns, -1);
        for (int pass = 0; pass < 2; ++pass)
            for (auto& row : m.rows)
                for (auto& cell : row.cells) {
                    if (cell.col >= m.columns) continue;
                    const int span = std::min(cell.span, m.columns - cell.col);
                    if ((span == 1) != (pass == 0)) continue;
                    if (span == 1) {
                        int& mn = m.colMin[cell.col];
                        mn = std::max(mn, cell.intrinsic.min);
                        m.colMax[cell.col] = std::max(m.colMax[cell.col], cell.intrinsic.max);
                        if (cell.declaredWidth >= 0) m.colDeclared[cell.col] = std::max(m.colDeclared[cell.col], cell.declaredWidth);
                        if (cell.percent >= 0) m.colPercent[cell.col] = std::max(m.colPercent[cell.col], cell.percent);
                        continue;
                    }
                    // A spanning cell widens its columns evenly when they are too narrow for it.
                    long long have = static_cast<long long>(span - 1) * m.spacing;
                    for (int i = 0; i < span; ++i) have += m.colMin[cell.col + i];
                    const int need = std::max(cell.intrinsic.min, cell.declaredWidth);
                    if (need > have)
                        for (int i = 0; i < span; ++i)
                            m.colMin[cell.col + i] = Coord(m.colMin[cell.col + i] + (need - have + span - 1 - i) / span);
                    long long haveMax = static_cast<long long>(span - 1) * m.spacing;
                    for (int i = 0; i < span; ++i) haveMax += m.colMax[cell.col + i];
                    if (cell.intrinsic.max > haveMax)
                        for (int i = 0; i < span; ++i)
                            m.colMax[cell.col + i] =
                                Coord(m.colMax[cell.col + i] + (cell.intrinsic.max - haveMax + span - 1 - i) / span);
                }
        for (int i = 0; i < m.columns; ++i) m.colMax[i] = std::max(m.colMax[i], m.colMin[i]);
        return m;
    }

    int Chrome(const TableModel& m) const { return (m.columns + 1) * m.spacing + 2 * m.border; }

    Intrinsic TableIntrinsic(const Node& table, const ComputedStyle& cs, int depth)
    {
        TableModel m = Model(table, cs, depth);
        long long min = Chrome(m);
        long long max = Chrome(m);
        for (int i = 0; i < m.columns; ++i) {
            min += m.colDeclared[i] >= 0 ? std::max(m.colMin[i], m.colDeclared[i]) : m.colMin[i];
            max += std::max(m.colMax[i], m.colDeclared[i]);
        }
        Intrinsic r{Coord(min), Coord(max)};
        if (cs.width && !cs.width->percent) r.min = r.max = std::max(r.min, Px(cs.width->value));
        return r;
    }

    std::vector<int> ColumnWidths(const TableModel& m, int tableWidth) const
    {
        std::vector<int> w(m.columns);
        const int content = std::max(0, tableWidth - Chrome(m));
        long long sum = 0;
        for (int i = 0; i < m.columns; ++i) {
            int base = m.colMin[i];
            if (m.colDeclared[i] >= 0) base = std::max(base, m.colDeclared[i]);
            else if (m.colPercent[i] >= 0) base = std::max(base, Px(content * m.colPercent[i] / 100));
            w[i] = base;
            sum += base;
        }
        if (sum >= content || m.columns == 0) return w;
        // Spare room first brings columns without a set width up to their widest content; what
        // is left after that is shared by width.
        int extra = static_cast<int>(content - sum);
        std::vector<int> weight(m.columns, 0);
        long long want = 0;
        for (int i = 0; i < m.columns; ++i)
            if (m.colDeclared[i] < 0 && m.colPercent[i] < 0) want += weight[i] = std::max(0, m.colMax[i] - w[i]);
        if (want > 0 && want <= extra) {
            for (int i = 0; i < m.columns; ++i) w[i] += weight[i];
            extra -= static_cast<int>(want);
            want = 0;
        }
        if (want == 0) {
            for (int i = 0; i < m.columns; ++i)
                weight[i] = m.colDeclared[i] < 0 && m.colPercent[i] < 0 ? std::max(1, w[i]) : 0;
            if (std::all_of(weight.begin(), weight.end(), [](int v) { return v == 0; }))
                for (int i = 0; i < m.columns; ++i) weight[i] = std::max(1, w[i]);
        }
        long long total = 0;
        for (int v : weight) total += v;
        int given = 0;
        for (int i = 0; i < m.columns && total > 0; ++i) {
            const int add = static_cast<int>(static_cast<long long>(extra) * weight[i] / total);
            w[i] += add;
            given += add;
        }
        for (int i = m.columns - 1; i >= 0 && given < extra; --i)
            if (weight[i]) w[i] += extra - given, given = extra;
        return w;
    }

    Ranges Mark() const { return {m_out.items.size(), m_out.links.size(), m_out.controls.size()}; }

    static void Move(Rect& r, long long dx, long long dy)
    {
        r.x = Coord(r.x + dx);
        r.y = Coord(r.y + dy);
    }

    void Shift(const Ranges& from, const Ranges& to, long long dx, long long dy)
    {
        for (std::size_t i = from.items; i < to.items; ++i) Move(m_out.items[i].rect, dx, dy);
        for (std::size_t i = from.links; i < to.links; ++i) Move(m_out.links[i].rect, dx, dy);
        for (std::size_t i = from.controls; i < to.controls; ++i) Move(m_out.controls[i].rect, dx, dy);
    }

    int Table(const Node& table, const ComputedStyle& cs, int x, int y, int avail, TextAlign align, int& outWidth, int depth)
    {
        TableModel m = Model(table, cs, depth);
        long long minSum = Chrome(m);
        long long maxSum = Chrome(m);
        for (int i = 0; i < m.columns; ++i) {
            minSum += m.colDeclared[i] >= 0 ? std::max(m.colMin[i], m.colDeclared[i]) : m.colMin[i];
            maxSum += std::max(m.colMax[i], m.colDeclared[i]);
        }
        const int minTotal = Coord(minSum);
        const int maxTotal = Coord(maxSum);
        int width;
        if (cs.width) width = Px(cs.width->percent ? avail * cs.width->value / 100 : cs.width->value);
        else width = std::min(avail, maxTotal);
        width = std::max(width, minTotal);
        if (width < avail) {
            if (align == TextAlign::Center) x += (avail - width) / 2;
            else if (align == TextAlign::Right) x += avail - width;
        }
        outWidth = width;
        const std::vector<int> cols = ColumnWidths(m, width);
        std::vector<int> colX(m.columns + 1, x + m.border + m.spacing);
        for (int i = 0; i < m.columns; ++i) colX[i + 1] = Coord(static_cast<long long>(colX[i]) + cols[i] + m.spacing);

        const std::size_t tableFill = BeginFill(cs, table);
        int cursor = y + m.border + m.spacing;
        for (auto& row : m.rows) {
            row.fill = BeginFill(row.style, *row.node);
            int rowHeight = row.declaredHeight;
            for (auto& cell : row.cells) {
                if (cell.col >= m.columns) continue;
                const int last = std::min(cell.col + cell.span, m.columns);
                cell.x = colX[cell.col];
                cell.width = std::max(0, colX[last] - m.spacing - cell.x);
                cell.start = Mark();
                cell.fill = BeginFill(cell.style, *cell.node);
                ComputedStyle content = cell.style;
                content.height.reset();
                content.background.reset();  // filled above, over the whole row height
                cell.height = Block(*cell.node, content, cell.x, cursor, cell.width, depth + 1);
                cell.end = Mark();
                if (cell.style.height && !cell.style.height->percent)
                    rowHeight = std::max(rowHeight, Px(cell.style.height->value));
                rowHeight = std::max(rowHeight, cell.height);
            }
            row.height = rowHeight;
            cursor = Coord(static_cast<long long>(cursor) + rowHeight + m.spacing);
        }
        int height = cursor - y + m.border;
        // A table taller than its rows shares the extra height among them.
        if (cs.height && !cs.height->percent && Px(cs.height->value) > height && !m.rows.empty()) {
            const int extra = Px(cs.height->value) - height;
            long long total = 0;
            for (const auto& row : m.rows) total += std::max(1, row.height);
            int given = 0;
            for (auto& row : m.rows) {
                const int add = static_cast<int>(static_cast<long long>(extra) * std::max(1, row.height) / total);
                row.height += add;
                given += add;
            }
            m.rows.back().height += extra - given;
            height = Coord(static_cast<long long>(height) + extra);
        }
        // Final places: rows move down by what the rows above them grew; cells align vertically.
        int rowY = y + m.border + m.spacing;
        int provisional = rowY;
        for (std::size_t r = 0; r < m.rows.size(); ++r) {
            Row& row = m.rows[r];
            const int dy = rowY - provisional;
            int provisionalHeight = row.declaredHeight;
            for (const auto& cell : row.cells) {
                if (cell.col >= m.columns) continue;
                provisionalHeight = std::max(provisionalHeight, cell.height);
                if (cell.style.height && !cell.style.height->percent)
                    provisionalHeight = std::max(provisionalHeight, Px(cell.style.height->value));
            }
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                const Cell& cell = row.cells[c];
                if (cell.col >= m.columns) continue;
                const int free = row.height - cell.height;
                const int valign = free <= 0 ? 0
                                   : cell.style.verticalAlign == VerticalAlign::Top    ? 0
                                   : cell.style.verticalAlign == VerticalAlign::Bottom ? free
                                                                                       : free / 2;
                Shift(cell.start, cell.end, 0, static_cast<long long>(dy) + valign);
                EndFill(cell.fill, {cell.x, rowY, cell.width, row.height});
                if (m.border) Frame({cell.x, rowY, cell.width, row.height}, 0x808080);
            }
            EndFill(row.fill, {x + m.border, rowY, outWidth - 2 * m.border, row.height});
            provisional = Coord(static_cast<long long>(provisional) + provisionalHeight + m.spacing);
            rowY = Coord(static_cast<long long>(rowY) + row.height + m.spacing);
        }
        EndFill(tableFill, {x, y, width, height});
        if (m.border) Frame({x, y, width, height}, 0x808080);
        return height;
    }

    void Frame(Rect r, Rgb color)
    {
        DisplayItem f;
        f.kind = ItemKind::Frame;
        f.rect = r;
        f.color = color;
        m_out.items.push_back(f);
    }

    // --- Intrinsic widths ------------------------------------------------------------------------

    struct Accumulator {
        int line = 0;
        bool pendingSpace = false;
        Intrinsic result;
        void EndLine()
        {
            result.max = std::max(result.max, line);
            line = 0;
            pendingSpace = false;
        }
        void Atom(int w, int spaceWidth)
        {
            long long next = line;
            if (pendingSpace && line > 0) next += spaceWidth;
            pendingSpace = false;
            line = Coord(next + w);
            result.min = std::max(result.min, w);
        }
    };

    Intrinsic ContentIntrinsic(const Node& node, const ComputedStyle& style, int depth)
    {
        if (auto it = m_intrinsic.find(&node); it != m_intrinsic.end()) return it->second;
        Accumulator acc;
        if (depth <= kMaxLayoutDepth) Accumulate(node, style, acc, depth);
        acc.EndLine();
        m_intrinsic[&node] = acc.result;
        return acc.result;
    }

    void Accumulate(const Node& node, const ComputedStyle& style, Accumulator& acc, int depth)
    {
        if (depth > kMaxLayoutDepth) return;
        for (const auto& child : node.children()) {
            if (child->type() == NodeType::Text) {
                const int space = TextWidth(" ", style.font);
                Tokenize(
                    child->text(), style.preformatted, acc.pendingSpace,
                    [&](std::string_view word, bool spaceBefore) {
                        acc.pendingSpace = spaceBefore;
                        const int w = TextWidth(word, style.font);
                        acc.Atom(w, space);
                        if (style.noWrap) acc.result.min = std::max(acc.result.min, acc.line);
                    },
                    [&] { acc.EndLine(); });
                continue;
            }
            if (!child->IsElement()) continue;
            const Node& e = *child;
            const ComputedStyle cs = ComputeStyle(e, style);
            if (cs.display == Display::None) continue;
            if (e.IsElement("br")) {
                acc.EndLine();
                continue;
            }
            if (e.IsElement("img")) {
                acc.Atom(ImageBox(e, cs).width, 4);
                continue;
            }
            if (e.IsElement("input") || e.IsElement("textarea") || e.IsElement("button") || e.IsElement("select")) {
                if (auto m = ControlMetrics(e, cs)) acc.Atom(m->second.width, 4);
                continue;
            }
            if (cs.display == Display::Inline || cs.display == Display::TableRow || cs.display == Display::TableCell ||
                cs.display == Display::TableSection) {
                Accumulate(e, cs, acc, depth + 1);
                continue;
            }
            acc.EndLine();
            Intrinsic in;
            const int outer = cs.margin[1] + cs.margin[3];
            if (cs.display == Display::Table) {
                in = TableIntrinsic(e, cs, depth + 1);
                if (cs.width && cs.width->percent) in.max = std::max(in.max, in.min);
            } else {
                in = ContentIntrinsic(e, cs, depth + 1);
                const int pad = cs.padding[1] + cs.padding[3];
                in.min = Coord(static_cast<long long>(in.min) + pad);
                in.max = Coord(static_cast<long long>(in.max) + pad);
                if (cs.width && !cs.width->percent) in.min = in.max = std::max(in.min, Px(cs.width->value));
            }
            acc.result.min = std::max(acc.result.min, Coord(static_cast<long long>(in.min) + outer));
            acc.result.max = std::max(acc.result.max, Coord(static_cast<long long>(in.max) + outer));
        }
    }

    LayoutHost& m_host;
    PageLayout& m_out;
    std::vector<std::string> m_hrefs;
    std::vector<const Node*> m_anchors;  // the a element of each href
    std::unordered_map<const Node*, Intrinsic> m_intrinsic;
};

}  // namespace

PageLayout LayoutDocument(const Document& document, LayoutHost& host, int viewportWidth)
{
    PageLayout out;
    Engine engine(host, out);
    engine.Run(document, viewportWidth);
    return out;
}

const LinkArea* LinkAt(const PageLayout& layout, int x, int y)
{
    for (auto it = layout.links.rbegin(); it != layout.links.rend(); ++it)
        if (it->rect.Contains(x, y)) return &*it;
    return nullptr;
}

}  // namespace browser
